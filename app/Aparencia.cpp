#include "app/Aparencia.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void carregarFontes() {
    // Outside fontconfig's paths, so they are added by hand.
    for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const QString path = QString::fromLatin1(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

void carregarTraducoes(QApplication &app) {
    const QLocale ptBR(QLocale::Portuguese, QLocale::Brazil);
    // Calendars, day names and the short date form follow the default locale.
    QLocale::setDefault(ptBR);
    auto *translator = new QTranslator(&app);
    const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                 QStringLiteral("/usr/share/qt6/translations")};
    for (const QString &folder : folders) {
        if (translator->load(ptBR, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}

} // namespace

void Aparencia::aplicar(QApplication &app) {
    carregarFontes();
    carregarTraducoes(app);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    QApplication::setFont(font);
}
