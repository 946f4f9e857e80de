// A user's day with the whole program: the real main window and its pages against the
// reference service on loopback. The stages run in order and build on one another.
// Mouse events go through the platform layer, so the queue grid sees a held button.
#define QTEST_QPA_MOUSE_HANDLING
#include "app/Aparencia.h"
#include "app/TdmPrincipal.h"
#include "app/TfrmLoginScripts.h"
#include "app/TfrmPrincipalScripts.h"
#include "base/IniFile.h"
#include "catalog/LogPage.h"
#include "catalog/ScriptsPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/ArquivosGrid.h"
#include "scripts/EnvioPage.h"
#include "scripts/FilaArquivosModel.h"
#include "service/Protocolo.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"
#include "widgets/DateEdit.h"
#include "widgets/FolderEdit.h"
#include "widgets/TBRImageButton.h"
#include "widgets/TfrmProgresso.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include <memory>

namespace {

// Message boxes, each noted with whether busy mode still covered the window when it appeared.
class MensagensDoDia : public RecordingMessages {
public:
    std::function<bool()> ocupado;
    QList<bool> ocupadoNaCaixa;

    void error(const QString &text) override { notar(), RecordingMessages::error(text); }
    void information(const QString &text) override { notar(), RecordingMessages::information(text); }
    bool question(const QString &text) override { return notar(), RecordingMessages::question(text); }
    bool questionDefaultNo(const QString &text) override {
        return notar(), RecordingMessages::questionDefaultNo(text);
    }
    void generalError(const QString &text) override { notar(), RecordingMessages::generalError(text); }

private:
    void notar() { ocupadoNaCaixa << (ocupado && ocupado()); }
};

// Every "Aguarde" progress window that busy mode shows: its message, maximum and the last value
// its bar reached.
class ObservadorProgresso : public QObject {
public:
    struct Periodo {
        QString mensagem;
        int maximo = 0;
        int valorFinal = 0;
    };
    QList<Periodo> periodos;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *janela = qobject_cast<TfrmProgresso *>(watched);
        if (!janela || event->type() != QEvent::Show || m_vistas.contains(janela))
            return false;
        m_vistas << janela;
        const qsizetype i = periodos.size();
        periodos.append(Periodo());
        // Busy mode fills the window in right after showing it.
        QTimer::singleShot(0, janela, [this, janela, i] {
            if (i < periodos.size())
                periodos[i].mensagem = janela->Mensagem(), periodos[i].maximo = janela->Maximo();
        });
        connect(janela->Progresso(), &QProgressBar::valueChanged, this, [this, i](int valor) {
            if (i < periodos.size())
                periodos[i].valorFinal = valor;
        });
        return false;
    }

private:
    QList<QPointer<TfrmProgresso>> m_vistas;
};

void gravar(const QString &caminho, const QByteArray &texto, const QDateTime &modificado) {
    QDir().mkpath(QFileInfo(caminho).path());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(texto);
    f.flush();
    QVERIFY(f.setFileTime(modificado, QFileDevice::FileModificationTime));
}

QByteArray ler(const QString &caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// What the user types replaces what the field held.
void digitar(QLineEdit *campo, const QString &texto) {
    campo->setFocus();
    campo->selectAll();
    QTest::keyClick(campo, Qt::Key_Delete);
    QTest::keyClicks(campo, texto);
}

QString semCr(QString texto) {
    return texto.remove(u'\r');
}

// An editor window that is on screen and not among those already seen.
TfrmVisualizarScript *janelaEditorAberta(const QList<QPointer<TfrmVisualizarScript>> &jaVistas) {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *e = qobject_cast<TfrmVisualizarScript *>(w); e && e->isVisible() && !jaVistas.contains(e))
            return e;
    return nullptr;
}

} // namespace

class UserDayTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestServer> servidor;
    QTemporaryDir pastaPrograma; // beside the executable: "parametros.ini"
    QTemporaryDir pastaScripts;  // the developer's script tree
    std::unique_ptr<TdmPrincipal> dm;
    MensagensDoDia messages;
    ObservadorProgresso progresso;
    std::unique_ptr<TfrmPrincipalScripts> janela;
    QList<QPointer<TfrmVisualizarScript>> editores;

    template <class T> T *controle(const char *nome) {
        T *c = janela->findChild<T *>(QLatin1String(nome));
        if (!c)
            qFatal("control %s not found", nome);
        return c;
    }
    void clicar(const char *nome) { QTest::mouseClick(controle<QToolButton>(nome), Qt::LeftButton); }
    void navegar(const char *botao, int pagina) {
        QTest::mouseClick(controle<TBRImageButton>(botao), Qt::LeftButton, {}, QPoint(50, 40));
        QCOMPARE(janela->Paginas()->currentIndex(), pagina);
    }
    QString arquivo(const QString &relativo) const { return pastaScripts.filePath(relativo); }
    FilaArquivosModel &fila() { return janela->paginaEnvio()->cdsArqs(); }
    ArquivosGrid *grade() { return controle<ArquivosGrid>("dbgArquivos"); }
    QPoint centro(QTableView *g, int row) { return g->visualRect(g->model()->index(row, 1)).center(); }
    void selecionar(QTableView *g, int row) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(g, row));
        QTRY_VERIFY(!QGuiApplication::mouseButtons());
        QCOMPARE(g->currentIndex().row(), row);
    }
    QStringList nomesNaFila() {
        QStringList nomes;
        for (int i = 0; i < fila().rowCount(); ++i)
            nomes << QDir(pastaScripts.path()).relativeFilePath(fila().nomeArq(i));
        return nomes;
    }
    TfrmVisualizarScript *editorNovo() {
        TfrmVisualizarScript *e = nullptr;
        [&] { QTRY_VERIFY((e = janelaEditorAberta(editores))); }();
        if (e)
            editores << e;
        return e;
    }
    // What the service holds for a system, by file name.
    QMap<QString, QByteArray> guardadosNoServico(const QString &sistema = QStringLiteral("KOR")) {
        Protocolo::FiltroPesquisa filtro;
        filtro.sistema = sistema;
        filtro.maximo = 100;
        QMap<QString, QByteArray> guardados;
        const int registros = Protocolo::ContarScripts(janela->sessao(), filtro).registros;
        Protocolo::BuscarScripts(janela->sessao(), filtro, registros,
                                 [&](const RegistroScript &r) { guardados.insert(r.arquivo, r.script); });
        return guardados;
    }

private slots:
    void initTestCase();
    void init() {
        messages.boxes.clear();
        messages.ocupadoNaCaixa.clear();
        progresso.periodos.clear();
    }
    void cleanupTestCase();

    void login();
    void envioFindsTheChangedScripts();
    void envioMovesARowByPressAndHold();
    void envioEditsAQueuedFile();
    void envioUploadsTheQueueUnderBusyMode();
    void scriptsSearchFindsTheUploads();
    void scriptsEditAndSaveReachTheServiceAndTheTable();
    void scriptsDeleteRemovesTheRow();
    void logShowsEveryChangeWithItsTexts();
    void logComparesAnEntrySideBySide();
    void envioRereadsAFileChangedOutsideAndKeepsUtf8Files();
    void closingWritesTheSettingsAndEndsTheProgram();
};

void UserDayTest::initTestCase() {
    // The program's own look: Brazilian dates and texts whatever this machine's locale.
    Aparencia::aplicar(*qApp);
    qApp->installEventFilter(&progresso);
    servidor = std::make_unique<TestServer>();
    qputenv("BRISEL_SERVICE_URL", servidor->rootUrl().toUtf8());

    // Changed on or after 05/03/2024: a.sql, b.sql and sub/c.sql. Left out: an older script,
    // a file the mask does not take, and a hidden one.
    gravar(arquivo(QStringLiteral("a.sql")), "update a set x = 1;\r\n",
           QDateTime({2024, 3, 5}, {10, 15, 31}));
    gravar(arquivo(QStringLiteral("b.sql")), "delete from b;\nselect '\xE7\xE3o';\n",
           QDateTime({2024, 3, 6}, {9, 0, 0}));
    gravar(arquivo(QStringLiteral("sub/c.sql")), "create table c (id int);",
           QDateTime({2024, 3, 7}, {8, 30, 0}));
    gravar(arquivo(QStringLiteral("velho.sql")), "select 0;", QDateTime({2024, 3, 4}, {23, 59, 59}));
    gravar(arquivo(QStringLiteral("leia.txt")), "notes", QDateTime({2024, 3, 8}, {8, 0, 0}));
    gravar(arquivo(QStringLiteral(".oculto.sql")), "select 9;", QDateTime({2024, 3, 8}, {8, 0, 0}));

    dm = std::make_unique<TdmPrincipal>(pastaPrograma.path());
    janela = std::make_unique<TfrmPrincipalScripts>(
        *dm, messages, QStringList{QStringLiteral("dev"), QStringLiteral("senha")});
    messages.ocupado = [this] { return janela->modoEspera().ativo(); };
}

