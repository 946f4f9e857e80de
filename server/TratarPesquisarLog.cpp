#include "server/ComSessao.h"
#include "server/Tratadores.h"

RespostaServico TratarPesquisarLog(ContextoServidor &contexto, const Formulario &formulario) {
    Armazenamento &armazenamento = contexto.armazenamento;
    return Busca(
        contexto, formulario, true,
        [&](const FiltroArmazenamento &filtro, int maximo) {
            return armazenamento.contarLog(filtro, maximo);
        },
        [&](const FiltroArmazenamento &filtro, int maximo, int lidos) {
            QJsonArray registros;
            for (const EntradaLog &e :
                 armazenamento.pesquisarLog(filtro, maximo, lidos, contexto.tamanhoPagina))
                registros.append(QJsonObject{
                    {QStringLiteral("idscript"), e.idscript},
                    {QStringLiteral("data_alteracao"), DataResposta(e.data)},
                    {QStringLiteral("arquivo"), e.arquivo},
                    {QStringLiteral("script_atual"), e.scriptAtual},
                    {QStringLiteral("script_anterior"), e.scriptAnterior},
                    {QStringLiteral("descricao"), e.descricao},
                    {QStringLiteral("nome"), e.usuario},
                });
            return registros;
        });
}
