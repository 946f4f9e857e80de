#include "cli/HelpText.h"

#include "service/Enderecos.h"

#include <QStringList>

#include <map>
#include <string_view>

namespace {

struct Description {
    const char *summary; // one line for the list of commands
    const char *text;    // what the command does, its output and its failures
    const char *options; // one line per option, empty when none
};

const char loginOptions[] = "  --user NAME          user name (default: $BRISEL_USER)\n"
                            "  --password PASSWORD  password (default: $BRISEL_PASSWORD)\n";

const std::map<std::string_view, Description> descriptions = {
    {"validate",
     {"run a script against a Firebird database, or show its statements",
      "Runs the script FILE against the Firebird database DB (a file path or host:path) as user\n"
      "SYSDBA, as the program's validation window does, and prints its result lines: the\n"
      "connection, each failing statement with its line, and the commit or rollback. With\n"
      "--dry-run nothing is run: each statement the script is split into is printed, followed\n"
      "by \"-- end of statement\". Exits 0 when the run committed without a statement error.\n"
      "With --on-copy the script runs on a disposable copy made beside the database by its server\n"
      "(which needs room there), as isql runs it with AUTODDL ON: each DDL statement is committed\n"
      "when it succeeds and the script's COMMITs are run. The copy is dropped at the end and the\n"
      "database is never changed; copies that a killed run left are removed when the command starts.\n",
      "  --database DB        the Firebird database\n"
      "  --password P         the SYSDBA password\n"
      "  --on-copy            a trial on a disposable copy of the database\n"
      "  --dry-run            print the statements instead of running them\n"
      "  --json               print one JSON array: {linha, mensagem} per failing statement\n"
      "                       (exit 1 when there is any), {linha, comando} per statement with\n"
      "                       --dry-run\n"}},
    {"version",
     {"show the service's version of the program",
      "Asks the service for the program's current version and prints it, followed by a line\n"
      "saying whether it is newer than this program's version. Fails, printing nothing on\n"
      "standard output, when the reply is not a version.\n",
      "  --json               print one JSON array of one object: {versao, versao_local, mais_nova}\n"}},
    {"search",
     {"list stored scripts, optionally saving their texts",
      "Logs in and lists the stored scripts that match the filters, one per line:\n"
      "CODE<TAB>YYYY-MM-DD HH:MM:SS<TAB>FILE NAME. At most --max scripts are fetched and\n"
      "listed. When nothing matches, says so on standard error and exits 0.\n",
      "  --system S           KOR, KOR_LIVROS or TALAO\n"
      "  --code C             the script code\n"
      "  --from YYYY-MM-DD    created on or after this day\n"
      "  --to YYYY-MM-DD      created on or before this day\n"
      "  --file TEXT          file name filter\n"
      "  --max N              at most N scripts, 1 to 500 (default 100); 0 takes as many as\n"
      "                       the service counts, up to 500\n"
      "  --save DIR           also write each script's text to DIR/CODE-NAME, as stored\n"
      "  --json               print one JSON array of {codigo, data, arquivo}\n"}},
    {"log",
     {"list the change log of the stored scripts",
      "Logs in and lists the change log entries that match the filters, one per line:\n"
      "CODE<TAB>YYYY-MM-DD HH:MM:SS<TAB>USER<TAB>FILE NAME<TAB>CHANGE. At most --max entries\n"
      "are fetched and listed. When nothing matches, says so on standard error and exits 0.\n",
      "  --system S           KOR, KOR_LIVROS or TALAO\n"
      "  --code C             the script code\n"
      "  --by USER            changes made by this user\n"
      "  --from YYYY-MM-DD    changed on or after this day\n"
      "  --to YYYY-MM-DD      changed on or before this day\n"
      "  --file TEXT          file name filter\n"
      "  --max N              at most N entries, 1 to 500 (default 100); 0 takes as many as\n"
      "                       the service counts, up to 500\n"
      "  --json               print one JSON array of {codigo, data, usuario, arquivo, descricao}\n"}},
    {"update",
     {"replace the text of a stored script with a file",
      "Logs in and replaces the text of the stored script N with the text of FILE. The file is\n"
      "read as the program reads script files (UTF-8, UTF-16 or Windows-1252) and sent in\n"
      "Windows-1252. Prints \"updated N\".\n",
      "  --code N             the script to change\n"
      "  --replace-unsupported\n"
      "                       send characters outside Windows-1252 as \"?\" instead of refusing\n"
      "                       the file (without it, each one is listed with its line and\n"
      "                       column and nothing is sent)\n"}},
    {"delete",
     {"delete a stored script", "Logs in and deletes the stored script N. Prints \"deleted N\".\n",
      "  --code N             the script to delete\n"}},
    {"upload",
     {"send the script files of a folder to the service",
      "Logs in and sends, in order, every file below D (subfolders included, hidden ones\n"
      "skipped) whose name matches the mask and which was modified on or after the day\n"
      "given, as the program's page \"Envio\" does. Each file sent is printed as\n"
      "YYYY-MM-DD HH:MM:SS<TAB>PATH, and the progress as n/m on standard error. A failure\n"
      "stops the run at that file; the files before it stay sent.\n"
      "With --trial-database every file found (those the service already holds included, as\n"
      "the receivers run them all) first runs, in the same order, on one disposable copy of the\n"
      "Firebird database DB, each on the state the previous ones left, as `validate --on-copy`\n"
      "runs one script; the database is not changed. When any script fails, nothing is sent:\n"
      "each failing file is named on standard error with its \"Linha N:\" lines, and the\n"
      "command exits 4.\n",
      "  --system S           KOR, KOR_LIVROS or TALAO (required)\n"
      "  --dir D              the base folder (required)\n"
      "  --mask M             file name mask (default *.*)\n"
      "  --since YYYY-MM-DD   modified on or after this day (default today)\n"
      "  --dry-run            list the files that would be sent and send nothing\n"
      "  --skip-stored        send only the files that `status` calls novo or alterado; each\n"
      "                       file skipped is named on standard error\n"
      "  --replace-unsupported\n"
      "                       send characters outside Windows-1252 as \"?\" instead of refusing\n"
      "                       the run (without it, each one is listed with its file, line and\n"
      "                       column and nothing is sent)\n"
      "  --trial-database DB  try the files on a disposable copy of this Firebird database\n"
      "                       first, and send nothing when any fails\n"
      "  --trial-password P   the SYSDBA password for DB\n"
      "  --json               print one JSON array of {data, arquivo}, the files sent; when the\n"
      "                       trial fails, of {arquivo, ensaio, falhas} for every file, ensaio\n"
      "                       \"ok\" or \"falhou\" and falhas [{linha, mensagem}]\n"}},
    {"status",
     {"tell which files of a folder the service holds, and with which text",
      "Logs in and finds the files that `upload` would send, in the same order, and prints for\n"
      "each one what the service holds under the system: STATE<TAB>CODE<TAB>PATH. STATE is\n"
      "\"novo\" when no script of that file name is stored (CODE is then empty), \"igual\" when\n"
      "the newest one (the highest CODE) has the file's text as upload would send it, and\n"
      "\"alterado\" when its text differs.\n",
      "  --system S           KOR, KOR_LIVROS or TALAO (required)\n"
      "  --dir D              the base folder (required)\n"
      "  --mask M             file name mask (default *.*)\n"
      "  --since YYYY-MM-DD   modified on or after this day (default today)\n"
      "  --json               print one JSON array of {estado, codigo, arquivo} (codigo null for\n"
      "                       novo)\n"}},
};

// What exit code 0 means for a command where it means more than success, and the codes it
// gives beyond 0, 1 and 2.
struct ExitNotes {
    const char *success;
    const char *more;
};

const std::map<std::string_view, ExitNotes> exitNotes = {
    {"validate", {"the run committed without a statement error", ""}},
    {"upload", {"success", "  4  with --trial-database: a script failed in the trial; nothing was sent\n"}},
    {"status",
     {"every file is on the service with the same text (igual)",
      "  3  some file is not on the service (novo) or differs from it (alterado)\n"}},
};

bool takesJson(const Command &command) {
    return QString::fromUtf8(command.usage).contains(QLatin1String("--json"));
}

QString exitStatus(const Command &command) {
    const auto found = exitNotes.find(command.name);
    const ExitNotes notes = found == exitNotes.end() ? ExitNotes{"success", ""} : found->second;
    QString text = QStringLiteral("\nExit status:\n  0  %1\n  1  failure, said on standard error\n")
                       .arg(QString::fromUtf8(notes.success));
    if (takesJson(command))
        text += QStringLiteral("     (with --json also on standard output, as the service's envelope\n"
                               "     {\"success\": false, \"message\": \"...\"})\n");
    return text + QStringLiteral("  2  usage error\n") + QString::fromUtf8(notes.more);
}

bool needsLogin(std::string_view name) {
    return name != "validate" && name != "version";
}

// The usage lines as the command gives them, each after "brisel-scripts-cli ", without the short
// note a usage line may carry after a run of blanks (the description says more).
QString synopsis(const Command &command) {
    QStringList lines;
    for (const QString &line : QString::fromUtf8(command.usage).split(QLatin1Char('\n')))
        lines << QStringLiteral("  brisel-scripts-cli ") +
                     line.trimmed().section(QStringLiteral("   "), 0, 0);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString block(const Command &command) {
    const auto found = descriptions.find(command.name);
    QString text = synopsis(command);
    if (found == descriptions.end())
        return text;
    text += QLatin1Char('\n') + QString::fromUtf8(found->second.text);
    QString options = QString::fromUtf8(found->second.options);
    if (needsLogin(command.name))
        options += QString::fromLatin1(loginOptions);
    if (!options.isEmpty())
        text += QStringLiteral("\nOptions:\n") + options;
    return text;
}

} // namespace

QString HelpText::general(const std::vector<Command> &commands) {
    QString text =
        QStringLiteral("Usage: brisel-scripts-cli COMMAND [OPTIONS]\n"
                       "       brisel-scripts-cli COMMAND --help\n"
                       "       brisel-scripts-cli --help | --version\n"
                       "\n"
                       "Publishes SQL change scripts to the BriselScripts web service, searches the stored\n"
                       "scripts and their change log, and runs scripts against a Firebird database: the\n"
                       "program's work from a shell or a pipeline.\n"
                       "\n"
                       "Commands:\n");
    for (const Command &c : commands) {
        const auto found = descriptions.find(c.name);
        const QString summary =
            found == descriptions.end() ? QString() : QString::fromUtf8(found->second.summary);
        text += QStringLiteral("  %1").arg(QString::fromLatin1(c.name), -10) + summary + QLatin1Char('\n');
    }
    for (const Command &c : commands)
        text += QLatin1Char('\n') + block(c);
    text +=
        QStringLiteral("\n"
                       "Environment:\n"
                       "  BRISEL_SERVICE_URL   the service root (default %1)\n"
                       "  BRISEL_USER          user name when --user is not given\n"
                       "  BRISEL_PASSWORD      password when --password is not given\n"
                       "\n"
                       "JSON output:\n"
                       "  With --json, search, log, status, upload, validate and version print one\n"
                       "  JSON document on standard output instead of lines: an array of objects\n"
                       "  named with the service's own keys, or on a failure the service's envelope\n"
                       "  {\"success\": false, \"message\": \"...\"}. A usage error prints nothing there.\n"
                       "  A validation whose statements fail answers with their array and exit 1.\n"
                       "\n"
                       "Exit status:\n"
                       "  0  success, a search that finds nothing included\n"
                       "  1  failure: a refusal of the service, a failed request, a file that\n"
                       "     cannot be read, characters the service cannot store\n"
                       "  2  usage error\n"
                       "  3  status: some file is not on the service or differs from it\n"
                       "  4  upload --trial-database: a script failed in the trial; nothing was sent\n")
            .arg(QString::fromLatin1(RaizServicoPadrao));
    return text;
}

QString HelpText::command(const Command &command) {
    return QStringLiteral("Usage:\n") + block(command) + exitStatus(command);
}

QString HelpText::version() {
    return QStringLiteral("brisel-scripts-cli " BRISEL_VERSION "\n");
}