void UserDayTest::cleanupTestCase() {
    qApp->removeEventFilter(&progresso);
    janela.reset();
    servidor.reset();
}

void UserDayTest::login() {
    // The first showing opens the modal login, pre-filled from the command line.
    QString usuarioMostrado;
    QTimer tentativa;
    connect(&tentativa, &QTimer::timeout, this, [&] {
        TfrmLoginScripts *login = janela->loginAberto();
        if (!login || !login->isVisible())
            return;
        tentativa.stop();
        usuarioMostrado = login->edtUsuario()->text();
        QTest::mouseClick(login->btLogin(), Qt::LeftButton);
    });
    tentativa.start(50);
    janela->show();
    QVERIFY(QTest::qWaitForWindowExposed(janela.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!janela->FChave().isEmpty() && !janela->loginAberto(), 15000);
    QCOMPARE(usuarioMostrado, QStringLiteral("DEV"));
    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(janela->Paginas()->currentIndex(), 0);
}

void UserDayTest::envioFindsTheChangedScripts() {
    EnvioPage *envio = janela->paginaEnvio();
    digitar(envio->deDir()->lineEdit(), pastaScripts.path());
    digitar(envio->deData()->lineEdit(), QStringLiteral("05/03/2024"));
    digitar(envio->edTipoArq(), QStringLiteral("*.sql"));
    clicar("btProcurar");

    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(nomesNaFila(), (QStringList{"a.sql", "b.sql", "sub/c.sql"}));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("3"));
    QVERIFY(controle<QToolButton>("btProcurar")->isEnabled());
    QVERIFY(!controle<QToolButton>("btParar")->isEnabled());
    // Two-second resolution: 10:15:31 shows as 10:15:30.
    QCOMPARE(fila().index(0, FilaArquivosModel::DATA).data().toString(),
             QStringLiteral("05/03/2024 10:15:30"));
    QCOMPARE(fila().index(0, FilaArquivosModel::NOMEARQ).data().toString(), arquivo(QStringLiteral("a.sql")));
    // The texts are held with CR LF after every line, the last included.
    QCOMPARE(fila().script(1), QByteArray("delete from b;\r\nselect '\xE7\xE3o';\r\n"));
    QCOMPARE(fila().script(2), QByteArray("create table c (id int);\r\n"));

    selecionar(grade(), 1);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(),
             QStringLiteral("delete from b;\nselect 'ção';\n"));
}

void UserDayTest::envioMovesARowByPressAndHold() {
    QWidget *vp = grade()->viewport();
    selecionar(grade(), 2);
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(grade(), 2));
    QTRY_VERIFY_WITH_TIMEOUT(grade()->arrastando(), 5000);
    QTest::mouseMove(vp, centro(grade(), 0));
    QVERIFY(grade()->destacada(0));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(grade(), 0));

    QCOMPARE(nomesNaFila(), (QStringList{"sub/c.sql", "a.sql", "b.sql"}));
    QCOMPARE(grade()->currentIndex().row(), 0);
    QVERIFY(grade()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(),
             QStringLiteral("create table c (id int);\n"));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("3"));
    QVERIFY(messages.boxes.isEmpty());
}

