#include "server/ConexaoPostgres.h"
#include "server/FabricaArmazenamento.h"
#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/support/BancoPostgresTeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// The handlers over PostgreSQL, whose connections the test takes away behind their back.
class BancoIndisponivel : public testing::Test {
protected:
    void SetUp() override {
        armazenamento->definirUsuario(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha")));
        chave = armazenamento->abrirSessao(QStringLiteral("DEV"));
    }

    // Ends every session of the service's database and waits until they are gone.
    void derrubarConexoes() {
        BancoPostgresTeste::executar(
            BancoPostgresTeste::uriDoServidor(),
            QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity"
                           " WHERE datname = '%1' AND pid <> pg_backend_pid()")
                .arg(banco.nome()));
    }
    void permitirConexoes(bool permitir) {
        BancoPostgresTeste::executar(
            BancoPostgresTeste::uriDoServidor(),
            QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2")
                .arg(banco.nome(), permitir ? QStringLiteral("true") : QStringLiteral("false")));
    }

    RespostaServico inserir() {
        return TratarInserir(contexto, formulario({{"data", QStringLiteral("2024-01-01 00:00:00")},
                                                   {"nome", QStringLiteral("a.sql")},
                                                   {"sistema", QStringLiteral("KOR")},
                                                   {"script", QStringLiteral("0x41")}}));
    }
    Formulario formulario(std::initializer_list<std::pair<const char *, QString>> campos) const {
        Formulario f;
        f.definir(QStringLiteral("chave"), chave);
        for (const auto &[nome, valor] : campos)
            f.definir(QString::fromLatin1(nome), valor);
        return f;
    }
    // The server processes that serve the storage's connections to this test's database.
    QStringList processosDoServico() {
        return ConexaoPostgres(BancoPostgresTeste::uriDoServidor())
            .executar(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = ?"
                                     " AND application_name = 'brisel-scripts-server'"),
                      {banco.nome()})
            .value(0);
    }
    static QJsonObject objeto(const RespostaServico &r) { return QJsonDocument::fromJson(r.corpo).object(); }

    BancoPostgresTeste banco;
    // A short limit, so that the tests of it end soon.
    std::unique_ptr<Armazenamento> armazenamento =
        FabricaArmazenamento::abrir(banco.uri(), Armazenamento::ValidadeSessaoPadrao, {}, {8, 1});
    ContextoServidor contexto{*armazenamento, QStringLiteral("1.0"), 50};
    QString chave;
};

} // namespace

TEST_F(BancoIndisponivel, ConnectionsClosedByTheServerAreReplacedBeforeUse) {
    ASSERT_TRUE(objeto(inserir()).value("success").toBool());
    derrubarConexoes();
    const RespostaServico r = inserir();
    EXPECT_EQ(r.status, 200) << r.corpo.constData();
    EXPECT_EQ(objeto(r).value("codigo").toInt(), 2);
}

TEST_F(BancoIndisponivel, ARequestWithoutTheDatabaseGetsTheEnvelopeAndALaterOneWorksAgain) {
    ASSERT_TRUE(objeto(inserir()).value("success").toBool());
    permitirConexoes(false);
    derrubarConexoes();
    for (int i = 0; i < 2; ++i) {
        const RespostaServico r = inserir();
        EXPECT_EQ(r.status, 503);
        EXPECT_EQ(
            objeto(r),
            (QJsonObject{{"success", false},
                         {"message", QStringLiteral("O banco de dados do serviço não está disponível.")}}));
    }
    permitirConexoes(true);
    const RespostaServico r = inserir();
    EXPECT_EQ(r.status, 200) << r.corpo.constData();
    EXPECT_EQ(objeto(r).value("codigo").toInt(), 2)
        << "the refused requests stored nothing; the key still holds";
    EXPECT_EQ(armazenamento->contarLog({}, 10), 2);
}

// Another session holds the row: the update waits no longer than the limit, fails as the database
// not being available, and changes nothing.
TEST_F(BancoIndisponivel, AStatementPastTheLimitFailsAndChangesNothing) {
    ASSERT_TRUE(objeto(inserir()).value("success").toBool());
    ConexaoPostgres outra(banco.uri());
    outra.executar(QStringLiteral("BEGIN"));
    outra.executar(QStringLiteral("SELECT 1 FROM scripts WHERE codigo = 1 FOR UPDATE"));
    const Formulario atualizacao = formulario({{"codigo", QStringLiteral("1")}, {"script", QStringLiteral("0x42")}});
    const RespostaServico r = TratarAtualizar(contexto, atualizacao);
    EXPECT_EQ(r.status, 503) << r.corpo.constData();
    outra.executar(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(armazenamento->pesquisarScripts({}, 10, 0, 10).value(0).scriptHex, QStringLiteral("41"));
    EXPECT_EQ(armazenamento->contarLog({}, 10), 1);
    EXPECT_EQ(TratarAtualizar(contexto, atualizacao).status, 200);
}

// A server that stops answering altogether (its processes stopped) costs a request a few seconds
// past the limit, not a thread for ever; once it answers again, so does the service.
TEST_F(BancoIndisponivel, AServerThatStopsAnsweringFailsTheRequestAndTheServiceRecovers) {
    ASSERT_TRUE(objeto(inserir()).value("success").toBool());
    const QStringList processos = processosDoServico();
    ASSERT_FALSE(processos.isEmpty());
    struct Retomar {
        QStringList pids;
        ~Retomar() {
            for (const QString &pid : pids)
                ::kill(pid.toInt(), SIGCONT);
        }
    } retomar{processos};
    for (const QString &pid : processos)
        ASSERT_EQ(::kill(pid.toInt(), SIGSTOP), 0);
    const RespostaServico r = inserir();
    EXPECT_EQ(r.status, 503) << r.corpo.constData();
    for (const QString &pid : processos)
        ::kill(pid.toInt(), SIGCONT);
    const RespostaServico depois = inserir();
    EXPECT_EQ(depois.status, 200) << depois.corpo.constData();
    // The request that failed may still have been stored when its server went on: the answer to it
    // never said otherwise. Codes stay unique either way.
    EXPECT_GE(objeto(depois).value("codigo").toInt(), 2);
}
