#pragma once

#include "service/Conexao.h"

#include <QString>

// What every window shares for the whole run: the one HTTP connection and the program's own
// version. (The two image lists are ImageList::icones() and ImageList::icones48(), which need
// the GUI library.)
class TdmPrincipal {
public:
    // `diretorioExe`: the directory of the running executable, without a trailing separator.
    explicit TdmPrincipal(const QString &diretorioExe);

    Conexao &conexao() { return FConexao; }
    const QString &versao() const { return FVersao; }
    const QString &DiretorioExe() const { return FDiretorioExe; }

    // The version endpoint's reply text, or the own version in double quotes after a failure
    // (recorded in "log.log"). Throws when "log.log" cannot be written.
    QString VerificarVersao();

private:
    Conexao FConexao;
    QString FVersao;
    QString FDiretorioExe;
};
