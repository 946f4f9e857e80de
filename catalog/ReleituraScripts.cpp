#include "catalog/ReleituraScripts.h"

#include "catalog/MontarParametros.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"

#include <memory>

ReleituraScripts::ReleituraScripts(Sessao &sessao, Lido lido) : m_sessao(sessao), m_lido(std::move(lido)) {
    m_pausa.setSingleShot(true);
    m_pausa.setInterval(PausaMs);
    QObject::connect(&m_pausa, &QTimer::timeout, [this] { Proxima(); });
}

void ReleituraScripts::Pedir(int codigo) {
    Enfileirar({codigo, Leituras});
    if (!m_pausa.isActive())
        Proxima();
}

void ReleituraScripts::Enfileirar(const Pedido &pedido) {
    for (Pedido &p : m_pendentes)
        if (p.codigo == pedido.codigo) {
            p.leituras = qMax(p.leituras, pedido.leituras);
            return;
        }
    m_pendentes << pedido;
}

void ReleituraScripts::Proxima() {
    if (m_pendentes.isEmpty() || m_thread.Executando())
        return;
    const Pedido pedido = m_pendentes.takeFirst();
    struct Leitura {
        bool respondeu = false;
        std::optional<QByteArray> texto;
    };
    auto leitura = std::make_shared<Leitura>();
    m_thread.Iniciar(
        [this, codigo = pedido.codigo, leitura](const ThreadBusca::NaInterface &) {
            Protocolo::FiltroPesquisa filtro;
            filtro.codigo = QString::number(codigo);
            filtro.maximo = MaximoRegistros;
            const Protocolo::RespostaContagem contagem = Protocolo::ContarScripts(m_sessao, filtro);
            if (!contagem.success)
                return;
            if (contagem.registros > 0)
                Protocolo::BuscarScripts(m_sessao, filtro, contagem.registros, [&](const RegistroScript &r) {
                    if (r.codigo == codigo)
                        leitura->texto = r.script;
                });
            leitura->respondeu = true;
        },
        [this, pedido, leitura](std::exception_ptr erro) {
            bool semResposta = false;
            if (erro) {
                try {
                    std::rethrow_exception(erro);
                } catch (const ErroTransporte &) {
                    semResposta = true;
                } catch (...) {
                }
            }
            if (semResposta || (leitura->respondeu && pedido.leituras > 1)) {
                Enfileirar({pedido.codigo, semResposta ? pedido.leituras : pedido.leituras - 1});
                m_pausa.start();
            }
            if (leitura->respondeu)
                m_lido(pedido.codigo, leitura->texto);
            if (!m_pausa.isActive())
                Proxima();
        });
}
