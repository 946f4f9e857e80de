#pragma once

#include <QString>

// A Firebird database name split into the server part and the path the server resolves, so
// that other files on the same server can be named: "host:path", "host/port:path",
// "[ipv6]:path", "inet://host[:port]/path"; a name without a server part is opened by the
// engine in this process.
struct DatabaseName {
    QString server; // with its separator ("host:", "inet://host/"); empty for a local file
    QString path;   // a path or an alias on the server

    static DatabaseName parse(const QString &name);

    // The same server's service manager, and another database on it.
    QString serviceManager() const { return server + QStringLiteral("service_mgr"); }
    QString onSameServer(const QString &otherPath) const { return server + otherPath; }
};