void UserDayTest::envioEditsAQueuedFile() {
    // The moved row is current: "Editar" opens its file. The window stays open for the rest of
    // the day, as an editor window the user forgot.
    clicar("ToolButton1");
    TfrmVisualizarScript *editor = editorNovo();
    QVERIFY(editor);
    QVERIFY(editor->Local());
    QCOMPARE(editor->Codigo(), arquivo(QStringLiteral("sub/c.sql")));
    auto *texto = editor->findChild<QsciScintilla *>(QStringLiteral("editor"));
    auto *salvar = editor->findChild<QToolButton *>(QStringLiteral("btSalvar"));
    QVERIFY(!salvar->isEnabled());
    texto->setFocus();
    texto->setCursorPosition(texto->lines() - 1, 0);
    QTest::keyClicks(texto, QStringLiteral("-- revisado"));
    QVERIFY(salvar->isEnabled());
    QTest::mouseClick(salvar, Qt::LeftButton);

    QVERIFY(!salvar->isEnabled());
    const QByteArray esperado = "create table c (id int);\r\n-- revisado\r\n";
    QCOMPARE(ler(arquivo(QStringLiteral("sub/c.sql"))), esperado);
    QCOMPARE(fila().script(0), esperado);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(), semCr(QString::fromLatin1(esperado)));
    QVERIFY(messages.boxes.isEmpty());
    janela->activateWindow();
}

void UserDayTest::envioUploadsTheQueueUnderBusyMode() {
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("KOR"));
    clicar("btEnviar");
    QTRY_COMPARE_WITH_TIMEOUT(messages.boxes.size(), 1, 15000);

    QCOMPARE(messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(messages.boxes[0].text, QStringLiteral("Os scripts foram enviados com sucesso."));
    QCOMPARE(messages.ocupadoNaCaixa, QList<bool>{false}); // busy mode had ended
    QCOMPARE(progresso.periodos.size(), 1);
    QCOMPARE(progresso.periodos[0].mensagem, QStringLiteral("Enviando os scripts..."));
    QCOMPARE(progresso.periodos[0].maximo, 3);
    QCOMPARE(progresso.periodos[0].valorFinal, 3);
    QVERIFY(janela->minimumSize() != janela->maximumSize()); // the frame is sizeable again
    // The queue is as it was.
    QCOMPARE(nomesNaFila(), (QStringList{"sub/c.sql", "a.sql", "b.sql"}));
    QCOMPARE(grade()->currentIndex().row(), 0);

    const auto guardados = guardadosNoServico();
    QCOMPARE(guardados.keys(), (QStringList{"a.sql", "b.sql", "c.sql"}));
    QCOMPARE(guardados.value(QStringLiteral("c.sql")),
             QByteArray("create table c (id int);\r\n-- revisado\r\n"));
    QCOMPARE(guardados.value(QStringLiteral("b.sql")),
             QByteArray("delete from b;\r\nselect '\xE7\xE3o';\r\n"));
}

void UserDayTest::scriptsSearchFindsTheUploads() {
    navegar("btEditarScripts", 1);
    ScriptsPage *pagina = janela->paginaScripts();
    controle<QComboBox>("cbEditarSistema")->setCurrentText(QStringLiteral("KOR"));
    digitar(pagina->edEditarDataInicio()->lineEdit(), QStringLiteral("01/03/2024"));
    clicar("btEditarPesquisa");
    QTRY_COMPARE_WITH_TIMEOUT(controle<QLabel>("lblEditarTotalRegistros")->text(), QStringLiteral("3"),
                              15000);

    QVERIFY(!janela->modoEspera().ativo());
    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(progresso.periodos.size(), 1);
    QCOMPARE(progresso.periodos[0].mensagem, QStringLiteral("Pesquisando scripts no servidor..."));
    QCOMPARE(progresso.periodos[0].maximo, 3);
    QCOMPARE(progresso.periodos[0].valorFinal, 3);
    // In the order they were sent, each with its file's time.
    TabelaPesquisa &tabela = pagina->cdsPesquisa();
    QCOMPARE(tabela.rowCount(), 3);
    const QStringList nomes{"c.sql", "a.sql", "b.sql"};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(tabela.Linha(i).arquivo, nomes[i]);
    QCOMPARE(tabela.index(1, TabelaPesquisa::DATA).data().toString(), QStringLiteral("05/03/2024 10:15:30"));
    QCOMPARE(controle<QTableView>("dbgPesquisa")->currentIndex().row(), 0);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(),
             QStringLiteral("create table c (id int);\n-- revisado\n"));
}

