// brisel-scripts-server: the reference web service that the program, its tests and `make run`
// talk to.
#include "server/Armazenamento.h"
#include "server/ServidorHttp.h"
#include "service/Md5Senha.h"
#include "base/Exception.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr qsizetype LimiteCorpo = 16 * 1024 * 1024;

int falhar(const QString &mensagem) {
    std::fprintf(stderr, "brisel-scripts-server: %s\n", qPrintable(mensagem));
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reference web service of BriselScripts."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("bind"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
         QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("Port (default 8080; 0 picks a free one and prints it)."),
         QStringLiteral("PORT"), QStringLiteral("8080")},
        {QStringLiteral("db"),
         QStringLiteral("SQLite database file, or :memory: (default brisel-scripts.db)."),
         QStringLiteral("FILE"), QStringLiteral("brisel-scripts.db")},
        {QStringLiteral("user"), QStringLiteral("A user NAME:PASSWORD (repeatable)."),
         QStringLiteral("NAME:PASSWORD")},
        {QStringLiteral("version"), QStringLiteral("Version answered to the version request."),
         QStringLiteral("TEXT"), QStringLiteral(BRISEL_VERSION)},
        {QStringLiteral("page-size"), QStringLiteral("Records per search page (default 50)."),
         QStringLiteral("N"), QStringLiteral("50")},
    });
    if (!parser.parse(app.arguments()))
        return falhar(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return falhar(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    bool portaOk = false, paginaOk = false;
    const int porta = parser.value(QStringLiteral("port")).toInt(&portaOk);
    const int pagina = parser.value(QStringLiteral("page-size")).toInt(&paginaOk);
    if (!portaOk || porta < 0 || porta > 65535)
        return falhar(QStringLiteral("invalid --port: %1").arg(parser.value(QStringLiteral("port"))));
    if (!paginaOk || pagina < 1)
        return falhar(
            QStringLiteral("invalid --page-size: %1").arg(parser.value(QStringLiteral("page-size"))));

    try {
        Armazenamento armazenamento(parser.value(QStringLiteral("db")));
        for (const QString &usuario : parser.values(QStringLiteral("user"))) {
            const qsizetype doisPontos = usuario.indexOf(QLatin1Char(':'));
            if (doisPontos <= 0)
                return falhar(QStringLiteral("invalid --user (NAME:PASSWORD expected): %1").arg(usuario));
            armazenamento.definirUsuario(usuario.left(doisPontos), Md5Senha(usuario.mid(doisPontos + 1)));
        }
        ContextoServidor contexto{armazenamento, parser.value(QStringLiteral("version")), pagina};
        ServidorHttp servidor(contexto, LimiteCorpo);
        const QString endereco = parser.value(QStringLiteral("bind"));
        const int ligada = servidor.ligar(endereco, porta);
        std::printf("brisel-scripts-server listening on http://%s:%d\n", qPrintable(endereco), ligada);
        std::fflush(stdout);
        servidor.atender();
    } catch (const Exception &e) {
        std::fprintf(stderr, "brisel-scripts-server: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
