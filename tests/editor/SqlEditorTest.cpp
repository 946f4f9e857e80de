#include "editor/SqlEditor.h"
#include "validation/TfrmValidarScript.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

// The editor's own keys, as a user presses them with the focus in the editor.
class SqlEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<SqlEditor> editor;

    void abrir(const QString &texto, bool somenteLeitura = false) {
        editor = std::make_unique<SqlEditor>();
        editor->setText(texto);
        editor->setReadOnly(somenteLeitura);
        editor->show();
        QApplication::setActiveWindow(editor.get());
        editor->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    }
    template <typename T> T *controle(QWidget *dono, const char *nome) {
        T *c = dono->findChild<T *>(QString::fromLatin1(nome));
        if (!c)
            qFatal("no control %s", nome);
        return c;
    }
    // The selection as (line, column) of its start.
    QPair<int, int> selecao() {
        int l1, c1, l2, c2;
        editor->getSelection(&l1, &c1, &l2, &c2);
        return {l1, c1};
    }

private slots:
    void cleanup() { editor.reset(); }

    void ctrlFFindsForwardBackwardAndByCase() {
        abrir(QStringLiteral("select A from t;\nselect a from u;\nselect a from v;"));
        QTest::keyClick(editor.get(), Qt::Key_F, Qt::ControlModifier);
        LocalizarDialog *dialogo = editor->dialogoLocalizar();
        QVERIFY(dialogo && dialogo->isVisible());
        QVERIFY(!controle<QLineEdit>(dialogo, "edSubstituir")->isVisible());
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral(" a "));
        auto *proxima = controle<QPushButton>(dialogo, "btProxima");
        auto *anterior = controle<QPushButton>(dialogo, "btAnterior");

        proxima->click();
        QCOMPARE(selecao(), qMakePair(0, 6)); // case ignored: " A "
        proxima->click();
        QCOMPARE(selecao(), qMakePair(1, 6));
        anterior->click();
        QCOMPARE(selecao(), qMakePair(0, 6));
        anterior->click(); // round the start to the last match
        QCOMPARE(selecao(), qMakePair(2, 6));

        controle<QCheckBox>(dialogo, "cbMaiusculas")->setChecked(true);
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral(" A "));
        proxima->click(); // round the end to the only match
        QCOMPARE(selecao(), qMakePair(0, 6));
        QCOMPARE(controle<QLabel>(dialogo, "lblSituacao")->text(), QString());
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral("nada"));
        proxima->click();
        QCOMPARE(controle<QLabel>(dialogo, "lblSituacao")->text(), QStringLiteral("Texto não encontrado."));
        QCOMPARE(selecao(), qMakePair(0, 6));

        // With the box closed, F3 and Shift+F3 in the editor look for its text again.
        controle<QCheckBox>(dialogo, "cbMaiusculas")->setChecked(false);
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral("select"));
        dialogo->hide();
        editor->setFocus();
        QTest::keyClick(editor.get(), Qt::Key_F3);
        QCOMPARE(selecao(), qMakePair(1, 0));
        QTest::keyClick(editor.get(), Qt::Key_F3);
        QCOMPARE(selecao(), qMakePair(2, 0));
        QTest::keyClick(editor.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(selecao(), qMakePair(1, 0));
    }

    void ctrlHReplacesOneOrAll() {
        abrir(QStringLiteral("update t set a = 1;\nupdate T set b = 2;"));
        QTest::keyClick(editor.get(), Qt::Key_H, Qt::ControlModifier);
        LocalizarDialog *dialogo = editor->dialogoLocalizar();
        QVERIFY(dialogo && dialogo->isVisible());
        QVERIFY(controle<QLineEdit>(dialogo, "edSubstituir")->isVisible());
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral("t"));
        controle<QLineEdit>(dialogo, "edSubstituir")->setText(QStringLiteral("tt"));
        controle<QCheckBox>(dialogo, "cbMaiusculas")->setChecked(true);
        // The first click finds, the second replaces what it found.
        controle<QPushButton>(dialogo, "btSubstituir")->click();
        controle<QPushButton>(dialogo, "btSubstituir")->click();
        QCOMPARE(editor->text(), QStringLiteral("updatte t set a = 1;\nupdate T set b = 2;"));

        // All at once, case ignored; the replacement holding the text is not replaced again.
        controle<QCheckBox>(dialogo, "cbMaiusculas")->setChecked(false);
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral("set"));
        controle<QLineEdit>(dialogo, "edSubstituir")->setText(QStringLiteral("SET set"));
        controle<QPushButton>(dialogo, "btSubstituirTodos")->click();
        QCOMPARE(editor->text(), QStringLiteral("updatte t SET set a = 1;\nupdate T SET set b = 2;"));
        QCOMPARE(controle<QLabel>(dialogo, "lblSituacao")->text(), QStringLiteral("2 substituições."));
        // One undo step takes them all back.
        editor->undo();
        QCOMPARE(editor->text(), QStringLiteral("updatte t set a = 1;\nupdate T set b = 2;"));
    }

    // A match far below is shown with lines above it, not on the editor's last line.
    void aMatchOutOfViewIsShownInTheMiddle() {
        QStringList linhas;
        for (int i = 0; i < 400; ++i)
            linhas.append(QStringLiteral("select %1 from t;").arg(i));
        abrir(linhas.join(QLatin1Char('\n')));
        editor->resize(400, 300);
        QTRY_VERIFY(editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN) < 30);
        QVERIFY(editor->LocalizarProxima(QStringLiteral("select 300 "), false));
        const int visiveis = int(editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
        QVERIFY(visiveis > 4);
        QVERIFY(editor->firstVisibleLine() < 300 - 2);
        QVERIFY(editor->firstVisibleLine() + visiveis > 300 + 2);
    }

    void aReadOnlyEditorFindsButDoesNotReplace() {
        abrir(QStringLiteral("select 1;\nselect 2;"), true);
        QTest::keyClick(editor.get(), Qt::Key_H, Qt::ControlModifier);
        LocalizarDialog *dialogo = editor->dialogoLocalizar();
        QVERIFY(dialogo && dialogo->isVisible());
        QVERIFY(!controle<QLineEdit>(dialogo, "edSubstituir")->isVisible());
        controle<QLineEdit>(dialogo, "edLocalizar")->setText(QStringLiteral("2"));
        controle<QPushButton>(dialogo, "btProxima")->click();
        QCOMPARE(selecao(), qMakePair(1, 7));
        QCOMPARE(editor->SubstituirTodos(QStringLiteral("select"), QStringLiteral("x"), false), 0);
        QCOMPARE(editor->text(), QStringLiteral("select 1;\nselect 2;"));
    }

    // The validation window's script editor is this editor, keys included.
    void theValidationWindowsEditorFindsToo() {
        QTemporaryDir pasta;
        TfrmValidarScript janela(pasta.filePath(QStringLiteral("parametros.ini")));
        janela.show();
        QApplication::setActiveWindow(&janela);
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        auto *script = janela.findChild<SqlEditor *>(QStringLiteral("edtScript"));
        QVERIFY(script);
        script->setText(QStringLiteral("select 1 from rdb$database;"));
        script->setFocus();
        QTest::keyClick(script, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(script->dialogoLocalizar() && script->dialogoLocalizar()->isVisible());
    }

    void ctrlGGoesToALine() {
        abrir(QStringLiteral("a\nb\nc\nd\ne"), true);
        QTest::keyClick(editor.get(), Qt::Key_G, Qt::ControlModifier);
        IrParaLinhaDialog *dialogo = editor->dialogoIrParaLinha();
        QVERIFY(dialogo && dialogo->isVisible());
        auto *linha = controle<QSpinBox>(dialogo, "edLinha");
        QCOMPARE(linha->value(), 1);
        QCOMPARE(linha->maximum(), 5);
        linha->setValue(3);
        QTest::keyClick(linha, Qt::Key_Return);
        int l, c;
        editor->getCursorPosition(&l, &c);
        QCOMPARE(l, 2);
        QVERIFY(!dialogo->isVisible());
    }
};

QTEST_MAIN(SqlEditorTest)
#include "SqlEditorTest.moc"
