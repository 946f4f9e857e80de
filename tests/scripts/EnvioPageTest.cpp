// Mouse events go through the platform layer, so the grid sees the buttons as physically held.
#define QTEST_QPA_MOUSE_HANDLING
#include "scripts/EnvioPage.h"
#include "base/Cancelamento.h"
#include "base/Espera.h"
#include "base/Exception.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/ArquivosGrid.h"
#include "scripts/EnvioScripts.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/IndicadorLinhaAtual.h"
#include "service/Conexao.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"
#include "tests/validation/ChaveiroDeTeste.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "validation/ScriptRunner.h"
#include "validation/TfrmValidarScript.h"
#include "widgets/DateEdit.h"
#include "widgets/FolderEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <QUrlQuery>
#include <Qsci/qsciscintilla.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Busy mode as the page drives it; the worker's progress values are kept in order.
class EsperaGravada : public Espera {
public:
    void IniciarEspera(int maximo, const QString &mensagem) override {
        m_maximo = maximo;
        this->mensagem = mensagem;
        ++iniciadas;
    }
    void IniciarEspera(int maximo, const QString &mensagem, Cancelamento *cancelamento) override {
        this->cancelamento = cancelamento;
        IniciarEspera(maximo, mensagem);
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
    std::atomic<Cancelamento *> cancelamento{nullptr}; // what "Cancelar" would set
    std::function<void(int)> aoAvancar;                // runs on the worker thread

private:
    mutable std::mutex m_mutex;
    QList<int> m_valores;
    int m_maximo = 0;
};

// A request's form field, decoded.
QString campo(const QByteArray &corpo, const char *nome) {
    return QUrlQuery(QString::fromLatin1(corpo)).queryItemValue(QLatin1String(nome), QUrl::FullyDecoded);
}

QByteArray lerArquivo(const QString &caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Another program writes the file now.
void reescrever(const QString &caminho, const QByteArray &texto) {
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(texto);
}

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
    void initTestCase() { QVERIFY2(m_chaveiro.isValid(), qPrintable(m_chaveiro.erro())); }
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

    void aSearchMakesTheFirstRowCurrentAndStartsAtTheLeftEdge();
    void theCountFollowsLimparAndRemover();
    void aFileThatCannotBeReadDuringTheSearchIsNamed();
    void aChangedFileIsReadAgainBeforeTheUpload();
    void aChangedFileIsReadAgainBeforeEditarAndValidar_data();
    void aChangedFileIsReadAgainBeforeEditarAndValidar();
    void aVanishedFileStopsEditar();
    void vanishedFilesAreNamedOnceAndTheirRowsMayGo_data();
    void vanishedFilesAreNamedOnceAndTheirRowsMayGo();
    void aLocalSaveAsksBeforeReplacingAFileChangedOutside();
    void aUtf8FileIsSentAsWindows1252AndSavedBackAsUtf8();
    void uploadStatesAndSendingOnlyTheRowsNotSent_data();
    void uploadStatesAndSendingOnlyTheRowsNotSent();
    void theQuestionForTheRowsNotSentIsWordedForOne();
    void charactersOutsideTheCodePageArriveAsTheWarningListsThem();
    void cancelarStopsAfterTheRequestInProgress();
    void cancelarAbortsARequestTheServiceDoesNotAnswer();
    void ctrlUpAndDownMoveTheSelectedRows();
    void movingThroughTheRowsKeepsTheGridsSidewaysPosition();
    void aDragShowsWhereTheRowLandsAndTheDropScrollsToIt();
    void holdingARowOfASelectionDragsItAlone();
    void aSweepBeforeTheHoldTimeSelectsARange();

    void enviarAsksFromWhatTheServiceHolds_data();
    void enviarAsksFromWhatTheServiceHolds();
    void compararShowsTheStoredTextBesideTheFile();
    void aStopBeforeTheRequestLeftIsAPlainStop();
    void aServiceKilledAfterTheRequestLeftMayHaveStoredIt();
    void aWaitingEnviarIsDroppedWhenTheQueueChanges();
    void ensaiarRunsTheQueueInOrderAndEnviarAsks_data();
    void ensaiarRunsTheQueueInOrderAndEnviarAsks();
    void ensaiarAntesDeEnviarSendsNothingWhenAScriptFails();
    void aFailedRowTheServiceHoldsIsTriedButNotCounted();
    void cancelarStopsTheTrialAndDropsTheCopy();
    void anotherDatabaseMakesTheTrialStale();

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
    // Files of those names, each holding its name, found by a search.
    void procurar(const QStringList &nomes);
    // A recording service: every "/inserir" is accepted unless `resposta` gives a reply for it.
    void gravador(std::function<QByteArray(const QString &nome)> resposta = {});
    // The "/inserir" requests received, as file name and script bytes.
    QList<QPair<QString, QByteArray>> recebidos() const;
    QString situacao(int row) { return fila().index(row, FilaArquivosModel::SITUACAO).data().toString(); }
    TfrmVisualizarScript *editorAberto();
    void enviar();
    void selecionar(int row);
    void loginNoServico();
    TfrmValidarScript *validar();
    // "Ensaiar" (or "Enviar" that trials first), the database dialog answered, and the trial's end.
    void ensaiar(const std::function<void()> &pressionar, const QString &banco);
    QString ensaio(int row) { return fila().index(row, FilaArquivosModel::ENSAIO).data().toString(); }
    // The validation's last database, which the trial copies.
    bool validacaoEm(const QString &banco) {
        QFile ini(m_dir->filePath(QStringLiteral("parametros.ini")));
        return ini.open(QIODevice::WriteOnly) &&
               ini.write("[validacao]\ndatabase=" + banco.toUtf8() + "\n") > 0;
    }

    // The validation window's password, remembered in a keyring of the test's own.
    ChaveiroDeTeste m_chaveiro;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Conexao> m_conexao;
    std::unique_ptr<Sessao> m_sessao;
    RecordingMessages m_messages;
    std::unique_ptr<EsperaGravada> m_espera;
    EnvioPage *m_page = nullptr;
    std::unique_ptr<TestServer> m_servidor;
    std::unique_ptr<RecordingHttpServer> m_gravador;
    QByteArray m_respostaContagem; // what the recording service counts for the status lookup
};

void EnvioPageTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_conexao = std::make_unique<Conexao>();
    m_sessao = std::make_unique<Sessao>(*m_conexao);
    m_messages = RecordingMessages();
    m_respostaContagem = R"({"success":true,"registros":0})";
    // The service writes dates in the Brazilian form, which the program reads by its locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
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
    m_gravador.reset();
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

void EnvioPageTest::procurar(const QStringList &nomes) {
    for (const QString &n : nomes)
        arquivo(n, n.toLatin1() + "\n");
    m_page->btProcurarClick();
    QCOMPARE(fila().rowCount(), nomes.size());
}

void EnvioPageTest::gravador(std::function<QByteArray(const QString &nome)> resposta) {
    m_gravador =
        std::make_unique<RecordingHttpServer>([this, resposta](const RecordingHttpServer::Request &r) {
            // The status lookup of column "No serviço": nothing stored, unless the test says otherwise.
            if (r.head.contains("/pesquisar "))
                return campo(r.body, "contar").isEmpty() ? QByteArray("[]") : m_respostaContagem;
            const QByteArray propria = resposta ? resposta(campo(r.body, "nome")) : QByteArray();
            return propria.isEmpty() ? QByteArray(R"({"success":true,"message":"","codigo":1})") : propria;
        });
    qputenv("BRISEL_SERVICE_URL", m_gravador->rootUrl());
    m_sessao->setChave(QStringLiteral("K"));
    controle<QComboBox>("cbSistema")->setCurrentIndex(0);
}

QList<QPair<QString, QByteArray>> EnvioPageTest::recebidos() const {
    QList<QPair<QString, QByteArray>> lista;
    for (const auto &r : m_gravador->requests())
        if (r.head.contains("/inserir "))
            lista.append(
                {campo(r.body, "nome"), QByteArray::fromHex(campo(r.body, "script").mid(2).toLatin1())});
    return lista;
}

TfrmVisualizarScript *EnvioPageTest::editorAberto() {
    for (TfrmVisualizarScript *e : m_page->findChildren<TfrmVisualizarScript *>())
        if (e->isVisible())
            return e;
    return nullptr;
}

// "Enviar", and the end of the run it started (after the status lookup it may wait for).
void EnvioPageTest::enviar() {
    const int antes = m_espera->finalizadas;
    m_page->btEnviarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    if (m_espera->iniciadas > antes)
        QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, antes + 1, 10000);
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
    QTest::addColumn<QString>("total");
    QTest::newRow("yes") << true << QStringLiteral("AC") << QStringLiteral("2");
    QTest::newRow("no") << false << QStringLiteral("ABCDE") << QStringLiteral("5");
}

