#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/server/BancoTeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// A database whose clock the test moves.
class ComSessoes : public testing::Test {
protected:
    explicit ComSessoes(Motor motor) : banco(motor) {}

    std::unique_ptr<Armazenamento> abrir(qint64 validade = 3600) {
        auto a = banco.abrir(validade, [this] { return agora; });
        a->definirUsuario(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha")));
        return a;
    }
    // Rows of the session table, read beside the service's own connection.
    int linhas() { return banco.conexao()->valor(QStringLiteral("SELECT count(*) FROM sessoes")).toInt(); }
    static QJsonObject pesquisar(ContextoServidor &contexto, const QString &chave) {
        Formulario f;
        f.definir(QStringLiteral("chave"), chave);
        f.definir(QStringLiteral("maximo"), QStringLiteral("10"));
        f.definir(QStringLiteral("contar"), QStringLiteral("true"));
        return QJsonDocument::fromJson(TratarPesquisar(contexto, f).corpo).object();
    }

    BancoTeste banco;
    QDateTime agora = QDateTime(QDate(2024, 3, 1), QTime(8, 0));
};

class Sessoes : public ComSessoes, public testing::WithParamInterface<Motor> {
protected:
    Sessoes() : ComSessoes(GetParam()) {}
};

// Files from before the schema carried a version.
class SessoesSqlite : public ComSessoes {
protected:
    SessoesSqlite() : ComSessoes(Motor::Sqlite) {}
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Motores, Sessoes, Motores(), NomeMotorParametro);

TEST_P(Sessoes, AKeyLapsesAfterItsValidityWithoutUseAndUseRenewsIt) {
    auto a = abrir();
    const QString chave = a->abrirSessao(QStringLiteral("dev"));
    // Used every 50 minutes for five hours: still valid.
    for (int i = 0; i < 6; ++i) {
        agora = agora.addSecs(50 * 60);
        ASSERT_EQ(a->usuarioDaSessao(chave), QStringLiteral("DEV")) << i;
    }
    agora = agora.addSecs(3601);
    EXPECT_EQ(a->usuarioDaSessao(chave), QString());
    EXPECT_EQ(linhas(), 0) << "a lapsed key is removed when met";
    agora = agora.addSecs(-3601);
    EXPECT_EQ(a->usuarioDaSessao(chave), QString()) << "a removed key stays refused";
}

TEST_P(Sessoes, ALapsedKeyGetsTheSameRefusalAsAWrongOne) {
    auto a = abrir();
    ContextoServidor contexto{*a, QStringLiteral("1.0"), 50};
    const QString chave = a->abrirSessao(QStringLiteral("DEV"));
    EXPECT_TRUE(pesquisar(contexto, chave).value("success").toBool());
    agora = agora.addSecs(3601);
    const QJsonObject vencida = pesquisar(contexto, chave);
    EXPECT_FALSE(vencida.value("success").toBool(true));
    EXPECT_EQ(vencida, pesquisar(contexto, QStringLiteral("0123456789abcdef")));
}

TEST_P(Sessoes, LogInsAndRestartsRemoveLapsedKeysAndKeepValidOnes) {
    QString velha, recente;
    {
        auto a = abrir();
        velha = a->abrirSessao(QStringLiteral("DEV"));
        agora = agora.addSecs(1800);
        recente = a->abrirSessao(QStringLiteral("DEV"));
        agora = agora.addSecs(1801);
        a->abrirSessao(QStringLiteral("DEV")); // the first key has lapsed: this log-in removes it
        EXPECT_EQ(linhas(), 2);
    }
    agora = agora.addSecs(1800);
    auto a = abrir(); // the second key lapsed while the service was down
    EXPECT_EQ(linhas(), 1);
    EXPECT_EQ(a->usuarioDaSessao(recente), QString());
    EXPECT_EQ(a->usuarioDaSessao(velha), QString());
}

TEST_F(SessoesSqlite, KeysFromADatabaseThatKeptNoTimeOfUseAreDropped) {
    sqlite3 *antigo = nullptr;
    sqlite3_open(banco.db().toUtf8().constData(), &antigo);
    sqlite3_exec(antigo,
                 "CREATE TABLE sessoes (chave TEXT PRIMARY KEY, usuario TEXT NOT NULL);"
                 "INSERT INTO sessoes VALUES ('antiga', 'DEV')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(antigo);
    auto a = abrir();
    EXPECT_EQ(a->usuarioDaSessao(QStringLiteral("antiga")), QString());
    EXPECT_EQ(linhas(), 0);
    const QString chave = a->abrirSessao(QStringLiteral("DEV"));
    EXPECT_EQ(a->usuarioDaSessao(chave), QStringLiteral("DEV"));
}
