#include "server/FabricaArmazenamento.h"
#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/support/BancoPostgresTeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

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
        Formulario f;
        for (const auto &[nome, valor] : {std::pair{"chave", chave},
                                          {"data", QStringLiteral("2024-01-01 00:00:00")},
                                          {"nome", QStringLiteral("a.sql")},
                                          {"sistema", QStringLiteral("KOR")},
                                          {"script", QStringLiteral("0x41")}})
            f.definir(QString::fromLatin1(nome), valor);
        return TratarInserir(contexto, f);
    }
    static QJsonObject objeto(const RespostaServico &r) { return QJsonDocument::fromJson(r.corpo).object(); }

    BancoPostgresTeste banco;
    std::unique_ptr<Armazenamento> armazenamento = FabricaArmazenamento::abrir(banco.uri());
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
