// BriselUpdate for Linux: the installed program is updated by the package manager, so this
// updater only tells the user which version is available and ends. Command line: the version
// being replaced; BRISEL_VERSAO_NOVA: the version on offer.
#include "app/AvisoAtualizacao.h"
#include "widgets/MessageBoxMessages.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display there is nobody to show a box to (and QApplication would abort).
bool semTela() {
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[]) {
    const QString texto = AvisoAtualizacao(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(),
                                           qEnvironmentVariable("BRISEL_VERSAO_NOVA"));
    std::fputs(texto.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
    if (semTela())
        return 0;
    QApplication app(argc, argv);
    const QString plataforma = QGuiApplication::platformName();
    if (plataforma != QLatin1String("offscreen") && plataforma != QLatin1String("minimal"))
        MessageBoxMessages().information(texto);
    return 0;
}
