// brisel-scripts-cli: the program's logic for scripts and pipelines.
#include "cli/Command.h"
#include "cli/Commands.h"

#include <QCoreApplication>

#include <vector>

namespace {

const std::vector<Command> commands = {
    // One entry per command; see cli/Commands.h.
    validateCommand,
    versionCommand,
    searchCommand,
    logCommand,
    updateCommand,
    deleteCommand,
    uploadCommand,
};

void printUsage(QTextStream &err) {
    err << "usage: brisel-scripts-cli COMMAND [OPTIONS]\n\ncommands:\n";
    for (const Command &c : commands)
        err << "  " << c.usage << '\n';
    err.flush();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(err);
        return args.isEmpty() ? ExitUsage : ExitSuccess;
    }
    const QString name = args.takeFirst();
    for (const Command &c : commands) {
        if (name == QLatin1String(c.name)) {
            const int code = c.run(args, out, err);
            out.flush();
            err.flush();
            return code;
        }
    }
    err << "brisel-scripts-cli: unknown command '" << name << "'\n\n";
    printUsage(err);
    return ExitUsage;
}
