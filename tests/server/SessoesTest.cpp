#include "server/Tratadores.h"
#include "service/Md5Senha.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// A database file whose clock the test moves.
class Sessoes : public testing::Test {
protected:
    std::unique_ptr<Armazenamento> abrir(qint64 validade = 3600) {
        auto a = std::make_unique<Armazenamento>(arquivo, validade, [this] { return agora; });
        a->definirUsuario(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha")));
        return a;
    }
    // Rows of the session table, read beside the service's own connection.
    int linhas() {
        sqlite3 *banco = nullptr;
        sqlite3_open(arquivo.toUtf8().constData(), &banco);
        sqlite3_stmt *q = nullptr;
        sqlite3_prepare_v2(banco, "SELECT count(*) FROM sessoes", -1, &q, nullptr);
        const int n = sqlite3_step(q) == SQLITE_ROW ? sqlite3_column_int(q, 0) : -1;
        sqlite3_finalize(q);
        sqlite3_close(banco);
        return n;
    }
    static QJsonObject pesquisar(ContextoServidor &contexto, const QString &chave) {
        Formulario f;
        f.definir(QStringLiteral("chave"), chave);
        f.definir(QStringLiteral("maximo"), QStringLiteral("10"));
        f.definir(QStringLiteral("contar"), QStringLiteral("true"));
        return QJsonDocument::fromJson(TratarPesquisar(contexto, f).corpo).object();
    }

    QTemporaryDir dir;
    QString arquivo = dir.filePath(QStringLiteral("servico.db"));
    QDateTime agora = QDateTime(QDate(2024, 3, 1), QTime(8, 0));
};

} // namespace

TEST_F(Sessoes, AKeyLapsesAfterItsValidityWithoutUseAndUseRenewsIt) {
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

TEST_F(Sessoes, ALapsedKeyGetsTheSameRefusalAsAWrongOne) {
    auto a = abrir();
    ContextoServidor contexto{*a, QStringLiteral("1.0"), 50};
    const QString chave = a->abrirSessao(QStringLiteral("DEV"));
    EXPECT_TRUE(pesquisar(contexto, chave).value("success").toBool());
    agora = agora.addSecs(3601);
    const QJsonObject vencida = pesquisar(contexto, chave);
    EXPECT_FALSE(vencida.value("success").toBool(true));
    EXPECT_EQ(vencida, pesquisar(contexto, QStringLiteral("0123456789abcdef")));
}

TEST_F(Sessoes, LogInsAndRestartsRemoveLapsedKeysAndKeepValidOnes) {
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

TEST_F(Sessoes, KeysFromADatabaseThatKeptNoTimeOfUseAreDropped) {
    sqlite3 *banco = nullptr;
    sqlite3_open(arquivo.toUtf8().constData(), &banco);
    sqlite3_exec(banco,
                 "CREATE TABLE sessoes (chave TEXT PRIMARY KEY, usuario TEXT NOT NULL);"
                 "INSERT INTO sessoes VALUES ('antiga', 'DEV')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(banco);
    auto a = abrir();
    EXPECT_EQ(a->usuarioDaSessao(QStringLiteral("antiga")), QString());
    EXPECT_EQ(linhas(), 0);
    const QString chave = a->abrirSessao(QStringLiteral("DEV"));
    EXPECT_EQ(a->usuarioDaSessao(chave), QStringLiteral("DEV"));
}
