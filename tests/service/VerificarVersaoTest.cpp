#include "service/Versao.h"
#include "tests/service/RecordingServer.h"
#include "base/Exception.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class VerificarVersaoTest : public testing::Test {
protected:
    void TearDown() override { qunsetenv("BRISEL_SERVICE_URL"); }
    QByteArray log() {
        QFile f(dir.filePath("log.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    Conexao conexao;
};

TEST_F(VerificarVersaoTest, ReturnsTheReplyText) {
    RecordingServer peer;
    peer.queueReply(RecordingServer::reply("\"1.0.8\""));
    qputenv("BRISEL_SERVICE_URL", peer.rootUrl().toLatin1());
    EXPECT_EQ(VerificarVersao(conexao, QStringLiteral("1.0.7"), dir.path()), QStringLiteral("\"1.0.8\""));
    EXPECT_EQ(peer.requests().value(0).requestLine,
              "GET /services/index.php/versao/listar?programa=SCRIPTS HTTP/1.1");
    EXPECT_FALSE(QFile::exists(dir.filePath("log.log")));
}

TEST_F(VerificarVersaoTest, AFailureAppendsTwoLinesAndAnswersTheOwnVersion) {
    RecordingServer peer;
    for (int i = 0; i < 2; ++i)
        peer.queueReply(RecordingServer::reply("erro", "text/plain", "500 Internal Server Error"));
    qputenv("BRISEL_SERVICE_URL", peer.rootUrl().toLatin1());
    EXPECT_EQ(VerificarVersao(conexao, QStringLiteral("1.0.7"), dir.path()), QStringLiteral("\"1.0.7\""));
    EXPECT_EQ(VerificarVersao(conexao, QStringLiteral("1.0.7"), dir.path()), QStringLiteral("\"1.0.7\""));
    const QString texto = QString::fromLatin1(log());
    static const QRegularExpression forma(
        QStringLiteral("^\r\n\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\t[^\r\n]*500[^\r\n]*\r\n"
                       "\r\n\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\t[^\r\n]+\r\n$"));
    EXPECT_TRUE(forma.match(texto).hasMatch()) << texto.toStdString();
}

TEST_F(VerificarVersaoTest, EarlierLinesAreKept) {
    {
        QFile f(dir.filePath("log.log"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("anterior\r\n");
    }
    int porta;
    {
        RecordingServer fechado;
        porta = fechado.port();
    }
    qputenv("BRISEL_SERVICE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(porta));
    VerificarVersao(conexao, QStringLiteral("1.0.7"), dir.path());
    const QList<QByteArray> linhas = log().split('\n');
    ASSERT_EQ(linhas.size(), 4); // three lines and the end after the last
    EXPECT_EQ(linhas[0], "anterior\r");
    EXPECT_EQ(linhas[1], "\r");
    EXPECT_TRUE(linhas[3].isEmpty());
}

TEST_F(VerificarVersaoTest, AnUnwritableLogFails) {
    qputenv("BRISEL_SERVICE_URL", "http://127.0.0.1:1");
    EXPECT_THROW(VerificarVersao(conexao, QStringLiteral("1.0.7"), dir.filePath("nao/existe")), Exception);
}
