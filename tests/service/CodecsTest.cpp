#include "base/Windows1252.h"
#include "service/CamposRequisicao.h"
#include "service/DataResposta.h"
#include "service/ErroLeitura.h"
#include "service/Hexadecimal.h"
#include "service/Md5Senha.h"
#include "service/Versao.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(CamposRequisicao, SetAppendsReplacesInPlaceAndEmptyRemoves) {
    CamposRequisicao c;
    c.set("a", "1");
    c.set("b", "2");
    c.set("c", "3");
    c.set("a", "9"); // keeps its place
    EXPECT_EQ(c.codificar(), "a=9&b=2&c=3");
    c.set("b", "");
    EXPECT_EQ(c.codificar(), "a=9&c=3");
    c.set("d", "");
    EXPECT_FALSE(c.contem("d"));
    c.set("a", "");
    c.set("c", "");
    EXPECT_EQ(c.codificar(), QByteArray());
}

struct Codificacao {
    QString texto;
    QByteArray esperado;
};

class CodificacaoTexto : public testing::TestWithParam<Codificacao> {};

TEST_P(CodificacaoTexto, CharacterByCharacter) {
    EXPECT_EQ(CamposRequisicao::codificarTexto(GetParam().texto), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, CodificacaoTexto,
    testing::Values(Codificacao{QStringLiteral("relatório final.sql"), "relat%C3%B3rio+final.sql"},
                    Codificacao{QStringLiteral("AZaz09*-._"), "AZaz09*-._"},
                    Codificacao{QStringLiteral("~?&=+/"), "%7E%3F%26%3D%2B%2F"},
                    Codificacao{QStringLiteral("ç"), "%C3%A7"},
                    // A character outside the basic plane is converted whole, not per surrogate.
                    Codificacao{QString::fromUtf8("\xF0\x9F\x98\x80"), "%F0%9F%98%80"},
                    Codificacao{QStringLiteral("a b\r\n"), "a+b%0D%0A"}));

TEST(Hexadecimal, TextoParaHexWritesUpperCasePairsOfWindows1252Bytes) {
    EXPECT_EQ(TextoParaHex(QStringLiteral("ab\r\nç")), QStringLiteral("61620D0AE7"));
    EXPECT_EQ(TextoParaHex(QString()), QString());
    // Outside the code page: "?".
    EXPECT_EQ(TextoParaHex(QStringLiteral("€\u4E2D")), QStringLiteral("803F"));
}

struct HexCase {
    QString digitos;
    QByteArray bytes;
};

class HexParaTextoCasos : public testing::TestWithParam<HexCase> {};

TEST_P(HexParaTextoCasos, DecodesUntilTheFirstBadPair) {
    EXPECT_EQ(HexParaTexto(GetParam().digitos), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Casos, HexParaTextoCasos,
                         testing::Values(HexCase{QStringLiteral("61620d0ae7"), QByteArray("ab\r\n\xE7")},
                                         HexCase{QStringLiteral("0x6162"), QByteArray()},
                                         HexCase{QStringLiteral("616"), QByteArray("a")},
                                         HexCase{QStringLiteral("null"), QByteArray()},
                                         HexCase{QStringLiteral("6162ZZ63"), QByteArray("ab")},
                                         HexCase{QString(), QByteArray()}));

TEST(Md5Senha, DigestOfSevenBitBytesInLowerCaseHex) {
    EXPECT_EQ(Md5Senha(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(Md5Senha(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(Md5Senha(QStringLiteral("sé")), Md5Senha(QStringLiteral("s?")));
}

struct VersaoCase {
    const char *a;
    const char *b;
    bool maior;
};

class VersaoMaiorCasos : public testing::TestWithParam<VersaoCase> {};

TEST_P(VersaoMaiorCasos, ComparesUpToThreeNumericComponents) {
    EXPECT_EQ(VersaoMaior(QString::fromLatin1(GetParam().a), QString::fromLatin1(GetParam().b)),
              GetParam().maior)
        << GetParam().a << " vs " << GetParam().b;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, VersaoMaiorCasos,
    testing::Values(VersaoCase{"1.0.8", "1.0.7", true}, VersaoCase{"1.0.7", "1.0.7", false},
                    VersaoCase{"1.1", "1.0.7", true}, VersaoCase{"1.0.10", "1.0.7", true},
                    VersaoCase{"0.9.9", "1.0.7", false}, VersaoCase{"2", "1.0.7", true},
                    VersaoCase{"1.0.7.9", "1.0.7", false}, VersaoCase{"1 0 8", "1.0.7", true},
                    // The empty fourth component after a trailing blank is never read.
                    VersaoCase{"1.0.8 ", "1.0.7", true}, VersaoCase{"1.0.7\n", "1.0.7", false}));

TEST(VersaoMaior, FailsWhenANeededComponentIsMissingOrNotANumber) {
    EXPECT_THROW(VersaoMaior(QStringLiteral("1.0"), QStringLiteral("1.0.7")), Exception);
    EXPECT_THROW(VersaoMaior(QStringLiteral("1.x.0"), QStringLiteral("1.0.7")), Exception);
    EXPECT_THROW(VersaoMaior(QString(), QStringLiteral("1.0.7")), Exception);
    // A blank separates components, so one in front leaves the first component empty.
    EXPECT_THROW(VersaoMaior(QStringLiteral(" 1.0.8"), QStringLiteral("1.0.7")), Exception);
    EXPECT_THROW(VersaoMaior(QStringLiteral("1.0.8"), QStringLiteral(" 1.0.7")), Exception);
}

class DataRespostaTest : public testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(DataRespostaTest, ReadsTheShortDateFormThenIso) {
    const QDateTime esperado(QDate(2024, 12, 25), QTime(10, 11, 12));
    EXPECT_EQ(LerDataResposta(QStringLiteral("25/12/2024 10:11:12")), esperado);
    EXPECT_EQ(LerDataResposta(QStringLiteral("2024-12-25 10:11:12")), esperado);
    EXPECT_EQ(LerDataResposta(QStringLiteral("25/12/2024")), QDateTime(QDate(2024, 12, 25), QTime(0, 0)));
}

TEST_F(DataRespostaTest, TextThatIsNoDateFails) {
    EXPECT_THROW(LerDataResposta(QStringLiteral("ontem")), ErroLeitura);
    EXPECT_THROW(LerDataResposta(QStringLiteral("31/02/2024 10:00:00")), ErroLeitura);
    EXPECT_THROW(LerDataResposta(QString()), ErroLeitura);
}

struct NaoSuportadosCase {
    const char *nome;
    QString texto;
    QList<Windows1252::CaractereNaoSuportado> esperado;
};

class NaoSuportadosCasos : public testing::TestWithParam<NaoSuportadosCase> {};

TEST_P(NaoSuportadosCasos, ListsWhatWouldBecomeAQuestionMark) {
    const auto achados = Windows1252::caracteresNaoSuportados(GetParam().texto);
    EXPECT_EQ(achados, GetParam().esperado);
    // Exactly these characters are lost on the way to the code page, each as one "?".
    const QList<uint> caracteres = GetParam().texto.toUcs4();
    const QString volta = Windows1252::toUnicode(Windows1252::fromUnicode(GetParam().texto));
    ASSERT_EQ(volta.size(), caracteres.size());
    qsizetype perdidos = 0;
    for (qsizetype i = 0; i < volta.size(); ++i)
        perdidos += volta.at(i) != QChar(char16_t(caracteres.at(i))) || caracteres.at(i) > 0xFFFF;
    EXPECT_EQ(perdidos, achados.size());
}

struct ParaCodigoCase {
    const char *nome;
    QString texto;
    QByteArray bytes;
};

class ParaCodigoCasos : public testing::TestWithParam<ParaCodigoCase> {};

// What arrives is what the warning lists: one "?" per character outside the code page.
TEST_P(ParaCodigoCasos, ACharacterOutsideTheCodePageBecomesOneQuestionMark) {
    EXPECT_EQ(Windows1252::fromUnicode(GetParam().texto), GetParam().bytes);
    EXPECT_EQ(GetParam().bytes.count('?') - GetParam().texto.count(u'?'),
              Windows1252::caracteresNaoSuportados(GetParam().texto).size());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ParaCodigoCasos,
    testing::Values(ParaCodigoCase{"no_codigo", QStringLiteral("ação € ‰ ?"), "a\xE7\xE3o \x80 \x89 ?"},
                    ParaCodigoCase{"emoji",
                                   QString::fromUtf8("a\xF0\x9F\x98\x80"
                                                     "b"),
                                   "a?b"},
                    ParaCodigoCase{"dois_emojis_juntos",
                                   QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x8E\x89"), "??"},
                    ParaCodigoCase{"cjk", QString::fromUtf8("x\xE4\xB8\xADy"), "x?y"},
                    // The base letter is in the code page, the combining accent is not.
                    ParaCodigoCase{"sequencia_combinada", QString::fromUtf8("e\xCC\x81!"), "e?!"},
                    ParaCodigoCase{"surrogates_sozinhos", QStringView(u"\xDE00x\xD83D").toString(), "?x?"}),
    [](const testing::TestParamInfo<ParaCodigoCase> &info) { return std::string(info.param.nome); });

INSTANTIATE_TEST_SUITE_P(
    Casos, NaoSuportadosCasos,
    testing::Values(NaoSuportadosCase{"tudo_no_codigo", QStringLiteral("select 'ação € “x” ‰ Ÿ ?';\r\n"), {}},
                    NaoSuportadosCase{"seta_na_segunda_linha", QStringLiteral("a\r\nb → c"), {{2, 3, U'→'}}},
                    NaoSuportadosCase{"quebras_lf_cr_e_crlf",
                                      QStringLiteral("✓\n\r\r\nx✓\ry✓"),
                                      {{1, 1, U'✓'}, {4, 2, U'✓'}, {5, 2, U'✓'}}},
                    // An emoji is one character: one entry, and the next column counts it once.
                    NaoSuportadosCase{"emoji_e_um_caractere",
                                      QString::fromUtf8("a\xF0\x9F\x98\x80\xE2\x86\x92"),
                                      {{1, 2, U'\U0001F600'}, {1, 3, U'→'}}},
                    NaoSuportadosCase{"surrogate_sozinho",
                                      QStringView(u"x\xD83D"
                                                  "y")
                                          .toString(),
                                      {{1, 2, char32_t(0xD83D)}}},
                    // The C1 controls whose bytes stand for other characters are lost; those of the five
                    // undefined bytes are kept.
                    NaoSuportadosCase{"controles_c1",
                                      QStringView(u"\x0080\x0081\x009D\x009E").toString(),
                                      {{1, 1, 0x80}, {1, 4, 0x9E}}},
                    NaoSuportadosCase{"vazio", QString(), {}}),
    [](const testing::TestParamInfo<NaoSuportadosCase> &info) { return std::string(info.param.nome); });

TEST(NaoSuportados, DescriptionNamesLineColumnCharacterAndCodeAndIsCut) {
    const auto lista = Windows1252::caracteresNaoSuportados(QString::fromUtf8("→\n\xF0\x9F\x98\x80\u200B✓"));
    EXPECT_EQ(Windows1252::descreverNaoSuportados(lista),
              QString::fromUtf8("linha 1, coluna 1: “→” (U+2192)\n"
                                "linha 2, coluna 1: “\xF0\x9F\x98\x80” (U+1F600)\n"
                                "linha 2, coluna 2: U+200B\n"
                                "linha 2, coluna 3: “✓” (U+2713)"));
    EXPECT_EQ(Windows1252::descreverNaoSuportados(lista, 1),
              QStringLiteral("linha 1, coluna 1: “→” (U+2192)\n… e mais 3."));
    EXPECT_EQ(Windows1252::descreverNaoSuportados({}), QString());
}
