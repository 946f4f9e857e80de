// brisel-scripts-server: the reference web service that the program, its tests and `make run`
// talk to.
#include "base/Exception.h"
#include "server/ArmazenamentoPostgres.h"
#include "server/DadosDemo.h"
#include "server/FabricaArmazenamento.h"
#include "server/OpcoesPostgres.h"
#include "server/OrigemSqlite.h"
#include "server/ServidorHttp.h"
#include "service/Md5Senha.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

#include <malloc.h>
#include <sys/resource.h>

namespace {

int falhar(const QString &mensagem) {
    std::fprintf(stderr, "brisel-scripts-server: %s\n", qPrintable(mensagem));
    return 2;
}

// "--version TEXT" once set the version the service announces; the server takes no other
// argument, so a value after "--version" still means that (now "--program-version").
QStringList comVersaoAntiga(QStringList argumentos) {
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        if (argumentos[i].startsWith(QLatin1String("--version=")))
            argumentos[i].replace(0, 9, QStringLiteral("--program-version"));
        else if (argumentos[i] == QLatin1String("--version") && i + 1 < argumentos.size() &&
                 !argumentos[i + 1].startsWith(QLatin1Char('-')))
            argumentos[i] = QStringLiteral("--program-version");
    }
    return argumentos;
}

// The option as a whole number in [minimo, maximo]; otherwise `erro` names it.
std::optional<int> inteiro(const QCommandLineParser &parser, const QString &opcao, int minimo, int maximo,
                           QString &erro) {
    bool ok = false;
    const int valor = parser.value(opcao).toInt(&ok);
    if (ok && valor >= minimo && valor <= maximo)
        return valor;
    erro = QStringLiteral("invalid --%1: %2").arg(opcao, parser.value(opcao));
    return std::nullopt;
}

// Each connection holds a descriptor: the soft limit (often 1024) is raised as far as allowed,
// so that --max-connections rather than running out of descriptors decides.
void ampliarDescritores() {
    rlimit limite{};
    if (::getrlimit(RLIMIT_NOFILE, &limite) == 0 && limite.rlim_cur < limite.rlim_max) {
        limite.rlim_cur = limite.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limite);
    }
}

// Every request reads its script into buffers of tens of kilobytes on a thread of its own. By
// default glibc hands the freed top of that thread's heap back to the kernel after each request
// and faults it in again for the next, which cost as much as storing the script. Blocks past the
// mmap threshold (128 KiB) still go back at once.
void conservarMemoriaLiberada() {
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
}

// Every request turns times to and from local time several times; with TZ unset, glibc looks at
// /etc/localtime again on each of them. Named once, the zone is read once.
void fixarFusoHorario() {
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
}

