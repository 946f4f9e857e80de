#include "base/IniFile.h"

#include "base/Exception.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString sample = QStringLiteral("; comentário do usuário\n"
                                      "[envio]\n"
                                      "base = /home/dev/scripts \n"
                                      "extra=mantido\n"
                                      "\n"
                                      "[validacao]\n"
                                      "database=/tmp/x.fdb\n"
                                      "password=masterkey\n");

TEST(IniFile, ReadsValuesIgnoringCaseAndBlanks) {
    const IniFile ini = IniFile::fromText(sample);
    EXPECT_EQ(ini.value(QStringLiteral("ENVIO"), QStringLiteral("Base")),
              QStringLiteral("/home/dev/scripts"));
    EXPECT_TRUE(ini.contains(QStringLiteral("validacao"), QStringLiteral("password")));
    EXPECT_FALSE(ini.contains(QStringLiteral("envio"), QStringLiteral("password")));
    EXPECT_EQ(ini.value(QStringLiteral("log"), QStringLiteral("maximo"), QStringLiteral("x")),
              QStringLiteral("x"));
}

TEST(IniFile, CommentedKeyIsNotAKey) {
    const IniFile ini = IniFile::fromText(QStringLiteral("[envio]\n;base=/velho\nmascara=*.sql\n"));
    EXPECT_FALSE(ini.contains(QStringLiteral("envio"), QStringLiteral(";base")));
    EXPECT_FALSE(ini.contains(QStringLiteral("envio"), QStringLiteral("base")));
}

TEST(IniFile, WritingKeepsEverythingElse) {
    IniFile ini = IniFile::fromText(sample);
    ini.setValue(QStringLiteral("envio"), QStringLiteral("base"), QStringLiteral("/novo"));
    ini.setValue(QStringLiteral("envio"), QStringLiteral("mascara"), QStringLiteral("*.sql"));
    ini.setValue(QStringLiteral("config"), QStringLiteral("maximizado"), QStringLiteral("1"));
    EXPECT_EQ(ini.text(), QStringLiteral("; comentário do usuário\n"
                                         "[envio]\n"
                                         "base=/novo\n"
                                         "extra=mantido\n"
                                         "mascara=*.sql\n"
                                         "\n"
                                         "[validacao]\n"
                                         "database=/tmp/x.fdb\n"
                                         "password=masterkey\n"
                                         "\n"
                                         "[config]\n"
                                         "maximizado=1\n"));
}

TEST(IniFile, RemovingAKeyKeepsEverythingElse) {
    IniFile ini = IniFile::fromText(sample + QStringLiteral("Password=duplicada\n[log]\npassword=outra\n"));
    ini.remove(QStringLiteral("validacao"), QStringLiteral("password"));
    ini.remove(QStringLiteral("validacao"), QStringLiteral("ausente"));
    EXPECT_EQ(ini.text(), QStringLiteral("; comentário do usuário\n"
                                         "[envio]\n"
                                         "base = /home/dev/scripts \n"
                                         "extra=mantido\n"
                                         "\n"
                                         "[validacao]\n"
                                         "database=/tmp/x.fdb\n"
                                         "[log]\n"
                                         "password=outra\n"));
}

TEST(IniFile, SaveAndReloadRoundTrip) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("parametros.ini"));
    IniFile ini(path); // missing file: empty
    ini.setValue(QStringLiteral("envio"), QStringLiteral("base"), QStringLiteral("/pasta/relatório"));
    ini.save(path);
    EXPECT_EQ(IniFile(path).value(QStringLiteral("envio"), QStringLiteral("base")),
              QStringLiteral("/pasta/relatório"));
}

TEST(IniFile, ReadsWindowsCodePageAndCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("parametros.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[envio]\r\nbase=C:\\relat\xF3rio\r\n");
    f.close();
    EXPECT_EQ(IniFile(path).value(QStringLiteral("envio"), QStringLiteral("base")),
              QStringLiteral("C:\\relatório"));
}

TEST(IniFile, SaveIntoUnwritablePlaceThrows) {
    // A "folder" that is a plain file cannot hold the file, whatever the user's rights.
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("arquivo"));
    QFile f(notAFolder);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    IniFile ini;
    ini.setValue(QStringLiteral("envio"), QStringLiteral("base"), QStringLiteral("x"));
    EXPECT_THROW(ini.save(notAFolder + QStringLiteral("/parametros.ini")), Exception);
}

} // namespace
