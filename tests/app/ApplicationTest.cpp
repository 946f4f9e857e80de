// The application object: errors escaping event handlers reach the general error report, and
// Qt's own texts speak Brazilian Portuguese.
#include "app/Aparencia.h"
#include "app/BriselApplication.h"
#include "base/Exception.h"
#include "tests/support/RecordingMessages.h"

#include <QFont>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

namespace {

// Throws from its event handler, as a click handler whose request failed would.
class Falhador : public QObject {
public:
    std::function<void()> lancar;
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User)
            lancar();
        return QObject::event(e);
    }
};

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

public:
    explicit ApplicationTest(BriselApplication &app) : m_app(app) {}

private:
    BriselApplication &m_app;

private slots:
    void escapingErrorsReachTheGeneralReport() {
        RecordingMessages messages;
        m_app.setMessages(&messages);
        Falhador falhador;
        const struct {
            std::function<void()> lancar;
            QString mensagem;
        } cases[] = {
            {[] { throw Exception(QStringLiteral("Conexão recusada")); }, QStringLiteral("Conexão recusada")},
            {[] {
                 try {
                     throw std::runtime_error("Timeout was reached");
                 } catch (...) {
                     std::throw_with_nested(Exception(QStringLiteral("Falha externa")));
                 }
             },
             QStringLiteral("Timeout was reached")},
        };
        for (const auto &c : cases) {
            messages.boxes.clear();
            falhador.lancar = c.lancar;
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&falhador, &event);
            QCOMPARE(messages.boxes.size(), 1);
            QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
            QCOMPARE(messages.boxes[0].text, c.mensagem);
        }
        m_app.setMessages(nullptr);
    }

    void portugueseEverywhere() {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("BriselScripts"));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Brisel Scripts"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Sim"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Não"));
        QCOMPARE(QLocale().dateFormat(QLocale::ShortFormat), QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Courier New"))).family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Tahoma"));
    }
};

int main(int argc, char *argv[]) {
    BriselApplication app(argc, argv);
    Aparencia::aplicar(app);
    ApplicationTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "ApplicationTest.moc"
