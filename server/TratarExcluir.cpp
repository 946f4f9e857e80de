#include "server/ComSessao.h"
#include "server/Tratadores.h"

RespostaServico TratarExcluir(ContextoServidor &contexto, const Formulario &formulario) {
    return ComSessao(contexto, formulario, [&](const LeitorCampos &campos, const QString &usuario) {
        const qint64 codigo = campos.inteiro(QStringLiteral("codigo"));
        return ScriptAlterado(contexto.armazenamento.excluir(codigo, usuario), codigo);
    });
}
