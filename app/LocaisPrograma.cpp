#include "app/LocaisPrograma.h"

#include "base/Exception.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString pastaDoPrograma = QStringLiteral("/BriselScripts");

// An XDG base directory: the variable when it holds an absolute path, else the default below
// the home folder (relative values are to be ignored).
QString baseXdg(const char *variavel, const QString &padraoNoHome) {
    const QString valor = qEnvironmentVariable(variavel);
    if (!valor.isEmpty() && QDir::isAbsolutePath(valor))
        return QDir::cleanPath(valor);
    return QDir::homePath() + padraoNoHome;
}

bool mesmoDiretorio(const QString &a, const QString &b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

LocaisPrograma LocaisPrograma::deduzir(const QString &diretorioExe) {
    return deduzir(diretorioExe, QStringLiteral(BRISEL_INSTALL_BINDIR),
                   QStringLiteral(BRISEL_INSTALL_UPDATER));
}

LocaisPrograma LocaisPrograma::deduzir(const QString &diretorioExe, const QString &binInstalado,
                                       const QString &atualizadorInstalado) {
    LocaisPrograma l;
    l.diretorioExe = diretorioExe;
    l.instalado = mesmoDiretorio(diretorioExe, binInstalado);
    if (l.instalado) {
        l.atualizador = atualizadorInstalado;
        l.diretorioParametros = baseXdg("XDG_CONFIG_HOME", QStringLiteral("/.config")) + pastaDoPrograma;
        l.diretorioLog = baseXdg("XDG_STATE_HOME", QStringLiteral("/.local/state")) + pastaDoPrograma;
    } else {
        l.atualizador = diretorioExe + QStringLiteral("/BriselUpdate.exe");
        l.diretorioParametros = diretorioExe;
        l.diretorioLog = diretorioExe;
    }
    return l;
}

void LocaisPrograma::criarDiretorios() const {
    if (!instalado)
        return;
    for (const QString &d : {diretorioParametros, diretorioLog}) {
        if (!QDir().mkpath(d))
            throw Exception(
                QStringLiteral("Não foi possível criar a pasta %1").arg(QDir::toNativeSeparators(d)));
    }
}
