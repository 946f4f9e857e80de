#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarPesquisar(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        campos.usuario(contexto.armazenamento);
        const FiltroArmazenamento filtro = campos.filtro(false);
        const int maximo = campos.quantidade(QStringLiteral("maximo"));
        if (campos.opcional(QStringLiteral("contar")).compare(QLatin1String("true"), Qt::CaseInsensitive) ==
            0)
            return RespostaServico::sucesso(
                {{QStringLiteral("registros"), contexto.armazenamento.contarScripts(filtro, maximo)}});
        const int lidos = campos.quantidade(QStringLiteral("lidos"));
        QJsonArray registros;
        for (const ScriptArmazenado &s :
             contexto.armazenamento.pesquisarScripts(filtro, maximo, lidos, contexto.tamanhoPagina))
            registros.append(QJsonObject{
                {QStringLiteral("CODIGO_SC"), s.codigo},
                {QStringLiteral("DATA_CRIACAO_SC"), s.data.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))},
                {QStringLiteral("NOME_ARQUIVO_SC"), s.nome},
                {QStringLiteral("SISTEMA_SC"), s.sistema},
                {QStringLiteral("SCRIPT_SC"), s.scriptHex},
            });
        return RespostaServico::pagina(registros);
    });
}
