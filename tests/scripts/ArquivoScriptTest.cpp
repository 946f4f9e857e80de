#include "scripts/ArquivoScript.h"
#include "base/Exception.h"
#include "scripts/FilaArquivosModel.h"
#include "tests/scripts/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void gravar(const QString &caminho, const QByteArray &bytes) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << caminho.toStdString();
    f.write(bytes);
}

struct Leitura {
    const char *caso;
    QByteArray arquivo;
    QByteArray script;
};

class ArquivoScriptLer : public testing::TestWithParam<Leitura> {};

TEST_P(ArquivoScriptLer, givesWindows1252WithCrLfAfterEveryLine) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    gravar(caminho, GetParam().arquivo);
    EXPECT_EQ(ArquivoScript::ler(caminho).script, GetParam().script);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ArquivoScriptLer,
    testing::Values(Leitura{"lone LF, no final line end", "linha1\nlinha2", "linha1\r\nlinha2\r\n"},
                    Leitura{"CR LF kept", "a\r\nb\r\n", "a\r\nb\r\n"},
                    Leitura{"lone CR", "a\rb", "a\r\nb\r\n"}, Leitura{"empty file", "", ""},
                    Leitura{"empty lines kept", "\n\nx", "\r\n\r\nx\r\n"},
                    Leitura{"no BOM is Windows-1252", "a\xE7\x80", "a\xE7\x80\r\n"},
                    Leitura{"UTF-8 BOM",
                            "\xEF\xBB\xBF"
                            "a\xC3\xA7\xE2\x82\xAC\n",
                            "a\xE7\x80\r\n"},
                    Leitura{"UTF-16 LE BOM",
                            QByteArray("\xFF\xFE"
                                       "a\0\n\0b\0",
                                       8),
                            "a\r\nb\r\n"},
                    Leitura{"UTF-16 BE BOM", QByteArray("\xFE\xFF\0a\0\r\0\n", 8), "a\r\n"},
                    Leitura{"outside the code page", "\xEF\xBB\xBF\xE4\xB8\xAD\n", "?\r\n"},
                    Leitura{"UTF-8 without BOM", "cat\xC3\xA1logo\n\xE2\x82\xAC", "cat\xE1logo\r\n\x80\r\n"},
                    Leitura{"not valid UTF-8 is Windows-1252", "a\xC3(\xE7", "a\xC3(\xE7\r\n"},
                    Leitura{"UTF-8 cut at the end is Windows-1252", "a\xC3\xA1\xC3", "a\xC3\xA1\xC3\r\n"},
                    Leitura{"overlong UTF-8 is Windows-1252", "\xC0\xAF", "\xC0\xAF\r\n"},
                    Leitura{"UTF-8 surrogate is Windows-1252", "\xED\xA0\x80", "\xED\xA0\x80\r\n"}),
    [](const testing::TestParamInfo<Leitura> &info) {
        std::string s = info.param.caso;
        for (char &c : s)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    });

TEST(ArquivoScript, listsTheCharactersThatBecomeQuestionMarks) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    gravar(caminho, "a \xE2\x86\x92 b\n-- \xE2\x9C\x93 \xC3\xA7\n");
    const ArquivoScript::Leitura lido = ArquivoScript::ler(caminho);
    EXPECT_EQ(lido.script, QByteArray("a ? b\r\n-- ? \xE7\r\n"));
    EXPECT_EQ(lido.naoSuportados,
              (QList<Windows1252::CaractereNaoSuportado>{{1, 3, U'\u2192'}, {2, 4, U'\u2713'}}));
    EXPECT_EQ(lido.formato.codificacao, TextFile::Codificacao::Utf8);
    EXPECT_EQ(lido.formato.fimDeLinha, TextFile::FimDeLinha::Lf);
    EXPECT_EQ(lido.carimbo.tamanho, QFileInfo(caminho).size());
}

TEST(ArquivoScript, modificationTimeRoundsOddSecondsDown) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    gravar(caminho, "x");
    const struct {
        QTime gravado, lido;
    } casos[] = {{QTime(10, 15, 31, 500), QTime(10, 15, 30)},
                 {QTime(10, 15, 30, 999), QTime(10, 15, 30)},
                 {QTime(0, 0, 0), QTime(0, 0, 0)},
                 {QTime(23, 59, 59), QTime(23, 59, 58)}};
    for (const auto &c : casos) {
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime(QDate(2019, 3, 5), c.gravado), QFileDevice::FileModificationTime));
        f.close();
        EXPECT_EQ(ArquivoScript::dataModificacao(QFileInfo(caminho)), QDateTime(QDate(2019, 3, 5), c.lido));
    }
}

TEST(ArquivoScript, longPathIsKeptWhole) {
    QTemporaryDir dir;
    QString pasta = dir.path();
    while (pasta.size() < 280)
        pasta += QStringLiteral("/pasta_de_scripts_com_nome_comprido");
    ASSERT_TRUE(QDir().mkpath(pasta));
    const QString caminho = pasta + QStringLiteral("/script.sql");
    ASSERT_GE(caminho.size(), 300);
    gravar(caminho, "select 1");

    FilaArquivosModel fila;
    fila.AdicionarArquivo(caminho, QDateTime(QDate(2019, 3, 5), QTime(1, 2, 4)));
    ASSERT_EQ(fila.rowCount(), 1);
    EXPECT_EQ(fila.nomeArq(0), caminho);
    EXPECT_TRUE(QFile::exists(fila.nomeArq(0)));
    EXPECT_EQ(fila.script(0), QByteArray("select 1\r\n"));
}

TEST(ArquivoScript, unreadableFileAppendsNothingAndReportsTheSystemText) {
    FilaArquivosModel fila;
    try {
        fila.AdicionarArquivo(QStringLiteral("/nao/existe.sql"), QDateTime::currentDateTime());
        FAIL() << "no exception";
    } catch (const Exception &e) {
        // The file is named, and the sentence ends with a full stop.
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Não foi possível ler o arquivo \"/nao/existe.sql\": ")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(u'.'));
    }
    EXPECT_EQ(fila.rowCount(), 0);
}

} // namespace
