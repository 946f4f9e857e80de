#include "app/BriselApplication.h"

#include "base/ErroGeral.h"
#include "base/Messages.h"

#include <cstdio>

BriselApplication::BriselApplication(int &argc, char **argv) : QApplication(argc, argv) {
    // No display name: the platform would append it to every window's caption.
    setApplicationName(QStringLiteral("BriselScripts"));
    setApplicationVersion(QStringLiteral("1.0.7"));
    setQuitOnLastWindowClosed(true);
}

bool BriselApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        relatar(ErroGeral::mensagem(e));
    } catch (...) {
        relatar(QStringLiteral("Erro desconhecido"));
    }
    return false;
}

void BriselApplication::relatar(const QString &message) {
    if (m_messages)
        m_messages->generalError(message);
    else
        std::fprintf(stderr, "BriselScripts: %s\n", qPrintable(ErroGeral::comPontoFinal(message)));
}
