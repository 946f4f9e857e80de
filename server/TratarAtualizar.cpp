#include "server/ComSessao.h"
#include "server/Tratadores.h"

RespostaServico TratarAtualizar(ContextoServidor &contexto, const Formulario &formulario) {
    return ComSessao(contexto, formulario, [&](const LeitorCampos &campos, const QString &usuario) {
        const qint64 codigo = campos.inteiro(QStringLiteral("codigo"));
        // An absent "script" is the empty text: the client leaves empty fields out.
        const QString script = campos.scriptHex(QStringLiteral("script"));
        return ScriptAlterado(contexto.armazenamento.atualizar(codigo, script, usuario), codigo);
    });
}
