#pragma once

#include <QString>

#include <chrono>
#include <functional>

class Armazenamento;

// Wrong passwords per user name. From the fifth failure in a row the name waits before its next
// password is checked, a wait that doubles with each further failure (1 s, 2 s, 4 s... up to
// 5 minutes); a right password, or an hour without failures, clears it. Names are counted whether
// or not they exist, and one name's failures never hold up another. The counts live in the
// storage, so every service process on one database holds a name to the same wait.
class TentativasLogin {
public:
    using Relogio = std::function<std::chrono::system_clock::time_point()>;

    explicit TentativasLogin(Armazenamento &armazenamento, Relogio relogio = std::chrono::system_clock::now);

    // Whole seconds `usuario` must still wait; 0 when a password may be checked now.
    qint64 espera(const QString &usuario);
    void falhou(const QString &usuario);
    void acertou(const QString &usuario);

private:
    qint64 agora() const; // milliseconds since the epoch

    Armazenamento &FArmazenamento;
    Relogio FRelogio;
};
