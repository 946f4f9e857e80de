#pragma once

#include "base/Cancelamento.h"
#include "scripts/FilaArquivosModel.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QThread>

#include <memory>

class QTimer;
class Sessao;

// The upload worker. It sends a snapshot of the queue taken when the run starts, so a local
// save from an editor window meanwhile changes the queue for the next run, not this one.
// A stop request (the Cancelamento, or requestInterruption) ends the run after the request in
// progress: aborting an "/inserir" on its way would leave unknown whether the service stored it.
// A service that does not answer within EsperaRespostaMs of the stop request has that request
// aborted too: the run then ends at once, and `abortado` tells that the row in progress had been
// sent whole and may or may not have been stored (an abort before it left is a plain stop).
// A transport failure after the request had left says so in its message.
// It reaches the interface only through its signals: connect `fimEnvio` blocking-queued, so
// the worker waits for the end-of-run handler before it ends.
class ThreadEnvio : public QThread {
    Q_OBJECT
public:
    // How long a stopped run waits for the service's answer to its request in progress.
    static constexpr int EsperaRespostaMs = 3000;

    // Create it on the interface thread: its watch over the stop request runs there.
    ThreadEnvio(Sessao &sessao, const QList<FilaArquivosModel::Linha> &linhas, const QString &sistema,
                std::shared_ptr<const Cancelamento> parar, QObject *parent = nullptr);

    const QList<FilaArquivosModel::Linha> &linhas() const { return FLinhas; }
    const QString &sistema() const { return FSistema; }
    bool abortado() const { return FAbortado; }

signals:
    // The 1-based position of the row just sent; emitted on the worker thread.
    void progresso(int valor);
    // Once, at the end: the number of rows sent, from the first, and the failure's own message
    // when the row after them failed. Fewer rows than given without a message: stopped.
    void fimEnvio(int enviados, const QString &erro);

protected:
    void run() override;

private:
    // Every 100 ms on the interface thread: once stopped, aborts the request in progress after
    // EsperaRespostaMs.
    void vigiar();

    Sessao &FSessao;
    QList<FilaArquivosModel::Linha> FLinhas;
    QString FSistema;
    std::shared_ptr<const Cancelamento> FParar;
    Cancelamento FAbortar;
    QTimer *FVigia;
    QElapsedTimer FParada;
    bool FAbortado = false;
};