void UserDayTest::scriptsEditAndSaveReachTheServiceAndTheTable() {
    auto *grid = controle<QTableView>("dbgPesquisa");
    selecionar(grid, 1); // a.sql
    clicar("btEditarRegistro");
    TfrmVisualizarScript *editor = editorNovo();
    QVERIFY(editor);
    QVERIFY(!editor->Local());
    QVERIFY(!editor->Comparar());
    QCOMPARE(editor->Codigo(), QString::number(janela->paginaScripts()->cdsPesquisa().Linha(1).codigo));
    auto *texto = editor->findChild<QsciScintilla *>(QStringLiteral("editor"));
    QCOMPARE(semCr(texto->text()), QStringLiteral("update a set x = 1;\n"));
    texto->setFocus();
    texto->setCursorPosition(0, 19);
    QTest::keyClick(texto, Qt::Key_Backspace);
    QTest::keyClicks(texto, QStringLiteral(" where id = 7;"));
    auto *salvar = editor->findChild<QToolButton *>(QStringLiteral("btSalvar"));
    QTest::mouseClick(salvar, Qt::LeftButton);

    const QByteArray novo = "update a set x = 1 where id = 7;\r\n";
    // Saved on a worker: the table takes the text when the service has answered.
    QTRY_COMPARE_WITH_TIMEOUT(janela->paginaScripts()->cdsPesquisa().Linha(1).script, novo, 10000);
    QVERIFY(!salvar->isEnabled());
    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(guardadosNoServico().value(QStringLiteral("a.sql")), novo);
    QCOMPARE(janela->paginaScripts()->cdsPesquisa().Linha(1).script, novo);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(),
             QStringLiteral("update a set x = 1 where id = 7;\n"));
    const QPointer<TfrmVisualizarScript> fechada(editor);
    QTest::mouseClick(editor->findChild<QToolButton *>(QStringLiteral("ToolButton2")),
                      Qt::LeftButton); // "Fechar"
    QTRY_VERIFY(!fechada || !fechada->isVisible());
}

void UserDayTest::scriptsDeleteRemovesTheRow() {
    auto *grid = controle<QTableView>("dbgPesquisa");
    selecionar(grid, 2); // b.sql, the last row
    clicar("btExcluirRegistro");
    QTRY_VERIFY_WITH_TIMEOUT(!janela->paginaScripts()->Ocupada(), 15000);

    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes[0].kind, RecordingMessages::Question);
    QCOMPARE(messages.boxes[0].text, QStringLiteral("Deseja excluir o script selecionado?"));
    TabelaPesquisa &tabela = janela->paginaScripts()->cdsPesquisa();
    QCOMPARE(tabela.rowCount(), 2);
    QCOMPARE(tabela.Linha(0).arquivo, QStringLiteral("c.sql"));
    QCOMPARE(tabela.Linha(1).arquivo, QStringLiteral("a.sql"));
    QCOMPARE(grid->currentIndex().row(), 1); // the row before the deleted last one
    QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(),
             QStringLiteral("update a set x = 1 where id = 7;\n"));
    QCOMPARE(controle<QLabel>("lblEditarTotalRegistros")->text(), QStringLiteral("2"));
    QCOMPARE(guardadosNoServico().keys(), (QStringList{"a.sql", "c.sql"}));
}

