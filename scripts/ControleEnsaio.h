#pragma once

#include "scripts/FilaArquivosModel.h"
#include "validation/TrialCopyRegistry.h"

#include <QObject>
#include <QString>

#include <memory>

class Cancelamento;
class QThread;

// Keeps column "Ensaio" of the queue: a trial of every row, in queue order, on one disposable
// copy of a database (EnsaioFila), run on a worker; its outcomes come back through queued calls
// and are put on the rows they were made for.
class ControleEnsaio : public QObject {
    Q_OBJECT
public:
    explicit ControleEnsaio(FilaArquivosModel &fila,
                            const TrialCopyRegistry &registro = TrialCopyRegistry::standard(),
                            QObject *parent = nullptr);
    // Stops the trial in progress, which drops its copy, and waits for its worker.
    ~ControleEnsaio() override;

    // Empties the column and starts a trial of the whole queue; false when one runs already or
    // the queue is empty.
    bool Ensaiar(const QString &banco, const QString &senha);
    // Stops the trial after the statement in progress; the copy is dropped.
    void Cancelar();
    bool ativo() const { return m_thread != nullptr; }
    // The database of the last trial started.
    const QString &banco() const { return m_banco; }

signals:
    void iniciado(int total);
    void progresso(int numero, int total);
    // `completo`: every script ran; `falhas`: how many failed; `erro`: why none ran (the database
    // could not be attached or copied).
    void terminado(bool completo, int falhas, const QString &erro);

private:
    void concluir(const QList<FilaArquivosModel::EnsaioRegistrado> &ensaios, bool completo, int falhas,
                  const QString &erro, quint64 versao);

    FilaArquivosModel &m_fila;
    TrialCopyRegistry m_registro;
    QThread *m_thread = nullptr;
    std::shared_ptr<Cancelamento> m_parar;
    QString m_banco;
};
