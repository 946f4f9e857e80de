#pragma once

#include <QString>

// Where the program finds its updater and keeps its settings file and log.
//
// A copy run from its build folder (or any folder of its own) keeps the side-by-side layout:
// "BriselUpdate.exe", "parametros.ini" and "log.log" beside the executable. The installed copy
// (the executable lies in the install prefix's bin folder, e.g. /usr/bin, where a user cannot
// write) finds the packaged updater below the prefix and keeps "parametros.ini" in
// $XDG_CONFIG_HOME/BriselScripts (~/.config/BriselScripts) and "log.log" in
// $XDG_STATE_HOME/BriselScripts (~/.local/state/BriselScripts).
struct LocaisPrograma {
    QString diretorioExe; // without a trailing separator; the updater's working directory
    QString atualizador;
    QString diretorioParametros;
    QString diretorioLog;
    bool instalado = false;

    // The layout for an executable in `diretorioExe`, with the install locations this build was
    // configured for.
    static LocaisPrograma deduzir(const QString &diretorioExe);
    // The same with the install locations given: installed when `diretorioExe` is `binInstalado`.
    static LocaisPrograma deduzir(const QString &diretorioExe, const QString &binInstalado,
                                  const QString &atualizadorInstalado);

    // Creates the settings and log folders when they are not the executable's own; a user's
    // first run has neither. Throws Exception when one cannot be created.
    void criarDiretorios() const;
};
