#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarAtualizar(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        const QString usuario = campos.usuario(contexto.armazenamento);
        const qint64 codigo = campos.inteiro(QStringLiteral("codigo"));
        // An absent "script" is the empty text: the client leaves empty fields out.
        const QString script = campos.scriptHex(QStringLiteral("script"));
        if (!contexto.armazenamento.atualizar(codigo, script, usuario))
            return RespostaServico::falha(QStringLiteral("Script %1 não encontrado.").arg(codigo));
        return RespostaServico::sucesso();
    });
}
