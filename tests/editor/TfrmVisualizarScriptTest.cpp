#include "editor/TfrmVisualizarScript.h"
#include "base/ErroGeral.h"
#include "catalog/TabelaPesquisa.h"
#include "editor/SqlEditor.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/catalog/ServicoSemResposta.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <Qsci/qsciscintilla.h>

#include <memory>
#include <thread>

namespace {

QsciScintilla *Editor(TfrmVisualizarScript *janela, const char *nome = "editor") {
    return janela->findChild<QsciScintilla *>(QString::fromLatin1(nome));
}
QToolButton *Salvar(TfrmVisualizarScript *janela) {
    return janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
}

// Types at the end of the main editor, as the user would.
void Digitar(TfrmVisualizarScript *janela, const QString &texto) {
    QsciScintilla *editor = Editor(janela);
    editor->setFocus();
    editor->setCursorPosition(editor->lines() - 1, editor->text(editor->lines() - 1).size());
    QTest::keyClicks(editor, texto);
}

// "Salvar", then the event loop until a server save on its way has ended (the editor is read-only
// meanwhile).
bool SalvarEEsperar(TfrmVisualizarScript *janela) {
    Salvar(janela)->click();
    QsciScintilla *editor = Editor(janela);
    return QTest::qWaitFor([&] { return !editor->isReadOnly(); }, 10000);
}

QByteArray Ler(const QString &caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TfrmVisualizarScriptTest : public QObject {
    Q_OBJECT

private:
    Conexao conexao;
    Sessao sessao{conexao};
    RecordingMessages messages;

    // A window as its caller configures it.
    std::unique_ptr<TfrmVisualizarScript> abrir(const QString &modo, const QString &codigo,
                                                const QString &script,
                                                const QPersistentModelIndex &linha = {},
                                                Sessao *s = nullptr) {
        auto janela = std::make_unique<TfrmVisualizarScript>(s ? *s : sessao, messages);
        janela->setAttribute(Qt::WA_DeleteOnClose, false);
        janela->setCodigo(codigo);
        janela->setScript(script);
        if (modo == QStringLiteral("local"))
            janela->setLocal(true);
        if (modo == QStringLiteral("comparison")) {
            janela->setScriptAnterior(QStringLiteral("before"));
            janela->setComparar(true);
        } else {
            janela->setComparar(false);
            janela->setLinha(linha);
        }
        janela->Exibir();
        return janela;
    }

    // A comparison window as page "Log" opens it.
    std::unique_ptr<TfrmVisualizarScript> comparar(const QString &antes, const QString &depois) {
        auto janela = std::make_unique<TfrmVisualizarScript>(sessao, messages);
        janela->setAttribute(Qt::WA_DeleteOnClose, false);
        janela->setCodigo(QStringLiteral("5"));
        janela->setScript(depois);
        janela->setScriptAnterior(antes);
        janela->setComparar(true);
        janela->Exibir();
        return janela;
    }

private slots:
    // The reference service sends dates in the Brazilian short form.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init() {
        messages.boxes.clear();
        qunsetenv("BRISEL_SERVICE_URL");
    }

    void aFreshlyLoadedTextIsNotMarkedChanged_data() {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("editavel");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("local edit") << QStringLiteral("local")
                                    << QStringLiteral("/tmp/scripts/alter_clientes.sql") << true
                                    << QStringLiteral("Editar script — alter_clientes.sql");
        QTest::newRow("server edit") << QStringLiteral("server") << QStringLiteral("123") << true
                                     << QStringLiteral("Editar script — código 123");
        QTest::newRow("comparison") << QStringLiteral("comparison") << QStringLiteral("123") << false
                                    << QStringLiteral("Comparar — código 123");
    }
    void aFreshlyLoadedTextIsNotMarkedChanged() {
        QFETCH(QString, modo);
        QFETCH(QString, codigo);
        QFETCH(bool, editavel);
        QFETCH(QString, titulo);
        auto janela = abrir(modo, codigo, QStringLiteral("select 1\r\nfrom rdb$database;\r\n"));
        QVERIFY(janela->isMaximized());
        QCOMPARE(janela->windowTitle(), titulo);
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QCOMPARE(Editor(janela.get())->text(), QStringLiteral("select 1\r\nfrom rdb$database;\r\n"));
        QCOMPARE(Editor(janela.get(), "EditorAnterior")->isVisible(), !editavel);
        QCOMPARE(janela->findChild<QWidget *>(QStringLiteral("lblAtual"))->isVisible(), !editavel);

        Digitar(janela.get(), QStringLiteral("x"));
        QCOMPARE(Editor(janela.get())->text().endsWith(QLatin1Char('x')), editavel);
        QCOMPARE(Salvar(janela.get())->isEnabled(), editavel);
        if (!editavel) {
            Salvar(janela.get())->click();
            QVERIFY(messages.boxes.isEmpty());
        }
    }

    // The keys go to the script as soon as the window opens: typing, Ctrl+F, Ctrl+End.
    void theScriptHasTheKeyboardWhenTheWindowOpens() {
        for (const QString &modo :
             {QStringLiteral("local"), QStringLiteral("server"), QStringLiteral("comparison")}) {
            auto janela = abrir(modo, QStringLiteral("1"), QStringLiteral("select 1;\r\n"));
            QApplication::setActiveWindow(janela.get());
            QVERIFY(QTest::qWaitForWindowActive(janela.get()));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Editor(janela.get())));
        }
    }

    void closingWithUnsavedEditsAsksFirst_data() {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("editar");
        QTest::addColumn<bool>("descartar"); // the main window already asked for every editor
        QTest::addColumn<QList<bool>>("respostas");
        QTest::addColumn<int>("perguntas");
        QTest::addColumn<bool>("fica");
        QTest::newRow("no edits") << QStringLiteral("server") << false << false << QList<bool>{} << 0
                                  << false;
        QTest::newRow("comparison") << QStringLiteral("comparison") << true << false << QList<bool>{} << 0
                                    << false;
        QTest::newRow("Não keeps it")
            << QStringLiteral("local") << true << false << QList<bool>{false} << 1 << true;
        QTest::newRow("Sim closes") << QStringLiteral("server") << true << false << QList<bool>{true} << 1
                                    << false;
        QTest::newRow("discarded") << QStringLiteral("server") << true << true << QList<bool>{} << 0 << false;
    }
    void closingWithUnsavedEditsAsksFirst() {
        QFETCH(QString, modo);
        QFETCH(bool, editar);
        QFETCH(bool, descartar);
        QFETCH(QList<bool>, respostas);
        QFETCH(int, perguntas);
        QFETCH(bool, fica);
        auto janela = abrir(modo, QStringLiteral("1"), QStringLiteral("select 1;"));
        if (editar)
            Digitar(janela.get(), QStringLiteral("x"));
        QCOMPARE(janela->TemAlteracoes(), editar && modo != QStringLiteral("comparison"));
        if (descartar)
            janela->DescartarAlteracoes();
        messages.answers = respostas;

        // Through "Fechar", as the user closes it.
        janela->findChild<QToolButton *>(QStringLiteral("ToolButton2"))->click();
        QCOMPARE(messages.boxes.size(), perguntas);
        if (perguntas) {
            QCOMPARE(messages.boxes[0].kind, RecordingMessages::Question);
            QCOMPARE(messages.boxes[0].text, QStringLiteral("Descartar as alterações?"));
            QVERIFY(messages.boxes[0].defaultNo);
        }
        QCOMPARE(janela->isVisible(), fica);
        if (fica) {
            // The edit survives, and the title bar's button asks again.
            QVERIFY(Editor(janela.get())->text().endsWith(QLatin1Char('x')));
            QVERIFY(Salvar(janela.get())->isEnabled());
            messages.answers = {false};
            QVERIFY(!janela->close());
            QCOMPARE(messages.boxes.size(), 2);
            QVERIFY(janela->isVisible());
        }
    }

    void ctrlSSavesWhereSaveIsEnabled() {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("s.sql"));
        auto janela = abrir(QStringLiteral("local"), caminho, QStringLiteral("a"));
        QApplication::setActiveWindow(janela.get());
        QVERIFY(QTest::qWaitForWindowActive(janela.get()));
        Digitar(janela.get(), QStringLiteral("b"));
        QTest::keyClick(Editor(janela.get()), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Ler(caminho), QByteArray("ab\r\n"));
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QVERIFY(!janela->TemAlteracoes());

        // Read-only comparison: nothing to save, nothing said.
        auto comparacao = abrir(QStringLiteral("comparison"), QStringLiteral("1"), QStringLiteral("x"));
        QApplication::setActiveWindow(comparacao.get());
        QTest::keyClick(Editor(comparacao.get()), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(messages.boxes.isEmpty());
    }

    // Both sides aligned row by row: changed lines side by side, a gap opposite an added or
    // removed line, the lines and words coloured, F8 / Shift+F8 moving both panes.
    void theComparisonMarksAndAlignsTheDifferences() {
        QStringList antes;
        for (int i = 1; i <= 120; ++i)
            antes.append(QStringLiteral("insert into t values (%1);").arg(i));
        QStringList depois = antes;
        depois[1] = QStringLiteral("insert into t values (-20);"); // row 1 changed
        depois.insert(40, QStringLiteral("commit;"));              // row 40 added
        depois.removeAt(81);                                       // script line 81 removed
        auto janela = comparar(antes.join(QStringLiteral("\r\n")), depois.join(QStringLiteral("\r\n")));
        QApplication::setActiveWindow(janela.get());
        QVERIFY(QTest::qWaitForWindowActive(janela.get()));
        auto *esquerda = qobject_cast<SqlEditor *>(Editor(janela.get(), "EditorAnterior"));
        auto *direita = qobject_cast<SqlEditor *>(Editor(janela.get()));
        auto *proxima = janela->findChild<QToolButton *>(QStringLiteral("btProximaDiferenca"));
        auto *anterior = janela->findChild<QToolButton *>(QStringLiteral("btDiferencaAnterior"));
        auto *rotulo = janela->findChild<QLabel *>(QStringLiteral("lblDiferencas"));

        QCOMPARE(rotulo->text(), QStringLiteral("Diferença 1 de 3"));
        QCOMPARE(esquerda->lines(), 120);
        QCOMPARE(direita->lines(), 120);
        QCOMPARE(direita->text(40).trimmed(), QStringLiteral("commit;"));
        QCOMPARE(esquerda->text(80).trimmed(), QStringLiteral("insert into t values (81);"));
        // The gaps are rows drawn below a line, not text: one below left line 39 (opposite
        // "commit;") and one below right line 80 (opposite the removed line).
        const auto lacuna = [](SqlEditor *e, int linha) {
            return e->SendScintilla(QsciScintillaBase::SCI_ANNOTATIONGETLINES, linha);
        };
        QCOMPARE(lacuna(esquerda, 39), 1L);
        QCOMPARE(lacuna(esquerda, 40), 0L);
        QCOMPARE(lacuna(direita, 80), 1L);
        // Equal lines stand on the same screen row.
        const auto fileira = [](SqlEditor *e, int linha) {
            return e->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, linha);
        };
        for (const auto &[e, d] :
             {std::pair{0, 0}, std::pair{40, 41}, std::pair{79, 80}, std::pair{81, 81}, std::pair{119, 119}})
            QCOMPARE(fileira(esquerda, e), fileira(direita, d));
        const auto marcas = [](SqlEditor *e, int linha) { return e->markersAtLine(linha) >> 20 & 3; };
        const struct {
            SqlEditor *editor;
            int linha;
            unsigned marca; // 1 removed/changed, 2 added/changed
        } linhas[] = {{esquerda, 0, 0},  {direita, 0, 0},   {esquerda, 1, 1},
                      {direita, 1, 2},   {esquerda, 39, 0}, {direita, 40, 2},
                      {esquerda, 80, 1}, {direita, 80, 0},  {esquerda, 100, 0}};
        for (const auto &l : linhas)
            QCOMPARE(marcas(l.editor, l.linha), l.marca);
        // Only the changed words of row 1 are marked: "2" on the left, "-20" on the right.
        const auto marcada = [](SqlEditor *e, int linha, int coluna) {
            return e->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 10,
                                    e->positionFromLineIndex(linha, coluna)) != 0;
        };
        QVERIFY(marcada(esquerda, 1, 22));
        QVERIFY(!marcada(esquerda, 1, 21));
        QVERIFY(marcada(direita, 1, 22));
        QVERIFY(marcada(direita, 1, 23));
        QVERIFY(!marcada(direita, 1, 0));

        // The window opens on the first difference; F8 and Shift+F8 move both panes.
        const auto linhaAtual = [](SqlEditor *e) {
            int l, c;
            e->getCursorPosition(&l, &c);
            return l;
        };
        QCOMPARE(linhaAtual(direita), 1);
        // In a changed line the cursor stands on the first differing word.
        int linha, coluna;
        direita->getCursorPosition(&linha, &coluna);
        QCOMPARE(coluna, 22);
        QVERIFY(!anterior->isEnabled());
        direita->setFocus();
        QTest::keyClick(direita, Qt::Key_F8);
        QCOMPARE(linhaAtual(direita), 40);
        // Opposite a gap the cursor stands on the line below it.
        QCOMPARE(linhaAtual(esquerda), 40);
        QCOMPARE(rotulo->text(), QStringLiteral("Diferença 2 de 3"));
        esquerda->setFocus();
        QTest::keyClick(esquerda, Qt::Key_F8);
        QCOMPARE(linhaAtual(esquerda), 80);
        QCOMPARE(rotulo->text(), QStringLiteral("Diferença 3 de 3"));
        QVERIFY(!proxima->isEnabled());
        QVERIFY(anterior->isEnabled());
        direita->setFocus();
        QTest::keyClick(direita, Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(linhaAtual(direita), 40);
        QVERIFY(proxima->isEnabled());

        // Scrolling one pane scrolls the other to the same row.
        esquerda->setFirstVisibleLine(60);
        QTRY_COMPARE(direita->firstVisibleLine(), 60);
        direita->setFirstVisibleLine(10);
        QTRY_COMPARE(esquerda->firstVisibleLine(), 10);
    }

    void identicalTextsSaySo() {
        auto janela = comparar(QStringLiteral("select 1;\r\n"), QStringLiteral("select 1;\r\n"));
        QCOMPARE(janela->findChild<QLabel *>(QStringLiteral("lblDiferencas"))->text(),
                 QStringLiteral("Os textos são idênticos."));
        QVERIFY(!janela->findChild<QToolButton *>(QStringLiteral("btProximaDiferenca"))->isEnabled());
        QVERIFY(!janela->findChild<QToolButton *>(QStringLiteral("btDiferencaAnterior"))->isEnabled());
        QCOMPARE(Editor(janela.get())->text(), QStringLiteral("select 1;\r\n"));
        QCOMPARE(Editor(janela.get(), "EditorAnterior")->text(), QStringLiteral("select 1;\r\n"));
    }

    // Each pane holds its text exactly as given, whatever gaps align it with the other: a copy of
    // the old version out of the window is the old version.
    void eachPaneHoldsItsTextExactly_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("depois");
        QTest::addColumn<int>("vaziasAcima"); // gap rows drawn above the left text at the start
        QTest::newRow("a line added inside a string")
            << QStringLiteral("insert into t values ('a\r\nb');\r\nselect 1;\r\n")
            << QStringLiteral("insert into t values ('a\r\nnova\r\nb');\r\nselect 1;\r\n") << 0;
        QTest::newRow("lines added above the first line")
            << QStringLiteral("b\nc") << QStringLiteral("a1\na2\nb\nc") << 2;
        QTest::newRow("lines removed at the end, no final break")
            << QStringLiteral("a\nb\nc\nd") << QStringLiteral("a\nb") << 0;
        QTest::newRow("mixed line ends")
            << QStringLiteral("a\r\nb\nc\rd") << QStringLiteral("a\nx\r\ny\r\nc\rd\r\n") << 0;
        QTest::newRow("accents and a character outside the code page")
            << QStringLiteral("-- ação €\r\n") << QStringLiteral("-- ação € \U0001F600\r\nselect 1;\r\n")
            << 0;
    }
    void eachPaneHoldsItsTextExactly() {
        QFETCH(QString, antes);
        QFETCH(QString, depois);
        QFETCH(int, vaziasAcima);
        auto janela = comparar(antes, depois);
        QVERIFY(QTest::qWaitForWindowExposed(janela.get()));
        for (const auto &[nome, texto] : {std::pair{"EditorAnterior", antes}, std::pair{"editor", depois}}) {
            QsciScintilla *e = Editor(janela.get(), nome);
            QCOMPARE(e->text(), texto);
            QApplication::clipboard()->clear();
            e->selectAll();
            e->copy();
            QCOMPARE(QApplication::clipboard()->text(), texto);
        }
        auto *esquerda = qobject_cast<SqlEditor *>(Editor(janela.get(), "EditorAnterior"));
        QCOMPARE(esquerda->LinhasVaziasAcima(), vaziasAcima);
    }

    // Lines added above the first line stand opposite gap rows drawn above the old text; the
    // wheel turned up in the old pane's first line scrolls both panes up to them.
    void theGapAboveTheTextIsReachedFromEitherPane() {
        QStringList antes;
        for (int i = 1; i <= 100; ++i)
            antes.append(QStringLiteral("select %1 from rdb$database;").arg(i));
        const QStringList depois = QStringList{QStringLiteral("-- a"), QStringLiteral("-- b")} + antes;
        auto janela = comparar(antes.join(QStringLiteral("\r\n")), depois.join(QStringLiteral("\r\n")));
        QVERIFY(QTest::qWaitForWindowExposed(janela.get()));
        auto *esquerda = qobject_cast<SqlEditor *>(Editor(janela.get(), "EditorAnterior"));
        QsciScintilla *direita = Editor(janela.get());
        QCOMPARE(esquerda->LinhasVaziasAcima(), 2);
        direita->setFirstVisibleLine(20);
        QTRY_COMPARE(esquerda->firstVisibleLine(), 18);
        QCOMPARE(esquerda->LinhasVaziasAcima(), 0);
        esquerda->setFirstVisibleLine(0);
        QTRY_COMPARE(direita->firstVisibleLine(), 2);
        const QPoint meio = esquerda->viewport()->rect().center();
        QWheelEvent roda(meio, esquerda->viewport()->mapToGlobal(meio), {},
                         {0, QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(esquerda->viewport(), &roda);
        QCOMPARE(direita->firstVisibleLine(), 0);
        QCOMPARE(esquerda->firstVisibleLine(), 0);
        QCOMPARE(esquerda->LinhasVaziasAcima(), 2);
    }

    // F8 brings the whole changed stretch into view: the rows of the change with context above,
    // and sideways from its first to its last changed character, even at the end of a long line.
    void f8BringsTheWholeChangeIntoView() {
        QStringList antes;
        for (int i = 1; i <= 200; ++i)
            antes.append(QStringLiteral("select %1 from rdb$database;").arg(i));
        const QString inicio = QStringLiteral("update clientes set ") +
                               QStringLiteral("nome = nome || '', ").repeated(12) +
                               QStringLiteral("ativo = 1 where codigo = ");
        antes[150] = inicio + QStringLiteral("1;");
        QStringList depois = antes;
        depois[5] = QStringLiteral("select 6 from rdb$database; -- first difference");
        const QString alterado = QStringLiteral("2 and situacao = 'ATIVO'");
        depois[150] = inicio + alterado + QLatin1Char(';');
        auto janela = comparar(antes.join(QStringLiteral("\r\n")), depois.join(QStringLiteral("\r\n")));
        QVERIFY(QTest::qWaitForWindowExposed(janela.get()));
        auto *rotulo = janela->findChild<QLabel *>(QStringLiteral("lblDiferencas"));
        QCOMPARE(rotulo->text(), QStringLiteral("Diferença 1 de 2"));
        QsciScintilla *direita = Editor(janela.get());
        direita->setFocus();
        QTest::keyClick(direita, Qt::Key_F8);
        QCOMPARE(rotulo->text(), QStringLiteral("Diferença 2 de 2"));

        const int coluna = int(inicio.size());
        for (const auto &[nome, fim] :
             {std::pair{"EditorAnterior", coluna + 1}, std::pair{"editor", coluna + int(alterado.size())}}) {
            QsciScintilla *e = Editor(janela.get(), nome);
            const int primeira = e->firstVisibleLine();
            const long naTela = e->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
            QVERIFY2(primeira <= 150 - 3 && 150 < primeira + naTela, nome);
            const auto x = [e](int col) {
                return e->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL,
                                        long(e->positionFromLineIndex(150, col)));
            };
            const long inicioTexto = x(0) + e->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
            QVERIFY2(x(coluna) - x(0) > e->viewport()->width(), "the change starts beyond the first screen");
            QVERIFY2(x(coluna) >= inicioTexto, nome);
            QVERIFY2(x(fim) <= e->viewport()->width(), nome);
        }
        // The label follows the cursor into and out of a difference.
        direita->setCursorPosition(5, 0);
        QTRY_COMPARE(rotulo->text(), QStringLiteral("Diferença 1 de 2"));
        direita->setCursorPosition(100, 0);
        QTRY_COMPARE(rotulo->text(), QStringLiteral("2 diferenças"));
    }

    // The window is filled before it is shown at its size: a difference that fits the shown panes
    // leaves them at their left edge, the start of every line in sight.
    void aShortChangedLineOpensWithTheLineStartsInSight() {
        auto janela = comparar(QStringLiteral("select 1;\r\nupdate t set a = 1;\r\n"),
                               QStringLiteral("select 1;\r\nupdate t set a = 1; -- no servidor\r\n"));
        QVERIFY(QTest::qWaitForWindowExposed(janela.get()));
        for (const char *nome : {"EditorAnterior", "editor"}) {
            QsciScintilla *e = Editor(janela.get(), nome);
            QVERIFY2(e->viewport()->width() > 300, nome);
            QTRY_COMPARE_WITH_TIMEOUT(e->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0L, 2000);
        }
        int linha, coluna;
        Editor(janela.get())->getCursorPosition(&linha, &coluna);
        QCOMPARE(linha, 1);
    }

    void theSplitIsHalfAndHalfOnEveryResize() {
        auto janela = abrir(QStringLiteral("comparison"), QStringLiteral("1"), QStringLiteral("after"));
        auto *split = janela->findChild<QSplitter *>(QStringLiteral("splComparar"));
        for (int largura : {801, 1000}) {
            janela->showNormal();
            janela->resize(largura, 500);
            QTRY_COMPARE(janela->width(), largura);
            split->setSizes({100, largura - 100}); // a drag of the splitter
            janela->resize(largura + 1, 500);
            QTRY_COMPARE(split->sizes().first(), janela->frameGeometry().width() / 2 - 1);
        }
    }

    void aLocalSaveWritesWindows1252WithCrLfAndNoByteOrderMark() {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("s.sql"));
        {
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\xEF\xBB\xBF"
                    "select 'a\xC3\xA7\xC3\xA3o';\nselect '\xE6\xBC\xA2'");
        }
        QStandardItemModel fila(1, 1);
        fila.setData(fila.index(0, 0), QByteArray("old"));
        auto janela = abrir(QStringLiteral("local"), caminho, TextFile::read(caminho), fila.index(0, 0));
        Digitar(janela.get(), QStringLiteral("x"));
        Editor(janela.get())->insert(QStringLiteral("\u20AC"));
        Salvar(janela.get())->click();

        QCOMPARE(Ler(caminho), QByteArray("select 'a\xE7\xE3o';\r\nselect '?'x\x80\r\n"));
        // The queue row holds what the file holds, which is what an upload then sends.
        QCOMPARE(fila.data(fila.index(0, 0)).toByteArray(), Ler(caminho));
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QVERIFY(messages.boxes.isEmpty());

        // A row removed from the queue meanwhile: only the file is written.
        fila.removeRow(0);
        Editor(janela.get())->setCursorPosition(0, 0);
        QTest::keyClick(Editor(janela.get()), Qt::Key_Return);
        Salvar(janela.get())->click();
        QCOMPARE(Ler(caminho), QByteArray("\r\nselect 'a\xE7\xE3o';\r\nselect '?'x\x80\r\n"));
        QVERIFY(Editor(janela.get())->text().startsWith(QStringLiteral("\r\n")));
        QCOMPARE(fila.rowCount(), 0);
    }

    void aLocalSaveThatFailsChangesNothing() {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("gone/s.sql"));
        QStandardItemModel fila(1, 1);
        fila.setData(fila.index(0, 0), QByteArray("old"));
        auto janela = abrir(QStringLiteral("local"), caminho, QStringLiteral("a"), fila.index(0, 0));
        Digitar(janela.get(), QStringLiteral("b"));
        Salvar(janela.get())->click();
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
        QVERIFY(!messages.boxes[0].text.isEmpty());
        QVERIFY(Salvar(janela.get())->isEnabled());
        QCOMPARE(fila.data(fila.index(0, 0)).toByteArray(), QByteArray("old"));
        QVERIFY(!QFile::exists(caminho));
    }

    void aServerSaveSendsCodeScriptAndKey_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<bool>("perguntou");
        QTest::newRow("text") << QStringLiteral("a\u00E7\u4E00")
                              << QByteArray("codigo=7&script=61E73F&chave=K") << true;
        QTest::newRow("code page only")
            << QStringLiteral("a\u00E7\u20AC") << QByteArray("codigo=7&script=61E780&chave=K") << false;
        QTest::newRow("empty text leaves script out") << QString() << QByteArray("codigo=7&chave=K") << false;
    }
    void aServerSaveSendsCodeScriptAndKey() {
        QFETCH(QString, texto);
        QFETCH(QByteArray, corpo);
        QFETCH(bool, perguntou);
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &) { return QByteArray(R"({"success":true})"); });
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        sessao.setChave(QStringLiteral("K"));
        QStandardItemModel tabela(1, 1);
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"), tabela.index(0, 0));
        QSignalSpy salvos(janela.get(), &TfrmVisualizarScript::salvoNoServidor);
        Editor(janela.get())->selectAll();
        Editor(janela.get())->removeSelectedText();
        Editor(janela.get())->insert(texto);
        QVERIFY(SalvarEEsperar(janela.get()));

        QCOMPARE(servidor.requests().size(), 1);
        QVERIFY(servidor.requests()[0].head.startsWith("POST /services/index.php/scripts/atualizar "));
        QCOMPARE(servidor.requests()[0].body, corpo);
        QCOMPARE(tabela.data(tabela.index(0, 0)).toByteArray(),
                 corpo.contains("script=") ? QByteArray::fromHex(corpo.split('=')[2].split('&')[0])
                                           : QByteArray());
        // What the page "Scripts" learns: the code and the text as stored.
        QCOMPARE(salvos.count(), 1);
        QCOMPARE(salvos[0].at(0).toInt(), 7);
        QCOMPARE(salvos[0].at(1).toByteArray(), tabela.data(tabela.index(0, 0)).toByteArray());
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QVERIFY(!janela->TemAlteracoes());
        // Answered "Sim" to the question naming what becomes "?".
        QCOMPARE(messages.boxes.size(), perguntou ? 1 : 0);
        if (perguntou) {
            QVERIFY(messages.boxes[0].defaultNo);
            QVERIFY(messages.boxes[0].text.contains(QStringLiteral("linha 1, coluna 3: “\u4E00” (U+4E00)")));
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void aServerSaveThatFailsKeepsSaveEnabled_data() {
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("refused") << QByteArray(R"({"success":false,"message":"Sem permissão"})")
                                 << QStringLiteral("Sem permissão");
        QTest::newRow("unreadable") << QByteArray("<html>") << QStringLiteral("Falha ao atualizar o script.");
        // The sentence, then the connection's own account of the cause.
        QTest::newRow("no service") << QByteArray() << QStringLiteral("Falha ao atualizar o script. %1");
    }
    void aServerSaveThatFailsKeepsSaveEnabled() {
        QFETCH(QByteArray, resposta);
        QFETCH(QString, mensagem);
        std::unique_ptr<RecordingHttpServer> servidor;
        if (resposta.isEmpty()) {
            qputenv("BRISEL_SERVICE_URL", "http://127.0.0.1:1");
        } else {
            servidor = std::make_unique<RecordingHttpServer>(
                [=](const RecordingHttpServer::Request &) { return resposta; });
            qputenv("BRISEL_SERVICE_URL", servidor->rootUrl());
        }
        QStandardItemModel tabela(1, 1);
        tabela.setData(tabela.index(0, 0), QByteArray("old"));
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"), tabela.index(0, 0));
        Digitar(janela.get(), QStringLiteral("y"));
        QVERIFY(SalvarEEsperar(janela.get()));
        if (mensagem.contains(QLatin1String("%1"))) {
            QString causa;
            try {
                Protocolo::Atualizar(sessao, 7, "xy");
            } catch (const ErroTransporte &e) {
                causa = ErroGeral::comPontoFinal(e.message());
            }
            QVERIFY(causa.size() > 10);
            mensagem = mensagem.arg(causa);
        }
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        QCOMPARE(messages.boxes[0].text, mensagem);
        QVERIFY(Salvar(janela.get())->isEnabled());
        QCOMPARE(tabela.data(tabela.index(0, 0)).toByteArray(), QByteArray("old"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void windowsSaveIntoTheirOwnRowsEvenAfterOthersAreDeleted() {
        ServicoDeTeste servico;
        const int a = servico.Inserir(QStringLiteral("a.sql"), "A");
        const int b = servico.Inserir(QStringLiteral("b.sql"), "B");
        const int c = servico.Inserir(QStringLiteral("c.sql"), "C");
        TabelaPesquisa tabela;
        Protocolo::FiltroPesquisa filtro;
        filtro.maximo = 10;
        Protocolo::BuscarScripts(servico.sessao, filtro, 3,
                                 [&](const RegistroScript &r) { tabela.Adicionar(r); });
        QCOMPARE(tabela.rowCount(), 3);

        const auto janelaDaLinha = [&](int linha) {
            return abrir(QStringLiteral("server"), QString::number(tabela.Linha(linha).codigo),
                         QString::fromLatin1(tabela.Linha(linha).script),
                         tabela.index(linha, TabelaPesquisa::SCRIPT), &servico.sessao);
        };
        auto primeira = janelaDaLinha(0);
        auto segunda = janelaDaLinha(1);
        auto terceira = janelaDaLinha(2);
        Digitar(primeira.get(), QStringLiteral("1"));
        Digitar(segunda.get(), QStringLiteral("2"));
        Digitar(terceira.get(), QStringLiteral("3"));

        QVERIFY(SalvarEEsperar(terceira.get()));
        // The first row is deleted on page "Scripts": its window still saves to the service.
        tabela.removeRows(0, 1);
        QVERIFY(SalvarEEsperar(primeira.get()));
        QVERIFY(SalvarEEsperar(segunda.get()));

        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(servico.ScriptGuardado(a), QByteArray("A1"));
        QCOMPARE(servico.ScriptGuardado(b), QByteArray("B2"));
        QCOMPARE(servico.ScriptGuardado(c), QByteArray("C3"));
        QCOMPARE(tabela.rowCount(), 2);
        QCOMPARE(tabela.Linha(0).script, QByteArray("B2"));
        QCOMPARE(tabela.Linha(1).script, QByteArray("C3"));
    }

    // The save waits for another thread's request on the one connection instead of overlapping it.
    void aServerSaveDuringAnotherRequestWaitsForTheConnection() {
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &) { return QByteArray(R"({"success":true})"); },
            std::chrono::milliseconds(300));
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        QStandardItemModel outra(1, 1);
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("9"), QStringLiteral("x"), outra.index(0, 0));
        Digitar(janela.get(), QStringLiteral("y"));

        std::thread worker([this] { Protocolo::Atualizar(sessao, 8, "w"); });
        QTRY_VERIFY(!servidor.requests().isEmpty());
        const bool terminou = SalvarEEsperar(janela.get());
        worker.join();
        QVERIFY(terminou);

        QVERIFY(!servidor.overlapped());
        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(outra.data(outra.index(0, 0)).toByteArray(), QByteArray("xy"));
        QCOMPARE(servidor.requests().size(), 2);
    }

    // A service that took the whole request and closed without answering may have stored it: the
    // failure says so, and the page is asked to read the script back.
    void aServerSaveLeftUnansweredMayBeStored() {
        const ServicoSemResposta servico;
        auto janela = abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"));
        QSignalSpy incertos(janela.get(), &TfrmVisualizarScript::salvamentoIncerto);
        Digitar(janela.get(), QStringLiteral("y"));
        QVERIFY(SalvarEEsperar(janela.get()));
        QCOMPARE(servico.conexoes, 1);
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        QVERIFY2(messages.boxes[0].text.startsWith(QStringLiteral("Falha ao atualizar o script. ")) &&
                     messages.boxes[0].text.endsWith(QStringLiteral(". O serviço pode tê-lo gravado.")),
                 qPrintable(messages.boxes[0].text));
        QCOMPARE(incertos.count(), 1);
        QVERIFY(Salvar(janela.get())->isEnabled());
    }

    // Cancelled while another request holds the connection, the save never left: nothing to read
    // back and nothing to tell; the text is still to be saved.
    void aSaveCancelledBeforeItLeftSaysNothing() {
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &) { return QByteArray(R"({"success":true})"); },
            std::chrono::milliseconds(1500));
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        auto janela = abrir(QStringLiteral("server"), QStringLiteral("9"), QStringLiteral("x"));
        QSignalSpy incertos(janela.get(), &TfrmVisualizarScript::salvamentoIncerto);
        Digitar(janela.get(), QStringLiteral("y"));
        std::thread worker([this] { Protocolo::Atualizar(sessao, 8, "w"); });
        QTRY_VERIFY(!servidor.requests().isEmpty());
        Salvar(janela.get())->click();
        QTRY_VERIFY_WITH_TIMEOUT(janela->findChild<QWidget *>(QStringLiteral("pnlEspera"))->isVisible(),
                                 5000);
        janela->findChild<QPushButton *>(QStringLiteral("btCancelar"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Editor(janela.get())->isReadOnly(), 5000);
        worker.join();
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(incertos.isEmpty());
        QVERIFY(Salvar(janela.get())->isEnabled());
        QCOMPARE(servidor.requests().size(), 1);
    }

    // A service that takes the request and never answers: the window keeps working, shows the
    // wait bar with "Cancelar", and Cancelar ends the wait at once with the table unchanged and the
    // text still to be saved; the request had left, so the user learns that it may be stored.
    void aServerSaveThatHangsIsCancelled() {
        QTcpServer mudo;
        QVERIFY(mudo.listen(QHostAddress::LocalHost));
        QList<QTcpSocket *> conexoes;
        connect(&mudo, &QTcpServer::newConnection, this,
                [&] { conexoes.append(mudo.nextPendingConnection()); });
        qputenv("BRISEL_SERVICE_URL", "http://127.0.0.1:" + QByteArray::number(mudo.serverPort()));
        QStandardItemModel tabela(1, 1);
        tabela.setData(tabela.index(0, 0), QByteArray("old"));
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"), tabela.index(0, 0));
        QSignalSpy incertos(janela.get(), &TfrmVisualizarScript::salvamentoIncerto);
        Digitar(janela.get(), QStringLiteral("y"));

        Salvar(janela.get())->click(); // returns at once: the request is on a worker
        QVERIFY(Editor(janela.get())->isReadOnly());
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QVERIFY(janela->TemAlteracoes());
        auto *espera = janela->findChild<QWidget *>(QStringLiteral("pnlEspera"));
        QTRY_VERIFY_WITH_TIMEOUT(espera->isVisible(), 5000);
        QVERIFY(!conexoes.isEmpty());

        janela->findChild<QPushButton *>(QStringLiteral("btCancelar"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Editor(janela.get())->isReadOnly(), 5000);
        QVERIFY(!espera->isVisible());
        QVERIFY(Salvar(janela.get())->isEnabled());
        QCOMPARE(Editor(janela.get())->text(), QStringLiteral("xy"));
        QCOMPARE(tabela.data(tabela.index(0, 0)).toByteArray(), QByteArray("old"));
        const QString incerto =
            QStringLiteral("O salvamento foi cancelado, mas o serviço pode tê-lo gravado.");
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[0].text, incerto);
        QCOMPARE(incertos.count(), 1);
        QCOMPARE(incertos.takeFirst().at(0).toInt(), 7);

        // Closing during a save asks first; Não keeps the window and the save on its way.
        messages.boxes.clear();
        Salvar(janela.get())->click();
        QTRY_VERIFY(conexoes.size() >= 2);
        messages.answers = {false};
        QVERIFY(!janela->close());
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral("O script está sendo salvo no servidor. Fechar assim mesmo?"));
        QVERIFY(messages.boxes[0].defaultNo);
        QVERIFY(Editor(janela.get())->isReadOnly());
        QVERIFY(incertos.isEmpty());
        // Sim closes it, without asking about the edits again, and tells what became of the save.
        messages.answers = {true};
        QVERIFY(janela->close());
        QCOMPARE(messages.boxes.size(), 3);
        QCOMPARE(messages.boxes[2].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[2].text, incerto);
        QCOMPARE(incertos.count(), 1);
    }

    // "Não" to the question about characters the service cannot store sends nothing.
    void aServerSaveWithUnsupportedCharactersCanBeDeclined() {
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &) { return QByteArray(R"({"success":true})"); });
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        auto janela = abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"));
        Digitar(janela.get(), QStringLiteral(" "));
        Editor(janela.get())->insert(QStringLiteral("\u2192 \u2713"));
        messages.answers = {false};
        QVERIFY(SalvarEEsperar(janela.get()));
        QCOMPARE(messages.boxes.size(), 1);
        QVERIFY(messages.boxes[0].defaultNo);
        QVERIFY(messages.boxes[0].text.contains(QStringLiteral("U+2192")));
        QVERIFY(messages.boxes[0].text.contains(QStringLiteral("U+2713")));
        QVERIFY(servidor.requests().isEmpty());
        QVERIFY(Salvar(janela.get())->isEnabled());
    }
};

QTEST_MAIN(TfrmVisualizarScriptTest)
#include "TfrmVisualizarScriptTest.moc"
