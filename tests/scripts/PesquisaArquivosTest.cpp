#include "scripts/PesquisaArquivos.h"
#include "tests/scripts/QtPrinters.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QDateTime limitePadrao(QDate(2019, 3, 5), QTime(0, 0));

class Walk : public testing::Test {
protected:
    // Creates base/<relativo> with the given modification time.
    void arquivo(const QString &relativo,
                 const QDateTime &data = QDateTime(QDate(2020, 1, 1), QTime(12, 0))) {
        const QString caminho = dir.filePath(relativo);
        QDir().mkpath(QFileInfo(caminho).path());
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();
        ASSERT_TRUE(f.setFileTime(data, QFileDevice::FileModificationTime));
    }

    // The found paths, relative to the base, in the order found.
    QStringList pesquisar(const QString &mascara, std::function<bool()> parar = {}) {
        QStringList achados;
        PesquisaArquivos::Ganchos g;
        g.limite = [this] { return limite; };
        g.encontrado = [&](const QString &caminho, const QDateTime &data) {
            achados << QDir(dir.path()).relativeFilePath(caminho);
            datas << data;
        };
        g.parar = std::move(parar);
        parado = !PesquisaArquivos(mascara, g).Pesquisar(dir.path());
        return achados;
    }

    QTemporaryDir dir;
    QDateTime limite = limitePadrao;
    QList<QDateTime> datas;
    bool parado = false;
};

TEST_F(Walk, depthFirstOwnFilesBeforeSubfoldersInNameOrder) {
    for (const char *n : {"z.sql", "B.sql", "a.sql", "sub2/c.sql", "sub1/y.sql", "sub1/deep/x.sql",
                          "sub1/b.sql", "Sub0/k.sql"})
        arquivo(QString::fromLatin1(n));
    EXPECT_EQ(pesquisar(QStringLiteral("*.sql")),
              (QStringList{"a.sql", "B.sql", "z.sql", "Sub0/k.sql", "sub1/b.sql", "sub1/y.sql",
                           "sub1/deep/x.sql", "sub2/c.sql"}));
    EXPECT_FALSE(parado);
}

TEST_F(Walk, maskIgnoresCaseAndStarDotStarTakesNamesWithoutDot) {
    for (const char *n : {"a.sql", "B.SQL", "a.txt", "semext"})
        arquivo(QString::fromLatin1(n));
    EXPECT_EQ(pesquisar(QStringLiteral("*.sql")), (QStringList{"a.sql", "B.SQL"}));
    EXPECT_EQ(pesquisar(QStringLiteral("*.*")), (QStringList{"a.sql", "a.txt", "B.SQL", "semext"}));
}

TEST_F(Walk, hiddenFilesAndFoldersAreLeftOut) {
    for (const char *n : {".oculto.sql", ".pasta/a.sql", "visivel/.b.sql", "visivel/c.sql"})
        arquivo(QString::fromLatin1(n));
    EXPECT_EQ(pesquisar(QStringLiteral("*.*")), (QStringList{"visivel/c.sql"}));
}

TEST_F(Walk, symlinkedFolderIsNotEnteredSoALoopEnds) {
    arquivo(QStringLiteral("a/x.sql"));
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("a/volta"))));
    EXPECT_EQ(pesquisar(QStringLiteral("*.sql")), (QStringList{"a/x.sql"}));
}

TEST_F(Walk, dateLimitAtTwoSecondResolution) {
    arquivo(QStringLiteral("1_antes.sql"), QDateTime(QDate(2019, 3, 4), QTime(23, 59, 59)));
    arquivo(QStringLiteral("2_meia_noite.sql"), QDateTime(QDate(2019, 3, 5), QTime(0, 0, 0)));
    arquivo(QStringLiteral("3_impar.sql"), QDateTime(QDate(2019, 3, 5), QTime(10, 15, 31)));
    EXPECT_EQ(pesquisar(QStringLiteral("*.sql")), (QStringList{"2_meia_noite.sql", "3_impar.sql"}));
    EXPECT_EQ(datas, (QList<QDateTime>{QDateTime(QDate(2019, 3, 5), QTime(0, 0)),
                                       QDateTime(QDate(2019, 3, 5), QTime(10, 15, 30))}));
}

TEST_F(Walk, limitIsReadAgainForEveryFile) {
    arquivo(QStringLiteral("a.sql"), QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
    arquivo(QStringLiteral("b.sql"), QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
    int lidos = 0;
    PesquisaArquivos::Ganchos g;
    QStringList achados;
    // The user moves the date back to 2018 after the first file was examined.
    g.limite = [&] { return ++lidos == 1 ? limitePadrao : QDateTime(QDate(2018, 1, 1), QTime(0, 0)); };
    g.encontrado = [&](const QString &c, const QDateTime &) { achados << QFileInfo(c).fileName(); };
    PesquisaArquivos(QStringLiteral("*.sql"), g).Pesquisar(dir.path());
    EXPECT_EQ(achados, QStringList{"b.sql"});
}

TEST_F(Walk, stopKeepsWhatWasFoundAndSearchesNoFurtherFolder) {
    for (const char *n : {"a.sql", "sub1/b.sql", "sub1/c.sql", "sub1/d/e.sql", "sub2/f.sql"})
        arquivo(QString::fromLatin1(n));
    // "Parar" pressed once the first file of sub1 has been added.
    const QStringList achados = pesquisar(QStringLiteral("*.sql"), [this] { return datas.size() >= 2; });
    EXPECT_TRUE(parado);
    EXPECT_EQ(achados, (QStringList{"a.sql", "sub1/b.sql"}));
}

TEST_F(Walk, failureOfAFileEndsTheWalkAndReachesTheCaller) {
    for (const char *n : {"a.sql", "b.sql", "c.sql"})
        arquivo(QString::fromLatin1(n));
    QStringList achados;
    PesquisaArquivos::Ganchos g;
    g.limite = [] { return limitePadrao; };
    g.encontrado = [&](const QString &c, const QDateTime &) {
        if (c.endsWith(QLatin1String("b.sql")))
            throw Exception(QStringLiteral("Permission denied"));
        achados << QFileInfo(c).fileName();
    };
    EXPECT_THROW(PesquisaArquivos(QStringLiteral("*.sql"), g).Pesquisar(dir.path()), Exception);
    EXPECT_EQ(achados, QStringList{"a.sql"});
}

TEST_F(Walk, folderThatCannotBeListedYieldsNothing) {
    EXPECT_TRUE(pesquisar(QStringLiteral("*.*")).isEmpty());
    PesquisaArquivos::Ganchos g;
    g.limite = [] { return limitePadrao; };
    g.encontrado = [](const QString &, const QDateTime &) { FAIL(); };
    EXPECT_TRUE(PesquisaArquivos(QStringLiteral("*.*"), g).Pesquisar(dir.filePath(QStringLiteral("nada"))));
}

} // namespace
