#include "service/TextFile.h"
#include "tests/scripts/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using TextFile::Codificacao;
using TextFile::FimDeLinha;

void gravar(const QString &caminho, const QByteArray &bytes) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << caminho.toStdString();
    f.write(bytes);
}

QByteArray ler(const QString &caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void datar(const QString &caminho, const QDateTime &quando) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(quando, QFileDevice::FileModificationTime));
}

std::string nomeCaso(const char *caso) {
    std::string s = caso;
    for (char &c : s)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return s;
}

// A file read and written back unchanged in its own encoding and line ends.
struct Formato {
    const char *caso;
    QByteArray arquivo;
    QString texto; // as read
    Codificacao codificacao;
    FimDeLinha fimDeLinha;
};

class TextFileFormato : public testing::TestWithParam<Formato> {};

TEST_P(TextFileFormato, isReadAndWrittenBackTheSameWay) {
    const Formato &f = GetParam();
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    gravar(caminho, f.arquivo);

    const TextFile::Conteudo lido = TextFile::ler(caminho);
    EXPECT_EQ(lido.texto, f.texto);
    EXPECT_EQ(lido.formato.codificacao, f.codificacao);
    EXPECT_EQ(lido.formato.fimDeLinha, f.fimDeLinha);

    // As the editor hands it back: CR LF after every line.
    const TextFile::Carimbo escrito =
        TextFile::writeLines(caminho, TextFile::comCrLf(lido.texto), lido.formato);
    EXPECT_EQ(ler(caminho), f.arquivo);
    EXPECT_EQ(escrito.tamanho, f.arquivo.size());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, TextFileFormato,
    testing::Values(Formato{"UTF-8 without BOM, LF", "cat\xC3\xA1logo\nselect '\xE2\x86\x92';\n",
                            QStringLiteral("catálogo\nselect '→';\n"), Codificacao::Utf8, FimDeLinha::Lf},
                    Formato{"UTF-8 with BOM, CR LF", "\xEF\xBB\xBF\xC3\xA7\r\nx\r\n",
                            QStringLiteral("ç\r\nx\r\n"), Codificacao::Utf8ComBom, FimDeLinha::CrLf},
                    Formato{"UTF-16 LE", QByteArray("\xFF\xFE\x92\x21\r\0\n\0", 8), QStringLiteral("→\r\n"),
                            Codificacao::Utf16LE, FimDeLinha::CrLf},
                    Formato{"UTF-16 BE, LF", QByteArray("\xFE\xFF\0a\0\n", 6), QStringLiteral("a\n"),
                            Codificacao::Utf16BE, FimDeLinha::Lf},
                    Formato{"Windows-1252, lone CR", "sele\xE7\xE3o\rfim\r", QStringLiteral("seleção\rfim\r"),
                            Codificacao::Windows1252, FimDeLinha::Cr},
                    Formato{"ASCII is Windows-1252", "select 1;\n", QStringLiteral("select 1;\n"),
                            Codificacao::Windows1252, FimDeLinha::Lf},
                    Formato{"no line end at all counts as CR LF", "", QString(), Codificacao::Windows1252,
                            FimDeLinha::CrLf}),
    [](const testing::TestParamInfo<Formato> &info) { return nomeCaso(info.param.caso); });

TEST(TextFile, aMixedFileIsWrittenBackWithItsFirstLineEndAndAFinalOne) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    gravar(caminho, "a\nb\r\nc");
    const TextFile::Conteudo lido = TextFile::ler(caminho);
    TextFile::writeLines(caminho, lido.texto, lido.formato);
    EXPECT_EQ(ler(caminho), QByteArray("a\nb\nc\n"));
}

TEST(TextFile, aCharacterOutsideWindows1252IsKeptOnlyWhereTheEncodingHoldsIt) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    TextFile::writeLines(caminho, QStringLiteral("→ ç"), {Codificacao::Utf8, FimDeLinha::Lf});
    EXPECT_EQ(ler(caminho), QByteArray("\xE2\x86\x92 \xC3\xA7\n"));
    TextFile::writeLines(caminho, QStringLiteral("→ ç"), {});
    EXPECT_EQ(ler(caminho), QByteArray("? \xE7\r\n"));
}

TEST(TextFile, scriptFormIsWindows1252WithCrLfAfterEveryLine) {
    EXPECT_EQ(TextFile::script(QStringLiteral("a\nb\rc\r\nç→")), QByteArray("a\r\nb\r\nc\r\n\xE7?\r\n"));
    EXPECT_EQ(TextFile::script(QString()), QByteArray());
    EXPECT_EQ(TextFile::comCrLf(QStringLiteral("\n\nx")), QStringLiteral("\r\n\r\nx\r\n"));
}

TEST(TextFile, comparingWithTheStampTellsChangedTouchedAndGone) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    const QDateTime ontem = QDateTime::currentDateTime().addDays(-1);
    gravar(caminho, "select 1;");
    datar(caminho, ontem);
    TextFile::Carimbo carimbo = TextFile::ler(caminho).carimbo;
    EXPECT_EQ(TextFile::comparar(caminho, carimbo), TextFile::Situacao::Igual);

    // Touched only: the same bytes, a new time.
    datar(caminho, ontem.addSecs(60));
    EXPECT_EQ(TextFile::comparar(caminho, carimbo), TextFile::Situacao::Igual);
    EXPECT_EQ(carimbo.modificado, QFileInfo(caminho).lastModified().toMSecsSinceEpoch());

    // Where size and time cannot be trusted (taken too close to the write), the digest decides:
    // other bytes of the same size and time are a change.
    gravar(caminho, "select 2;");
    datar(caminho, ontem.addSecs(60));
    TextFile::Carimbo antigo = carimbo;
    antigo.verificadoEm = antigo.modificado;
    EXPECT_EQ(TextFile::comparar(caminho, antigo), TextFile::Situacao::Alterado);

    // Changed within the moment of reading, same size and time: still noticed.
    gravar(caminho, "select 3;");
    TextFile::Carimbo recente = TextFile::ler(caminho).carimbo;
    const qint64 tempo = recente.modificado;
    gravar(caminho, "select 4;");
    datar(caminho, QDateTime::fromMSecsSinceEpoch(tempo));
    EXPECT_EQ(TextFile::comparar(caminho, recente), TextFile::Situacao::Alterado);

    QFile::remove(caminho);
    EXPECT_EQ(TextFile::comparar(caminho, recente), TextFile::Situacao::Ausente);
}

TEST(TextFile, writingReturnsTheStampOfWhatWasWritten) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("s.sql"));
    TextFile::Carimbo carimbo = TextFile::writeLines(caminho, QStringLiteral("x"));
    EXPECT_EQ(TextFile::comparar(caminho, carimbo), TextFile::Situacao::Igual);
    gravar(caminho, "y\r\n");
    EXPECT_EQ(TextFile::comparar(caminho, carimbo), TextFile::Situacao::Alterado);
}

} // namespace
