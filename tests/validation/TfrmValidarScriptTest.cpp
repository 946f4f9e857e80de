#include "validation/TfrmValidarScript.h"
#include "tests/validation/ChaveiroDeTeste.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/SampleScripts.h"
#include "validation/ScriptRunner.h"
#include "validation/ScriptTrial.h"
#include "validation/SenhaGuardada.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

class TfrmValidarScriptTest : public QObject {
    Q_OBJECT

private:
    // Before anything in the process uses the session bus.
    ChaveiroDeTeste m_chaveiro;
    QTemporaryDir m_dir;
    QString m_ini;
    const QString m_otherSections = QStringLiteral("; kept by the main window\n[envio]\nbase=/scripts\n");
    const QString m_table = QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY);");

    static QLineEdit *lineEdit(TfrmValidarScript &w, const char *name) {
        return w.findChild<QLineEdit *>(QLatin1StringView(name));
    }
    static QString field(TfrmValidarScript &w, const char *name) { return lineEdit(w, name)->text(); }
    static void setField(TfrmValidarScript &w, const char *name, const QString &text) {
        lineEdit(w, name)->setText(text);
    }
    static QPlainTextEdit *resultBox(TfrmValidarScript &w) {
        return w.findChild<QPlainTextEdit *>(QStringLiteral("memResultado"));
    }
    static QString result(TfrmValidarScript &w) { return resultBox(w)->toPlainText(); }
    static QsciScintilla *editor(TfrmValidarScript &w) {
        return w.findChild<QsciScintilla *>(QStringLiteral("edtScript"));
    }
    static QToolButton *button(TfrmValidarScript &w, const char *name) {
        return w.findChild<QToolButton *>(QLatin1StringView(name));
    }
    // "Executar", then the end of the run.
    static bool execute(TfrmValidarScript &w) {
        QSignalSpy ended(&w, &TfrmValidarScript::execucaoConcluida);
        button(w, "btExecutar")->click();
        return ended.wait(60000);
    }
    // A script long enough to be still running when it is stopped.
    static QString manyInserts() {
        QString script;
        for (int i = 1; i <= 200000; ++i)
            script += QStringLiteral("insert into t (a) values (%1);\n").arg(i);
        return script;
    }
    QString iniText() const {
        QFile file(m_ini);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // What the keyring remembers for `banco`, read by a program of its own.
    QString lembrada(const QString &banco) {
        SenhaGuardada senha(m_ini);
        QSignalSpy lida(&senha, &SenhaGuardada::lida);
        senha.ler(banco);
        return lida.wait(20000) ? lida.at(0).at(1).toString() : QStringLiteral("(no answer)");
    }

private slots:
    void initTestCase() { QVERIFY2(m_chaveiro.isValid(), qPrintable(m_chaveiro.erro())); }

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
            const QString missing = m_dir.filePath(QStringLiteral("missing/db.fdb"));
            setField(w, "edtBanco", missing);
            setField(w, "edtSenha", QStringLiteral("secret"));
            QVERIFY(execute(w));
            // The failure line, then the engine's reason, which names the file.
            const QStringList lines = result(w).split(u'\n');
            QCOMPARE(lines.constFirst(), ScriptRunner::failedLine());
            QVERIFY2(lines.size() > 1 && result(w).contains(missing), qPrintable(result(w)));
            QCOMPARE(iniText(), m_otherSections);

            setField(w, "edtBanco", database.name());
            editor(w)->setText(QStringLiteral("select 1 from rdb$database;"));
            QVERIFY(execute(w));
            QCOMPARE(result(w), ScriptRunner::connectedLine() + u'\n' + ScriptRunner::committedLine());
            QVERIFY(iniText().startsWith(m_otherSections));
            QTRY_COMPARE_WITH_TIMEOUT(lembrada(database.name()), QStringLiteral("secret"), 20000);
        }
        // The password is in the keyring, never in the file.
        QVERIFY2(!iniText().contains(QStringLiteral("secret")), qPrintable(iniText()));
        TfrmValidarScript later(m_ini);
        QCOMPARE(field(later, "edtBanco"), database.name());
        QTRY_COMPARE_WITH_TIMEOUT(field(later, "edtSenha"), QStringLiteral("secret"), 20000);
        QCOMPARE(result(later), QString());
    }

    // A password an older version kept in plain text moves to the keyring and leaves the file.
    void aPasswordInTheSettingsFileMovesToTheKeyring() {
        const QString banco = m_dir.filePath(QStringLiteral("antigo.fdb"));
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QStringLiteral("[validacao]\ndatabase=%1\npassword=antiga\n").arg(banco).toUtf8());
        file.close();
        {
            TfrmValidarScript w(m_ini);
            QCOMPARE(field(w, "edtBanco"), banco);
            QTRY_COMPARE_WITH_TIMEOUT(field(w, "edtSenha"), QStringLiteral("antiga"), 20000);
            QCOMPARE(iniText(), m_otherSections + QStringLiteral("[validacao]\ndatabase=%1\n").arg(banco));
            QCOMPARE(result(w), QString());
        }
        QCOMPARE(lembrada(banco), QStringLiteral("antiga"));
        TfrmValidarScript later(m_ini);
        QTRY_COMPARE_WITH_TIMEOUT(field(later, "edtSenha"), QStringLiteral("antiga"), 20000);
    }

    void passwordShowsAStarPerCharacterAndEveryFileCanBeOpened() {
        TfrmValidarScript w(m_ini);
        setField(w, "edtSenha", QStringLiteral("senha"));
        QCOMPARE(lineEdit(w, "edtSenha")->displayText(), QStringLiteral("*****"));
        QCOMPARE(
            w.findChild<QFileDialog *>(QStringLiteral("Abrir"))->nameFilters(),
            QStringList({QStringLiteral("Arquivos SQL (*.sql)"), QStringLiteral("Todos os arquivos (*)")}));
    }

    // A name typed into "Abrir" and accepted with Enter while the completion list shows: the file
    // is loaded and the list does not stay over the window, where it would take the next click.
    void aFileOpenedByTypingItsNameLeavesNoCompletionListBehind() {
        for (const char *nome : {"lento.sql", "lento2.sql"}) {
            QFile f(m_dir.filePath(QLatin1String(nome)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("select 1 from rdb$database;\n");
        }
        TfrmValidarScript w(m_ini);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *dialogo = w.findChild<QFileDialog *>(QStringLiteral("Abrir"));
        dialogo->setOption(QFileDialog::DontUseNativeDialog);
        bool listaVista = false;
        QTimer::singleShot(0, dialogo, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(dialogo));
            auto *nome = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            nome->setFocus();
            QTest::keyClicks(nome, m_dir.filePath(QStringLiteral("lent")));
            QCompleter *completar = nome->completer();
            QVERIFY(completar);
            listaVista = QTest::qWaitFor([&] { return completar->popup()->isVisible(); }, 5000);
            // The keys go where the user's keys go: to the list while it shows.
            const auto foco = [&]() -> QWidget * {
                return completar->popup()->isVisible() ? completar->popup() : static_cast<QWidget *>(nome);
            };
            QTest::keyClicks(foco(), QStringLiteral("o.sql"));
            QTest::keyClick(foco(), Qt::Key_Return);
            if (dialogo->isVisible())
                dialogo->reject();
        });
        w.btAbrirClick();
        QVERIFY(listaVista);
        QCOMPARE(editor(w)->text(), QStringLiteral("select 1 from rdb$database;\n"));
        for (QCompleter *c : dialogo->findChildren<QCompleter *>())
            QVERIFY(!c->popup()->isVisible());
    }

    // Six-digit line numbers are shown whole, not cut on the left.
    void lineNumberGutterFitsTheLargestNumber() {
        TfrmValidarScript w(m_ini);
        editor(w)->setText(QString(123455, u'\n'));
        QCOMPARE(editor(w)->lines(), 123456);
        QVERIFY(editor(w)->marginWidth(0) > QFontMetrics(QFont(QStringLiteral("Courier New"), 8))
                                                .horizontalAdvance(QStringLiteral("123456")));
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
        QVERIFY(execute(first));
        const QStringList lines = result(first).split(u'\n');
        QCOMPARE(lines.constFirst(), ScriptRunner::connectedLine());
        QCOMPARE(lines.at(1), QStringLiteral("Linha 1: insert into nowhere values (1)"));
        QCOMPARE(lines.constLast(), ScriptRunner::committedLine());
        QVERIFY(lines.size() > 3); // the statement's error message in between

        QCOMPARE(result(second), QString());
        QCOMPARE(field(second, "edtBanco"), QStringLiteral("typed but not run"));
        QCOMPARE(editor(second)->text(), QStringLiteral("second's script"));
    }

    void loadFileReplacesScriptAndKeepsResult() {
        TfrmValidarScript w(m_ini);
        setField(w, "edtBanco", QString());
        QVERIFY(execute(w));
        const QString failed = result(w);
        QVERIFY(failed.startsWith(ScriptRunner::failedLine()));

        const QString path = m_dir.filePath(QStringLiteral("script.sql"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("select 'a\xE7\xE3o' from t;\r\n"); // Windows-1252, no byte-order mark
        file.close();
        editor(w)->setText(QStringLiteral("old text"));
        w.LoadFile(path);
        QCOMPARE(editor(w)->text(), QStringLiteral("select 'ação' from t;\r\n"));
        QCOMPARE(result(w), failed);

        w.LoadFile(m_dir.filePath(QStringLiteral("deleted.sql")));
        QCOMPARE(editor(w)->text(), QStringLiteral("select 'ação' from t;\r\n"));
    }

    // A double click on a failing statement's "Linha N: " line takes the editor to line N; the
    // margin marks the failing lines.
    void doubleClickOnAnErrorGoesToItsLine() {
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, m_table);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        TfrmValidarScript w(m_ini);
        w.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        setField(w, "edtBanco", database.name());
        editor(w)->setText(QString::fromUtf8(SampleScripts::errorOnLine7) +
                           QStringLiteral("insert into nowhere (a) values (5);\n"));
        QVERIFY(execute(w));

        QPlainTextEdit *box = resultBox(w);
        const QTextBlock report = box->document()->findBlockByNumber(1);
        QCOMPARE(report.text(), QString::fromUtf8(SampleScripts::errorOnLine7Report));
        QVERIFY2(result(w).contains(QStringLiteral("\nLinha 9: insert into nowhere (a) values (5)\n")),
                 qPrintable(result(w)));
        for (int line = 0; line < editor(w)->lines(); ++line)
            QCOMPARE(editor(w)->markersAtLine(line) != 0, line == 6 || line == 8);

        editor(w)->setCursorPosition(0, 0);
        QTextCursor cursor(report);
        box->setTextCursor(cursor);
        box->ensureCursorVisible();
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, box->cursorRect(cursor).center());
        int line = -1;
        int index = -1;
        editor(w)->getCursorPosition(&line, &index);
        QCOMPARE(line + 1, 7);
        QCOMPARE(editor(w)->selectedText(), QStringLiteral("  valuez (3);"));

        // Any other line of the result box leaves the editor where it is.
        QTextCursor other(box->document()->findBlockByNumber(2));
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, box->cursorRect(other).center());
        editor(w)->getCursorPosition(&line, &index);
        QCOMPARE(line + 1, 7);
    }

    // While a run works the window keeps its own input: only "Cancelar" and "Fechar" answer.
    // "Cancelar" ends the run after its statement and rolls back.
    void cancelStopsTheRunAndRollsBack() {
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, m_table);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        {
            TfrmValidarScript w(m_ini);
            setField(w, "edtBanco", database.name());
            editor(w)->setText(manyInserts());
            QVERIFY(!button(w, "btCancelar")->isEnabled());
            QSignalSpy ended(&w, &TfrmValidarScript::execucaoConcluida);
            button(w, "btExecutar")->click();
            QVERIFY(w.executando());
            QVERIFY(!button(w, "btExecutar")->isEnabled());
            QVERIFY(!button(w, "btAbrir")->isEnabled());
            QVERIFY(lineEdit(w, "edtBanco")->isReadOnly());
            QVERIFY(editor(w)->isReadOnly());
            QTRY_COMPARE_WITH_TIMEOUT(result(w), ScriptRunner::connectedLine(), 30000);
            button(w, "btCancelar")->click();
            QVERIFY(ended.wait(30000));
            QCOMPARE(result(w).split(u'\n'),
                     QStringList({ScriptRunner::connectedLine(), ScriptRunner::cancelledLine(),
                                  ScriptRunner::rolledBackLine()}));
            QVERIFY(button(w, "btExecutar")->isEnabled());
            QVERIFY(!button(w, "btCancelar")->isEnabled());
            QVERIFY(!editor(w)->isReadOnly());
        }
        QCOMPARE(database.column(QStringLiteral("select count(*) from t")),
                 QStringList({QStringLiteral("0")}));
    }

    // Closing a window that frees itself in the middle of a run stops the run the same way.
    void closingDuringARunStopsItAndRollsBack() {
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, m_table);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        QPointer<TfrmValidarScript> w = new TfrmValidarScript(m_ini);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        setField(*w, "edtBanco", database.name());
        editor(*w)->setText(manyInserts());
        button(*w, "btExecutar")->click();
        QTRY_COMPARE_WITH_TIMEOUT(result(*w), ScriptRunner::connectedLine(), 30000);
        button(*w, "ToolButton2")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.isNull(), 30000);
        QCOMPARE(database.column(QStringLiteral("select count(*) from t")),
                 QStringList({QStringLiteral("0")}));
    }

    // The trial's box is remembered; its run leaves the database as it was, also when the window
    // is closed in the middle of it.
    void trialIsRememberedAndLeavesNothing() {
        qputenv("XDG_STATE_HOME", m_dir.filePath(QStringLiteral("state")).toUtf8());
        FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, m_table);
        QVERIFY2(database.isValid(), qPrintable(database.error()));
        const QDir folder = QFileInfo(database.name()).dir();
        {
            TfrmValidarScript w(m_ini);
            auto *ensaio = w.findChild<QCheckBox *>(QStringLiteral("ckEnsaio"));
            QVERIFY(ensaio && !ensaio->isChecked());
            QCOMPARE(ensaio->text(),
                     QStringLiteral("Ensaiar numa cópia descartável (o banco não é alterado)"));
            ensaio->click();
            QVERIFY(iniText().contains(QStringLiteral("[validacao]\nensaio=1")));
            setField(w, "edtBanco", database.name());
            editor(w)->setText(
                QStringLiteral("insert into t (a) values (1);\ncommit;\ninsert into t (a) values (1);"));
            QVERIFY(execute(w));
            const QStringList lines = result(w).split(u'\n');
            QCOMPARE(lines.mid(0, 3), QStringList({ScriptRunner::connectedLine(), ScriptTrial::copyMadeLine(),
                                                   QStringLiteral("Linha 3: insert into t (a) values (1)")}));
            QCOMPARE(lines.constLast(), ScriptTrial::trialLine());
        }
        QPointer<TfrmValidarScript> w = new TfrmValidarScript(m_ini);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QVERIFY(w->findChild<QCheckBox *>(QStringLiteral("ckEnsaio"))->isChecked());
        setField(*w, "edtBanco", database.name());
        editor(*w)->setText(manyInserts());
        button(*w, "btExecutar")->click();
        QTRY_VERIFY_WITH_TIMEOUT(result(*w).contains(ScriptTrial::copyMadeLine()), 30000);
        button(*w, "ToolButton2")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.isNull(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(folder.entryList(QDir::Files), QStringList({QStringLiteral("test.fdb")}),
                                  30000);
        QCOMPARE(database.column(QStringLiteral("select count(*) from t")),
                 QStringList({QStringLiteral("0")}));
        qunsetenv("XDG_STATE_HOME");
    }
};

QTEST_MAIN(TfrmValidarScriptTest)
#include "TfrmValidarScriptTest.moc"
