#pragma once

#include "scripts/MascaraArquivo.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <functional>

class QFileInfo;

// The folder walk behind "Procurar": depth-first, each folder's own matching files before its
// subfolders, files and subfolders each in a stable name order (a listing on Linux has none).
// Dot-names count as hidden and are skipped, files and folders alike; only regular files are
// taken; folders reached through a symbolic link are not entered, so a link loop cannot hang
// the walk. A folder that cannot be listed yields nothing.
class PesquisaArquivos {
public:
    struct Ganchos {
        // The date limit, asked again for every file examined; files modified before it are
        // left out.
        std::function<QDateTime()> limite;
        // A matching file, with its modification time at two-second resolution. An exception
        // thrown here ends the walk and reaches the caller of Pesquisar.
        std::function<void(const QString &caminho, const QDateTime &data)> encontrado;
        // Lets the interface handle its pending events; called at most every few milliseconds.
        std::function<void()> processarEventos;
        // True once the search is to stop; asked before every entry.
        std::function<bool()> parar;
    };

    PesquisaArquivos(const QString &mascara, Ganchos ganchos);

    // Walks `pasta` and everything below it. Returns false when stopped.
    bool Pesquisar(const QString &pasta);

    // How long the walk may go without handing the interface its events.
    static constexpr int IntervaloEventosMs = 8;

private:
    bool PesquisarArquivos(const QString &pasta);
    bool continuar();

    MascaraArquivo FMascara;
    Ganchos FGanchos;
    QElapsedTimer FDesdeEventos;
};
