#pragma once

#include "base/Cancelamento.h"
#include "scripts/FilaArquivosModel.h"

#include <QList>
#include <QString>
#include <QThread>

class Sessao;

// Looks up, on its own thread, what the service holds for a snapshot of queue rows under one
// system (ConsultaEstadoServico). The states go out in batches, so thousands of rows do not
// flood the interface with one call each. Connect its signals queued: it never waits for them.
class ThreadConsultaEstado : public QThread {
    Q_OBJECT
public:
    ThreadConsultaEstado(Sessao &sessao, const QString &sistema,
                         const QList<FilaArquivosModel::Linha> &linhas, QObject *parent = nullptr);

    const QString &sistema() const { return FSistema; }
    // Aborts the request in progress; `fim` follows with `cancelado`.
    void cancelar() { FCancelamento.cancelar(); }

    // How long decided states wait to go out together.
    static constexpr int IntervaloLoteMs = 100;

signals:
    void decididos(const QList<FilaArquivosModel::EstadoConsultado> &estados);
    void progresso(int feitos, int total);
    // Once, after the last batch: the failure's message (empty when every row was decided or
    // the lookup was stopped).
    void fim(const QString &erro, bool cancelado);

protected:
    void run() override;

private:
    Sessao &FSessao;
    QString FSistema;
    QList<FilaArquivosModel::Linha> FLinhas;
    Cancelamento FCancelamento;
};
