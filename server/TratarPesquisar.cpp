#include "server/ComSessao.h"
#include "server/Tratadores.h"

RespostaServico TratarPesquisar(ContextoServidor &contexto, const Formulario &formulario) {
    Armazenamento &armazenamento = contexto.armazenamento;
    return Busca(
        contexto, formulario, false,
        [&](const FiltroArmazenamento &filtro, int maximo) {
            return armazenamento.contarScripts(filtro, maximo);
        },
        [&](const FiltroArmazenamento &filtro, int maximo, int lidos) {
            QJsonArray registros;
            for (const ScriptArmazenado &s :
                 armazenamento.pesquisarScripts(filtro, maximo, lidos, contexto.tamanhoPagina))
                registros.append(QJsonObject{
                    {QStringLiteral("CODIGO_SC"), s.codigo},
                    {QStringLiteral("DATA_CRIACAO_SC"), DataResposta(s.data)},
                    {QStringLiteral("NOME_ARQUIVO_SC"), s.nome},
                    {QStringLiteral("SISTEMA_SC"), s.sistema},
                    {QStringLiteral("SCRIPT_SC"), s.scriptHex},
                });
            return registros;
        });
}
