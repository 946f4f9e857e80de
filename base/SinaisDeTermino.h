#pragma once

// Keeps SIGINT and SIGTERM ending the process as their default action does. The Firebird client
// catches both at its first attachment and then only shuts its own connections down: the process
// goes on (a running script even runs to its end). A handler installed before that attachment is
// called by the client's, so this one, installed at start, ends the process by the signal; an
// uncommitted transaction is then rolled back by the server as for any lost connection.
class SinaisDeTermino {
public:
    // Call once at start, before any Firebird attachment; a signal that the parent made the
    // process ignore stays ignored.
    static void manterPadrao();
};
