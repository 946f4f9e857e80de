#include "server/ConexaoPostgres.h"
#include "server/FabricaArmazenamento.h"
#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/support/BancoPostgresTeste.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

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
    QStringList scripts() {
        QStringList textos;
        for (const ScriptArmazenado &s : armazenamento->pesquisarScripts({}, 100, 0, 100))
            textos << s.scriptHex;
        return textos;
    }
    // Whether a session on this database still waits for a lock: looked at until none does, for
    // a few seconds at most.
    bool servicoEsperaTrava() {
        ConexaoPostgres olhar(BancoPostgresTeste::uriDoServidor());
        for (QDeadlineTimer prazo(10000);; QThread::msleep(20)) {
            const bool espera = olhar.valor(QStringLiteral("SELECT count(*) FROM pg_stat_activity"
                                                           " WHERE datname = ? AND wait_event_type = 'Lock'"),
                                            {banco.nome()}) != QLatin1String("0");
            if (!espera || prazo.hasExpired())
                return espera;
        }
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

// Another session holds what a request needs: the request waits no longer than the limit, fails as
// the database not being available, and is cancelled on the server rather than left waiting there
// (once the lock went, the insert, outside a transaction, would be stored after all).
TEST_F(BancoIndisponivel, AStatementPastTheLimitIsCancelledAndChangesNothing) {
    ASSERT_TRUE(objeto(inserir()).value("success").toBool());
    const Formulario atualizacao =
        formulario({{"codigo", QStringLiteral("1")}, {"script", QStringLiteral("0x42")}});
    const struct {
        const char *trava;
        std::function<RespostaServico()> pedido;
    } casos[] = {
        {"SELECT 1 FROM scripts WHERE codigo = 1 FOR UPDATE",
         [&] { return TratarAtualizar(contexto, atualizacao); }},
        {"LOCK TABLE scripts IN SHARE MODE", [&] { return inserir(); }},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.trava);
        const QStringList antes = scripts();
        const int logAntes = armazenamento->contarLog({}, 100);
        ConexaoPostgres outra(banco.uri());
        // Should the request wait for the lock regardless, the server lets it go in the end.
        outra.executar(QStringLiteral("SET idle_in_transaction_session_timeout = '20s'"));
        outra.executar(QStringLiteral("BEGIN"));
        outra.executar(QString::fromLatin1(caso.trava));
        const RespostaServico r = caso.pedido();
        EXPECT_EQ(r.status, 503) << r.corpo.constData();
        EXPECT_EQ(objeto(r).value("message").toString(),
                  QStringLiteral("O banco de dados do serviço não está disponível."));
        EXPECT_FALSE(servicoEsperaTrava()) << "the statement was given up but not cancelled";
        outra.executar(QStringLiteral("ROLLBACK"));
        EXPECT_EQ(scripts(), antes);
        EXPECT_EQ(armazenamento->contarLog({}, 100), logAntes);
        const RespostaServico depois = caso.pedido();
        EXPECT_EQ(depois.status, 200) << depois.corpo.constData();
    }
}
