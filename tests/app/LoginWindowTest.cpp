// The login window against the reference web service.
#include "app/TfrmLoginScripts.h"
#include "service/Conexao.h"
#include "service/Sessao.h"
#include "tests/catalog/Batimento.h"
#include "tests/catalog/ServicoMudo.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

// The login window over its own connection and session, with its message boxes recorded.
struct Janela {
    explicit Janela(const QStringList &argumentos = {}) : login(sessao, messages, argumentos) {}
    Conexao conexao;
    Sessao sessao{conexao};
    RecordingMessages messages;
    TfrmLoginScripts login;
};

class LoginWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestServer> m_server;

    // The login request runs on a worker: its answer comes after the click returns.
    static void aguardar(TfrmLoginScripts &login) { QTRY_VERIFY_WITH_TIMEOUT(!login.Aguardando(), 15000); }

private slots:
    void initTestCase() {
        m_server = std::make_unique<TestServer>(QStringList{QStringLiteral("DEV:senha")});
        qputenv("BRISEL_SERVICE_URL", m_server->rootUrl().toUtf8());
    }

    void layoutAndArguments_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("senha");
        QTest::newRow("two arguments") << QStringList{QStringLiteral("dev"), QStringLiteral("senha")}
                                       << QStringLiteral("DEV") << QStringLiteral("senha");
        QTest::newRow("one argument") << QStringList{QStringLiteral("dev")} << QString() << QString();
        QTest::newRow("three arguments")
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")} << QString()
            << QString();
    }
    void layoutAndArguments() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, usuario);
        QFETCH(QString, senha);
        Janela janela(argumentos);
        auto &[conexao, sessao, messages, login] = janela;
        QCOMPARE(login.windowTitle(), QStringLiteral("Efetuar login"));
        QCOMPARE(login.size(), QSize(252, 122));
        QCOMPARE(login.edtUsuario()->text(), usuario);
        QCOMPARE(login.edtSenha()->text(), senha);
        QCOMPARE(login.edtSenha()->echoMode(), QLineEdit::Password);
        QCOMPARE(login.btLogin()->text(), QStringLiteral("Login"));
        QCOMPARE(login.btSair()->text(), QStringLiteral("Sair"));
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QCOMPARE(QApplication::focusWidget(), login.edtUsuario());
        QTest::keyClicks(login.edtUsuario(), QStringLiteral("xy"));
        QVERIFY(login.edtUsuario()->text().endsWith(QStringLiteral("XY")));
        login.edtUsuario()->setText(QStringLiteral("joão"));
        QCOMPARE(login.edtUsuario()->text(), QStringLiteral("JOÃO"));
    }

    void successSetsTheKeyAndCloses() {
        Janela janela;
        auto &[conexao, sessao, messages, login] = janela;
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QTest::keyClicks(login.edtUsuario(), QStringLiteral("dev"));
        QTest::keyClick(login.edtUsuario(), Qt::Key_Return); // moves to the password
        QCOMPARE(QApplication::focusWidget(), login.edtSenha());
        QTest::keyClicks(login.edtSenha(), QStringLiteral("senha"));
        QTest::keyClick(login.edtSenha(), Qt::Key_Return); // acts as "Login"
        aguardar(login);
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(!sessao.chave().isEmpty());
        QVERIFY(!login.isVisible());
    }

    void refusalShowsTheServiceMessage() {
        Janela janela(QStringList{QStringLiteral("dev"), QStringLiteral("errada")});
        auto &[conexao, sessao, messages, login] = janela;
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        login.edtSenha()->setFocus();
        QTest::mouseClick(login.btLogin(), Qt::LeftButton);
        aguardar(login);
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        QCOMPARE(messages.boxes[0].text, QStringLiteral("Usuário ou senha inválidos."));
        QVERIFY(sessao.chave().isEmpty());
        QVERIFY(login.isVisible());
        QCOMPARE(QApplication::focusWidget(), login.edtUsuario());
    }

    void unreachableServiceShowsTheFailureSentence() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        const QByteArray saved = qgetenv("BRISEL_SERVICE_URL");
        qputenv("BRISEL_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(port).toUtf8());
        Janela janela(QStringList{QStringLiteral("dev"), QStringLiteral("senha")});
        auto &[conexao, sessao, messages, login] = janela;
        sessao.setChave(QString());
        login.show();
        QTest::mouseClick(login.btLogin(), Qt::LeftButton);
        aguardar(login);
        qputenv("BRISEL_SERVICE_URL", saved);
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        // The sentence, then the transport's own account of the failure.
        QVERIFY2(messages.boxes[0].text.startsWith(QStringLiteral("Falha ao efetuar o login. ")),
                 qPrintable(messages.boxes[0].text));
        QVERIFY(messages.boxes[0].text.size() > 30);
        QVERIFY(login.isVisible());
    }

    void cannedReplies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("chave");
        // The close is refused silently: the key is still empty.
        QTest::newRow("success with an empty key")
            << QByteArray(R"({"success":true,"chave":""})") << QString() << QString();
        QTest::newRow("success without a key")
            << QByteArray(R"({"success":true})") << QStringLiteral("Falha ao efetuar o login.") << QString();
        QTest::newRow("success as text")
            << QByteArray(R"({"success":"TRUE","chave":"k1"})") << QString() << QStringLiteral("k1");
        QTest::newRow("not JSON") << QByteArray("<html>erro</html>")
                                  << QStringLiteral("Falha ao efetuar o login.") << QString();
    }
    void cannedReplies() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        QFETCH(QString, chave);
        RecordingHttpServer server([reply](const RecordingHttpServer::Request &) { return reply; });
        const QByteArray saved = qgetenv("BRISEL_SERVICE_URL");
        qputenv("BRISEL_SERVICE_URL", server.rootUrl());
        Janela janela(QStringList{QStringLiteral("dev"), QStringLiteral("senha")});
        auto &[conexao, sessao, messages, login] = janela;
        login.show();
        QTest::mouseClick(login.btLogin(), Qt::LeftButton);
        aguardar(login);
        qputenv("BRISEL_SERVICE_URL", saved);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(sessao.chave(), chave);
        QCOMPARE(login.isVisible(), chave.isEmpty());
        QCOMPARE(messages.boxes.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(messages.boxes[0].text, message);
    }

    // A service that never answers: the window keeps running and soon shows that it waits, with
    // "Cancelar" in place of "Login"; "Cancelar" ends the wait at once and the window is as before.
    void cancelarEndsAWaitingLogin() {
        Janela janela(QStringList{QStringLiteral("dev"), QStringLiteral("senha")});
        auto &[conexao, sessao, messages, login] = janela;
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        {
            const ServicoMudo mudo;
            const Batimento batimento;
            login.edtSenha()->setFocus();
            QTest::keyClick(login.edtSenha(), Qt::Key_Return);
            QVERIFY(login.Aguardando());
            QTRY_VERIFY_WITH_TIMEOUT(login.btCancelar()->isVisible(), 10000);
            QVERIFY(batimento.batidas > 0);
            QVERIFY(!login.btLogin()->isVisible());
            QVERIFY(!login.edtUsuario()->isEnabled() && !login.edtSenha()->isEnabled());
            QVERIFY(login.btSair()->isEnabled());
            QCOMPARE(login.btCancelar()->geometry(), QRect(62, 89, 75, 25));
            QTest::mouseClick(login.btCancelar(), Qt::LeftButton);
            aguardar(login);
        }
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(sessao.chave().isEmpty());
        QVERIFY(login.isVisible());
        QVERIFY(login.btLogin()->isVisible() && !login.btCancelar()->isVisible());
        QVERIFY(login.edtUsuario()->isEnabled() && login.edtSenha()->isEnabled());
        QCOMPARE(login.edtUsuario()->text(), QStringLiteral("DEV"));
        QCOMPARE(login.edtSenha()->text(), QStringLiteral("senha"));
        QCOMPARE(QApplication::focusWidget(), login.edtSenha());

        // Nothing was left half-done: the next login goes through.
        QTest::mouseClick(login.btLogin(), Qt::LeftButton);
        aguardar(login);
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(!sessao.chave().isEmpty());
        QVERIFY(!login.isVisible());
    }

    // Closing the program while a login waits: the window goes at once, its request with it.
    void aWindowDestroyedWhileWaitingDoesNotHang() {
        const ServicoMudo mudo;
        auto janela = std::make_unique<Janela>(QStringList{QStringLiteral("dev"), QStringLiteral("senha")});
        janela->login.show();
        QTest::mouseClick(janela->login.btLogin(), Qt::LeftButton);
        QTest::qWait(100);
        QVERIFY(janela->login.Aguardando());
        QElapsedTimer relogio;
        relogio.start();
        janela.reset();
        QVERIFY(relogio.elapsed() < 10000); // ends, instead of waiting out the 60 s silence
    }

    void closeIsRefusedWithoutAKey() {
        Janela janela;
        auto &[conexao, sessao, messages, login] = janela;
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        QVERIFY(!login.close()); // what Alt+F4 asks for
        QTest::keyClick(&login, Qt::Key_Escape);
        QVERIFY(login.isVisible());
        sessao.setChave(QStringLiteral("k"));
        QVERIFY(login.close());
        QVERIFY(!login.isVisible());
        QVERIFY(messages.boxes.isEmpty());
    }

    void sairEndsTheEventLoops() {
        Janela janela;
        auto &[conexao, sessao, messages, login] = janela;
        int resultado = -1;
        // The modal login runs inside the application's loop; "Sair" must end both.
        QTimer::singleShot(0, &login, [&] {
            QTimer::singleShot(0, login.btSair(), [&] { QTest::mouseClick(login.btSair(), Qt::LeftButton); });
            login.exec();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QEventLoop loop;
        connect(&guard, &QTimer::timeout, &loop, [&loop] { loop.exit(99); });
        guard.start(10000);
        resultado = loop.exec();
        QCOMPARE(resultado, 0);
        QVERIFY(sessao.chave().isEmpty());
    }
};

QTEST_MAIN(LoginWindowTest)
#include "LoginWindowTest.moc"
