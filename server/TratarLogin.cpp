#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarLogin(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        const QString usuario = campos.opcional(QStringLiteral("usuario"));
        const QString senha = campos.opcional(QStringLiteral("senha"));
        if (usuario.isEmpty() || !contexto.armazenamento.confereSenha(usuario, senha))
            return RespostaServico::falha(QStringLiteral("Usuário ou senha inválidos."));
        return RespostaServico::sucesso(
            {{QStringLiteral("chave"), contexto.armazenamento.abrirSessao(usuario)}});
    });
}
