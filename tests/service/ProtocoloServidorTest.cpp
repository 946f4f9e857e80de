#include "service/Enderecos.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "tests/support/TestServer.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Protocolo;

// The client against the reference service on loopback, with pages of 2 records.
class ProtocoloServidor : public testing::Test {
protected:
    void SetUp() override {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toLatin1());
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        const RespostaLogin login = Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
        ASSERT_TRUE(login.success) << login.message.toStdString();
        ASSERT_FALSE(login.chave.isEmpty());
        sessao.setChave(login.chave);
    }
    void TearDown() override {
        qunsetenv("BRISEL_SERVICE_URL");
        QLocale::setDefault(QLocale::system());
    }

    FiltroPesquisa todos() const {
        FiltroPesquisa f;
        f.maximo = 100;
        return f;
    }

    TestServer servidor{{QStringLiteral("DEV:senha")}, {QStringLiteral("--page-size"), QStringLiteral("2")}};
    Conexao conexao;
    Sessao sessao{conexao};
};

TEST_F(ProtocoloServidor, WrongPasswordIsRefusedWithTheServiceMessage) {
    const RespostaLogin r = Login(conexao, QStringLiteral("DEV"), QStringLiteral("errada"));
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.message, QStringLiteral("Usuário ou senha inválidos."));
}

TEST_F(ProtocoloServidor, InsertSearchInPagesUpdateDeleteAndLog) {
    const QDateTime quando(QDate(2024, 3, 10), QTime(8, 30, 15));
    for (int i = 1; i <= 5; ++i) {
        const auto inserido =
            Inserir(sessao, quando.addDays(i), QStringLiteral("script%1.sql").arg(i), QStringLiteral("KOR"),
                    QByteArray("select '\xE7';\r\n") + QByteArray::number(i));
        ASSERT_TRUE(inserido && inserido->success);
    }

    const RespostaContagem contagem = ContarScripts(sessao, todos());
    ASSERT_TRUE(contagem.success) << contagem.message.toStdString();
    ASSERT_EQ(contagem.registros, 5);
    QList<RegistroScript> achados;
    EXPECT_EQ(
        BuscarScripts(sessao, todos(), contagem.registros, [&](const RegistroScript &r) { achados << r; }),
        5);
    ASSERT_EQ(achados.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(achados[i].codigo, i + 1);
        EXPECT_EQ(achados[i].arquivo, QStringLiteral("script%1.sql").arg(i + 1));
        EXPECT_EQ(achados[i].data, quando.addDays(i + 1));
        EXPECT_EQ(achados[i].script, QByteArray("select '\xE7';\r\n") + QByteArray::number(i + 1));
    }
    EXPECT_EQ(servidor.log().count(QStringLiteral("/pesquisar 200")), 4); // the count and three pages

    EXPECT_TRUE(Atualizar(sessao, 2, QByteArray("novo")).success);
    EXPECT_TRUE(Excluir(sessao, 3).success);
    const Resposta denovo = Excluir(sessao, 3);
    EXPECT_FALSE(denovo.success);
    EXPECT_FALSE(denovo.message.isEmpty());
    EXPECT_EQ(ContarScripts(sessao, todos()).registros, 4);

    FiltroPesquisa doScript2 = todos();
    doScript2.codigo = QStringLiteral("2");
    const RespostaContagem logs = ContarLogs(sessao, doScript2);
    ASSERT_EQ(logs.registros, 2);
    QList<RegistroLog> log;
    BuscarLogs(sessao, doScript2, logs.registros, [&](const RegistroLog &r) { log << r; });
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].descricao, QStringLiteral("Alteração")); // newest first
    EXPECT_EQ(log[0].script_anterior, QByteArray("select '\xE7';\r\n2"));
    EXPECT_EQ(log[0].script_atual, QByteArray("novo"));
    EXPECT_EQ(log[0].nome, QStringLiteral("DEV"));
    EXPECT_EQ(log[1].descricao, QStringLiteral("Inclusão"));
    EXPECT_EQ(log[1].script_anterior, QByteArray());

    FiltroPesquisa doScript3 = todos();
    doScript3.codigo = QStringLiteral("3");
    QList<RegistroLog> exclusao;
    BuscarLogs(sessao, doScript3, 2, [&](const RegistroLog &r) { exclusao << r; });
    ASSERT_EQ(exclusao.size(), 2);
    EXPECT_EQ(exclusao[0].descricao, QStringLiteral("Exclusão"));
    EXPECT_EQ(exclusao[0].script_atual, QByteArray());
    EXPECT_EQ(exclusao[0].script_anterior, QByteArray("select '\xE7';\r\n3"));
}

TEST_F(ProtocoloServidor, AnUnknownKeyIsRefused) {
    sessao.setChave(QStringLiteral("nao-existe"));
    const RespostaContagem r = ContarScripts(sessao, todos());
    EXPECT_FALSE(r.success);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_FALSE(Excluir(sessao, 1).success);
}

// Logged lines of 4 KB (the path of a request that is not found) soon pass what a pipe holds;
// the service must keep answering though nobody reads its log meanwhile.
TEST_F(ProtocoloServidor, ALongLogDoesNotStallTheService) {
    const QString caminho = QStringLiteral("/") + QString(4000, u'x');
    const int vezes = 64;
    for (int i = 0; i < vezes; ++i)
        ASSERT_THROW(conexao.Get(URLBase() + caminho), ErroTransporte) << "request " << i; // 404
    EXPECT_EQ(servidor.log().count(caminho + QStringLiteral(" 404")), vezes);
}
