// The validation window where no Secret Service answers: it remembers no password anywhere and
// says so once.
#include "tests/validation/FirebirdTestDatabase.h"
#include "validation/ScriptRunner.h"
#include "validation/SenhaGuardada.h"
#include "validation/TfrmValidarScript.h"

#include <Qsci/qsciscintilla.h>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class SemChaveiroTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static QLineEdit *campo(TfrmValidarScript &w, const char *nome) {
        return w.findChild<QLineEdit *>(QLatin1StringView(nome));
    }
    static QString resultado(TfrmValidarScript &w) {
        return w.findChild<QPlainTextEdit *>(QStringLiteral("memResultado"))->toPlainText();
    }
    // Waits for the window's answer from the keyring.
    static bool senhaLida(TfrmValidarScript &w) {
        QSignalSpy lida(w.findChild<SenhaGuardada *>(), &SenhaGuardada::lida);
        return lida.wait(20000);
    }
    QString textoIni() const {
        QFile file(m_dir.filePath(QStringLiteral("parametros.ini")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase() {
        // A session bus address where nothing listens, set before anything uses the bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_dir.filePath(QStringLiteral("nada")).toUtf8());
    }

    void nothingIsRememberedAndTheWindowSaysSoOnce() {
        FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded);
        QVERIFY2(banco.isValid(), qPrintable(banco.error()));
        const QString ini = m_dir.filePath(QStringLiteral("parametros.ini"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[validacao]\ndatabase=%1\npassword=antiga\n").arg(banco.name()).toUtf8());
        file.close();

        TfrmValidarScript primeira(ini);
        QVERIFY(senhaLida(primeira));
        // The plain-text password leaves the file all the same, and is offered this once.
        QCOMPARE(textoIni(), QStringLiteral("[validacao]\ndatabase=%1\n").arg(banco.name()));
        QCOMPARE(campo(primeira, "edtSenha")->text(), QStringLiteral("antiga"));
        const QStringList avisos = resultado(primeira).split(u'\n');
        QCOMPARE(avisos.size(), 1);
        QVERIFY2(avisos[0].startsWith(SenhaGuardada::textoSemChaveiro(QString()).section(u'(', 0, 0)),
                 qPrintable(avisos[0]));

        // A run that attaches writes the database, and the password nowhere.
        campo(primeira, "edtSenha")->setText(QStringLiteral("nova"));
        primeira.findChild<QsciScintilla *>()->setText(QStringLiteral("select 1 from rdb$database;"));
        QSignalSpy fim(&primeira, &TfrmValidarScript::execucaoConcluida);
        QSignalSpy gravada(primeira.findChild<SenhaGuardada *>(), &SenhaGuardada::gravada);
        primeira.findChild<QToolButton *>(QStringLiteral("btExecutar"))->click();
        QVERIFY(fim.wait(60000));
        QVERIFY(gravada.wait(20000));
        QCOMPARE(gravada.at(0).at(0).toBool(), false);
        QCOMPARE(resultado(primeira), ScriptRunner::connectedLine() + u'\n' + ScriptRunner::committedLine());
        QCOMPARE(textoIni(), QStringLiteral("[validacao]\ndatabase=%1\n").arg(banco.name()));

        // The next window offers the database but no password, and does not repeat the notice.
        TfrmValidarScript segunda(ini);
        QVERIFY(senhaLida(segunda));
        QCOMPARE(campo(segunda, "edtBanco")->text(), banco.name());
        QCOMPARE(campo(segunda, "edtSenha")->text(), QString());
        QCOMPARE(resultado(segunda), QString());
    }
};

QTEST_MAIN(SemChaveiroTest)
#include "SemChaveiroTest.moc"
