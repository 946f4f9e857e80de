#include "scripts/ThreadConsultaEstado.h"

#include "base/Exception.h"
#include "scripts/ConsultaEstadoServico.h"
#include "scripts/EnvioScripts.h"
#include "service/ErroCancelado.h"

#include <QElapsedTimer>

ThreadConsultaEstado::ThreadConsultaEstado(Sessao &sessao, const QString &sistema,
                                           const QList<FilaArquivosModel::Linha> &linhas, QObject *parent)
    : QThread(parent), FSessao(sessao), FSistema(sistema), FLinhas(linhas) {}

void ThreadConsultaEstado::run() {
    QList<ConsultaEstadoServico::Arquivo> arquivos;
    arquivos.reserve(FLinhas.size());
    for (const FilaArquivosModel::Linha &l : FLinhas)
        arquivos.append({EnvioScripts::nomeArquivo(l.nomeArq), l.script});

    QList<FilaArquivosModel::EstadoConsultado> lote;
    QElapsedTimer desdeLote;
    desdeLote.start();
    auto entregar = [&] {
        if (!lote.isEmpty())
            emit decididos(lote);
        lote.clear();
        desdeLote.restart();
    };
    ConsultaEstadoServico::Ganchos ganchos;
    ganchos.cancelamento = &FCancelamento;
    ganchos.decidido = [&](int i, const EstadoNoServico &estado) {
        lote.append({FLinhas.at(i).id, FLinhas.at(i).script, estado});
        if (desdeLote.hasExpired(IntervaloLoteMs))
            entregar();
    };
    ganchos.progresso = [&](int feitos, int total) { emit progresso(feitos, total); };
    QString erro;
    bool cancelado = false;
    try {
        ConsultaEstadoServico(FSessao, FSistema).Consultar(arquivos, ganchos);
    } catch (const ErroCancelado &) {
        cancelado = true;
    } catch (const Exception &e) {
        erro = e.message();
    } catch (const std::exception &e) {
        erro = QString::fromLocal8Bit(e.what());
    }
    entregar();
    emit fim(erro, cancelado);
}
