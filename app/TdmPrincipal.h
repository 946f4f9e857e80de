#pragma once

#include "app/LocaisPrograma.h"
#include "service/Conexao.h"

#include <QString>

// What every window shares for the whole run: the one HTTP connection, the program's own
// version and where its files live. (The two image lists are ImageList::icones() and
// ImageList::icones48(), which need the GUI library.)
class TdmPrincipal {
public:
    // `diretorioExe`: the directory of the running executable, without a trailing separator.
    explicit TdmPrincipal(const QString &diretorioExe);
    explicit TdmPrincipal(const LocaisPrograma &locais);

    Conexao &conexao() { return FConexao; }
    const QString &versao() const { return FVersao; }
    const QString &DiretorioExe() const { return FLocais.diretorioExe; }
    // The folder of "parametros.ini": beside the executable, or the user's settings folder for
    // the installed program.
    const QString &DiretorioParametros() const { return FLocais.diretorioParametros; }
    const LocaisPrograma &locais() const { return FLocais; }

    // The version endpoint's reply text, or the own version in double quotes after a failure
    // (recorded in "log.log"). Throws when "log.log" cannot be written.
    QString VerificarVersao();

private:
    Conexao FConexao;
    QString FVersao;
    LocaisPrograma FLocais;
};
