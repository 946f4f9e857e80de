#include "server/ComSessao.h"

RespostaServico
ComSessao(ContextoServidor &contexto, const Formulario &formulario,
          const std::function<RespostaServico(const LeitorCampos &campos, const QString &usuario)> &corpo) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        const QString usuario = campos.usuario(contexto.armazenamento);
        return corpo(campos, usuario);
    });
}

RespostaServico ScriptAlterado(bool encontrado, qint64 codigo) {
    if (!encontrado)
        return RespostaServico::falha(QStringLiteral("Script %1 não encontrado.").arg(codigo));
    return RespostaServico::sucesso();
}

RespostaServico
Busca(ContextoServidor &contexto, const Formulario &formulario, bool comUsuario,
      const std::function<int(const FiltroArmazenamento &filtro, int maximo)> &contar,
      const std::function<QJsonArray(const FiltroArmazenamento &filtro, int maximo, int lidos)> &pagina) {
    return ComSessao(contexto, formulario, [&](const LeitorCampos &campos, const QString &) {
        const FiltroArmazenamento filtro = campos.filtro(comUsuario);
        const int maximo = campos.quantidade(QStringLiteral("maximo"));
        if (campos.opcional(QStringLiteral("contar")).compare(QLatin1String("true"), Qt::CaseInsensitive) ==
            0)
            return RespostaServico::sucesso({{QStringLiteral("registros"), contar(filtro, maximo)}});
        return RespostaServico::pagina(pagina(filtro, maximo, campos.quantidade(QStringLiteral("lidos"))));
    });
}

QString DataResposta(const QDateTime &data) {
    return data.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}
