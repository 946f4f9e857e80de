#include "scripts/VerificacaoServico.h"

#include "scripts/FilaArquivosModel.h"
#include "scripts/ThreadConsultaEstado.h"

VerificacaoServico::VerificacaoServico(Sessao &sessao, FilaArquivosModel &fila, QObject *parent)
    : QObject(parent), FSessao(sessao), FFila(fila) {
    // A row whose text changes (read again, saved from an editor) has lost its state.
    connect(&FFila, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &inicio, const QModelIndex &fim) {
                if (inicio.column() <= FilaArquivosModel::SCRIPT && FilaArquivosModel::SCRIPT <= fim.column())
                    Verificar();
            });
}

VerificacaoServico::~VerificacaoServico() {
    if (FThread) {
        FThread->disconnect(this);
        FThread->cancelar();
        FThread->wait();
        delete FThread;
    }
}

void VerificacaoServico::setSistema(const QString &sistema) {
    FFila.setSistemaNoServico(sistema);
    if (FThread && FThread->sistema() != sistema)
        FThread->cancelar();
    Verificar();
}

void VerificacaoServico::Verificar() {
    if (FThread)
        FPendente = true;
    else
        iniciar();
}

void VerificacaoServico::Cancelar() {
    FPendente = false;
    if (FThread)
        FThread->cancelar();
}

bool VerificacaoServico::iniciar() {
    const QString sistema = FFila.sistemaNoServico();
    const QList<int> rows = FFila.linhasSemEstado();
    if (sistema.isEmpty() || rows.isEmpty())
        return false;
    QList<FilaArquivosModel::Linha> linhas;
    linhas.reserve(rows.size());
    for (int row : rows)
        linhas << FFila.linha(row);
    FErro.clear();
    FThread = new ThreadConsultaEstado(FSessao, sistema, linhas);
    connect(FThread, &ThreadConsultaEstado::decididos, this,
            [this, sistema](const QList<FilaArquivosModel::EstadoConsultado> &estados) {
                FFila.RegistrarNoServico(sistema, estados);
            });
    connect(FThread, &ThreadConsultaEstado::progresso, this, &VerificacaoServico::progresso);
    connect(FThread, &ThreadConsultaEstado::fim, this, [this](const QString &erro, bool) { FErro = erro; });
    connect(FThread, &QThread::finished, this, &VerificacaoServico::aoTerminarThread);
    FThread->start();
    emit iniciada();
    return true;
}

void VerificacaoServico::aoTerminarThread() {
    delete FThread;
    FThread = nullptr;
    if (FPendente) {
        FPendente = false;
        if (iniciar())
            return;
    }
    emit terminada(!FFila.sistemaNoServico().isEmpty() && FFila.linhasSemEstado().isEmpty(), FErro);
}
