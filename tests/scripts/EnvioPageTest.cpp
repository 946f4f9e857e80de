// Mouse events go through the platform layer, so the grid sees the buttons as physically held.
#define QTEST_QPA_MOUSE_HANDLING
#include "scripts/EnvioPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/ArquivosGrid.h"
#include "scripts/FilaArquivosModel.h"
#include "service/Conexao.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "validation/ScriptRunner.h"
#include "validation/TfrmValidarScript.h"
#include "widgets/DateEdit.h"
#include "base/Espera.h"
#include "widgets/FolderEdit.h"

#include <QThread>
#include <QElapsedTimer>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include <functional>
#include <memory>
#include <mutex>

namespace {

// Busy mode as the page drives it; the worker's progress values are kept in order.
class EsperaGravada : public Espera {
public:
    void IniciarEspera(int maximo, const QString &mensagem) override {
        m_maximo = maximo;
        this->mensagem = mensagem;
        ++iniciadas;
    }
    void FinalizarEspera() override { ++finalizadas; }
    int Valor() const override {
        std::lock_guard lock(m_mutex);
        return m_valores.isEmpty() ? 0 : m_valores.back();
    }
    void setValor(int valor) override {
        {
            std::lock_guard lock(m_mutex);
            m_valores << valor;
        }
        if (aoAvancar)
            aoAvancar(valor);
    }
    int Maximo() const override { return m_maximo; }
    QList<int> valores() const {
        std::lock_guard lock(m_mutex);
        return m_valores;
    }

    QString mensagem;
    int iniciadas = 0;
    int finalizadas = 0;
    std::function<void(int)> aoAvancar; // runs on the worker thread

private:
    mutable std::mutex m_mutex;
    QList<int> m_valores;
    int m_maximo = 0;
};

QString ordem(const FilaArquivosModel &fila) {
    QString s;
    for (int i = 0; i < fila.rowCount(); ++i)
        s += fila.nomeArq(i).section(u'/', -1);
    return s;
}

} // namespace

class EnvioPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsIdleWithItsControls();
    void procurarChecksItsInputs_data();
    void procurarChecksItsInputs();
    void procurarReplacesTheQueueAndCounts();
    void pararKeepsTheRowsFoundSoFar();
    void removerAsksAndRemovesEverySelectedRow_data();
    void removerAsksAndRemovesEverySelectedRow();
    void removerMessages();
    void pressHoldAndDropMovesTheRow();
    void pressReleasedEarlyIsAClick();
    void twoSelectedRowsStartNoDrag();
    void dropOnTitleRowOrBelowTheRowsMovesNothing_data();
    void dropOnTitleRowOrBelowTheRowsMovesNothing();
    void editarOpensTheEditorOnlyForAnExistingFile();
    void validarLoadsTheCurrentRowsFile();
    void validarWithAnEmptyQueueOffersTheLastSuccessfulRunsDatabase();
    void enviarChecksSystemFirstThenRows_data();
    void enviarChecksSystemFirstThenRows();
    void enviarSendsTheQueueUnderBusyMode();
    void enviarStopsWhenTheServiceGoesAway();
    void enviarShowsTheServicesRefusal();
    void closingThePageWhileTheRunAwaitsItsEndDoesNotHang();

private:
    template <class T> T *controle(const char *nome) {
        T *w = m_page->findChild<T *>(QLatin1String(nome));
        if (!w)
            qFatal("control %s not found", nome);
        return w;
    }
    FilaArquivosModel &fila() { return m_page->cdsArqs(); }
    ArquivosGrid *grid() { return controle<ArquivosGrid>("dbgArquivos"); }
    QPoint centro(int row) {
        return grid()->visualRect(fila().index(row, FilaArquivosModel::NOMEARQ)).center();
    }
    void arquivo(const QString &relativo, const QByteArray &texto = "select 1");
    void encher(const QStringList &nomes);
    void selecionar(int row);
    void loginNoServico();
    TfrmValidarScript *validar();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Conexao> m_conexao;
    std::unique_ptr<Sessao> m_sessao;
    RecordingMessages m_messages;
    std::unique_ptr<EsperaGravada> m_espera;
    EnvioPage *m_page = nullptr;
    std::unique_ptr<TestServer> m_servidor;
};

void EnvioPageTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_conexao = std::make_unique<Conexao>();
    m_sessao = std::make_unique<Sessao>(*m_conexao);
    m_messages = RecordingMessages();
    m_espera = std::make_unique<EsperaGravada>();
    m_page =
        new EnvioPage(*m_sessao, m_messages, *m_espera, m_dir->filePath(QStringLiteral("parametros.ini")));
    m_page->resize(900, 500);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    m_page->deData()->setDate(QDate(2019, 3, 5));
    m_page->edTipoArq()->setText(QStringLiteral("*.sql"));
    m_page->deDir()->setText(m_dir->path());
}

void EnvioPageTest::cleanup() {
    delete m_page;
    m_page = nullptr;
    m_servidor.reset();
    qunsetenv("BRISEL_SERVICE_URL");
}

void EnvioPageTest::arquivo(const QString &relativo, const QByteArray &texto) {
    const QString caminho = m_dir->filePath(relativo);
    QDir().mkpath(QFileInfo(caminho).path());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(texto);
    f.flush();
    QVERIFY(f.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(8, 0, 1)), QFileDevice::FileModificationTime));
}

void EnvioPageTest::encher(const QStringList &nomes) {
    for (const QString &n : nomes)
        fila().Adicionar(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 8)), QStringLiteral("/base/") + n,
                         n.toLatin1());
}

void EnvioPageTest::selecionar(int row) {
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centro(row));
    QTRY_VERIFY(!QGuiApplication::mouseButtons());
}

void EnvioPageTest::loginNoServico() {
    m_servidor = std::make_unique<TestServer>();
    qputenv("BRISEL_SERVICE_URL", m_servidor->rootUrl().toUtf8());
    const auto login = Protocolo::Login(*m_conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
    QVERIFY2(login.success, qPrintable(login.message));
    m_sessao->setChave(login.chave);
}

void EnvioPageTest::startsIdleWithItsControls() {
    QVERIFY(controle<QToolButton>("btProcurar")->isEnabled());
    QVERIFY(!controle<QToolButton>("btParar")->isEnabled());
    QCOMPARE(controle<QComboBox>("cbSistema")->currentIndex(), -1);
    QCOMPARE(controle<QComboBox>("cbSistema")->count(), 3);
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("0"));
    QCOMPARE(controle<QToolButton>("btRemover")->text(), QStringLiteral("Remover"));
    QVERIFY(controle<QPlainTextEdit>("DBMemo1")->isReadOnly());
    QCOMPARE(m_page->deDir()->objectName(), QStringLiteral("deDir"));
    QCOMPARE(m_page->deData()->objectName(), QStringLiteral("deData"));
    QCOMPARE(m_page->edTipoArq()->objectName(), QStringLiteral("edTipoArq"));
}

void EnvioPageTest::procurarChecksItsInputs_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("pasta");
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("no date") << QString() << QStringLiteral(".")
                             << QStringLiteral("Informe a data de modificação.");
    QTest::newRow("date checked first")
        << QStringLiteral("31/02/2019x") << QString() << QStringLiteral("Informe a data de modificação.");
    QTest::newRow("empty folder") << QStringLiteral("valid") << QString()
                                  << QStringLiteral("Diretório base inválido.");
    QTest::newRow("missing folder") << QStringLiteral("valid") << QStringLiteral("/nao/existe")
                                    << QStringLiteral("Diretório base inválido.");
}

void EnvioPageTest::procurarChecksItsInputs() {
    QFETCH(QString, data);
    QFETCH(QString, pasta);
    QFETCH(QString, mensagem);
    encher({QStringLiteral("antigo.sql")});
    if (data == QLatin1String("valid"))
        m_page->deData()->setDate(QDate(2019, 3, 5));
    else
        m_page->deData()->lineEdit()->setText(data);
    m_page->deDir()->setText(pasta == QLatin1String(".") ? m_dir->path() : pasta);
    m_page->btProcurarClick();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text, mensagem);
    QCOMPARE(fila().rowCount(), 1);
}

void EnvioPageTest::procurarReplacesTheQueueAndCounts() {
    arquivo(QStringLiteral("b.sql"));
    arquivo(QStringLiteral("A.SQL"));
    arquivo(QStringLiteral("c.txt"));
    arquivo(QStringLiteral("sub/d.sql"), "linha1\nlinha2");
    encher({QStringLiteral("antigo.sql")});

    m_page->btProcurarClick();
    QVERIFY(m_messages.boxes.isEmpty());
    QCOMPARE(ordem(fila()), QStringLiteral("A.SQLb.sqld.sql"));
    QCOMPARE(fila().script(2), QByteArray("linha1\r\nlinha2\r\n"));
    QCOMPARE(fila().linha(0).data, QDateTime(QDate(2020, 1, 1), QTime(8, 0, 0)));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("3"));
    QVERIFY(controle<QToolButton>("btProcurar")->isEnabled());
    QVERIFY(!controle<QToolButton>("btParar")->isEnabled());

    // The memo shows the current row's script.
    selecionar(2);
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(), QStringLiteral("linha1\nlinha2\n"));

    m_page->edTipoArq()->setText(QStringLiteral("*.txt"));
    m_page->btProcurarClick();
    QCOMPARE(ordem(fila()), QStringLiteral("c.txt"));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("1"));
}

