#include "base/SinaisDeTermino.h"

#include <csignal>
#include <initializer_list>

namespace {

void terminarComoPadrao(int sinal) {
    // Pending until the handler (ours, or the Firebird client's that called it) returns.
    std::signal(sinal, SIG_DFL);
    std::raise(sinal);
}

} // namespace

void SinaisDeTermino::manterPadrao() {
    for (const int sinal : {SIGINT, SIGTERM}) {
        struct sigaction atual = {};
        if (::sigaction(sinal, nullptr, &atual) != 0 || atual.sa_handler != SIG_DFL)
            continue;
        struct sigaction novo = {};
        novo.sa_handler = terminarComoPadrao;
        sigemptyset(&novo.sa_mask);
        ::sigaction(sinal, &novo, nullptr);
    }
}
