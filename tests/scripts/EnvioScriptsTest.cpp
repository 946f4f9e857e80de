#include "scripts/EnvioScripts.h"
#include "service/Conexao.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/scripts/QtPrinters.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/TestServer.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <memory>

namespace {

using Linha = FilaArquivosModel::Linha;

Linha linha(const QString &caminho, const QByteArray &script = "select 1\r\n",
            const QDateTime &data = QDateTime(QDate(2019, 3, 5), QTime(14, 7, 8))) {
    return Linha{data, caminho, script, 0};
}

// Points the program's service address at a test server for the life of the object.
struct Endereco {
    explicit Endereco(const QByteArray &raiz) { qputenv("BRISEL_SERVICE_URL", raiz); }
    ~Endereco() { qunsetenv("BRISEL_SERVICE_URL"); }
};

TEST(EnvioScripts, sendsTheFiveFieldsOfEveryRowInQueueOrder) {
    RecordingHttpServer servidor([](const auto &) { return QByteArray(R"({"success":true,"codigo":1})"); });
    Endereco endereco(servidor.rootUrl());
    Conexao conexao;
    Sessao sessao(conexao);
    sessao.setChave(QStringLiteral("K1"));
    EnvioScripts envio(sessao, QStringLiteral("KOR_LIVROS"));
    QList<int> progresso;

    EXPECT_TRUE(envio.Executar(
        {linha(QStringLiteral("/base/sub/a.sql"), "ab\r\n\xE7"), linha(QStringLiteral("/base/vazio.sql"), ""),
         linha(QStringLiteral("/base/c.sql"), "x\r\n", QDateTime(QDate(2020, 12, 31), QTime(23, 59, 58)))},
        [&](int n) {
            progresso << n;
            return true;
        }));

    EXPECT_EQ(progresso, (QList<int>{1, 2, 3}));
    const auto pedidos = servidor.requests();
    ASSERT_EQ(pedidos.size(), 3);
    EXPECT_TRUE(pedidos[0].head.startsWith("POST /services/index.php/scripts/inserir HTTP/1.0\r\n"));
    EXPECT_EQ(pedidos[0].body,
              QByteArray(
                  "data=2019-03-05+14%3A07%3A08&nome=a.sql&sistema=KOR_LIVROS&script=0x61620D0AE7&chave=K1"));
    EXPECT_EQ(
        pedidos[1].body,
        QByteArray("data=2019-03-05+14%3A07%3A08&nome=vazio.sql&sistema=KOR_LIVROS&script=0x&chave=K1"));
    EXPECT_EQ(
        pedidos[2].body,
        QByteArray("data=2020-12-31+23%3A59%3A58&nome=c.sql&sistema=KOR_LIVROS&script=0x780D0A&chave=K1"));
}

struct Resposta {
    const char *caso;
    QByteArray corpo;
    QString recusa; // empty: the row counts as sent
};

class EnvioResposta : public testing::TestWithParam<Resposta> {};

TEST_P(EnvioResposta, onlyARefusingEnvelopeStopsTheRun) {
    const QByteArray corpo = GetParam().corpo;
    RecordingHttpServer servidor([&](const auto &) { return corpo; });
    Endereco endereco(servidor.rootUrl());
    Conexao conexao;
    Sessao sessao(conexao);
    EnvioScripts envio(sessao, QStringLiteral("KOR"));
    if (GetParam().recusa.isEmpty()) {
        EXPECT_NO_THROW(envio.Enviar(linha(QStringLiteral("/a.sql"))));
        return;
    }
    try {
        envio.Enviar(linha(QStringLiteral("/a.sql")));
        FAIL() << "accepted";
    } catch (const Exception &e) {
        EXPECT_EQ(e.message(), GetParam().recusa);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, EnvioResposta,
    testing::Values(Resposta{"success", R"({"success":true})", {}},
                    Resposta{"refusal", R"({"success":false,"message":"Script recusado."})",
                             "Script recusado."},
                    Resposta{"refusal as text", R"({"success":"FALSE","message":"Não."})", "Não."},
                    Resposta{"empty body", "", {}}, Resposta{"not JSON", "<html>ok</html>", {}},
                    Resposta{"array", "[]", {}}, Resposta{"object without success", R"({"codigo":3})", {}}),
    [](const testing::TestParamInfo<Resposta> &info) {
        std::string s = info.param.caso;
        for (char &c : s)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    });

// Against the reference service: what it stored, read back through the search.
class EnvioServico : public testing::Test {
protected:
    void SetUp() override {
        // The service writes dates in the Brazilian form, which the client reads by the locale.
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        servidor = std::make_unique<TestServer>();
        endereco = std::make_unique<Endereco>(servidor->rootUrl().toUtf8());
        const auto login = Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
        ASSERT_TRUE(login.success) << login.message.toStdString();
        sessao.setChave(login.chave);
    }

    QStringList armazenados() {
        Protocolo::FiltroPesquisa filtro;
        filtro.sistema = QStringLiteral("TALAO");
        filtro.maximo = 100;
        const int n = Protocolo::ContarScripts(sessao, filtro).registros;
        QList<RegistroScript> registros;
        if (n > 0)
            Protocolo::BuscarScripts(sessao, filtro, n, [&](const RegistroScript &r) { registros << r; });
        std::sort(registros.begin(), registros.end(),
                  [](const RegistroScript &a, const RegistroScript &b) { return a.codigo < b.codigo; });
        QStringList nomes;
        for (const RegistroScript &r : registros)
            nomes << r.arquivo + QLatin1Char('=') + QString::fromLatin1(r.script);
        return nomes;
    }

    std::unique_ptr<TestServer> servidor;
    std::unique_ptr<Endereco> endereco;
    Conexao conexao;
    Sessao sessao{conexao};
    QList<Linha> fila{linha(QStringLiteral("/b/1.sql"), "um\r\n"),
                      linha(QStringLiteral("/b/2.sql"), "dois\r\n"),
                      linha(QStringLiteral("/b/3.sql"), "tres\r\n")};
};

TEST_F(EnvioServico, storesTheRowsInQueueOrder) {
    EnvioScripts envio(sessao, QStringLiteral("TALAO"));
    EXPECT_TRUE(envio.Executar(fila, [](int) { return true; }));
    EXPECT_EQ(armazenados(), (QStringList{"1.sql=um\r\n", "2.sql=dois\r\n", "3.sql=tres\r\n"}));
}

TEST_F(EnvioServico, refusalMidRunStopsAtThatRowWithTheServicesMessage) {
    fila[1].nomeArq = QStringLiteral("/b/"); // no file name: the service refuses the row
    EnvioScripts envio(sessao, QStringLiteral("TALAO"));
    int enviados = 0;
    try {
        envio.Executar(fila, [&](int n) {
            enviados = n;
            return true;
        });
        FAIL() << "the refusal went unnoticed";
    } catch (const Exception &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Campo obrigatório não informado: nome."));
    }
    EXPECT_EQ(enviados, 1);
    EXPECT_EQ(armazenados(), QStringList{"1.sql=um\r\n"});
}

TEST_F(EnvioServico, serviceGoingAwayAtTheSecondRowIsATransportFailure) {
    EnvioScripts envio(sessao, QStringLiteral("TALAO"));
    int enviados = 0;
    EXPECT_THROW(envio.Executar(fila,
                                [&](int n) {
                                    enviados = n;
                                    servidor.reset();
                                    return true;
                                }),
                 ErroTransporte);
    EXPECT_EQ(enviados, 1);
}

} // namespace
