#include "tests/support/ExecucaoCli.h"
#include "tests/support/RecordingHttpServer.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string_view>

// The command line against a service that does not keep its word: counts that ignore "maximo",
// pages larger than asked, replies that are no version.

namespace {

ExecucaoCli rodar(const RecordingHttpServer &servico, const QStringList &args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISEL_SERVICE_URL"), QString::fromLatin1(servico.rootUrl()));
    env.insert(QStringLiteral("BRISEL_USER"), QStringLiteral("dev"));
    env.insert(QStringLiteral("BRISEL_PASSWORD"), QStringLiteral("senha"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    return executarCli(args, env);
}

// Counts a million records whatever "maximo" says and answers every page with seven.
QByteArray umMilhao(const RecordingHttpServer::Request &pedido) {
    if (pedido.head.contains("/login"))
        return R"({"success":true,"chave":"k"})";
    if (pedido.body.contains("contar=true"))
        return R"({"success":true,"registros":1000000})";
    const int lidos = pedido.body.mid(pedido.body.indexOf("lidos=") + 6).toInt();
    QByteArray pagina = "[";
    for (int i = 1; i <= 7; ++i) {
        const QByteArray n = QByteArray::number(lidos + i);
        if (i > 1)
            pagina += ',';
        pagina +=
            pedido.head.contains("/pesquisar_log")
                ? R"({"idscript":)" + n +
                      R"(,"data_alteracao":"2024-05-01 10:00:00","arquivo":"a.sql","script_atual":"",)"
                      R"("script_anterior":"","descricao":"Inclusão","nome":"DEV"})"
                : R"({"CODIGO_SC":)" + n +
                      R"(,"DATA_CRIACAO_SC":"2024-05-01 10:00:00","NOME_ARQUIVO_SC":"a.sql","SCRIPT_SC":""})";
    }
    return pagina + "]";
}

int paginasPedidas(const RecordingHttpServer &servico) {
    int paginas = 0;
    for (const auto &r : servico.requests())
        paginas += r.body.contains("lidos=");
    return paginas;
}

} // namespace

// --max is honoured whatever the count says; 0 is the window's "Máximo" of 0: the count decides,
// up to 500. No page beyond those that hold the records is asked for.
TEST(ServicoFalso, MaxIsHonouredWhateverTheCountSays) {
    const struct {
        const char *maximo;
        int registros;
        int paginas; // of seven records
    } casos[] = {{"10", 10, 2}, {"0", 500, 72}};
    for (const auto &caso : casos) {
        for (const char *comando : {"search", "log"}) {
            SCOPED_TRACE(std::string(comando) + " --max " + caso.maximo);
            RecordingHttpServer servico(umMilhao);
            const ExecucaoCli s = rodar(servico, {QString::fromLatin1(comando), QStringLiteral("--max"),
                                                  QString::fromLatin1(caso.maximo)});
            EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
            const QStringList linhas = s.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            ASSERT_EQ(linhas.size(), caso.registros);
            EXPECT_TRUE(linhas.last().startsWith(QStringLiteral("%1\t").arg(caso.registros)))
                << linhas.last().toStdString();
            EXPECT_EQ(paginasPedidas(servico), caso.paginas);
            EXPECT_TRUE(servico.requests().value(1).body.contains("maximo=" + QByteArray(caso.maximo)));
        }
    }
}

struct RespostaVersao {
    const char *nome;
    QByteArray corpo;
};

class VersaoInvalida : public testing::TestWithParam<RespostaVersao> {};

TEST_P(VersaoInvalida, NothingIsPrintedBeforeTheReplyIsChecked) {
    RecordingHttpServer servico([](const RecordingHttpServer::Request &) { return GetParam().corpo; });
    const ExecucaoCli s = rodar(servico, {QStringLiteral("version")});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.out.isEmpty()) << s.out.left(200).toStdString();
    EXPECT_EQ(s.err, QStringLiteral("Falha ao verificar a versão.\n")) << s.err.left(200).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Casos, VersaoInvalida,
                         testing::Values(RespostaVersao{"sem_aspas", "1.0.8"},
                                         RespostaVersao{"vazia", "\"\""},
                                         RespostaVersao{"json", R"({"versao":"1.0.8"})"},
                                         RespostaVersao{"componente_nao_numerico", "\"1.x.0\""},
                                         RespostaVersao{"longa", "\"1.0.8." + QByteArray(100000, '9') + "\""},
                                         RespostaVersao{"controle", "\"1.0.8\x1B[2J\""}),
                         [](const testing::TestParamInfo<RespostaVersao> &info) {
                             return std::string(info.param.nome);
                         });

TEST(AjudaCli, HelpDescribesEveryCommandAndVersionPrintsTheVersion) {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const ExecucaoCli ajuda = executarCli({QStringLiteral("--help")}, env);
    EXPECT_EQ(ajuda.codigo, 0);
    EXPECT_TRUE(ajuda.err.isEmpty()) << ajuda.err.toStdString();
    for (const char *comando :
         {"validate", "version", "search", "log", "update", "delete", "upload", "status"})
        EXPECT_TRUE(ajuda.out.contains(QStringLiteral("  brisel-scripts-cli %1").arg(QLatin1String(comando))))
            << comando;
    for (const char *texto : {"--replace-unsupported", "--skip-stored", "--json", "BRISEL_SERVICE_URL",
                              "Exit status:", "\n  3  status"})
        EXPECT_TRUE(ajuda.out.contains(QLatin1String(texto))) << texto;

    // Each command's help ends with its exit codes; only status has a 3, and only the commands
    // that take --json speak of the envelope.
    const struct {
        const char *comando;
        bool json;
    } comandos[] = {{"validate", true}, {"version", true}, {"search", true}, {"log", true},
                    {"update", false},  {"delete", false}, {"upload", true}, {"status", true}};
    for (const auto &c : comandos) {
        const ExecucaoCli s = executarCli({QString::fromLatin1(c.comando), QStringLiteral("--help")}, env);
        EXPECT_EQ(s.codigo, 0) << c.comando;
        const QString saida = s.out.section(QStringLiteral("\nExit status:\n"), 1);
        EXPECT_TRUE(saida.startsWith(QStringLiteral("  0  "))) << c.comando << ": " << s.out.toStdString();
        EXPECT_TRUE(saida.contains(QStringLiteral("\n  1  failure"))) << c.comando;
        EXPECT_TRUE(saida.contains(QStringLiteral("\n  2  usage error\n"))) << c.comando;
        EXPECT_EQ(saida.contains(QStringLiteral("\n  3  ")), c.comando == std::string_view("status"))
            << c.comando;
        EXPECT_EQ(saida.contains(QStringLiteral("\"success\": false")), c.json) << c.comando;
    }

    const ExecucaoCli comando = executarCli({QStringLiteral("upload"), QStringLiteral("--help")}, env);
    EXPECT_EQ(comando.codigo, 0);
    EXPECT_TRUE(comando.out.startsWith(QStringLiteral("Usage:\n  brisel-scripts-cli upload --system S")))
        << comando.out.toStdString();
    EXPECT_FALSE(comando.out.contains(QStringLiteral("brisel-scripts-cli search")));

    const ExecucaoCli versao = executarCli({QStringLiteral("--version")}, env);
    EXPECT_EQ(versao.codigo, 0);
    EXPECT_EQ(versao.out, QStringLiteral("brisel-scripts-cli " BRISEL_VERSION "\n"));

    // Without a command: the short usage on standard error, a usage error.
    const ExecucaoCli nada = executarCli({}, env);
    EXPECT_EQ(nada.codigo, 2);
    EXPECT_TRUE(nada.out.isEmpty());
    EXPECT_TRUE(nada.err.startsWith(QStringLiteral("usage: brisel-scripts-cli COMMAND")))
        << nada.err.toStdString();
}
