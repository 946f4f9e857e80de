#include "catalog/RelatarContagem.h"

#include "base/ErroGeral.h"
#include "base/Messages.h"
#include "service/ErroTransporte.h"

bool RelatarContagem(Messages &messages, std::exception_ptr erro, const Protocolo::RespostaContagem *contagem,
                     const TextosContagem &textos) {
    if (!contagem) {
        try {
            std::rethrow_exception(erro);
        } catch (const ErroTransporte &e) {
            messages.generalError(ErroGeral::mensagem(e));
        } catch (...) {
            messages.error(textos.falhaLeitura);
        }
        return true;
    }
    if (!contagem->success) {
        messages.error(contagem->message);
        return true;
    }
    if (contagem->registros <= 0) {
        messages.information(textos.nadaEncontrado);
        return true;
    }
    return false;
}