void EnvioPageTest::removerAsksAndRemovesEverySelectedRow() {
    QFETCH(bool, sim);
    QFETCH(QString, resta);
    QFETCH(QString, total);
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
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), total);
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
    QVERIFY(m_messages.boxes.isEmpty());
    encher({"nao_existe.sql"});
    selecionar(0);
    m_page->ToolButton1Click(); // missing file
    QVERIFY(editores().isEmpty());
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("O arquivo \"/base/nao_existe.sql\" não existe mais."));
    m_messages.boxes.clear();

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
    QTRY_VERIFY_WITH_TIMEOUT(!primeira->executando(), 60000); // the run works on its own thread
    QVERIFY(primeira->findChild<QPlainTextEdit *>(QStringLiteral("memResultado"))
                ->toPlainText()
                .startsWith(ScriptRunner::connectedLine()));
    primeira->close();

    TfrmValidarScript *segunda = validar();
    QVERIFY(segunda);
    QCOMPARE(editor(segunda)->text(), QString());
    QCOMPARE(campo(segunda, "edtBanco")->text(), banco.name());
    QTRY_COMPARE_WITH_TIMEOUT(campo(segunda, "edtSenha")->text(), QStringLiteral("masterkey"), 20000);
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
    procurar({"1.sql", "2.sql", "3.sql"});
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
    for (int i = 0; i < 3; ++i)
        QCOMPARE(situacao(i), QStringLiteral("Enviado para TALAO"));

    Protocolo::FiltroPesquisa filtro;
    filtro.sistema = QStringLiteral("TALAO");
    filtro.maximo = 10;
    QCOMPARE(Protocolo::ContarScripts(*m_sessao, filtro).registros, 3);
}

void EnvioPageTest::enviarStopsWhenTheServiceGoesAway() {
    loginNoServico();
    procurar({"1.sql", "2.sql", "3.sql"});
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
    // The box names the file that failed.
    QVERIFY2(m_messages.boxes[0].text.startsWith(QStringLiteral("Falha ao enviar o arquivo \"%1\": ")
                                                     .arg(m_dir->filePath(QStringLiteral("2.sql")))),
             qPrintable(m_messages.boxes[0].text));
    QVERIFY(m_messages.boxes[0].text.endsWith(QStringLiteral("\n1 de 3 scripts enviados.")));
    QCOMPARE(ordem(fila()), QStringLiteral("1.sql2.sql3.sql"));
    QCOMPARE(situacao(0), QStringLiteral("Enviado para KOR"));
    QVERIFY(situacao(1).startsWith(QStringLiteral("Erro: ")));
    QCOMPARE(situacao(2), QString());
}

void EnvioPageTest::enviarShowsTheServicesRefusal() {
    gravador([](const QString &nome) {
        return nome == QLatin1String("2.sql")
                   ? QByteArray(R"({"success":false,"message":"Campo obrigatório não informado: nome."})")
                   : QByteArray();
    });
    procurar({"1.sql", "2.sql", "3.sql"});

    enviar();
    QCOMPARE(m_espera->valores(), QList<int>{1});
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text,
             QStringLiteral("Falha ao enviar o arquivo \"%1\": Campo obrigatório não informado: nome.\n"
                            "1 de 3 scripts enviados.")
                 .arg(m_dir->filePath(QStringLiteral("2.sql"))));
    QCOMPARE(situacao(1), QStringLiteral("Erro: Campo obrigatório não informado: nome."));
}

void EnvioPageTest::closingThePageWhileTheRunAwaitsItsEndDoesNotHang() {
    loginNoServico();
    procurar({"1.sql", "2.sql"});
    controle<QComboBox>("cbSistema")->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);

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

void EnvioPageTest::aSearchMakesTheFirstRowCurrentAndStartsAtTheLeftEdge() {
    arquivo(QStringLiteral("a.sql"), "select 'a';\n");
    arquivo(QStringLiteral("b.sql"));
    // A narrow grid that the user scrolled to the right.
    m_page->resize(300, 500);
    encher({"x"});
    QScrollBar *horizontal = grid()->horizontalScrollBar();
    QTRY_VERIFY(horizontal->maximum() > 0);
    horizontal->setValue(horizontal->maximum());

    m_page->btProcurarClick();
    QCOMPARE(horizontal->value(), 0);
    QCOMPARE(grid()->currentIndex().row(), 0);
    QVERIFY(grid()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(), QStringLiteral("select 'a';\n"));
    // The whole date and time fits its column.
    const QString data = fila().index(0, FilaArquivosModel::DATA).data().toString();
    QVERIFY(grid()->columnWidth(FilaArquivosModel::DATA) > grid()->fontMetrics().horizontalAdvance(data));

    // The row indicator column marks the current row, and only it.
    auto *indicador = qobject_cast<IndicadorLinhaAtual *>(grid()->verticalHeader());
    QVERIFY(indicador);
    QCOMPARE(indicador->linhaIndicada(), 0);
    const QImage imagem = indicador->viewport()->grab().toImage();
    auto escuros = [&](int row) {
        int n = 0;
        const int topo = indicador->sectionViewportPosition(row);
        for (int y = topo + 2; y < topo + indicador->sectionSize(row) - 2; ++y)
            for (int x = 1; x < imagem.width() - 1; ++x)
                n += qGray(imagem.pixel(x, y)) < 96;
        return n;
    };
    QVERIFY(escuros(0) > 4);
    QCOMPARE(escuros(1), 0);

    // "Editar" works at once.
    m_page->ToolButton1Click();
    TfrmVisualizarScript *janela = editorAberto();
    QVERIFY(janela);
    QCOMPARE(janela->Codigo(), m_dir->filePath(QStringLiteral("a.sql")));
    QCOMPARE(janela->Script(), QStringLiteral("select 'a';\r\n"));
    QVERIFY(m_messages.boxes.isEmpty());
}

void EnvioPageTest::theCountFollowsLimparAndRemover() {
    procurar({"a.sql", "b.sql", "c.sql"});
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("3"));
    selecionar(1);
    m_page->btRemoverClick();
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("2"));
    m_page->btLimparClick();
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("0"));
}

void EnvioPageTest::aFileThatCannotBeReadDuringTheSearchIsNamed() {
    arquivo(QStringLiteral("a.sql"));
    arquivo(QStringLiteral("b.sql"));
    arquivo(QStringLiteral("c.sql"));
    // Between the folder's listing and its reading, b.sql becomes something no file can be read
    // from (as root, taking away the read permission would not stop the reading).
    const QString perdido = m_dir->filePath(QStringLiteral("b.sql"));
    connect(&fila(), &QAbstractItemModel::rowsInserted, m_page, [perdido] {
        if (QFile::remove(perdido))
            QDir().mkdir(perdido);
    });
    m_page->btProcurarClick();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    const QString texto = m_messages.boxes[0].text;
    QVERIFY2(texto.startsWith(QStringLiteral("Não foi possível ler o arquivo \"%1\": ").arg(perdido)) &&
                 texto.endsWith(u'.'),
             qPrintable(texto));
    // The walk stopped there; the rows found so far stay and are counted.
    QCOMPARE(ordem(fila()), QStringLiteral("a.sql"));
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QStringLiteral("1"));
    QVERIFY(controle<QToolButton>("btProcurar")->isEnabled());
}

