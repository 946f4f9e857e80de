// Takes the README's pictures of the login window and the main window. Run under an X server
// (tools/take-screenshots.sh uses Xvfb) with BRISEL_SERVICE_URL pointing at a reference service
// that knows the account given on the command line.
#include "app/Aparencia.h"
#include "app/BriselApplication.h"
#include "app/TdmPrincipal.h"
#include "app/TfrmPrincipalScripts.h"
#include "widgets/MessageBoxMessages.h"

#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

void fotografar(const QWidget &janela, const QString &arquivo) {
    const QRect area = janela.frameGeometry();
    const QPixmap tela = janela.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!tela.save(arquivo))
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(arquivo));
}

} // namespace

int main(int argc, char *argv[]) {
    BriselApplication app(argc, argv);
    if (app.arguments().size() != 4) {
        std::fprintf(stderr, "usage: brisel-screenshots OUTPUT_DIR USER PASSWORD\n");
        return 2;
    }
    const QString saida = app.arguments().at(1);
    Aparencia::aplicar(app);
    MessageBoxMessages messages;
    app.setMessages(&messages);
    QTemporaryDir dir; // a settings file of its own
    TdmPrincipal dm(dir.path());
    TfrmPrincipalScripts janela(dm, messages, app.arguments().mid(2));
    janela.show();

    // The login opens from the event loop once the main window shows.
    QTimer::singleShot(1500, &janela, [&] {
        fotografar(janela, saida + QStringLiteral("/login.png"));
        if (TfrmLoginScripts *login = janela.loginAberto())
            login->btLogin()->click();
        QTimer::singleShot(1500, &janela, [&] {
            fotografar(janela, saida + QStringLiteral("/main-window.png"));
            QCoreApplication::exit(janela.FChave().isEmpty() ? 1 : 0);
        });
    });
    return app.exec();
}