void UserDayTest::logShowsEveryChangeWithItsTexts() {
    navegar("btLog", 2);
    // Today's changes: the dates start as today.
    clicar("btLogPesquisar");
    QTRY_COMPARE_WITH_TIMEOUT(controle<QLabel>("lblLogTotalRegistros")->text(), QStringLiteral("5"), 15000);

    QVERIFY(!janela->modoEspera().ativo());
    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(progresso.periodos.size(), 1);
    QCOMPARE(progresso.periodos[0].mensagem, QStringLiteral("Pesquisando logs no servidor..."));
    QCOMPARE(progresso.periodos[0].maximo, 5);

    const struct {
        const char *arquivo;
        const char *descricao;
        QByteArray anterior;
        QByteArray atual;
    } esperados[] = {
        {"c.sql", "Inclusão", "", "create table c (id int);\r\n-- revisado\r\n"},
        {"a.sql", "Inclusão", "", "update a set x = 1;\r\n"},
        {"b.sql", "Inclusão", "", "delete from b;\r\nselect '\xE7\xE3o';\r\n"},
        {"a.sql", "Alteração", "update a set x = 1;\r\n", "update a set x = 1 where id = 7;\r\n"},
        {"b.sql", "Exclusão", "delete from b;\r\nselect '\xE7\xE3o';\r\n", ""},
    };
    TabelaLog &tabela = janela->paginaLog()->cdsLog();
    QCOMPARE(tabela.rowCount(), 5);
    QMultiMap<QString, int> porDescricao;
    for (int i = 0; i < tabela.rowCount(); ++i)
        porDescricao.insert(tabela.Linha(i).arquivo + u'/' + tabela.Linha(i).descricao, i);
    auto *grid = controle<QTableView>("dbgLog");
    for (const auto &e : esperados) {
        const QString chave = QLatin1String(e.arquivo) + u'/' + QString::fromUtf8(e.descricao);
        QVERIFY2(porDescricao.contains(chave), qPrintable(chave));
        const int linha = porDescricao.value(chave);
        const RegistroLog &r = tabela.Linha(linha);
        QCOMPARE(tabela.index(linha, TabelaLog::NOME).data().toString(), QStringLiteral("DEV"));
        QVERIFY(tabela.index(linha, TabelaLog::DATA)
                    .data()
                    .toString()
                    .startsWith(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy "))));
        QCOMPARE(r.script_anterior, e.anterior);
        QCOMPARE(r.script_atual, e.atual);
        // What the user reads under the grid for that entry.
        selecionar(grid, linha);
        QCOMPARE(controle<QPlainTextEdit>("DBMemo3")->toPlainText(), semCr(QString::fromLatin1(e.anterior)));
        QCOMPARE(controle<QPlainTextEdit>("DBMemo4")->toPlainText(), semCr(QString::fromLatin1(e.atual)));
    }
}

void UserDayTest::logComparesAnEntrySideBySide() {
    TabelaLog &tabela = janela->paginaLog()->cdsLog();
    int alteracao = -1;
    for (int i = 0; i < tabela.rowCount(); ++i)
        if (tabela.Linha(i).descricao == QStringLiteral("Alteração"))
            alteracao = i;
    QVERIFY(alteracao >= 0);
    selecionar(controle<QTableView>("dbgLog"), alteracao);
    clicar("btLogComparar");
    TfrmVisualizarScript *editor = editorNovo();
    QVERIFY(editor);
    QVERIFY(editor->Comparar());
    auto *antes = editor->findChild<QsciScintilla *>(QStringLiteral("EditorAnterior"));
    auto *depois = editor->findChild<QsciScintilla *>(QStringLiteral("editor"));
    QVERIFY(antes->isVisible() && depois->isVisible());
    QCOMPARE(semCr(antes->text()), QStringLiteral("update a set x = 1;\n"));
    QCOMPARE(semCr(depois->text()), QStringLiteral("update a set x = 1 where id = 7;\n"));
    // Read-only: typing changes nothing and "Salvar" stays off.
    depois->setFocus();
    QTest::keyClicks(depois, QStringLiteral("x"));
    QCOMPARE(semCr(depois->text()), QStringLiteral("update a set x = 1 where id = 7;\n"));
    QVERIFY(!editor->findChild<QToolButton *>(QStringLiteral("btSalvar"))->isEnabled());
    QVERIFY(messages.boxes.isEmpty());
    // Left open: the user closes the main window with it on screen.
}

void UserDayTest::envioRereadsAFileChangedOutsideAndKeepsUtf8Files() {
    navegar("btEnviarScripts", 0);
    // Later that day, scripts written by a Linux editor: UTF-8 without a mark, LF line ends.
    const QDateTime manha({2024, 3, 9}, {9, 0, 0});
    gravar(arquivo(QStringLiteral("linux/catalogo.sql")),
           "-- cat\xC3\xA1logo\nupdate t set s = 'a\xC3\xA7\xC3\xA3o';\n", manha);
    gravar(arquivo(QStringLiteral("linux/e.sql")), "select 1;\n", manha);
    EnvioPage *envio = janela->paginaEnvio();
    digitar(envio->deDir()->lineEdit(), arquivo(QStringLiteral("linux")));
    digitar(envio->deData()->lineEdit(), QStringLiteral("09/03/2024"));
    clicar("btProcurar");
    QCOMPARE(nomesNaFila(), (QStringList{"linux/catalogo.sql", "linux/e.sql"}));
    // The first row is current at once, its accents read right.
    QCOMPARE(grade()->currentIndex().row(), 0);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(),
             QStringLiteral("-- catálogo\nupdate t set s = 'ação';\n"));

    // e.sql is changed in another editor before the upload.
    gravar(arquivo(QStringLiteral("linux/e.sql")), "select 2;\n", QDateTime::currentDateTime());
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("TALAO"));
    clicar("btEnviar");
    QTRY_COMPARE_WITH_TIMEOUT(messages.boxes.size(), 2, 15000);
    QCOMPARE(messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(
        messages.boxes[0].text,
        QStringLiteral("Os arquivos abaixo foram alterados fora do programa e foram lidos novamente:\n\n") +
            arquivo(QStringLiteral("linux/e.sql")));
    QCOMPARE(messages.boxes[1].text, QStringLiteral("Os scripts foram enviados com sucesso."));
    const auto guardados = guardadosNoServico(QStringLiteral("TALAO"));
    QCOMPARE(guardados.value(QStringLiteral("catalogo.sql")),
             QByteArray("-- cat\xE1logo\r\nupdate t set s = 'a\xE7\xE3o';\r\n"));
    QCOMPARE(guardados.value(QStringLiteral("e.sql")), QByteArray("select 2;\r\n"));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(fila().index(i, FilaArquivosModel::SITUACAO).data().toString(),
                 QStringLiteral("Enviado para TALAO"));

    // Editing it keeps the file UTF-8 with its LF line ends.
    clicar("ToolButton1");
    TfrmVisualizarScript *editor = editorNovo();
    QVERIFY(editor);
    auto *texto = editor->findChild<QsciScintilla *>(QStringLiteral("editor"));
    texto->setFocus();
    texto->setCursorPosition(texto->lines() - 1, 0);
    QTest::keyClicks(texto, QStringLiteral("-- revisto"));
    QTest::mouseClick(editor->findChild<QToolButton *>(QStringLiteral("btSalvar")), Qt::LeftButton);
    QCOMPARE(ler(arquivo(QStringLiteral("linux/catalogo.sql"))),
             QByteArray("-- cat\xC3\xA1logo\nupdate t set s = 'a\xC3\xA7\xC3\xA3o';\n-- revisto\n"));
    QCOMPARE(fila().index(0, FilaArquivosModel::SITUACAO).data().toString(), QString());
    // A last edit left unsaved, for the end of the day.
    QTest::keyClicks(texto, QStringLiteral(" e mais"));
    QCOMPARE(messages.boxes.size(), 2);
    janela->activateWindow();
}

void UserDayTest::closingWritesTheSettingsAndEndsTheProgram() {
    // "Sair", then the event loop as the program runs it: it must end by itself.
    QTimer::singleShot(0, this, [this] {
        QTest::mouseClick(controle<TBRImageButton>("btSair"), Qt::LeftButton, {}, QPoint(50, 40));
    });
    QTimer::singleShot(15000, this, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);

    QVERIFY(!janela->isVisible());
    // The one editor window with an unsaved edit: one question, Não as the default; Sim here.
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes[0].text,
             QStringLiteral("Existe 1 janela de edição com alterações não salvas. Descartar as alterações?"));
    QVERIFY(messages.boxes[0].defaultNo);
    const IniFile ini(janela->getIniName());
    const struct {
        const char *secao, *chave, *valor;
    } gravados[] = {
        {"envio", "modificacao", "09/03/2024"},  {"envio", "mascara", "*.sql"},
        {"editar", "data_inicio", "01/03/2024"}, {"editar", "maximo", "100"},
        {"config", "maximizado", "0"},
    };
    QCOMPARE(ini.value(QStringLiteral("envio"), QStringLiteral("base")), arquivo(QStringLiteral("linux")));
    for (const auto &g : gravados)
        QCOMPARE(ini.value(QLatin1String(g.secao), QLatin1String(g.chave)), QLatin1String(g.valor));
}

QTEST_MAIN(UserDayTest)
#include "UserDayTest.moc"