void EnvioPageTest::aChangedFileIsReadAgainBeforeTheUpload() {
    gravador();
    procurar({"a.sql", "b.sql"});
    reescrever(m_dir->filePath(QStringLiteral("b.sql")), "select 'novo';\n");

    enviar();
    QCOMPARE(m_messages.boxes.size(), 2);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(
        m_messages.boxes[0].text,
        QStringLiteral("Os arquivos abaixo foram alterados fora do programa e foram lidos novamente:\n\n") +
            m_dir->filePath(QStringLiteral("b.sql")));
    QCOMPARE(m_messages.boxes[1].text, QStringLiteral("Os scripts foram enviados com sucesso."));
    const QList<QPair<QString, QByteArray>> esperados{{QStringLiteral("a.sql"), "a.sql\r\n"},
                                                      {QStringLiteral("b.sql"), "select 'novo';\r\n"}};
    QCOMPARE(recebidos(), esperados);
    QCOMPARE(fila().script(1), QByteArray("select 'novo';\r\n"));

    // Nothing changed since: the next run reads nothing again.
    m_messages.boxes.clear();
    enviar();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Os scripts foram enviados com sucesso."));
}

void EnvioPageTest::aChangedFileIsReadAgainBeforeEditarAndValidar_data() {
    QTest::addColumn<bool>("editar");
    QTest::newRow("Editar") << true;
    QTest::newRow("Validar") << false;
}

void EnvioPageTest::aChangedFileIsReadAgainBeforeEditarAndValidar() {
    QFETCH(bool, editar);
    procurar({"a.sql"});
    reescrever(m_dir->filePath(QStringLiteral("a.sql")), "select 'novo';\n");
    QString mostrado;
    if (editar) {
        m_page->ToolButton1Click();
        TfrmVisualizarScript *janela = editorAberto();
        QVERIFY(janela);
        mostrado = janela->Script();
    } else {
        TfrmValidarScript *janela = validar();
        QVERIFY(janela);
        mostrado = janela->findChild<QsciScintilla *>(QStringLiteral("edtScript"))->text();
        janela->close();
    }
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Information);
    QVERIFY(m_messages.boxes[0].text.endsWith(u'\n' + m_dir->filePath(QStringLiteral("a.sql"))));
    QVERIFY2(mostrado.startsWith(QStringLiteral("select 'novo';")), qPrintable(mostrado));
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(), QStringLiteral("select 'novo';\n"));
}

void EnvioPageTest::aVanishedFileStopsEditar() {
    procurar({"a.sql", "b.sql"});
    const QString sumiu = m_dir->filePath(QStringLiteral("b.sql"));
    QVERIFY(QFile::remove(sumiu));
    selecionar(1);
    m_page->ToolButton1Click();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("O arquivo \"%1\" não existe mais.").arg(sumiu));
    QVERIFY(!editorAberto());
    QCOMPARE(fila().rowCount(), 2);
}

void EnvioPageTest::vanishedFilesAreNamedOnceAndTheirRowsMayGo_data() {
    QTest::addColumn<QString>("acao");
    QTest::addColumn<bool>("retirar");
    QTest::newRow("Validar, Sim") << QStringLiteral("Validar") << true;
    QTest::newRow("Validar, Não") << QStringLiteral("Validar") << false;
    QTest::newRow("Enviar, Sim") << QStringLiteral("Enviar") << true;
    QTest::newRow("Enviar, Não") << QStringLiteral("Enviar") << false;
}

// "Validar" checks the current row's file, "Enviar" every row's: the vanished ones are named in
// one question; Sim takes their rows out of the queue and goes on, Não stops with the queue as it was.
void EnvioPageTest::vanishedFilesAreNamedOnceAndTheirRowsMayGo() {
    QFETCH(QString, acao);
    QFETCH(bool, retirar);
    gravador();
    procurar({"a.sql", "b.sql", "c.sql"});
    const QString b = m_dir->filePath(QStringLiteral("b.sql"));
    const QString c = m_dir->filePath(QStringLiteral("c.sql"));
    QVERIFY(QFile::remove(b));
    QVERIFY(QFile::remove(c));
    selecionar(1);
    m_messages.answers = {retirar};

    TfrmValidarScript *janela = nullptr;
    if (acao == QLatin1String("Validar"))
        janela = validar();
    else
        enviar();
    QVERIFY(m_messages.boxes.size() >= 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Question);
    QCOMPARE(
        m_messages.boxes[0].text,
        acao == QLatin1String("Validar")
            ? QStringLiteral("O arquivo \"%1\" não existe mais.\n\nRetirar essa linha da fila e continuar?")
                  .arg(b)
            : QStringLiteral(
                  "Os arquivos abaixo não existem mais:\n\n%1\n%2\n\nRetirar essas 2 linhas da fila e "
                  "continuar?")
                  .arg(b, c));
    if (!retirar) {
        QCOMPARE(m_messages.boxes.size(), 1);
        QCOMPARE(ordem(fila()), QStringLiteral("a.sqlb.sqlc.sql"));
        QVERIFY(!janela);
        QCOMPARE(m_espera->iniciadas, 0);
        QVERIFY(recebidos().isEmpty());
        return;
    }
    QCOMPARE(controle<QLabel>("lblEnviarTotalRegistros")->text(), QString::number(fila().rowCount()));
    if (acao == QLatin1String("Validar")) {
        QCOMPARE(ordem(fila()), QStringLiteral("a.sqlc.sql"));
        QVERIFY(janela);
        QCOMPARE(janela->findChild<QsciScintilla *>(QStringLiteral("edtScript"))->text(), QString());
        janela->close();
        return;
    }
    QCOMPARE(ordem(fila()), QStringLiteral("a.sql"));
    QCOMPARE(recebidos(), (QList<QPair<QString, QByteArray>>{{QStringLiteral("a.sql"), "a.sql\r\n"}}));
    QCOMPARE(m_messages.boxes.constLast().text, QStringLiteral("Os scripts foram enviados com sucesso."));
}

void EnvioPageTest::aLocalSaveAsksBeforeReplacingAFileChangedOutside() {
    const QString caminho = m_dir->filePath(QStringLiteral("s.sql"));
    arquivo(QStringLiteral("s.sql"), "select 1;\n");
    m_page->btProcurarClick();
    m_page->ToolButton1Click();
    TfrmVisualizarScript *janela = editorAberto();
    QVERIFY(janela);
    auto *texto = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
    auto *salvar = janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
    texto->setCursorPosition(0, 0);
    texto->insert(QStringLiteral("-- meu\r\n"));
    QVERIFY(salvar->isEnabled());
    reescrever(caminho, "select 2; -- outro editor\n");

    m_messages.answers = {false};
    salvar->click();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Question);
    QVERIFY(m_messages.boxes[0].defaultNo);
    QCOMPARE(m_messages.boxes[0].text,
             QStringLiteral("O arquivo foi alterado fora do programa. Sobrescrever?"));
    QCOMPARE(lerArquivo(caminho), QByteArray("select 2; -- outro editor\n"));
    QVERIFY(salvar->isEnabled());

    m_messages.answers = {true};
    salvar->click();
    QCOMPARE(m_messages.boxes.size(), 2);
    // Its own line ends, LF, are kept.
    QCOMPARE(lerArquivo(caminho), QByteArray("-- meu\nselect 1;\n"));
    QCOMPARE(fila().script(0), QByteArray("-- meu\r\nselect 1;\r\n"));
    QVERIFY(!salvar->isEnabled());

    // Its own save is no change from outside.
    texto->insert(QStringLiteral("-- "));
    salvar->click();
    QCOMPARE(m_messages.boxes.size(), 2);
    QCOMPARE(lerArquivo(caminho), QByteArray("-- -- meu\nselect 1;\n"));
}

