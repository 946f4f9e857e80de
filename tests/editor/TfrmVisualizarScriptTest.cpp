#include "editor/TfrmVisualizarScript.h"
#include "catalog/TabelaPesquisa.h"
#include "catalog/ThreadPesquisa.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include <memory>

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

private slots:
    // The reference service sends dates in the Brazilian short form.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init() {
        messages.boxes.clear();
        qunsetenv("BRISEL_SERVICE_URL");
    }

    void aFreshlyLoadedTextIsNotMarkedChanged_data() {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("editavel");
        QTest::newRow("local edit") << QStringLiteral("local") << true;
        QTest::newRow("server edit") << QStringLiteral("server") << true;
        QTest::newRow("comparison") << QStringLiteral("comparison") << false;
    }
    void aFreshlyLoadedTextIsNotMarkedChanged() {
        QFETCH(QString, modo);
        QFETCH(bool, editavel);
        auto janela = abrir(modo, QStringLiteral("1"), QStringLiteral("select 1\r\nfrom rdb$database;\r\n"));
        QVERIFY(janela->isMaximized());
        QCOMPARE(janela->windowTitle(), QStringLiteral("Editar script"));
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

    void closingWithUnsavedEditsAsksFirst_data() {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("editar");
        QTest::addColumn<bool>("descartar"); // the main window already asked for every editor
        QTest::addColumn<QList<bool>>("respostas");
        QTest::addColumn<int>("perguntas");
        QTest::addColumn<bool>("fica");
        QTest::newRow("no edits") << QStringLiteral("server") << false << false << QList<bool>{} << 0 << false;
        QTest::newRow("comparison") << QStringLiteral("comparison") << true << false << QList<bool>{} << 0 << false;
        QTest::newRow("Não keeps it") << QStringLiteral("local") << true << false << QList<bool>{false} << 1 << true;
        QTest::newRow("Sim closes") << QStringLiteral("server") << true << false << QList<bool>{true} << 1 << false;
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
        QTest::newRow("text") << QStringLiteral("a\u00E7\u4E00")
                              << QByteArray("codigo=7&script=61E73F&chave=K");
        QTest::newRow("empty text leaves script out") << QString() << QByteArray("codigo=7&chave=K");
    }
    void aServerSaveSendsCodeScriptAndKey() {
        QFETCH(QString, texto);
        QFETCH(QByteArray, corpo);
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &) { return QByteArray(R"({"success":true})"); });
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        sessao.setChave(QStringLiteral("K"));
        QStandardItemModel tabela(1, 1);
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("7"), QStringLiteral("x"), tabela.index(0, 0));
        Editor(janela.get())->selectAll();
        Editor(janela.get())->removeSelectedText();
        Editor(janela.get())->insert(texto);
        Salvar(janela.get())->click();

        QCOMPARE(servidor.requests().size(), 1);
        QVERIFY(servidor.requests()[0].head.startsWith("POST /services/index.php/scripts/atualizar "));
        QCOMPARE(servidor.requests()[0].body, corpo);
        QCOMPARE(tabela.data(tabela.index(0, 0)).toByteArray(),
                 corpo.contains("script") ? QByteArray("a\xE7?") : QByteArray());
        QVERIFY(!Salvar(janela.get())->isEnabled());
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void aServerSaveThatFailsKeepsSaveEnabled_data() {
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("refused") << QByteArray(R"({"success":false,"message":"Sem permissão"})")
                                 << QStringLiteral("Sem permissão");
        QTest::newRow("unreadable") << QByteArray("<html>") << QStringLiteral("Falha ao atualizar o script.");
        QTest::newRow("no service") << QByteArray() << QStringLiteral("Falha ao atualizar o script.");
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
        Salvar(janela.get())->click();
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

        Salvar(terceira.get())->click();
        // The first row is deleted on page "Scripts": its window still saves to the service.
        tabela.removeRows(0, 1);
        Salvar(primeira.get())->click();
        Salvar(segunda.get())->click();

        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(servico.ScriptGuardado(a), QByteArray("A1"));
        QCOMPARE(servico.ScriptGuardado(b), QByteArray("B2"));
        QCOMPARE(servico.ScriptGuardado(c), QByteArray("C3"));
        QCOMPARE(tabela.rowCount(), 2);
        QCOMPARE(tabela.Linha(0).script, QByteArray("B2"));
        QCOMPARE(tabela.Linha(1).script, QByteArray("C3"));
    }

    // The save waits for the worker's request on the one connection instead of overlapping it.
    void aServerSaveDuringASearchWaitsForTheConnection() {
        RecordingHttpServer servidor(
            [](const RecordingHttpServer::Request &pedido) {
                if (pedido.head.contains("/atualizar"))
                    return QByteArray(R"({"success":true})");
                return QByteArray(R"([{"CODIGO_SC":5,"DATA_CRIACAO_SC":"2024-01-02 03:04:05",)"
                                  R"("NOME_ARQUIVO_SC":"a.sql","SCRIPT_SC":"41"}])");
            },
            std::chrono::milliseconds(300));
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
        TabelaPesquisa tabela;
        RecordingEspera espera;
        ThreadPesquisa worker(conexao, tabela, espera);
        QStandardItemModel outra(1, 1);
        auto janela =
            abrir(QStringLiteral("server"), QStringLiteral("9"), QStringLiteral("x"), outra.index(0, 0));
        Digitar(janela.get(), QStringLiteral("y"));

        espera.IniciarEspera(2, {});
        bool fim = false;
        QVERIFY(worker.Iniciar(CamposRequisicao(), [&](const QString &falha) {
            QCOMPARE(falha, QString());
            fim = true;
        }));
        QTRY_VERIFY(!servidor.requests().isEmpty());
        Salvar(janela.get())->click();
        QTRY_VERIFY_WITH_TIMEOUT(fim, 10000);

        QVERIFY(!servidor.overlapped());
        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(outra.data(outra.index(0, 0)).toByteArray(), QByteArray("xy"));
        QCOMPARE(tabela.rowCount(), 2);
        QCOMPARE(servidor.requests().size(), 3);
    }
};

QTEST_MAIN(TfrmVisualizarScriptTest)
#include "TfrmVisualizarScriptTest.moc"
