// The main window: captions, navigation, the settings file, busy mode and the second instance.
#include "app/InstanciaUnica.h"
#include "app/TdmPrincipal.h"
#include "app/TfrmLoginScripts.h"
#include "app/TfrmPrincipalScripts.h"
#include "base/IniFile.h"
#include "catalog/LogPage.h"
#include "catalog/ScriptsPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/EnvioPage.h"
#include "scripts/FilaArquivosModel.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"
#include "validation/TfrmValidarScript.h"
#include "widgets/DateEdit.h"
#include "widgets/FolderEdit.h"
#include "widgets/TBRBackgroundPanel.h"
#include "widgets/TBRImageButton.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include <chrono>
#include <memory>

namespace {

void escrever(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ler(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Script files 1.sql ... n.sql in `pasta`, found by page Envio's search.
void procurar(EnvioPage &envio, const QString &pasta, int n) {
    for (int i = 1; i <= n; ++i)
        escrever(pasta + QStringLiteral("/%1.sql").arg(i), "select " + QByteArray::number(i) + ";\n");
    envio.deDir()->setText(pasta);
    envio.deData()->setDate(QDate(2000, 1, 1));
    envio.edTipoArq()->setText(QStringLiteral("*.sql"));
    envio.btProcurarClick();
    QCOMPARE(envio.cdsArqs().rowCount(), n);
}

// A main window with `n` files in its queue and a system chosen, uploading to a recording
// service that takes a while over each request, so that the run is still going when the user
// closes.
struct JanelaEnviando {
    explicit JanelaEnviando(int n) {
        janela.sessao().setChave(QStringLiteral("K"));
        procurar(envio, dir.path(), n);
        janela.findChild<QComboBox *>(QStringLiteral("cbSistema"))->setCurrentIndex(0);
    }
    ~JanelaEnviando() { qunsetenv("BRISEL_SERVICE_URL"); }
    // "Enviar", and the run under way (after the lookup of column "No serviço").
    void enviar() {
        envio.btEnviarClick();
        QTRY_VERIFY_WITH_TIMEOUT(envio.enviando(), 10000);
    }

    QTemporaryDir dir;
    RecordingHttpServer servico{[](const auto &) { return QByteArray(R"({"success":true,"codigo":1})"); },
                                std::chrono::milliseconds(150)};
    const bool enderecoDoServico = qputenv("BRISEL_SERVICE_URL", servico.rootUrl()); // before the data module
    TdmPrincipal dm{dir.path()};
    RecordingMessages messages;
    TfrmPrincipalScripts janela{dm, messages, {}};
    EnvioPage &envio = *janela.paginaEnvio();
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QDate hoje() const { return QDate::currentDate(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void creationWithoutSettingsFile() {
        QTemporaryDir dir;
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        QCOMPARE(janela.windowTitle(), QStringLiteral("Brisel Scripts"));
        QCOMPARE(janela.size(), QSize(919, 513));
        QCOMPARE(janela.findChild<QLabel *>(QStringLiteral("lblVersao"))->text(),
                 QStringLiteral("Versão 1.0.7"));
        QCOMPARE(janela.getIniName(), dir.filePath(QStringLiteral("parametros.ini")));
        QCOMPARE(janela.Paginas()->count(), 3);
        QCOMPARE(janela.Paginas()->currentIndex(), 0);
        QCOMPARE(janela.paginaEnvio()->deDir()->text(), QString());
        QCOMPARE(janela.paginaEnvio()->edTipoArq()->text(), QStringLiteral("*.*"));
        for (DateEdit *d : {janela.paginaEnvio()->deData(), janela.paginaScripts()->edEditarDataInicio(),
                            janela.paginaScripts()->edEditarDataFim(), janela.paginaLog()->edLogDataInicio(),
                            janela.paginaLog()->edLogDataFim()})
            QCOMPARE(d->date(), hoje());
        QCOMPARE(janela.paginaScripts()->edEditarMaximo()->text(), QStringLiteral("100"));
        QCOMPARE(janela.paginaLog()->edLogMaximo()->text(), QStringLiteral("100"));
        QVERIFY(!QFile::exists(janela.getIniName())); // reading creates nothing

        const struct {
            const char *name;
            int top;
            const char *caption;
            const char *hint;
        } botoes[] = {{"btEnviarScripts", 80, "Enviar Scripts", "Enviar os scripts para o servidor"},
                      {"btEditarScripts", 184, "Editar scripts", "Visualizar e editar scripts"},
                      {"btLog", 289, "Log", "Exibir log "},
                      {"btSair", 393, "Sair", "Sair do sistema"}};
        for (const auto &b : botoes) {
            auto *button = janela.findChild<TBRImageButton *>(QLatin1String(b.name));
            QVERIFY2(button, b.name);
            QCOMPARE(button->geometry(), QRect(28, b.top, 100, 81));
            QCOMPARE(button->Caption(), QString::fromUtf8(b.caption));
            QCOMPARE(button->toolTip(), QString::fromUtf8(b.hint));
        }
    }

    void readingRules() {
        QTemporaryDir dir;
        escrever(dir.filePath(QStringLiteral("parametros.ini")),
                 "[envio]\nbase=/home/dev/scripts\nmodificacao=01/01/" +
                     QByteArray::number(hoje().year() - 1) +
                     "\nmascara=*.sql\n[editar]\ndata_inicio=05/03/2024\ndata_fim=31/02/2019\nmaximo=0x20\n"
                     "[log]\ndata_inicio=\nmaximo=abc\n");
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        QCOMPARE(janela.paginaEnvio()->deDir()->text(), QStringLiteral("/home/dev/scripts"));
        QCOMPARE(janela.paginaEnvio()->deData()->date(), hoje());
        QCOMPARE(janela.paginaEnvio()->edTipoArq()->text(), QStringLiteral("*.sql"));
        QCOMPARE(janela.paginaScripts()->edEditarDataInicio()->date(), QDate(2024, 3, 5));
        QCOMPARE(janela.paginaScripts()->edEditarDataFim()->date(), hoje());
        QCOMPARE(janela.paginaScripts()->edEditarMaximo()->text(), QStringLiteral("32"));
        QCOMPARE(janela.paginaLog()->edLogDataInicio()->date(), hoje());
        QCOMPARE(janela.paginaLog()->edLogMaximo()->text(), QStringLiteral("100"));
    }

    void closingWritesTheSettingsAndKeepsTheRest() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("parametros.ini"));
        escrever(ini, "; feito à mão\n[validacao]\ndatabase=/db/teste.fdb\npassword=masterkey\n");
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        janela.paginaEnvio()->deDir()->setText(QStringLiteral("/scripts"));
        janela.paginaEnvio()->deData()->setDate(QDate(2024, 2, 29));
        janela.paginaScripts()->edEditarMaximo()->setText(QStringLiteral("250"));
        janela.paginaLog()->edLogDataFim()->setDate(QDate(2024, 12, 31));
        janela.setWindowState(Qt::WindowMaximized);
        QVERIFY(janela.close());
        QVERIFY(messages.boxes.isEmpty());

        const IniFile file(ini);
        QVERIFY(QString::fromUtf8(ler(ini)).startsWith(QStringLiteral("; feito à mão\n[validacao]\n")));
        QCOMPARE(file.value(QStringLiteral("validacao"), QStringLiteral("password")),
                 QStringLiteral("masterkey"));
        QCOMPARE(file.value(QStringLiteral("envio"), QStringLiteral("base")), QStringLiteral("/scripts"));
        QCOMPARE(file.value(QStringLiteral("envio"), QStringLiteral("modificacao")),
                 QStringLiteral("29/02/2024"));
        QCOMPARE(file.value(QStringLiteral("envio"), QStringLiteral("mascara")), QStringLiteral("*.*"));
        QCOMPARE(file.value(QStringLiteral("editar"), QStringLiteral("maximo")), QStringLiteral("250"));
        QCOMPARE(file.value(QStringLiteral("log"), QStringLiteral("data_fim")), QStringLiteral("31/12/2024"));
        QCOMPARE(file.value(QStringLiteral("config"), QStringLiteral("maximizado")), QStringLiteral("1"));

        // The next start opens normal-sized whatever "maximizado" holds.
        TfrmPrincipalScripts outra(dm, messages, {});
        QVERIFY(!outra.isMaximized());
        QCOMPARE(outra.size(), QSize(919, 513));
        QCOMPARE(outra.paginaEnvio()->deData()->date(), hoje());
    }

    void unwritableSettingsAreReportedAndTheWindowCloses() {
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath(QStringLiteral("arquivo"));
        escrever(notAFolder, "x");
        TdmPrincipal dm(notAFolder);
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        janela.show();
        QVERIFY(janela.close());
        QVERIFY(!janela.isVisible());
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        QVERIFY2(messages.boxes[0].text.contains(QStringLiteral("parametros.ini")),
                 qPrintable(messages.boxes[0].text));
    }

    void navigationBar() {
        QTemporaryDir dir;
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        const struct {
            const char *button;
            int page;
        } cases[] = {{"btEditarScripts", 1}, {"btLog", 2}, {"btEnviarScripts", 0}, {"btLog", 2}};
        for (const auto &c : cases) {
            QTest::mouseClick(janela.findChild<TBRImageButton *>(QLatin1String(c.button)), Qt::LeftButton, {},
                              QPoint(50, 40));
            QCOMPARE(janela.Paginas()->currentIndex(), c.page);
        }
        QTest::mouseClick(janela.findChild<TBRImageButton *>(QStringLiteral("btSair")), Qt::LeftButton, {},
                          QPoint(50, 40));
        QVERIFY(QFile::exists(janela.getIniName())); // "Sair" closes, and closing writes
    }

    void showingOpensTheLoginAndSairLeavesTheSettingsAlone() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("parametros.ini"));
        escrever(ini, "[envio]\nbase=/antes\n");
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {QStringLiteral("dev"), QStringLiteral("x")});
        QPointer<TfrmLoginScripts> visto;
        QTimer::singleShot(0, &janela, [&] {
            janela.show();
            QTimer::singleShot(200, &janela, [&] {
                visto = janela.loginAberto();
                if (visto) {
                    QCOMPARE(visto->edtUsuario()->text(), QStringLiteral("DEV"));
                    QTest::mouseClick(visto->btSair(), Qt::LeftButton);
                }
            });
        });
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, [&loop] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0);
        QVERIFY(visto.isNull()); // the modal login ended with the loop
        QCOMPARE(ler(ini), QByteArray("[envio]\nbase=/antes\n"));
    }

    void busyModeCoversTheContent() {
        QTemporaryDir dir;
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        Espera &espera = janela;
        auto *panel = janela.findChild<QWidget *>(QStringLiteral("panelPrincipal"));
        for (int vez = 0; vez < 2; ++vez) {
            espera.IniciarEspera(7, QStringLiteral("Enviando os scripts..."));
            auto *overlay = janela.findChild<TBRBackgroundPanel *>();
            QVERIFY(overlay);
            QCOMPARE(overlay->parentWidget(), panel);
            QCOMPARE(overlay->geometry(), panel->rect());
            QVERIFY(panel->childAt(60, 100) == overlay || overlay->isAncestorOf(panel->childAt(60, 100)));
            QCOMPARE(espera.Maximo(), 7);
            espera.FinalizarEspera();
            QVERIFY(!janela.findChild<TBRBackgroundPanel *>());
            QCOMPARE(qobject_cast<TBRImageButton *>(panel->childAt(60, 100)),
                     janela.findChild<TBRImageButton *>(QStringLiteral("btEnviarScripts")));
        }
    }

    void secondInstanceBringsTheWindowToTheFront() {
        const QString nome = QStringLiteral("BriselScripts-test-%1").arg(QCoreApplication::applicationPid());
        InstanciaUnica segunda(nome);
        QVERIFY(!segunda.avisarOutra()); // nobody listens yet

        QTemporaryDir dir;
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        InstanciaUnica primeira(nome);
        QVERIFY(primeira.escutar());
        connect(&primeira, &InstanciaUnica::chamada, &janela, &TfrmPrincipalScripts::ColocarNoTopo);
        QVERIFY(!(janela.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(segunda.avisarOutra());
        QTRY_VERIFY(janela.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(janela.size(), QSize(919, 513));
    }

    // The run ends while the user reads whether to stop it and close: the question goes before
    // the run's report, and the program stays open with the report.
    void theQuestionToStopTheUploadGoesWhenTheRunEnds() {
        JanelaEnviando f(3);
        EnvioPage &envio = f.envio;
        RecordingMessages &messages = f.messages;
        TfrmPrincipalScripts &janela = f.janela;
        f.enviar();
        messages.answers = {true}; // Sim, had the question still been there
        messages.whileAsking = [&] { QTRY_VERIFY_WITH_TIMEOUT(!envio.enviando(), 10000); };
        QVERIFY(!janela.close());
        QCOMPARE(messages.closedQuestions, 1);
        QCOMPARE(messages.boxes.size(), 2);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Question);
        QCOMPARE(messages.boxes[1].text, QStringLiteral("Os scripts foram enviados com sucesso."));
        QCOMPARE(envio.cdsArqs().linha(2).envio, FilaArquivosModel::Envio::Enviado);
        QVERIFY(!QFile::exists(janela.getIniName()));
    }

    void closingDuringAnUploadAsksAndStopsAfterTheRequestInProgress() {
        JanelaEnviando f(20);
        EnvioPage &envio = f.envio;
        RecordingMessages &messages = f.messages;
        TfrmPrincipalScripts &janela = f.janela;
        f.enviar();
        messages.answers = {false};
        QVERIFY(!janela.close());
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Question);
        QVERIFY(messages.boxes[0].defaultNo);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral(
                     "O envio dos scripts está em andamento. Interromper o envio e fechar o programa?"));
        QVERIFY(envio.enviando());

        messages.answers = {true};
        QVERIFY(!janela.close()); // the request in progress ends first
        QVERIFY(!QFile::exists(janela.getIniName()));
        // Closing again meanwhile asks nothing more.
        QVERIFY(!janela.close());
        QCOMPARE(messages.boxes.size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(janela.getIniName()), 10000); // closed: settings written
        QVERIFY(!envio.enviando());
        QCOMPARE(messages.boxes.size(), 2); // no end-of-run message
        int enviados = 0;
        for (const auto &r : f.servico.requests())
            enviados += r.head.contains("/inserir");
        QVERIFY2(enviados < 20, qPrintable(QString::number(enviados)));
        // Every request that went is marked, and no other row.
        for (int i = 0; i < 20; ++i)
            QCOMPARE(envio.cdsArqs().linha(i).envio,
                     i < enviados ? FilaArquivosModel::Envio::Enviado : FilaArquivosModel::Envio::Pendente);
    }

    void closingWithUnsavedEditorsAsksOnceNamingHowMany_data() {
        QTest::addColumn<int>("alteradas");
        QTest::addColumn<QString>("pergunta");
        QTest::newRow("one")
            << 1
            << QStringLiteral(
                   "Existe 1 janela de edição com alterações não salvas. Descartar as alterações?");
        QTest::newRow("two") << 2
                             << QStringLiteral("Existem 2 janelas de edição com alterações não salvas. "
                                               "Descartar as alterações?");
    }

    void closingWithUnsavedEditorsAsksOnceNamingHowMany() {
        QFETCH(int, alteradas);
        QFETCH(QString, pergunta);
        QTemporaryDir dir;
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        TfrmPrincipalScripts janela(dm, messages, {});
        EnvioPage &envio = *janela.paginaEnvio();
        procurar(envio, dir.path(), 3);
        auto *grade = janela.findChild<QTableView *>(QStringLiteral("dbgArquivos"));
        // Three editor windows, `alteradas` of them with typing not saved.
        QList<QPointer<TfrmVisualizarScript>> editores;
        for (int i = 0; i < 3; ++i) {
            grade->setCurrentIndex(envio.cdsArqs().index(i, FilaArquivosModel::DATA));
            envio.ToolButton1Click();
            for (TfrmVisualizarScript *e : janela.findChildren<TfrmVisualizarScript *>())
                if (!editores.contains(e))
                    editores << e;
            QCOMPARE(editores.size(), i + 1);
            if (i < alteradas)
                editores.last()
                    ->findChild<QsciScintilla *>(QStringLiteral("editor"))
                    ->insert(QStringLiteral("x"));
        }

        messages.answers = {false};
        QVERIFY(!janela.close());
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].text, pergunta);
        QVERIFY(messages.boxes[0].defaultNo);
        QVERIFY(!QFile::exists(janela.getIniName()));
        for (const auto &e : editores)
            QVERIFY(e && e->isVisible());

        messages.answers = {true};
        QVERIFY(janela.close());
        // One question in all: the windows do not ask again as they go.
        for (const auto &e : editores)
            if (e)
                e->close();
        QCOMPARE(messages.boxes.size(), 2);
        QVERIFY(QFile::exists(janela.getIniName()));
    }

    // Last: it runs the application's own event loop to its end.
    void closingEndsTheProgramWhileEnvioWindowsAreOpen() {
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("e.sql"));
        escrever(script, "select 1;\r\n");
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        auto janela = std::make_unique<TfrmPrincipalScripts>(dm, messages, QStringList{});
        janela->sessao().setChave(QStringLiteral("K")); // lets the login window close
        EnvioPage *envio = janela->paginaEnvio();
        envio->cdsArqs().AdicionarArquivo(script, QDateTime::currentDateTime());
        janela->findChild<QTableView *>(QStringLiteral("dbgArquivos"))
            ->setCurrentIndex(envio->cdsArqs().index(0, FilaArquivosModel::NOMEARQ));

        QPointer<TfrmVisualizarScript> editor;
        QPointer<TfrmValidarScript> validacao;
        bool abertas = false;
        QTimer passos;
        connect(&passos, &QTimer::timeout, this, [&] {
            if (TfrmLoginScripts *login = janela->loginAberto()) {
                login->close();
                return;
            }
            if (!janela->isVisible())
                return;
            passos.stop();
            envio->ToolButton1Click();
            envio->btValidarClick();
            editor = janela->findChild<TfrmVisualizarScript *>();
            validacao = janela->findChild<TfrmValidarScript *>();
            abertas = editor && editor->isVisible() && validacao && validacao->isVisible();
            janela->close();
        });
        passos.start(50);
        janela->show();
        QTimer::singleShot(15000, this, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);

        QVERIFY(abertas);
        QVERIFY(!janela->isVisible());
        QVERIFY(QFile::exists(janela->getIniName()));
        janela.reset();
        QVERIFY(editor.isNull() && validacao.isNull());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
