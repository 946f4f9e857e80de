#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarLogin(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        const QString usuario = campos.opcional(QStringLiteral("usuario"));
        const QString senha = campos.opcional(QStringLiteral("senha"));
        TentativasLogin &tentativas = contexto.tentativasLogin;
        if (const qint64 espera = tentativas.espera(usuario); espera > 0)
            return RespostaServico::falha(
                QStringLiteral("Muitas tentativas de login sem sucesso. Tente novamente em %1.")
                    .arg(espera == 1 ? QStringLiteral("1 segundo")
                                     : QStringLiteral("%1 segundos").arg(espera)));
        if (usuario.isEmpty() || !contexto.armazenamento.confereSenha(usuario, senha)) {
            if (!usuario.isEmpty())
                tentativas.falhou(usuario);
            return RespostaServico::falha(QStringLiteral("Usuário ou senha inválidos."));
        }
        tentativas.acertou(usuario);
        return RespostaServico::sucesso(
            {{QStringLiteral("chave"), contexto.armazenamento.abrirSessao(usuario)}});
    });
}
