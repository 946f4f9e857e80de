#include "server/TentativasLogin.h"

#include <algorithm>

namespace {

constexpr int FalhasLivres = 4;
constexpr std::chrono::seconds EsperaMaxima(300);
// Failures an hour old are forgotten; past this many names, so are the names themselves, so that
// guessing names cannot fill memory.
constexpr std::chrono::hours Esquecer(1);
constexpr qsizetype NomesGuardados = 10000;

} // namespace

TentativasLogin::TentativasLogin(Relogio relogio) : FRelogio(std::move(relogio)) {}

qint64 TentativasLogin::espera(const QString &usuario) {
    std::lock_guard trava(FMutex);
    const auto e = FEstados.constFind(usuario.toUpper());
    if (e == FEstados.cend())
        return 0;
    const auto resta = std::chrono::ceil<std::chrono::seconds>(e->liberado - FRelogio());
    return std::max<qint64>(0, resta.count());
}

void TentativasLogin::falhou(const QString &usuario) {
    std::lock_guard trava(FMutex);
    const auto agora = FRelogio();
    if (FEstados.size() >= NomesGuardados)
        FEstados.removeIf([&](const auto &par) {
            return par.value().ultima + Esquecer < agora && par.value().liberado < agora;
        });
    Estado &e = FEstados[usuario.toUpper()];
    if (e.ultima + Esquecer < agora)
        e.falhas = 0; // a mistake long ago is not part of this run of them
    ++e.falhas;
    e.ultima = agora;
    if (e.falhas > FalhasLivres)
        e.liberado =
            agora + std::min<std::chrono::seconds>(
                        EsperaMaxima, std::chrono::seconds(1LL << std::min(e.falhas - FalhasLivres - 1, 20)));
}

void TentativasLogin::acertou(const QString &usuario) {
    std::lock_guard trava(FMutex);
    FEstados.remove(usuario.toUpper());
}
