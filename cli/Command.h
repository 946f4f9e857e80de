#pragma once

#include <QStringList>
#include <QTextStream>

// One sub-command of brisel-scripts-cli. `run` gets the arguments after the command's name
// and returns the exit code: 0 success, 1 failure, 2 usage error (3 and 4: see ExitPending and
// ExitTrialFailed).
struct Command {
    const char *name;
    const char *usage; // one or more lines, shown by the usage text
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

// Exit codes shared by every command.
enum ExitCode {
    ExitSuccess = 0,
    ExitFailure = 1,
    ExitUsage = 2,
    ExitPending = 3,     // status: some file is not on the service as it is on disk
    ExitTrialFailed = 4, // upload: a script failed in the trial before sending; nothing was sent
};
