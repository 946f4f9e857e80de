// brisel-json: shows a web service reply as the program reads it.
#include "base/Exception.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2 };

const char usage[] = "usage: brisel-json [--array] [--indent N] [FILE]\n"
                     "Try 'brisel-json --help' for more information.\n";

const char help[] =
    "Usage: brisel-json [--array] [--indent N] [FILE]\n"
    "       brisel-json --help | --version\n"
    "\n"
    "Reads one JSON object (with --array, one array) from FILE, or from standard input when\n"
    "FILE is missing or \"-\", as UTF-8 (a leading byte-order mark is skipped), and prints it\n"
    "as the BriselScripts JSON library reads a web service reply: in compact form, or\n"
    "indented by N blanks per level. A text the library refuses is reported on standard\n"
    "error as the library reports it: the error's class name, its message and, for a syntax\n"
    "error, the position and the text around it.\n"
    "\n"
    "Options:\n"
    "  --array      read an array instead of an object\n"
    "  --indent N   print indented by N blanks per level (--indent=N also works)\n"
    "  --           end of options: the next argument is FILE even when it starts with \"-\"\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  the text was read and printed\n"
    "  1  the library refused the text, or FILE cannot be read\n"
    "  2  usage error\n";

void write(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

struct Options {
    bool array = false;
    std::optional<int> indent;
    QString file; // empty or "-": standard input
};

// Returns an error text for a usage error.
std::optional<QString> parseArguments(QStringList args, Options &options) {
    bool optionsEnded = false;
    bool haveFile = false;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg == QLatin1String("--array")) {
            options.array = true;
        } else if (!optionsEnded &&
                   (arg == QLatin1String("--indent") || arg.startsWith(QLatin1String("--indent=")))) {
            QString value;
            if (arg.contains(u'='))
                value = arg.section(u'=', 1);
            else if (!args.isEmpty())
                value = args.takeFirst();
            else
                return QStringLiteral("--indent needs a number");
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok)
                return QStringLiteral("--indent needs a number, not '%1'").arg(value);
            options.indent = n;
        } else if (!optionsEnded && arg.startsWith(u'-') && arg != QLatin1String("-")) {
            return QStringLiteral("unknown option '%1'").arg(arg);
        } else if (haveFile) {
            return QStringLiteral("only one FILE may be given");
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> readInput(const QString &name, QString &error) {
    QFile file;
    const bool isStdin = name.isEmpty() || name == QLatin1String("-");
    const bool opened = isStdin ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const qsizetype optionsEnd = args.indexOf(QLatin1String("--"));
    const QStringList leading = optionsEnd < 0 ? args : args.first(optionsEnd);
    if (leading.contains(QLatin1String("--help")) || leading.contains(QLatin1String("-h"))) {
        std::fputs(help, stdout);
        return ExitSuccess;
    }
    if (leading.contains(QLatin1String("--version"))) {
        std::fputs("brisel-json " BRISEL_VERSION "\n", stdout);
        return ExitSuccess;
    }
    Options options;
    if (const auto error = parseArguments(args, options)) {
        write(stderr, QStringLiteral("brisel-json: ") + *error + u'\n');
        std::fputs(usage, stderr);
        return ExitUsage;
    }
    QString readError;
    const std::optional<QByteArray> bytes = readInput(options.file, readError);
    if (!bytes) {
        write(stderr, QStringLiteral("brisel-json: cannot read %1: %2\n").arg(options.file, readError));
        return ExitFailure;
    }
    try {
        const QString text = QString::fromUtf8(*bytes);
        QString result;
        if (options.array) {
            const json::TJSONArray array(text);
            result = options.indent ? array.toString(*options.indent) : array.toString();
        } else {
            const json::TJSONObject object(text);
            result = options.indent ? object.toString(*options.indent) : object.toString();
        }
        write(stdout, result + u'\n');
        return ExitSuccess;
    } catch (const Exception &e) {
        write(stderr, e.className() + QStringLiteral(": ") + e.message() + u'\n');
        return ExitFailure;
    }
}