void EnvioPageTest::pararKeepsTheRowsFoundSoFar() {
    for (const char *n : {"a.sql", "sub1/b.sql", "sub1/c.sql", "sub2/d.sql"})
        arquivo(QString::fromLatin1(n));
    // "Parar" pressed while the walk is in its first subfolder.
    bool enquantoProcurava = false;
    connect(&fila(), &QAbstractItemModel::rowsInserted, m_page, [&] {
        if (fila().rowCount() == 2) {
            enquantoProcurava = !controle<QToolButton>("btProcurar")->isEnabled() &&
                                !controle<QToolButton>("btEnviar")->isEnabled();
            QTest::mouseClick(controle<QToolButton>("btParar"), Qt::LeftButton);
        }
    });
    m_page->btProcurarClick();
    QVERIFY(enquantoProcurava);
    QCOMPARE(ordem(fila()), QStringLiteral("a.sqlb.sql"));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("2"));
    QVERIFY(controle<QToolButton>("btProcurar")->isEnabled());
    QVERIFY(controle<QToolButton>("btEnviar")->isEnabled());
}

void EnvioPageTest::removerAsksAndRemovesEverySelectedRow_data() {
    QTest::addColumn<bool>("sim");
    QTest::addColumn<QString>("resta");
    QTest::newRow("yes") << true << QStringLiteral("AC");
    QTest::newRow("no") << false << QStringLiteral("ABCDE");
}

void EnvioPageTest::removerAsksAndRemovesEverySelectedRow() {
    QFETCH(bool, sim);
    QFETCH(QString, resta);
    encher({"A", "B", "C", "D", "E"});
    controle<QLabel>("lblEnviarTotalRegistros")->setText(QStringLiteral("5"));
    selecionar(1);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(4));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(3));
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 3);
    m_messages.answers = {sim};

    m_page->btRemoverClick();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Question);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Deseja remover o registro selecionado?"));
    QCOMPARE(ordem(fila()), resta);
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("5"));
}

void EnvioPageTest::removerMessages() {
    m_page->btRemoverClick();
    encher({"A"});
    grid()->clearSelection();
    m_page->btRemoverClick();
    QCOMPARE(m_messages.boxes.size(), 2);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Não existem registros para remover."));
    QCOMPARE(m_messages.boxes[1].text,
             QStringLiteral("É preciso selecionar os registros que serão removidos."));
    QCOMPARE(fila().rowCount(), 1);
}

void EnvioPageTest::pressHoldAndDropMovesTheRow() {
    encher({"A", "B", "C", "D"});
    QWidget *vp = grid()->viewport();
    selecionar(3);
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(3));
    QTRY_VERIFY_WITH_TIMEOUT(grid()->arrastando(), 5000);

    QTest::mouseMove(vp, centro(1));
    QVERIFY(grid()->destacada(1));
    QVERIFY(!grid()->destacada(3));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(1));

    QVERIFY(!grid()->arrastando());
    QCOMPARE(ordem(fila()), QStringLiteral("ADBC"));
    QCOMPARE(grid()->currentIndex().row(), 1);
    QVERIFY(grid()->selectionModel()->selectedRows().isEmpty());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(fila().linha(i).ordem, float(i));
}

void EnvioPageTest::pressReleasedEarlyIsAClick() {
    encher({"A", "B", "C"});
    selecionar(0);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centro(2));
    QTest::qWait(ArquivosGrid::EsperaArrastoMs + 300);
    QVERIFY(!grid()->arrastando());
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(grid()->currentIndex().row(), 2);
}

void EnvioPageTest::twoSelectedRowsStartNoDrag() {
    encher({"A", "B", "C"});
    selecionar(0);
    QTest::mousePress(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(2));
    QTest::qWait(ArquivosGrid::EsperaArrastoMs + 300);
    QVERIFY(!grid()->arrastando());
    QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(2));
    QCOMPARE(ordem(fila()), QStringLiteral("ABC"));
}

