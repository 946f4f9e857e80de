#include "server/TentativasLogin.h"

#include "server/Armazenamento.h"

#include <algorithm>

namespace {

constexpr int FalhasLivres = 4;
constexpr qint64 EsperaMaxima = 300'000;
constexpr qint64 Esquecer = 3'600'000; // failures an hour old are not part of this run of them

} // namespace

TentativasLogin::TentativasLogin(Armazenamento &armazenamento, Relogio relogio)
    : FArmazenamento(armazenamento), FRelogio(std::move(relogio)) {}

qint64 TentativasLogin::agora() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(FRelogio().time_since_epoch()).count();
}

qint64 TentativasLogin::espera(const QString &usuario) {
    const qint64 resta = FArmazenamento.liberacaoLogin(usuario) - agora();
    return resta <= 0 ? 0 : (resta + 999) / 1000;
}

void TentativasLogin::falhou(const QString &usuario) {
    const qint64 instante = agora();
    FArmazenamento.registrarFalhaLogin(usuario, instante, instante - Esquecer, [&](int falhas) -> qint64 {
        if (falhas <= FalhasLivres)
            return 0;
        return instante + std::min<qint64>(EsperaMaxima, 1000LL << std::min(falhas - FalhasLivres - 1, 20));
    });
}

void TentativasLogin::acertou(const QString &usuario) {
    FArmazenamento.esquecerFalhasLogin(usuario);
}
