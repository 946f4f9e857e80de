// brisel-scripts-cli validate --on-copy: the trial from a shell, and a killed trial's copy removed
// by the command's next start.
#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

class TrialCommandTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_STATE_HOME"_qs, m_dir.filePath(u"state"_qs));
        m_cli.setProcessEnvironment(environment);
    }
    QString writeScript(const QString &text) {
        const QString path = m_dir.filePath(u"script.sql"_qs);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        return path;
    }
    void start(const FirebirdTestDatabase &database, const QString &script) {
        m_cli.start(QStringLiteral(BRISEL_CLI), {u"validate"_qs, u"--on-copy"_qs, u"--database"_qs,
                                                 database.name(), writeScript(script)});
    }
    static QStringList filesBeside(const FirebirdTestDatabase &database) {
        return QFileInfo(database.name()).dir().entryList(QDir::Files);
    }

    QTemporaryDir m_dir;
    QProcess m_cli;
};

TEST_F(TrialCommandTest, ReportsTheIndexFailureAtItsLineAndChangesNothing) {
    FirebirdTestDatabase database(
        FirebirdTestDatabase::Access::Embedded,
        u"CREATE TABLE P (ID INTEGER); INSERT INTO P VALUES (1); INSERT INTO P VALUES (1);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    start(database, u"CREATE TABLE NOVA (ID INTEGER);\nCOMMIT;\nINSERT INTO NOVA VALUES (1);\n"
                    "CREATE UNIQUE INDEX UQ_P ON P (ID);\n"_qs);
    ASSERT_TRUE(m_cli.waitForFinished(60000));
    const QStringList lines =
        QString::fromUtf8(m_cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(m_cli.exitCode(), 1);
    ASSERT_EQ(lines.size(), 7) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.at(2), u"Linha 4: CREATE UNIQUE INDEX UQ_P ON P (ID)"_qs);
    EXPECT_EQ(lines.constLast(), u"Ensaio numa cópia descartável: o banco de dados não foi alterado."_qs);
    EXPECT_EQ(database.column(u"select count(*) from rdb$relations where rdb$relation_name = 'NOVA'"_qs),
              QStringList({u"0"_qs}));
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
}

TEST_F(TrialCommandTest, KilledTrialsCopyIsRemovedByTheNextStart) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    start(database,
          u"EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 2000000000) DO I = I + 1; END"_qs);
    ASSERT_TRUE(m_cli.waitForStarted());
    // The copy line is printed once the copy is made and the database is out of backup mode.
    QString out;
    for (int i = 0; i < 300 && !out.contains(u"Cópia descartável"_qs); ++i) {
        m_cli.waitForReadyRead(100);
        out += QString::fromUtf8(m_cli.readAllStandardOutput());
    }
    m_cli.kill();
    m_cli.waitForFinished();
    ASSERT_TRUE(out.contains(u"Cópia descartável"_qs)) << out.toStdString();
    ASSERT_EQ(filesBeside(database).size(), 2);

    start(database, u"select 1 from rdb$database;"_qs);
    ASSERT_TRUE(m_cli.waitForFinished(60000));
    EXPECT_EQ(m_cli.exitCode(), 0) << m_cli.readAllStandardOutput().toStdString();
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
    EXPECT_TRUE(QDir(m_dir.filePath(u"state/BriselScripts/ensaios"_qs)).isEmpty());
}

} // namespace
