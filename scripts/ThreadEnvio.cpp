#include "scripts/ThreadEnvio.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "scripts/EnvioScripts.h"
#include "service/Conexao.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"

#include <QTimer>

ThreadEnvio::ThreadEnvio(Sessao &sessao, const QList<FilaArquivosModel::Linha> &linhas,
                         const QString &sistema, std::shared_ptr<const Cancelamento> parar, QObject *parent)
    : QThread(parent), FSessao(sessao), FLinhas(linhas), FSistema(sistema), FParar(std::move(parar)),
      FVigia(new QTimer(this)) {
    FVigia->setInterval(100);
    connect(FVigia, &QTimer::timeout, this, &ThreadEnvio::vigiar);
    connect(this, &QThread::finished, FVigia, &QTimer::stop);
    FVigia->start();
}

void ThreadEnvio::vigiar() {
    if (!FParar->cancelado())
        return;
    if (!FParada.isValid()) {
        FParada.start();
    } else if (FParada.hasExpired(EsperaRespostaMs)) {
        FAbortar.cancelar();
        FVigia->stop();
    }
}

void ThreadEnvio::run() {
    int enviados = 0;
    QString erro;
    try {
        const Conexao::Cancelavel guarda(FAbortar);
        EnvioScripts envio(FSessao, FSistema);
        envio.Executar(FLinhas, [&](int n) {
            enviados = n;
            emit progresso(n);
            return !isInterruptionRequested() && !FParar->cancelado();
        });
    } catch (const ErroCancelado &e) {
        // Aborted before the request left whole: that row was not sent, the run just stopped.
        FAbortado = e.pedidoEnviado();
        if (FAbortado)
            erro = QStringLiteral("Envio cancelado sem resposta do serviço; o script pode ter sido gravado.");
    } catch (const ErroTransporte &e) {
        erro = e.message();
        if (e.pedidoEnviado())
            erro += QStringLiteral(" O script pode ter sido gravado.");
    } catch (const Exception &e) {
        erro = e.message();
    } catch (const std::exception &e) {
        erro = QString::fromLocal8Bit(e.what());
    }
    if (enviados < FLinhas.size() && erro.isEmpty() && !isInterruptionRequested() && !FParar->cancelado())
        erro = QStringLiteral("Falha sem descrição."); // a failure must not pass for a stop
    emit fimEnvio(enviados, erro);
}
