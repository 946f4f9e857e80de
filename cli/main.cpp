// brisel-scripts-cli: the program's logic for scripts and pipelines.
#include "base/SinaisDeTermino.h"
#include "cli/Command.h"
#include "cli/Commands.h"
#include "cli/HelpText.h"

#include <QCoreApplication>

#include <vector>

namespace {

const std::vector<Command> commands = {
    // One entry per command; see cli/Commands.h.
    validateCommand, versionCommand, searchCommand, logCommand,
    updateCommand,   deleteCommand,  uploadCommand, statusCommand,
};

void printUsage(QTextStream &err) {
    err << "usage: brisel-scripts-cli COMMAND [OPTIONS]\n\ncommands:\n";
    for (const Command &c : commands)
        err << "  " << c.usage << '\n';
    err << "\nTry 'brisel-scripts-cli --help' for more information.\n";
    err.flush();
}

bool asksForHelp(const QStringList &args) {
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    SinaisDeTermino::manterPadrao();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printUsage(err);
        return ExitUsage;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        out << HelpText::general(commands);
        return ExitSuccess;
    }
    if (args.first() == QLatin1String("--version") || args.first() == QLatin1String("-V")) {
        out << HelpText::version();
        return ExitSuccess;
    }
    const QString name = args.takeFirst();
    for (const Command &c : commands) {
        if (name == QLatin1String(c.name)) {
            if (asksForHelp(args)) {
                out << HelpText::command(c);
                return ExitSuccess;
            }
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
