#pragma once

#include <QString>

// A file-name mask as the user types it: "*" any run of characters, "?" exactly one, letters
// compared without regard to case. As on the platform the users came from, a mask ending in
// ".*" also takes names without a dot, so "*.*" takes every name.
class MascaraArquivo {
public:
    explicit MascaraArquivo(const QString &mascara);

    bool aceita(const QString &nome) const;

private:
    static bool casar(QStringView padrao, QStringView nome);

    QString FPadrao;      // case-folded
    QString FSemExtensao; // the mask without its final ".*"; empty when it has none
};
