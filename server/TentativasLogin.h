#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <functional>
#include <mutex>

// Wrong passwords per user name. From the fifth failure in a row the name waits before its next
// password is checked, a wait that doubles with each further failure (1 s, 2 s, 4 s... up to
// 5 minutes); a right password, or an hour without failures, clears it. Names are counted whether
// or not they exist, and one name's failures never hold up another.
class TentativasLogin {
public:
    using Relogio = std::function<std::chrono::steady_clock::time_point()>;

    explicit TentativasLogin(Relogio relogio = std::chrono::steady_clock::now);

    // Whole seconds `usuario` must still wait; 0 when a password may be checked now.
    qint64 espera(const QString &usuario);
    void falhou(const QString &usuario);
    void acertou(const QString &usuario);

private:
    struct Estado {
        int falhas = 0;
        std::chrono::steady_clock::time_point ultima; // the last failure
        std::chrono::steady_clock::time_point liberado;
    };

    Relogio FRelogio;
    std::mutex FMutex;
    QHash<QString, Estado> FEstados; // by upper-case name
};
