#include "app/Parametros.h"
#include "base/IniFile.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

class ParametrosTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    const QDate hoje{2024, 5, 17};
};

TEST_F(ParametrosTest, FirstRunGivesDefaults) {
    const Parametros p = Parametros::ler(IniFile(), hoje);
    EXPECT_EQ(p.base, QString());
    EXPECT_EQ(p.mascara, QStringLiteral("*.*"));
    for (const QDate &d : {p.modificacao, p.editarDataInicio, p.editarDataFim, p.logDataInicio, p.logDataFim})
        EXPECT_EQ(d, hoje);
    EXPECT_EQ(p.editarMaximo, QStringLiteral("100"));
    EXPECT_EQ(p.logMaximo, QStringLiteral("100"));
}

TEST_F(ParametrosTest, ReadsStoredValuesAndAlwaysStartsModificationToday) {
    const IniFile ini = IniFile::fromText(QStringLiteral("[envio]\nbase=/scripts\nmodificacao=01/01/2023\n"
                                                         "mascara=*.sql\n[editar]\ndata_inicio=02/03/2024\n"
                                                         "data_fim=31/02/2019\nmaximo=0x20\n[log]\n"
                                                         "data_inicio=\nmaximo=abc\n"));
    const Parametros p = Parametros::ler(ini, hoje);
    EXPECT_EQ(p.base, QStringLiteral("/scripts"));
    EXPECT_EQ(p.modificacao, hoje);
    EXPECT_EQ(p.mascara, QStringLiteral("*.sql"));
    EXPECT_EQ(p.editarDataInicio, QDate(2024, 3, 2));
    EXPECT_EQ(p.editarDataFim, hoje);
    EXPECT_EQ(p.editarMaximo, QStringLiteral("32"));
    EXPECT_EQ(p.logDataInicio, hoje);
    EXPECT_EQ(p.logMaximo, QStringLiteral("100"));
}

TEST_F(ParametrosTest, EmptyBaseAndMaskStayEmpty) {
    const Parametros p =
        Parametros::ler(IniFile::fromText(QStringLiteral("[envio]\nbase=\nmascara=\n")), hoje);
    EXPECT_EQ(p.base, QString());
    EXPECT_EQ(p.mascara, QString());
}

TEST(ParametrosInteiro, DecimalOrHexadecimal) {
    const struct {
        const char *text;
        int expected;
    } cases[] = {{"0x20", 32}, {"0X1f", 31}, {"250", 250}, {" 7 ", 7},    {"-3", -3},          {"abc", 100},
                 {"", 100},    {"0x", 100},  {"12a", 100}, {"0xZZ", 100}, {"99999999999", 100}};
    for (const auto &c : cases)
        EXPECT_EQ(Parametros::lerInteiro(QString::fromUtf8(c.text), 100), c.expected) << c.text;
}

TEST_F(ParametrosTest, WritesTheElevenKeysAndKeepsTheRest) {
    IniFile ini =
        IniFile::fromText(QStringLiteral("[validacao]\ndatabase=/db.fdb\n[envio]\n; nota\nbase=/velho\n"));
    Parametros p;
    p.base = QStringLiteral("/novo");
    p.modificacao = QDate(2023, 12, 1);
    p.mascara = QStringLiteral("*.sql");
    p.ensaiarAntes = true;
    p.editarDataInicio = QDate(2024, 1, 2);
    p.editarDataFim = QDate(2024, 1, 3);
    p.editarMaximo = QStringLiteral("50");
    p.logDataInicio = QDate(2024, 2, 4);
    p.logDataFim = QDate();
    p.logMaximo = QStringLiteral("7");
    p.maximizado = true;
    p.gravar(ini);
    EXPECT_EQ(ini.text(),
              QStringLiteral("[validacao]\ndatabase=/db.fdb\n[envio]\n; nota\nbase=/novo\n"
                             "modificacao=01/12/2023\nmascara=*.sql\nensaiar_antes=1\n\n"
                             "[editar]\ndata_inicio=02/01/2024\ndata_fim=03/01/2024\nmaximo=50\n\n"
                             "[log]\ndata_inicio=04/02/2024\ndata_fim=\nmaximo=7\n\n"
                             "[config]\nmaximizado=1\n"));
    const Parametros back = Parametros::ler(ini, hoje);
    EXPECT_EQ(back.editarDataFim, QDate(2024, 1, 3));
    EXPECT_TRUE(back.ensaiarAntes);
    EXPECT_EQ(back.logDataFim, hoje); // written empty, read as the default
}

} // namespace