void EnvioPageTest::aUtf8FileIsSentAsWindows1252AndSavedBackAsUtf8() {
    gravador();
    const QString caminho = m_dir->filePath(QStringLiteral("u.sql"));
    arquivo(QStringLiteral("u.sql"), "-- cat\xC3\xA1logo \xE2\x86\x92 fim\nselect 1;\n");
    m_page->btProcurarClick();
    QCOMPARE(controle<QPlainTextEdit>("DBMemo1")->toPlainText(),
             QStringLiteral("-- catálogo ? fim\nselect 1;\n"));

    // Asked first, Não as the default: nothing is sent.
    m_messages.answers = {false};
    enviar();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Question);
    QVERIFY(m_messages.boxes[0].defaultNo);
    const QString pergunta = m_messages.boxes[0].text;
    QVERIFY2(pergunta.contains(caminho) && pergunta.contains(QStringLiteral("U+2192")) &&
                 pergunta.contains(QStringLiteral("linha 1, coluna 13")),
             qPrintable(pergunta));
    QCOMPARE(m_espera->iniciadas, 0);
    QVERIFY(recebidos().isEmpty());

    m_messages.answers = {true};
    enviar();
    QCOMPARE(recebidos(), (QList<QPair<QString, QByteArray>>{
                              {QStringLiteral("u.sql"), "-- cat\xE1logo ? fim\r\nselect 1;\r\n"}}));

    // The editor shows the file's own text and a save keeps it UTF-8 with LF.
    m_page->ToolButton1Click();
    TfrmVisualizarScript *janela = editorAberto();
    QVERIFY(janela);
    QCOMPARE(janela->Script(), QStringLiteral("-- catálogo → fim\r\nselect 1;\r\n"));
    auto *texto = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
    texto->setCursorPosition(1, 0);
    texto->insert(QStringLiteral("✓"));
    janela->findChild<QToolButton *>(QStringLiteral("btSalvar"))->click();
    QCOMPARE(lerArquivo(caminho), QByteArray("-- cat\xC3\xA1logo \xE2\x86\x92 fim\n\xE2\x9C\x93select 1;\n"));
    QCOMPARE(fila().script(0), QByteArray("-- cat\xE1logo ? fim\r\n?select 1;\r\n"));
    QCOMPARE(fila().linha(0).naoSuportados.size(), 2);
    QCOMPARE(situacao(0), QString()); // the saved text has not been sent
}

void EnvioPageTest::uploadStatesAndSendingOnlyTheRowsNotSent_data() {
    QTest::addColumn<std::optional<bool>>("soPendentes");
    QTest::addColumn<QStringList>("enviados");
    QTest::newRow("only the rows not sent")
        << std::optional<bool>(true) << QStringList{"a.sql", "b.sql", "b.sql", "c.sql"};
    QTest::newRow("the whole queue again")
        << std::optional<bool>(false) << QStringList{"a.sql", "b.sql", "a.sql", "b.sql", "c.sql"};
    QTest::newRow("cancelled") << std::optional<bool>() << QStringList{"a.sql", "b.sql"};
}

void EnvioPageTest::uploadStatesAndSendingOnlyTheRowsNotSent() {
    QFETCH(std::optional<bool>, soPendentes);
    QFETCH(QStringList, enviados);
    // A service that cannot say what it holds: the question falls back on what this program sent.
    m_respostaContagem = R"({"success":false,"message":"Pesquisa indisponível."})";
    auto recusas = std::make_shared<std::atomic<int>>(1);
    gravador([recusas](const QString &nome) {
        return nome == QLatin1String("b.sql") && recusas->fetch_sub(1) > 0
                   ? QByteArray(R"({"success":false,"message":"Recusado."})")
                   : QByteArray();
    });
    procurar({"a.sql", "b.sql", "c.sql"});
    QCOMPARE(controle<ArquivosGrid>("dbgArquivos")->isColumnHidden(FilaArquivosModel::SITUACAO), false);
    QCOMPARE(situacao(0), QString());

    enviar();
    QCOMPARE(situacao(0), QStringLiteral("Enviado para KOR"));
    QCOMPARE(situacao(1), QStringLiteral("Erro: Recusado."));
    QCOMPARE(situacao(2), QString());

    m_messages.boxes.clear();
    m_messages.choices = {soPendentes};
    enviar();
    QCOMPARE(m_messages.boxes.size(), soPendentes ? 2 : 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Question);
    QCOMPARE(
        m_messages.boxes[0].text,
        QStringLiteral("1 de 3 scripts já foi enviado. Enviar somente os 2 que ainda não foram enviados?"));
    QStringList nomes;
    for (const auto &r : recebidos())
        nomes << r.first;
    QCOMPARE(nomes, enviados);
    if (!soPendentes) {
        QCOMPARE(situacao(1), QStringLiteral("Erro: Recusado.")); // the states stay as they were
        QCOMPARE(situacao(2), QString());
        return;
    }
    QCOMPARE(m_messages.boxes[1].text, QStringLiteral("Os scripts foram enviados com sucesso."));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(situacao(i), QStringLiteral("Enviado para KOR"));

    // A new search starts afresh.
    m_page->btProcurarClick();
    QCOMPARE(situacao(0), QString());
}

void EnvioPageTest::theQuestionForTheRowsNotSentIsWordedForOne() {
    m_respostaContagem = R"({"success":false,"message":"Pesquisa indisponível."})";
    gravador([](const QString &nome) {
        return nome == QLatin1String("c.sql") ? QByteArray(R"({"success":false,"message":"Recusado."})")
                                              : QByteArray();
    });
    procurar({"a.sql", "b.sql", "c.sql"});
    enviar();
    m_messages.boxes.clear();
    m_messages.choices = {std::nullopt};
    enviar();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(
        m_messages.boxes[0].text,
        QStringLiteral("2 de 3 scripts já foram enviados. Enviar somente o 1 que ainda não foi enviado?"));
}

// An emoji, a CJK character and a combining accent each arrive as the one "?" the warning lists.
void EnvioPageTest::charactersOutsideTheCodePageArriveAsTheWarningListsThem() {
    gravador();
    arquivo(QStringLiteral("u.sql"), "-- \xF0\x9F\x98\x80 \xE4\xB8\xAD e\xCC\x81 \xC3\xA9\n");
    m_page->btProcurarClick();
    m_messages.answers = {true};
    enviar();
    QCOMPARE(m_messages.boxes.size(), 2);
    const QString aviso = m_messages.boxes[0].text;
    const QStringList listados = aviso.split(u'\n').filter(QStringLiteral("linha 1, coluna"));
    QCOMPARE(listados, (QStringList{QString::fromUtf8("linha 1, coluna 4: “\xF0\x9F\x98\x80” (U+1F600)"),
                                    QString::fromUtf8("linha 1, coluna 6: “\xE4\xB8\xAD” (U+4E2D)"),
                                    QString::fromUtf8("linha 1, coluna 9: “\xCC\x81” (U+0301)")}));
    QCOMPARE(recebidos(),
             (QList<QPair<QString, QByteArray>>{{QStringLiteral("u.sql"), "-- ? ? e? \xE9\r\n"}}));
}

