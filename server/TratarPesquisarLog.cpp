#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarPesquisarLog(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        campos.usuario(contexto.armazenamento);
        const FiltroArmazenamento filtro = campos.filtro(true);
        const int maximo = campos.quantidade(QStringLiteral("maximo"));
        if (campos.opcional(QStringLiteral("contar")).compare(QLatin1String("true"), Qt::CaseInsensitive) ==
            0)
            return RespostaServico::sucesso(
                {{QStringLiteral("registros"), contexto.armazenamento.contarLog(filtro, maximo)}});
        const int lidos = campos.quantidade(QStringLiteral("lidos"));
        QJsonArray registros;
        for (const EntradaLog &e :
             contexto.armazenamento.pesquisarLog(filtro, maximo, lidos, contexto.tamanhoPagina))
            registros.append(QJsonObject{
                {QStringLiteral("idscript"), e.idscript},
                {QStringLiteral("data_alteracao"), e.data.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))},
                {QStringLiteral("arquivo"), e.arquivo},
                {QStringLiteral("script_atual"), e.scriptAtual},
                {QStringLiteral("script_anterior"), e.scriptAnterior},
                {QStringLiteral("descricao"), e.descricao},
                {QStringLiteral("nome"), e.usuario},
            });
        return RespostaServico::pagina(registros);
    });
}
