#include "scripts/ThreadEnvio.h"

#include "scripts/EnvioScripts.h"
#include "base/Exception.h"

ThreadEnvio::ThreadEnvio(Sessao &sessao, const QList<FilaArquivosModel::Linha> &linhas,
                         const QString &sistema, QObject *parent)
    : QThread(parent), FSessao(sessao), FLinhas(linhas), FSistema(sistema) {}

void ThreadEnvio::run() {
    try {
        EnvioScripts envio(FSessao, FSistema);
        const bool completo = envio.Executar(FLinhas, [this](int enviados) {
            emit progresso(enviados);
            return !isInterruptionRequested();
        });
        if (completo)
            emit fimEnvio(true, QString());
    } catch (const Exception &e) {
        emit fimEnvio(false, e.message());
    } catch (const std::exception &e) {
        emit fimEnvio(false, QString::fromLocal8Bit(e.what()));
    }
}