void EnvioPageTest::cancelarStopsAfterTheRequestInProgress() {
    // "Cancelar" is pressed while the second request is on its way: that request still
    // completes and counts as sent; the third is never sent.
    gravador([this](const QString &nome) {
        if (nome == QLatin1String("b.sql")) {
            if (Cancelamento *c = m_espera->cancelamento)
                c->cancelar();
            QThread::msleep(200);
        }
        return QByteArray();
    });
    procurar({"a.sql", "b.sql", "c.sql"});

    enviar();
    QVERIFY(m_espera->cancelamento);
    QCOMPARE(recebidos().size(), 2);
    QCOMPARE(m_espera->valores(), (QList<int>{1, 2}));
    QCOMPARE(situacao(0), QStringLiteral("Enviado para KOR"));
    QCOMPARE(situacao(1), QStringLiteral("Enviado para KOR"));
    QCOMPARE(situacao(2), QString());
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("Envio interrompido. 2 de 3 scripts enviados."));
}

// A service that stops answering: "Cancelar" waits a moment for the request in progress, then
// aborts it instead of holding the user until the connection's time-out; that row is marked as
// possibly stored.
void EnvioPageTest::cancelarAbortsARequestTheServiceDoesNotAnswer() {
    auto liberar = std::make_shared<std::atomic<bool>>(false);
    gravador([this, liberar](const QString &nome) {
        if (nome == QLatin1String("b.sql")) {
            if (Cancelamento *c = m_espera->cancelamento)
                c->cancelar();
            QDeadlineTimer limite(30000);
            while (!*liberar && !limite.hasExpired())
                QThread::msleep(20);
        }
        return QByteArray();
    });
    procurar({"a.sql", "b.sql", "c.sql"});

    QElapsedTimer tempo;
    tempo.start();
    enviar();
    *liberar = true;
    QCOMPARE(m_espera->finalizadas, 1);
    // Ended by the abort, well before the connection's own 60-second time-out.
    QVERIFY(tempo.elapsed() < 20000);
    QCOMPARE(situacao(0), QStringLiteral("Enviado para KOR"));
    QVERIFY(situacao(1).startsWith(QStringLiteral("Erro: Envio cancelado sem resposta do serviço")));
    QCOMPARE(situacao(2), QString());
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Information);
    QCOMPARE(
        m_messages.boxes[0].text,
        QStringLiteral("Envio interrompido. 1 de 3 scripts enviados.\nO serviço não respondeu ao envio do "
                       "arquivo \"%1\", que pode ter sido gravado.")
            .arg(fila().nomeArq(1)));
}

void EnvioPageTest::ctrlUpAndDownMoveTheSelectedRows() {
    encher({"A", "B", "C", "D", "E"});
    auto chaves = [this] {
        QList<float> k;
        for (int i = 0; i < fila().rowCount(); ++i)
            k << fila().linha(i).ordem;
        return k;
    };
    const QList<float> sequencia{0, 1, 2, 3, 4};
    auto tecla = [this](Qt::Key k) { QTest::keyClick(grid(), k, Qt::ControlModifier); };

    selecionar(1);
    tecla(Qt::Key_Down);
    QCOMPARE(ordem(fila()), QStringLiteral("ACBDE"));
    QCOMPARE(grid()->currentIndex().row(), 2);
    QCOMPARE(chaves(), sequencia);

    // Two rows apart, then packed against the top: the top one stays, the other moves.
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(4));
    tecla(Qt::Key_Up);
    QCOMPARE(ordem(fila()), QStringLiteral("ABCED"));
    tecla(Qt::Key_Up);
    QCOMPARE(ordem(fila()), QStringLiteral("BAECD"));
    tecla(Qt::Key_Up);
    QCOMPARE(ordem(fila()), QStringLiteral("BEACD"));
    tecla(Qt::Key_Up);
    QCOMPARE(ordem(fila()), QStringLiteral("BEACD"));
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 2);
    QCOMPARE(chaves(), sequencia);

    // With no selection, the current row moves; the last row cannot go down.
    grid()->clearSelection();
    grid()->selectionModel()->setCurrentIndex(fila().index(4, FilaArquivosModel::NOMEARQ),
                                              QItemSelectionModel::NoUpdate);
    tecla(Qt::Key_Down);
    QCOMPARE(ordem(fila()), QStringLiteral("BEACD"));
    tecla(Qt::Key_Up);
    QCOMPARE(ordem(fila()), QStringLiteral("BEADC"));
    QCOMPARE(grid()->currentIndex().row(), 3);
}

// The path column is wider than a narrow grid: the keys that move to or move a row scroll it into
// sight vertically only, so the date and the status stay in view.
void EnvioPageTest::movingThroughTheRowsKeepsTheGridsSidewaysPosition() {
    encher({"A", "B", "C", "D", "E"});
    m_page->resize(600, 500);
    QTRY_VERIFY(grid()->horizontalScrollBar()->maximum() > 0);
    grid()->setCurrentIndex(fila().index(1, FilaArquivosModel::NOMEARQ));
    grid()->horizontalScrollBar()->setValue(0);
    QTest::keyClick(grid(), Qt::Key_Down);
    QCOMPARE(grid()->currentIndex().row(), 2);
    QCOMPARE(grid()->horizontalScrollBar()->value(), 0);
    QTest::keyClick(grid(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(ordem(fila()), QStringLiteral("ABDCE"));
    QCOMPARE(grid()->horizontalScrollBar()->value(), 0);
}

void EnvioPageTest::aDragShowsWhereTheRowLandsAndTheDropScrollsToIt() {
    QStringList nomes;
    for (int i = 0; i < 60; ++i)
        nomes << QStringLiteral("r%1").arg(i, 2, 10, QLatin1Char('0'));
    encher(nomes);
    QWidget *vp = grid()->viewport();
    // The last row on screen is only partly visible.
    int parcial = -1;
    for (int ajuste = 0; ajuste < 20 && parcial < 0; ++ajuste) {
        m_page->resize(900, 500 + ajuste);
        QTRY_COMPARE(m_page->height(), 500 + ajuste);
        QCoreApplication::processEvents();
        const int row = grid()->rowAt(vp->height() - 1);
        if (row >= 0 && grid()->visualRect(fila().index(row, 1)).bottom() >= vp->height())
            parcial = row;
    }
    QVERIFY(parcial > 3);

    selecionar(2);
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(2));
    QTRY_VERIFY_WITH_TIMEOUT(grid()->arrastando(), 5000);
    QTest::mouseMove(vp, centro(0));
    QCOMPARE(grid()->linhaDestino(), grid()->visualRect(fila().index(0, 1)).top());
    QTest::mouseMove(vp, centro(3));
    const int linha = grid()->linhaDestino();
    QCOMPARE(linha, grid()->visualRect(fila().index(3, 1)).bottom());
    const QImage imagem = vp->grab().toImage();
    const QColor cor = grid()->palette().color(QPalette::WindowText);
    QVERIFY(imagem.pixelColor(vp->width() / 2, linha) == cor ||
            imagem.pixelColor(vp->width() / 2, linha - 1) == cor);

    // Dropped on the partly visible row (the pointer at the edge scrolls the grid a row): the
    // moved row is scrolled fully into view.
    const QPoint alvo(centro(0).x(), vp->height() - 2);
    QTest::mouseMove(vp, alvo);
    const int destino = grid()->rowAt(alvo.y());
    QVERIFY(grid()->visualRect(fila().index(destino, 1)).bottom() >= vp->height());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, alvo);
    QCOMPARE(fila().nomeArq(destino), QStringLiteral("/base/r02"));
    QCOMPARE(grid()->linhaDestino(), -1);
    const QRect movida = grid()->visualRect(fila().index(destino, 1));
    QVERIFY(movida.top() >= 0 && movida.bottom() < vp->height());
}

void EnvioPageTest::holdingARowOfASelectionDragsItAlone() {
    encher({"A", "B", "C", "D"});
    QWidget *vp = grid()->viewport();
    selecionar(0);
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, centro(2));
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 2);

    QTest::mousePress(vp, Qt::LeftButton, {}, centro(2));
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(grid()->arrastando(), 5000);
    QTest::mouseMove(vp, centro(0));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(0));
    QCOMPARE(ordem(fila()), QStringLiteral("CABD"));
}