void EnvioPageTest::dropOnTitleRowOrBelowTheRowsMovesNothing_data() {
    QTest::addColumn<bool>("titulo");
    QTest::newRow("title row") << true;
    QTest::newRow("below the last row") << false;
}

void EnvioPageTest::dropOnTitleRowOrBelowTheRowsMovesNothing() {
    QFETCH(bool, titulo);
    encher({"A", "B", "C"});
    QWidget *vp = grid()->viewport();
    selecionar(2);
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(2));
    QTRY_VERIFY_WITH_TIMEOUT(grid()->arrastando(), 5000);
    const QPoint alvo = titulo ? QPoint(centro(0).x(), -5) : QPoint(centro(0).x(), vp->height() - 30);
    QTest::mouseMove(vp, alvo);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!grid()->destacada(i));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, alvo);
    QVERIFY(!grid()->arrastando());
    QCOMPARE(ordem(fila()), QStringLiteral("ABC"));
}

void EnvioPageTest::editarOpensTheEditorOnlyForAnExistingFile() {
    auto editores = [] {
        QList<TfrmVisualizarScript *> lista;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<TfrmVisualizarScript *>(w); e && e->isVisible())
                lista << e;
        return lista;
    };
    m_page->ToolButton1Click(); // empty queue
    encher({"nao_existe.sql"});
    selecionar(0);
    m_page->ToolButton1Click(); // missing file
    QVERIFY(editores().isEmpty());

    arquivo(QStringLiteral("e.sql"), "select 2\n");
    fila().AdicionarArquivo(m_dir->filePath(QStringLiteral("e.sql")), QDateTime::currentDateTime());
    selecionar(1);
    m_page->ToolButton1Click();
    const auto abertos = editores();
    QCOMPARE(abertos.size(), 1);
    QCOMPARE(abertos[0]->Codigo(), m_dir->filePath(QStringLiteral("e.sql")));
    QCOMPARE(abertos[0]->Script(), QStringLiteral("select 2\r\n"));
    QVERIFY(abertos[0]->Local());
    QVERIFY(!abertos[0]->Comparar());
    QCOMPARE(abertos[0]->Linha(), QPersistentModelIndex(fila().index(1, FilaArquivosModel::SCRIPT)));
    QVERIFY(m_messages.boxes.isEmpty());
    // It goes with the main window instead of keeping the program running on its own.
    const QPointer<TfrmVisualizarScript> aberto(abertos[0]);
    delete m_page;
    m_page = nullptr;
    QVERIFY(aberto.isNull());
}

TfrmValidarScript *EnvioPageTest::validar() {
    const QList<TfrmValidarScript *> antes = m_page->window()->findChildren<TfrmValidarScript *>();
    m_page->btValidarClick();
    for (TfrmValidarScript *v : m_page->window()->findChildren<TfrmValidarScript *>())
        if (!antes.contains(v) && v->isVisible())
            return v;
    return nullptr;
}

void EnvioPageTest::validarLoadsTheCurrentRowsFile() {
    arquivo(QStringLiteral("v.sql"), "select 3 from rdb$database;");
    encher({"A"});
    fila().AdicionarArquivo(m_dir->filePath(QStringLiteral("v.sql")), QDateTime::currentDateTime());
    selecionar(1);
    TfrmValidarScript *janela = validar();
    QVERIFY(janela);
    QCOMPARE(janela->findChild<QsciScintilla *>(QStringLiteral("edtScript"))->text(),
             QStringLiteral("select 3 from rdb$database;"));
    janela->close();
}

void EnvioPageTest::validarWithAnEmptyQueueOffersTheLastSuccessfulRunsDatabase() {
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded);
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    auto campo = [](TfrmValidarScript *w, const char *nome) {
        return w->findChild<QLineEdit *>(QLatin1String(nome));
    };
    auto editor = [](TfrmValidarScript *w) {
        return w->findChild<QsciScintilla *>(QStringLiteral("edtScript"));
    };

    TfrmValidarScript *primeira = validar();
    QVERIFY(primeira);
    campo(primeira, "edtBanco")->setText(banco.name());
    campo(primeira, "edtSenha")->setText(QStringLiteral("masterkey"));
    editor(primeira)->setText(QStringLiteral("select 1 from rdb$database;"));
    primeira->findChild<QToolButton *>(QStringLiteral("btExecutar"))->click();
    QVERIFY(primeira->findChild<QPlainTextEdit *>(QStringLiteral("memResultado"))
                ->toPlainText()
                .startsWith(ScriptRunner::connectedLine()));
    primeira->close();

    TfrmValidarScript *segunda = validar();
    QVERIFY(segunda);
    QCOMPARE(editor(segunda)->text(), QString());
    QCOMPARE(campo(segunda, "edtBanco")->text(), banco.name());
    QCOMPARE(campo(segunda, "edtSenha")->text(), QStringLiteral("masterkey"));
    segunda->close();
}

