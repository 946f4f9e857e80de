#include "validation/TfrmValidarScript.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "validation/ScriptRunner.h"

#include <Qsci/qsciscintilla.h>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TfrmValidarScriptTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_ini;
    const QString m_otherSections = QStringLiteral("; kept by the main window\n[envio]\nbase=/scripts\n");

    static QString field(TfrmValidarScript &w, const char *name) {
        return w.findChild<QLineEdit *>(QLatin1StringView(name))->text();
    }
    static void setField(TfrmValidarScript &w, const char *name, const QString &text) {
        w.findChild<QLineEdit *>(QLatin1StringView(name))->setText(text);
    }
    static QString result(TfrmValidarScript &w) {
        return w.findChild<QPlainTextEdit *>(QStringLiteral("memResultado"))->toPlainText();
    }
    static QsciScintilla *editor(TfrmValidarScript &w) {
        return w.findChild<QsciScintilla *>(QStringLiteral("edtScript"));
    }
    static void execute(TfrmValidarScript &w) {
        w.findChild<QToolButton *>(QStringLiteral("btExecutar"))->click();
    }
    QString iniText() const {
        QFile file(m_ini);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void init() {
        m_ini = m_dir.filePath(QStringLiteral("parametros.ini"));
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(m_otherSections.toUtf8());
    }

    void passwordReachesSettingsOnlyAfterAttachment() {
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        {
            TfrmValidarScript w(m_ini);
            setField(w, "edtBanco", m_dir.filePath(QStringLiteral("missing/db.fdb")));
            setField(w, "edtSenha", QStringLiteral("secret"));
            execute(w);
            QCOMPARE(result(w), ScriptRunner::failedLine());
            QCOMPARE(iniText(), m_otherSections);

            setField(w, "edtBanco", database.name());
            editor(w)->setText(QStringLiteral("select 1 from rdb$database;"));
            execute(w);
            QCOMPARE(result(w), ScriptRunner::connectedLine() + u'\n' + ScriptRunner::committedLine());
            QVERIFY(iniText().startsWith(m_otherSections));
        }
        TfrmValidarScript later(m_ini);
        QCOMPARE(field(later, "edtBanco"), database.name());
        QCOMPARE(field(later, "edtSenha"), QStringLiteral("secret"));
    }

    void windowsAreIndependent() {
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        TfrmValidarScript first(m_ini);
        TfrmValidarScript second(m_ini);
        setField(second, "edtBanco", QStringLiteral("typed but not run"));
        editor(second)->setText(QStringLiteral("second's script"));

        setField(first, "edtBanco", database.name());
        editor(first)->setText(QStringLiteral("insert into nowhere values (1);"));
        execute(first);
        const QStringList lines = result(first).split(u'\n');
        QCOMPARE(lines.constFirst(), ScriptRunner::connectedLine());
        QCOMPARE(lines.constLast(), ScriptRunner::committedLine());
        QVERIFY(lines.size() > 2); // the statement's error message in between

        QCOMPARE(result(second), QString());
        QCOMPARE(field(second, "edtBanco"), QStringLiteral("typed but not run"));
        QCOMPARE(editor(second)->text(), QStringLiteral("second's script"));
    }

    void loadFileReplacesScriptAndKeepsResult() {
        TfrmValidarScript w(m_ini);
        setField(w, "edtBanco", QString());
        execute(w);
        QCOMPARE(result(w), ScriptRunner::failedLine());

        const QString path = m_dir.filePath(QStringLiteral("script.sql"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("select 'a\xE7\xE3o' from t;\r\n"); // Windows-1252, no byte-order mark
        file.close();
        editor(w)->setText(QStringLiteral("old text"));
        w.LoadFile(path);
        QCOMPARE(editor(w)->text(), QStringLiteral("select 'ação' from t;\r\n"));
        QCOMPARE(result(w), ScriptRunner::failedLine());

        w.LoadFile(m_dir.filePath(QStringLiteral("deleted.sql")));
        QCOMPARE(editor(w)->text(), QStringLiteral("select 'ação' from t;\r\n"));
    }
};

QTEST_MAIN(TfrmValidarScriptTest)
#include "TfrmValidarScriptTest.moc"