void EnvioPageTest::aSweepBeforeTheHoldTimeSelectsARange() {
    encher({"A", "B", "C", "D", "E"});
    QWidget *vp = grid()->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(1));
    QTest::mouseMove(vp, centro(3));
    QTest::qWait(ArquivosGrid::EsperaArrastoMs + 300);
    QVERIFY(!grid()->arrastando());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(3));
    QCOMPARE(ordem(fila()), QStringLiteral("ABCDE"));
    QList<int> selecionadas;
    for (const QModelIndex &i : grid()->selectionModel()->selectedRows())
        selecionadas << i.row();
    std::sort(selecionadas.begin(), selecionadas.end());
    QCOMPARE(selecionadas, (QList<int>{1, 2, 3}));
}

namespace {

// The reference service started by this test (its only child of that name), stopped and resumed
// as a frozen or killed process would be.
void sinalizarServico(int sinal) {
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = lerArquivo(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype fim = stat.lastIndexOf(')');
        if (stat.contains("(brisel-scripts-") && fim > 0 &&
            stat.mid(fim + 2).split(' ').value(1).toLongLong() == QCoreApplication::applicationPid())
            ::kill(pid_t(pid.toLongLong()), sinal);
    }
}

// How many scripts the service holds for the system, asked on a connection of its own.
int armazenados(const QString &sistema, const QString &chave) {
    Conexao conexao;
    Sessao sessao(conexao);
    sessao.setChave(chave);
    Protocolo::FiltroPesquisa filtro;
    filtro.sistema = sistema;
    filtro.maximo = 100;
    return Protocolo::ContarScripts(sessao, filtro).registros;
}

enum class CasoServico { TrocaDeSistema, SegundoEnvio, TalvezGravado };

} // namespace

// The measured faults: each leaves the queue in a state where the old memory of what was sent
// asked the wrong question, and the service's own answer must decide instead.
void EnvioPageTest::enviarAsksFromWhatTheServiceHolds_data() {
    QTest::addColumn<int>("caso_");
    QTest::addColumn<QString>("pergunta");
    QTest::addColumn<QString>("sistema");
    QTest::addColumn<int>("noTalao");
    QTest::addColumn<int>("noKorLivros");
    // Stopped after two rows to TALAO, then sent to KOR_LIVROS: nothing is there yet, so no
    // question claims otherwise, and all three go.
    QTest::newRow("system switch after a partial run")
        << int(CasoServico::TrocaDeSistema) << QString() << QStringLiteral("KOR_LIVROS") << 2 << 3;
    QTest::newRow("a second Enviar after a complete run")
        << int(CasoServico::SegundoEnvio)
        << QStringLiteral("Os 3 scripts já estão no serviço com o mesmo texto. Enviar todos novamente?")
        << QStringLiteral("TALAO") << 3 << 0;
    // The service stored b.sql but its answer never came: b.sql counts as already there.
    QTest::newRow("a possibly stored row")
        << int(CasoServico::TalvezGravado)
        << QStringLiteral("2 dos 3 scripts já estão no serviço com o mesmo texto. Enviar somente o 1 novo ou "
                          "alterado?")
        << QStringLiteral("TALAO") << 3 << 0;
}

void EnvioPageTest::enviarAsksFromWhatTheServiceHolds() {
    QFETCH(int, caso_);
    const auto caso = CasoServico(caso_);
    QFETCH(QString, pergunta);
    QFETCH(QString, sistema);
    QFETCH(int, noTalao);
    QFETCH(int, noKorLivros);
    loginNoServico();
    procurar({"a.sql", "b.sql", "c.sql"});
    auto *cbSistema = controle<QComboBox>("cbSistema");
    cbSistema->setCurrentText(QStringLiteral("TALAO"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    QCOMPARE(fila().index(0, FilaArquivosModel::NOSERVICO).data().toString(), QStringLiteral("Novo"));

    m_espera->aoAvancar = [this, caso](int valor) {
        if (caso == CasoServico::TrocaDeSistema && valor == 2)
            m_espera->cancelamento.load()->cancelar();
        if (caso == CasoServico::TalvezGravado && valor == 1) {
            sinalizarServico(SIGSTOP); // b.sql goes out and waits for an answer that does not come
            std::thread([parar = m_espera->cancelamento.load()] {
                QThread::msleep(300);
                parar->cancelar();
            }).detach();
        }
    };
    enviar();
    m_espera->aoAvancar = nullptr;
    if (caso == CasoServico::TalvezGravado) {
        QVERIFY2(situacao(1).endsWith(QStringLiteral("pode ter sido gravado.")), qPrintable(situacao(1)));
        // The lookup after the run waits for the frozen service; stopped, b.sql stays unknown.
        controle<QToolButton>("btCancelarConsulta")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
        QCOMPARE(fila().index(1, FilaArquivosModel::NOSERVICO).data().toString(), QString());
        sinalizarServico(SIGCONT);
        QTRY_COMPARE_WITH_TIMEOUT(armazenados(QStringLiteral("TALAO"), m_sessao->chave()), 2, 10000);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
        QCOMPARE(fila().index(0, FilaArquivosModel::NOSERVICO).data().toString(),
                 QStringLiteral("Igual (código 1)"));
    }
    if (caso == CasoServico::TrocaDeSistema) {
        // To the same system the question counts the rows stored there.
        m_messages.boxes.clear();
        m_messages.choices = {std::nullopt};
        enviar();
        QCOMPARE(m_messages.boxes.value(0).text,
                 QStringLiteral("2 dos 3 scripts já estão no serviço com o mesmo texto. Enviar somente o 1 "
                                "novo ou alterado?"));
    }

    cbSistema->setCurrentText(sistema);
    m_messages.boxes.clear();
    m_messages.answers = {false}; // Não to "send them all again"
    m_messages.choices = {true};  // Sim to "only the new or changed"
    enviar();
    QCOMPARE(m_messages.boxes.value(0).text,
             pergunta.isEmpty() ? QStringLiteral("Os scripts foram enviados com sucesso.") : pergunta);
    QCOMPARE(armazenados(QStringLiteral("TALAO"), m_sessao->chave()), noTalao);
    QCOMPARE(armazenados(QStringLiteral("KOR_LIVROS"), m_sessao->chave()), noKorLivros);
    if (caso == CasoServico::TrocaDeSistema)
        for (int i = 0; i < 3; ++i)
            QCOMPARE(situacao(i), QStringLiteral("Enviado para KOR_LIVROS"));
}

void EnvioPageTest::compararShowsTheStoredTextBesideTheFile() {
    loginNoServico();
    EnvioScripts(*m_sessao, QStringLiteral("KOR"))
        .Enviar(
            {QDateTime::currentDateTime(), QStringLiteral("a.sql"), QByteArray("select 'guardado';\r\n")});
    arquivo(QStringLiteral("a.sql"), "select 'editado';\n");
    arquivo(QStringLiteral("b.sql"), "select 'novo';\n");
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("KOR"));
    m_page->btProcurarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    QCOMPARE(fila().index(0, FilaArquivosModel::NOSERVICO).data().toString(),
             QStringLiteral("Alterado (código 1)"));
    QCOMPARE(fila().index(1, FilaArquivosModel::NOSERVICO).data().toString(), QStringLiteral("Novo"));

    selecionar(1);
    m_page->btCompararClick();
    QVERIFY(!editorAberto());
    QCOMPARE(m_messages.boxes.value(0).kind, RecordingMessages::Information);

    // A double click on the cell, as on the tool bar button.
    const QPoint celula = grid()->visualRect(fila().index(0, FilaArquivosModel::NOSERVICO)).center();
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, celula);
    TfrmVisualizarScript *janela = editorAberto();
    QVERIFY(janela);
    QVERIFY(janela->Comparar());
    QCOMPARE(janela->ScriptAnterior(), QStringLiteral("select 'guardado';\r\n"));
    QCOMPARE(janela->Script(), QStringLiteral("select 'editado';\r\n"));
}

