#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What a run of the built brisel-scripts-cli printed and returned.
struct ExecucaoCli {
    int codigo = -1; // -1 when the program did not end within the time limit
    QString out;
    QString err;
};

// Runs $BRISEL_BUILD_DIR/cli/brisel-scripts-cli with the arguments and environment given.
ExecucaoCli executarCli(const QStringList &args, const QProcessEnvironment &env);
