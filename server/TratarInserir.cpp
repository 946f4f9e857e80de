#include "server/ComSessao.h"
#include "server/Tratadores.h"

RespostaServico TratarInserir(ContextoServidor &contexto, const Formulario &formulario) {
    return ComSessao(contexto, formulario, [&](const LeitorCampos &campos, const QString &usuario) {
        const QDateTime data = campos.dataHora(QStringLiteral("data"));
        const QString nome = campos.texto(QStringLiteral("nome"));
        const QString sistema = campos.sistema(QStringLiteral("sistema"));
        if (sistema.isEmpty())
            campos.texto(QStringLiteral("sistema")); // reports the missing field
        campos.texto(QStringLiteral("script"));      // "0x" at least
        const QString script = campos.scriptHex(QStringLiteral("script"));
        const qint64 codigo = contexto.armazenamento.inserir(data, nome, sistema, script, usuario);
        return RespostaServico::sucesso({{QStringLiteral("codigo"), codigo}});
    });
}