void EnvioPageTest::enviarChecksSystemFirstThenRows_data() {
    QTest::addColumn<int>("sistema");
    QTest::addColumn<bool>("linhas");
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("nothing") << -1 << false << QStringLiteral("Informe o sistema para upload dos scripts.");
    QTest::newRow("rows, no system") << -1 << true
                                     << QStringLiteral("Informe o sistema para upload dos scripts.");
    QTest::newRow("system, no rows") << 0 << false << QStringLiteral("Não existem scripts a serem enviados.");
}

void EnvioPageTest::enviarChecksSystemFirstThenRows() {
    QFETCH(int, sistema);
    QFETCH(bool, linhas);
    QFETCH(QString, mensagem);
    controle<QComboBox>("cbSistema")->setCurrentIndex(sistema);
    if (linhas)
        encher({"A"});
    m_page->btEnviarClick();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text, mensagem);
    QCOMPARE(m_espera->iniciadas, 0);
}

void EnvioPageTest::enviarSendsTheQueueUnderBusyMode() {
    loginNoServico();
    encher({"1.sql", "2.sql", "3.sql"});
    selecionar(1);
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("TALAO"));

    m_page->btEnviarClick();
    QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, 1, 10000);
    QCOMPARE(m_espera->iniciadas, 1);
    QCOMPARE(m_espera->Maximo(), 3);
    QCOMPARE(m_espera->mensagem, QStringLiteral("Enviando os scripts..."));
    QCOMPARE(m_espera->valores(), (QList<int>{1, 2, 3}));
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Os scripts foram enviados com sucesso."));
    QCOMPARE(ordem(fila()), QStringLiteral("1.sql2.sql3.sql"));
    QCOMPARE(grid()->currentIndex().row(), 1);

    Protocolo::FiltroPesquisa filtro;
    filtro.sistema = QStringLiteral("TALAO");
    filtro.maximo = 10;
    QCOMPARE(Protocolo::ContarScripts(*m_sessao, filtro).registros, 3);
}

void EnvioPageTest::enviarStopsWhenTheServiceGoesAway() {
    loginNoServico();
    encher({"1.sql", "2.sql", "3.sql"});
    controle<QComboBox>("cbSistema")->setCurrentIndex(0);
    m_espera->aoAvancar = [this](int valor) {
        if (valor == 1)
            QMetaObject::invokeMethod(
                qApp, [this] { m_servidor.reset(); }, Qt::BlockingQueuedConnection);
    };

    m_page->btEnviarClick();
    QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, 1, 20000);
    QCOMPARE(m_espera->valores(), QList<int>{1});
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QVERIFY(!m_messages.boxes[0].text.isEmpty());
    QCOMPARE(ordem(fila()), QStringLiteral("1.sql2.sql3.sql"));
}

void EnvioPageTest::enviarShowsTheServicesRefusal() {
    loginNoServico();
    encher({"1.sql", "", "3.sql"}); // the second row has no file name: the service refuses it
    controle<QComboBox>("cbSistema")->setCurrentIndex(2);

    m_page->btEnviarClick();
    QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, 1, 10000);
    QCOMPARE(m_espera->valores(), QList<int>{1});
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Campo obrigatório não informado: nome."));
}

void EnvioPageTest::closingThePageWhileTheRunAwaitsItsEndDoesNotHang() {
    loginNoServico();
    encher({"1.sql", "2.sql"});
    controle<QComboBox>("cbSistema")->setCurrentIndex(0);

    m_page->btEnviarClick();
    // No event loop runs here, so once both rows are sent the worker sits waiting for its
    // end-of-run call on this thread: the page must still go away.
    QElapsedTimer relogio;
    relogio.start();
    while (m_espera->valores().size() < 2 && relogio.elapsed() < 10000)
        QThread::msleep(5);
    QCOMPARE(m_espera->valores().size(), 2);
    QThread::msleep(100);
    delete m_page;
    m_page = nullptr;
    QCOMPARE(m_espera->finalizadas, 0);
    QVERIFY(m_messages.boxes.isEmpty());
}

QTEST_MAIN(EnvioPageTest)
#include "EnvioPageTest.moc"
