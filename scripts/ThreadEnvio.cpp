#include "scripts/ThreadEnvio.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "scripts/EnvioScripts.h"
#include "service/Conexao.h"
#include "service/ErroCancelado.h"

ThreadEnvio::ThreadEnvio(Sessao &sessao, const QList<FilaArquivosModel::Linha> &linhas,
                         const QString &sistema, std::shared_ptr<const Cancelamento> parar,
                         std::shared_ptr<const Cancelamento> abortar, QObject *parent)
    : QThread(parent), FSessao(sessao), FLinhas(linhas), FSistema(sistema), FParar(std::move(parar)),
      FAbortar(std::move(abortar)) {}

void ThreadEnvio::run() {
    int enviados = 0;
    QString erro;
    try {
        const Conexao::Cancelavel guarda(*FAbortar);
        EnvioScripts envio(FSessao, FSistema);
        envio.Executar(FLinhas, [&](int n) {
            enviados = n;
            emit progresso(n);
            return !isInterruptionRequested() && !FParar->cancelado();
        });
    } catch (const ErroCancelado &) {
        FAbortado = true;
        erro = QStringLiteral("Envio cancelado sem resposta do serviço; o script pode ter sido gravado.");
    } catch (const Exception &e) {
        erro = e.message();
    } catch (const std::exception &e) {
        erro = QString::fromLocal8Bit(e.what());
    }
    if (enviados < FLinhas.size() && erro.isEmpty() && !isInterruptionRequested() && !FParar->cancelado())
        erro = QStringLiteral("Falha sem descrição."); // a failure must not pass for a stop
    emit fimEnvio(enviados, erro);
}