// --import: the source is checked before the target is touched.
int importar(const QString &arquivo, const QString &db, qint64 validade, OpcoesPostgres opcoes) {
    try {
        OrigemSqlite origem(arquivo);
        ArmazenamentoPostgres destino(db, validade, {}, opcoes);
        const ResumoImportacao copiado = destino.importar(origem);
        std::printf("brisel-scripts-server: imported %lld users, %lld scripts and %lld log entries from %s\n",
                    copiado.usuarios, copiado.scripts, copiado.entradasLog, qPrintable(arquivo));
        return 0;
    } catch (const Exception &e) {
        std::fprintf(stderr, "brisel-scripts-server: %s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace

int main(int argc, char *argv[]) {
    fixarFusoHorario();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(BRISEL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reference web service of BriselScripts: keeps users, sessions, SQL change scripts and their\n"
        "change log in a SQLite file or a PostgreSQL database (which several service processes may\n"
        "share) and answers the program and brisel-scripts-cli over HTTP.\n"
        "Prints \"brisel-scripts-server listening on http://ADDRESS:PORT\" once it accepts requests\n"
        "and one line per request on standard error."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("bind"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
         QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("Port (default 8080; 0 picks a free one and prints it)."),
         QStringLiteral("PORT"), QStringLiteral("8080")},
        {QStringLiteral("db"),
         QStringLiteral("SQLite database file, or :memory:, or a PostgreSQL database as a libpq URI "
                        "(postgresql://USER@HOST:PORT/DBNAME) or \"key=value\" string (default "
                        "brisel-scripts.db). Start-up creates the schema or upgrades an older one."),
         QStringLiteral("FILE|URI"), QStringLiteral("brisel-scripts.db")},
        {QStringLiteral("import"),
         QStringLiteral("Copy the users, scripts (codes kept) and change log of the SQLite service "
                        "database FILE into the empty PostgreSQL database named by --db, in one "
                        "transaction, print what was copied and exit."),
         QStringLiteral("FILE")},
        {QStringLiteral("user"),
         QStringLiteral("A user NAME:PASSWORD, added or given that password (repeatable; names are "
                        "upper case)."),
         QStringLiteral("NAME:PASSWORD")},
        {QStringLiteral("demo"),
         QStringLiteral("Fill an empty database with demonstration data: 36 scripts of the "
                        "systems KOR, KOR_LIVROS and TALAO dated over the last four months and today, "
                        "and a change log with edits by the users DEMO and MARIA. A database that "
                        "already holds scripts or log entries is left as it is.")},
        {QStringLiteral("program-version"),
         QStringLiteral("Program version announced by the version request (default this build's, %1).")
             .arg(QStringLiteral(BRISEL_VERSION)),
         QStringLiteral("TEXT"), QStringLiteral(BRISEL_VERSION)},
        {QStringLiteral("page-size"), QStringLiteral("Records per search page (default 50)."),
         QStringLiteral("N"), QStringLiteral("50")},
        {QStringLiteral("session-hours"),
         QStringLiteral("Hours without use after which a session key lapses (default 12)."),
         QStringLiteral("N"), QStringLiteral("12")},
        {QStringLiteral("read-timeout"),
         QStringLiteral("Seconds a client may keep the service waiting for the next bytes of a "
                        "request (default 5)."),
         QStringLiteral("SECONDS"), QStringLiteral("5")},
        {QStringLiteral("request-timeout"),
         QStringLiteral("Seconds a whole request, headers and body, may take to arrive (default 30)."),
         QStringLiteral("SECONDS"), QStringLiteral("30")},
        {QStringLiteral("max-connections"),
         QStringLiteral("Open connections served at once; one more is closed at once (default 1000)."),
         QStringLiteral("N"), QStringLiteral("1000")},
        {QStringLiteral("db-connections"),
         QStringLiteral("PostgreSQL connections each service process keeps at most (default %1; not used "
                        "with SQLite).")
             .arg(OpcoesPostgres().conexoes),
         QStringLiteral("N"), QString::number(OpcoesPostgres().conexoes)},
        {QStringLiteral("db-timeout"),
         QStringLiteral("Seconds PostgreSQL may take to answer a statement, waits for locks included, or a "
                        "connection attempt, before the request fails as \"database not available\" "
                        "(default %1).")
             .arg(OpcoesPostgres().prazoSegundos),
         QStringLiteral("SECONDS"), QString::number(OpcoesPostgres().prazoSegundos)},
    });
    if (!parser.parse(comVersaoAntiga(app.arguments())))
        return falhar(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // The program's name in the usage line, not the path it was started by.
        QString ajuda = parser.helpText();
        ajuda.replace(ajuda.indexOf(app.arguments().constFirst()), app.arguments().constFirst().size(),
                      QStringLiteral("brisel-scripts-server"));
        std::fputs(qPrintable(ajuda), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("brisel-scripts-server %s\n", BRISEL_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return falhar(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    QString erro;
    const auto porta = inteiro(parser, QStringLiteral("port"), 0, 65535, erro);
    const auto pagina = inteiro(parser, QStringLiteral("page-size"), 1, 1000000, erro);
    const auto horas = inteiro(parser, QStringLiteral("session-hours"), 1, 24 * 365 * 10, erro);
    const auto leitura = inteiro(parser, QStringLiteral("read-timeout"), 1, 3600, erro);
    const auto pedido = inteiro(parser, QStringLiteral("request-timeout"), 1, 24 * 3600, erro);
    const auto conexoes = inteiro(parser, QStringLiteral("max-connections"), 1, 1000000, erro);
    const auto conexoesBanco = inteiro(parser, QStringLiteral("db-connections"), 1, 100, erro);
    const auto prazoBanco = inteiro(parser, QStringLiteral("db-timeout"), 1, 3600, erro);
    if (!erro.isEmpty())
        return falhar(erro);

    const QString db = parser.value(QStringLiteral("db"));
    const OpcoesPostgres opcoesPostgres{*conexoesBanco, *prazoBanco};
    const qint64 validade = qint64(*horas) * 3600;
    if (parser.isSet(QStringLiteral("import"))) {
        if (!FabricaArmazenamento::postgres(db))
            return falhar(QStringLiteral("--import needs a PostgreSQL --db (postgresql://...)"));
        if (parser.isSet(QStringLiteral("user")) || parser.isSet(QStringLiteral("demo")))
            return falhar(QStringLiteral("--import takes neither --user nor --demo"));
        return importar(parser.value(QStringLiteral("import")), db, validade, opcoesPostgres);
    }

    ampliarDescritores();
    conservarMemoriaLiberada();
    try {
        const std::unique_ptr<Armazenamento> aberto =
            FabricaArmazenamento::abrir(db, validade, {}, opcoesPostgres);
        Armazenamento &armazenamento = *aberto;
        for (const QString &usuario : parser.values(QStringLiteral("user"))) {
            const qsizetype doisPontos = usuario.indexOf(QLatin1Char(':'));
            if (doisPontos <= 0)
                return falhar(QStringLiteral("invalid --user (NAME:PASSWORD expected): %1").arg(usuario));
            armazenamento.definirUsuario(usuario.left(doisPontos), Md5Senha(usuario.mid(doisPontos + 1)));
        }
        if (parser.isSet(QStringLiteral("demo")))
            DadosDemo::criar(armazenamento);
        ContextoServidor contexto{armazenamento, parser.value(QStringLiteral("program-version")), *pagina};
        ServidorHttp servidor(contexto, {16 * 1024 * 1024, *leitura, *pedido, *conexoes});
        const QString endereco = parser.value(QStringLiteral("bind"));
        const int ligada = servidor.ligar(endereco, *porta);
        std::printf("brisel-scripts-server listening on http://%s:%d\n", qPrintable(endereco), ligada);
        std::fflush(stdout);
        servidor.atender();
    } catch (const Exception &e) {
        std::fprintf(stderr, "brisel-scripts-server: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
