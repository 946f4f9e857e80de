#include "base/EsperaAdiada.h"

EsperaAdiada::EsperaAdiada(std::function<void()> mostrar, std::function<void()> esconder)
    : m_mostrar(std::move(mostrar)), m_esconder(std::move(esconder)) {
    m_atraso.setSingleShot(true);
    m_atraso.setInterval(AtrasoMs);
    QObject::connect(&m_atraso, &QTimer::timeout, [this] {
        m_mostrada = true;
        m_mostrar();
    });
}

void EsperaAdiada::Armar() {
    m_atraso.start();
}

void EsperaAdiada::Desarmar() {
    m_atraso.stop();
    if (!m_mostrada)
        return;
    m_mostrada = false;
    m_esconder();
}
