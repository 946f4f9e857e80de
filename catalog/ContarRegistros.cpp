#include "catalog/ContarRegistros.h"

#include "base/ErroGeral.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "base/Messages.h"

int ContarRegistros(Conexao &conexao, Messages &messages, const QString &endereco,
                    const CamposRequisicao &campos, const TextosContagem &textos) {
    Protocolo::RespostaContagem resposta;
    try {
        resposta = Protocolo::Contar(conexao, endereco, campos);
    } catch (const ErroTransporte &erro) {
        messages.generalError(ErroGeral::mensagem(erro));
        return 0;
    } catch (const std::exception &) {
        messages.error(textos.falhaLeitura);
        return 0;
    }
    if (!resposta.success) {
        messages.error(resposta.message);
        return 0;
    }
    if (resposta.registros <= 0) {
        messages.information(textos.nadaEncontrado);
        return 0;
    }
    return resposta.registros;
}
