#include "server/LeitorCampos.h"
#include "server/Tratadores.h"

RespostaServico TratarExcluir(ContextoServidor &contexto, const Formulario &formulario) {
    return RespostaServico::protegido([&] {
        const LeitorCampos campos(formulario);
        const QString usuario = campos.usuario(contexto.armazenamento);
        const qint64 codigo = campos.inteiro(QStringLiteral("codigo"));
        if (!contexto.armazenamento.excluir(codigo, usuario))
            return RespostaServico::falha(QStringLiteral("Script %1 não encontrado.").arg(codigo));
        return RespostaServico::sucesso();
    });
}
