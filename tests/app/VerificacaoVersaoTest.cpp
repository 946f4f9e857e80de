// Start-up's version check with its wait on screen: against a service that never answers the
// wait window appears and "Cancelar" goes on as a failed check does, without waiting for the
// connection's time-outs; a prompt reply shows no window at all.
#include "app/Inicializacao.h"
#include "app/TdmPrincipal.h"
#include "app/VerificarVersaoComEspera.h"
#include "tests/catalog/ServicoMudo.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"
#include "widgets/TfrmProgresso.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The wait window on screen, if any.
TfrmProgresso *janelaDeEspera() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *janela = qobject_cast<TfrmProgresso *>(w); janela && janela->isVisible())
            return janela;
    }
    return nullptr;
}

} // namespace

class VerificacaoVersaoTest : public QObject {
    Q_OBJECT

private:
    // Start-up's decisions with the check as the program makes it; `usuario` runs every 50 ms
    // meanwhile, as a user watching the screen.
    bool iniciar(const QString &dir, const std::function<void()> &usuario, bool &lancado) {
        QFile atualizador(dir + QStringLiteral("/BriselUpdate.exe"));
        if (!atualizador.open(QIODevice::WriteOnly))
            qFatal("no updater file");
        atualizador.close();
        TdmPrincipal dm(dir);
        // A check that no Cancelar stops ends here, and the test fails on its log line.
        dm.conexao().setTempoParado(20);
        RecordingMessages messages;
        QTimer relogio;
        relogio.setInterval(50);
        connect(&relogio, &QTimer::timeout, this, usuario);
        relogio.start();
        Inicializacao ini(
            LocaisPrograma::deduzir(dir), dm.versao(), messages,
            [&dm] { return VerificarVersaoComEspera([&dm] { return dm.VerificarVersao(); }); },
            [&lancado](const QString &, const QStringList &, const QString &) { lancado = true; });
        const bool abre = ini.executar();
        if (!messages.boxes.isEmpty())
            qFatal("unexpected message box");
        return abre;
    }

private slots:
    void cancelarOnASilentServiceGoesOnAsAFailedCheck() {
        ServicoMudo servico;
        QTemporaryDir dir;
        QString mensagem;
        bool lancado = false;
        QPointer<TfrmProgresso> vista;
        const bool abre = iniciar(
            dir.path(),
            [&] {
                TfrmProgresso *janela = janelaDeEspera();
                if (!janela || vista)
                    return;
                vista = janela;
                mensagem = janela->Mensagem();
                janela->btCancelar()->click();
            },
            lancado);
        QVERIFY(abre); // the main window is to open
        QVERIFY(!lancado);
        QCOMPARE(mensagem, QStringLiteral("Verificando a versão do programa..."));
        QVERIFY(!janelaDeEspera());
        QFile log(dir.filePath(QStringLiteral("log.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> linhas = log.readAll().split('\n');
        QCOMPARE(linhas.size(), 3); // two lines, each ended by CR LF
        QCOMPARE(linhas[0], QByteArray("\r"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\t"
                                                   "Operação cancelada pelo usuário\\.\\r$"))
                     .match(QString::fromLatin1(linhas[1]))
                     .hasMatch(),
                 linhas[1].constData());
    }

    void aPromptReplyShowsNoWindow() {
        TestServer server({QStringLiteral("DEV:senha")},
                          {QStringLiteral("--version"), QStringLiteral("1.0.7")});
        qputenv("BRISEL_SERVICE_URL", server.rootUrl().toUtf8());
        QTemporaryDir dir;
        bool lancado = false, vista = false;
        QVERIFY(iniciar(
            dir.path(), [&] { vista = vista || janelaDeEspera(); }, lancado));
        QVERIFY(!vista);
        QVERIFY(!lancado);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("log.log"))));
    }
};

QTEST_MAIN(VerificacaoVersaoTest)
#include "VerificacaoVersaoTest.moc"