// Another window's request holds the connection: the stopped run's request never leaves, so
// nothing may have been stored and the run simply stopped.
void EnvioPageTest::aStopBeforeTheRequestLeftIsAPlainStop() {
    auto liberar = std::make_shared<std::atomic<bool>>(false);
    gravador();
    procurar({"a.sql", "b.sql"});
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    m_gravador.reset(); // a service that takes requests and answers none
    RecordingHttpServer mudo([liberar](const RecordingHttpServer::Request &) {
        QDeadlineTimer limite(30000);
        while (!*liberar && !limite.hasExpired())
            QThread::msleep(20);
        return QByteArray(R"({"success":true})");
    });
    qputenv("BRISEL_SERVICE_URL", mudo.rootUrl());
    std::thread outraJanela([this] {
        CamposRequisicao campos;
        campos.set(QStringLiteral("codigo"), QStringLiteral("1"));
        try {
            m_conexao->Post(QString::fromLatin1(qgetenv("BRISEL_SERVICE_URL")) + QStringLiteral("/atualizar"),
                            campos);
        } catch (const Exception &) {
        }
    });
    QTRY_COMPARE_WITH_TIMEOUT(mudo.requests().size(), 1, 10000);

    m_page->btEnviarClick();
    QCOMPARE(m_espera->iniciadas, 1);
    m_espera->cancelamento.load()->cancelar();
    QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, 1, 10000);
    *liberar = true;
    outraJanela.join();
    QCOMPARE(m_messages.boxes.value(0).text, QStringLiteral("Envio interrompido. 0 de 2 scripts enviados."));
    QCOMPARE(situacao(0), QString());
    QCOMPARE(mudo.requests().size(), 1);
}

// The service dies with the request in hand: the row says it may have been stored.
void EnvioPageTest::aServiceKilledAfterTheRequestLeftMayHaveStoredIt() {
    loginNoServico();
    procurar({"a.sql", "b.sql", "c.sql"});
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("TALAO"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    m_espera->aoAvancar = [](int valor) {
        if (valor == 1) {
            sinalizarServico(SIGSTOP);
            std::thread([] {
                QThread::msleep(500); // b.sql is out by then
                sinalizarServico(SIGKILL);
            }).detach();
        }
    };
    enviar();
    m_espera->aoAvancar = nullptr;
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].kind, RecordingMessages::Error);
    QVERIFY2(m_messages.boxes[0].text.contains(QStringLiteral("O script pode ter sido gravado.")),
             qPrintable(m_messages.boxes[0].text));
    QVERIFY2(situacao(1).startsWith(QStringLiteral("Erro: ")) &&
                 situacao(1).endsWith(QStringLiteral("O script pode ter sido gravado.")),
             qPrintable(situacao(1)));
    QCOMPARE(situacao(2), QString());
}

// "Enviar" waits for the status lookup; Limpar meanwhile must not let it send a queue that
// a new search fills afterwards.
void EnvioPageTest::aWaitingEnviarIsDroppedWhenTheQueueChanges() {
    gravador();
    procurar({"a.sql"});
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    m_gravador.reset();
    RecordingHttpServer lento([](const RecordingHttpServer::Request &r) {
        if (r.head.contains("/pesquisar "))
            QThread::msleep(300);
        return QByteArray(r.head.contains("/pesquisar ") ? R"({"success":true,"registros":0})" : "{}");
    });
    qputenv("BRISEL_SERVICE_URL", lento.rootUrl());
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("TALAO"));
    QVERIFY(m_page->consultandoServico());

    m_page->btEnviarClick();
    m_page->btLimparClick();
    m_page->btProcurarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    QCOMPARE(fila().rowCount(), 1);
    QCOMPARE(m_espera->iniciadas, 0);
    for (const auto &r : lento.requests())
        QVERIFY(!r.head.contains("/inserir "));
}

void EnvioPageTest::ensaiar(const std::function<void()> &pressionar, const QString &banco) {
    pressionar();
    // No password is remembered for it: the dialog asks, and a local file needs none.
    QDialog *dialogo = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((dialogo = m_page->findChild<QDialog *>(QStringLiteral("DialogoBancoEnsaio"))),
                             10000);
    QCOMPARE(dialogo->findChild<QLineEdit *>(QStringLiteral("edtBanco"))->text(), banco);
    dialogo->accept();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->ensaiando(), 30000);
}

using ArquivosEnsaio = QList<QPair<QString, QByteArray>>;

const QByteArray criaPedido = "CREATE TABLE PEDIDO (ID INTEGER);\n";
const QByteArray preenchePedido = "INSERT INTO PEDIDO VALUES (1);\n";
const QByteArray criaItemComErro = "CREATE TABLE ITEM (ID INTEGR);\n";
const QByteArray usaItem = "UPDATE PEDIDO SET ID = 2;\nINSERT INTO ITEM VALUES (1);\n";

void EnvioPageTest::ensaiarRunsTheQueueInOrderAndEnviarAsks_data() {
    QTest::addColumn<ArquivosEnsaio>("arquivos");
    QTest::addColumn<QStringList>("esperado"); // per row: the start of the column's text, "*" and a part
    QTest::addColumn<QString>("pergunta");     // of Enviar; empty when it asks nothing
    QTest::newRow("in order") << ArquivosEnsaio{{"001_cria.sql", criaPedido},
                                                {"002_preenche.sql", preenchePedido}}
                              << QStringList{"OK", "OK"} << QString();
    // Sorted by name, the filling comes first.
    QTest::newRow("reordered") << ArquivosEnsaio{{"001_preenche.sql", preenchePedido},
                                                 {"002_cria.sql", criaPedido}}
                               << QStringList{"Falhou: Linha 1: *PEDIDO", "OK"}
                               << QStringLiteral("1 script falhou no ensaio. Enviar mesmo assim?");
    QTest::newRow("cascade") << ArquivosEnsaio{{"001_cria.sql", criaPedido},
                                               {"002_preenche.sql", preenchePedido},
                                               {"003_item.sql", criaItemComErro},
                                               {"004_usa.sql", usaItem}}
                             << QStringList{"OK", "OK", "Falhou: Linha 1: *INTEGR",
                                            "Falhou: Linha 2: *ITEM*(após falha em 003_item.sql)"}
                             << QStringLiteral("2 scripts falharam no ensaio. Enviar mesmo assim?");
}

