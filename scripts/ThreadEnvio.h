#pragma once

#include "scripts/FilaArquivosModel.h"

#include <QList>
#include <QString>
#include <QThread>

class Sessao;

// The upload worker. It sends a snapshot of the queue taken when the run starts, so a local
// save from an editor window meanwhile changes the queue for the next run, not this one.
// It reaches the interface only through its signals: connect `fimEnvio` blocking-queued, so
// the worker waits for the end-of-run handler before it ends.
class ThreadEnvio : public QThread {
    Q_OBJECT
public:
    ThreadEnvio(Sessao &sessao, const QList<FilaArquivosModel::Linha> &linhas, const QString &sistema,
                QObject *parent = nullptr);

signals:
    // The 1-based position of the row just sent; emitted on the worker thread.
    void progresso(int valor);
    // Once, at the end: success, or the failure's own message.
    void fimEnvio(bool sucesso, const QString &mensagem);

protected:
    void run() override;

private:
    Sessao &FSessao;
    QList<FilaArquivosModel::Linha> FLinhas;
    QString FSistema;
};
