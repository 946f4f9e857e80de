#pragma once

#include <QObject>
#include <QString>

class FilaArquivosModel;
class Sessao;
class ThreadConsultaEstado;

// Keeps column "No serviço" of the queue filled for the chosen system: the rows whose state is
// not known are looked up on a worker, one run at a time. A request while a run goes on (a row
// read again, a new search) is served by another run after it; a change of system stops the run
// in progress, whose states no longer apply.
class VerificacaoServico : public QObject {
    Q_OBJECT
public:
    VerificacaoServico(Sessao &sessao, FilaArquivosModel &fila, QObject *parent = nullptr);
    // Stops the run in progress and waits for its worker.
    ~VerificacaoServico() override;

    // Forgets the states of another system and looks every row up again; the empty text looks
    // nothing up.
    void setSistema(const QString &sistema);
    // Looks up the rows whose state is not known, now or after the run in progress.
    void Verificar();
    // Stops the run in progress and drops the runs asked for after it.
    void Cancelar();
    bool ativa() const { return FThread != nullptr; }

signals:
    void iniciada();
    void progresso(int feitos, int total);
    // When no run is left to do. `completa`: every row has its state; otherwise `erro` holds the
    // last run's failure, or nothing when it was stopped.
    void terminada(bool completa, const QString &erro);

private:
    // Starts a run for the rows not known; false when there are none or no system is chosen.
    bool iniciar();
    void aoTerminarThread();

    Sessao &FSessao;
    FilaArquivosModel &FFila;
    ThreadConsultaEstado *FThread = nullptr;
    QString FErro;
    bool FPendente = false;
};