void EnvioPageTest::ensaiarRunsTheQueueInOrderAndEnviarAsks() {
    QFETCH(ArquivosEnsaio, arquivos);
    QFETCH(QStringList, esperado);
    QFETCH(QString, pergunta);
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded,
                               QStringLiteral("CREATE TABLE BASE (N INTEGER);"));
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    const QStringList tabelas = banco.column(
        QStringLiteral("select trim(rdb$relation_name) from rdb$relations where rdb$system_flag = 0"));
    QVERIFY(validacaoEm(banco.name()));
    for (const auto &[nome, texto] : arquivos)
        arquivo(nome, texto);
    gravador();
    m_page->btProcurarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    ensaiar([this] { controle<QToolButton>("btEnsaiar")->click(); }, banco.name());
    QVERIFY2(m_messages.boxes.isEmpty(), qPrintable(m_messages.boxes.value(0).text));
    for (int row = 0; row < esperado.size(); ++row) {
        const QStringList partes = esperado.at(row).split(u'*');
        QVERIFY2(ensaio(row).startsWith(partes.at(0)), qPrintable(ensaio(row)));
        for (const QString &parte : partes.mid(1))
            QVERIFY2(ensaio(row).contains(parte), qPrintable(ensaio(row) + u" lacks "_qs + parte));
        if (partes.size() == 1)
            QCOMPARE(ensaio(row), esperado.at(row));
    }
    QCOMPARE(banco.column(QStringLiteral(
                 "select trim(rdb$relation_name) from rdb$relations where rdb$system_flag = 0")),
             tabelas);

    // Enviar asks about the failures, Não the default and answered.
    m_messages.answers = {false};
    enviar();
    if (pergunta.isEmpty()) {
        QCOMPARE(recebidos().size(), arquivos.size());
        return;
    }
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].text, pergunta);
    QVERIFY(m_messages.boxes[0].defaultNo);
    QVERIFY(recebidos().isEmpty());

    // A move makes every outcome stale: the column empties and Enviar asks about that first.
    QCOMPARE(fila().Mover(fila().rowCount() - 1, 0), 0);
    for (int row = 0; row < fila().rowCount(); ++row)
        QCOMPARE(ensaio(row), QString());
    m_messages.boxes.clear();
    m_messages.answers = {false};
    enviar();
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].text,
             QStringLiteral("A fila mudou desde o ensaio. Enviar sem novo ensaio?"));
    QVERIFY(m_messages.boxes[0].defaultNo);
    QVERIFY(recebidos().isEmpty());
}

void EnvioPageTest::ensaiarAntesDeEnviarSendsNothingWhenAScriptFails() {
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded);
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    QVERIFY(validacaoEm(banco.name()));
    arquivo(QStringLiteral("001_cria.sql"), criaPedido);
    arquivo(QStringLiteral("002_item.sql"), criaItemComErro);
    gravador();
    m_page->btProcurarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    m_page->chkEnsaiarAntes()->setChecked(true);

    ensaiar([this] { m_page->btEnviarClick(); }, banco.name());
    QCOMPARE(m_espera->iniciadas, 0);
    QVERIFY(recebidos().isEmpty());
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].text, QStringLiteral("1 script falhou no ensaio; nada foi enviado."));
    QVERIFY(ensaio(1).startsWith(QStringLiteral("Falhou: Linha 1: ")));

    // Fixed on disk: the next Enviar reads it again, trials the queue again and sends it.
    reescrever(m_dir->filePath(QStringLiteral("002_item.sql")), "CREATE TABLE ITEM (ID INTEGER);\n");
    m_messages.boxes.clear();
    ensaiar([this] { m_page->btEnviarClick(); }, banco.name());
    QTRY_COMPARE_WITH_TIMEOUT(m_espera->finalizadas, 1, 10000);
    QCOMPARE(ensaio(0), QStringLiteral("OK"));
    QCOMPARE(ensaio(1), QStringLiteral("OK"));
    QCOMPARE(recebidos().size(), 2);
}

void EnvioPageTest::aFailedRowTheServiceHoldsIsTriedButNotCounted() {
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded);
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    QVERIFY(validacaoEm(banco.name()));
    arquivo(QStringLiteral("001_cria.sql"), criaPedido);
    arquivo(QStringLiteral("002_item.sql"), criaItemComErro);
    arquivo(QStringLiteral("003_usa.sql"), usaItem);
    loginNoServico();
    m_page->btProcurarClick();
    QCOMPARE(fila().rowCount(), 3);
    EnvioScripts(*m_sessao, QStringLiteral("KOR")).Enviar(fila().linha(1));
    controle<QComboBox>("cbSistema")->setCurrentText(QStringLiteral("KOR"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    QCOMPARE(fila().index(1, FilaArquivosModel::NOSERVICO).data().toString(),
             QStringLiteral("Igual (código 1)"));

    // The receivers run it too: it is tried, in its place.
    ensaiar([this] { controle<QToolButton>("btEnsaiar")->click(); }, banco.name());
    QCOMPARE(ensaio(0), QStringLiteral("OK"));
    QVERIFY(ensaio(1).startsWith(QStringLiteral("Falhou: ")));
    QVERIFY(ensaio(2).endsWith(QStringLiteral("(após falha em 002_item.sql)")));

    // Only the new and changed rows go: one of them failed.
    m_messages.choices = {true};
    m_messages.answers = {false};
    enviar();
    QCOMPARE(m_messages.boxes.size(), 2);
    QCOMPARE(m_messages.boxes[1].text, QStringLiteral("1 script falhou no ensaio. Enviar mesmo assim?"));
    QVERIFY(m_messages.boxes[1].defaultNo);
    QCOMPARE(armazenados(QStringLiteral("KOR"), m_sessao->chave()), 1);
}

void EnvioPageTest::cancelarStopsTheTrialAndDropsTheCopy() {
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded,
                               QStringLiteral("CREATE TABLE T (A INTEGER);"));
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    const QDir pastaDoBanco = QFileInfo(banco.name()).dir();
    const QStringList arquivosAntes = pastaDoBanco.entryList(QDir::Files);
    QVERIFY(validacaoEm(banco.name()));
    QByteArray longo;
    for (int i = 0; i < 100000; ++i)
        longo += "INSERT INTO T VALUES (" + QByteArray::number(i) + ");\n";
    arquivo(QStringLiteral("001_cria.sql"), criaPedido);
    arquivo(QStringLiteral("002_longo.sql"), longo);
    arquivo(QStringLiteral("003_preenche.sql"), preenchePedido);
    m_page->btProcurarClick();
    QCOMPARE(fila().rowCount(), 3);

    controle<QToolButton>("btEnsaiar")->click();
    QDialog *dialogo = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((dialogo = m_page->findChild<QDialog *>(QStringLiteral("DialogoBancoEnsaio"))),
                             10000);
    dialogo->accept();
    // The page answers while the trial runs; its Cancelar stops it in the long script.
    QTRY_COMPARE_WITH_TIMEOUT(controle<QLabel>("lblEnsaio")->text(), QStringLiteral("Ensaio: 2 de 3"), 20000);
    controle<QToolButton>("btCancelarEnsaio")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->ensaiando(), 30000);
    QCOMPARE(controle<QLabel>("lblEnsaio")->text(), QStringLiteral("Ensaio cancelado."));
    QCOMPARE(ensaio(0), QStringLiteral("OK"));
    QCOMPARE(ensaio(1), QString());
    QCOMPARE(ensaio(2), QString());
    QCOMPARE(pastaDoBanco.entryList(QDir::Files), arquivosAntes);
    QCOMPARE(banco.column(QStringLiteral("select count(*) from t")), QStringList{QStringLiteral("0")});
}

void EnvioPageTest::anotherDatabaseMakesTheTrialStale() {
    FirebirdTestDatabase banco(FirebirdTestDatabase::Access::Embedded);
    QVERIFY2(banco.isValid(), qPrintable(banco.error()));
    QVERIFY(validacaoEm(banco.name()));
    arquivo(QStringLiteral("001_cria.sql"), criaPedido);
    arquivo(QStringLiteral("002_item.sql"), criaItemComErro);
    gravador();
    m_page->btProcurarClick();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->consultandoServico(), 10000);
    ensaiar([this] { controle<QToolButton>("btEnsaiar")->click(); }, banco.name());
    QCOMPARE(ensaio(0), QStringLiteral("OK"));

    // The validation window ran on another database since.
    QVERIFY(validacaoEm(m_dir->filePath(QStringLiteral("outro.fdb"))));
    m_messages.answers = {false};
    enviar();
    QCOMPARE(ensaio(0), QString());
    QCOMPARE(ensaio(1), QString());
    QCOMPARE(m_messages.boxes.size(), 1);
    QCOMPARE(m_messages.boxes[0].text,
             QStringLiteral("A fila mudou desde o ensaio. Enviar sem novo ensaio?"));
    QVERIFY(recebidos().isEmpty());
}

QTEST_MAIN(EnvioPageTest)
#include "EnvioPageTest.moc"
