#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include <optional>

// What the program learned the service stores for a script while its rows may show an older
// copy: the text of a save, what a read-back found, or that the script is gone. Each entry carries
// the moment (a running number) it was learned, so that rows fetched before it take it and rows
// fetched after it, which are newer, keep what the service sent.
class TextosArmazenados {
public:
    using Texto = std::optional<QByteArray>; // none: the service no longer holds the script

    // The moment now: entries learned from here on are newer than rows fetched from here on.
    qint64 Agora() const { return FUltimo; }
    // Replaces what was known of `codigo`.
    void Registrar(int codigo, const Texto &texto);
    // The entry of `codigo` learned after `momento`, or null.
    const Texto *Depois(int codigo, qint64 momento) const;
    // The codes whose entry was learned after `momento`.
    QList<int> CodigosDepois(qint64 momento) const;

private:
    struct Entrada {
        Texto texto;
        qint64 momento;
    };
    QHash<int, Entrada> FEntradas;
    qint64 FUltimo = 0;
};
