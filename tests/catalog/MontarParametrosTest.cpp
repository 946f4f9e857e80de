#include "catalog/MontarParametros.h"

#include <gtest/gtest.h>

namespace {

QString Corpo(const CamposRequisicao &campos) {
    return QString::fromLatin1(campos.codificar());
}

struct Caso {
    const char *nome;
    FiltroTela tela;
    const char *pesquisa; // body of "/pesquisar" fields
    const char *log;      // body of "/pesquisar_log" fields
};

FiltroTela Tela(QString sistema, QString codigo, QString usuario, QDate inicio, QDate fim, QString arquivo,
                QString maximo) {
    return {sistema, codigo, usuario, inicio, fim, arquivo, maximo};
}

class MontarParametrosTest : public testing::TestWithParam<Caso> {};

TEST_P(MontarParametrosTest, SendsFilledFiltersInOrderAndLeavesEmptyOnesOut) {
    const Caso &caso = GetParam();
    EXPECT_EQ(Corpo(MontarParametrosPesquisa(caso.tela, QStringLiteral("K1"))),
              QString::fromUtf8(caso.pesquisa));
    EXPECT_EQ(Corpo(MontarParametrosLog(caso.tela, QStringLiteral("K1"))), QString::fromUtf8(caso.log));
}

INSTANTIATE_TEST_SUITE_P(
    Filtros, MontarParametrosTest,
    testing::Values(
        Caso{"Vazios", Tela({}, {}, {}, {}, {}, {}, QStringLiteral("100")), "maximo=100&chave=K1",
             "maximo=100&chave=K1"},
        Caso{"MaximoVazioContaZero", Tela({}, {}, {}, {}, {}, {}, {}), "maximo=0&chave=K1",
             "maximo=0&chave=K1"},
        Caso{"MaximoZero", Tela({}, {}, {}, {}, {}, {}, QStringLiteral("0")), "maximo=0&chave=K1",
             "maximo=0&chave=K1"},
        Caso{"DataInicioSozinha", Tela({}, {}, {}, QDate(2024, 3, 5), {}, {}, QStringLiteral("7")),
             "data_inicio=2024-03-05&maximo=7&chave=K1", "data_inicio=2024-03-05&maximo=7&chave=K1"},
        Caso{"DataZeroNaoConta",
             Tela({}, {}, {}, QDate(1899, 12, 30), QDate(1899, 12, 31), {}, QStringLiteral("1")),
             "data_fim=1899-12-31&maximo=1&chave=K1", "data_fim=1899-12-31&maximo=1&chave=K1"},
        Caso{"UsuarioSoNoLog", Tela({}, {}, QStringLiteral("ana"), {}, {}, {}, QStringLiteral("5")),
             "maximo=5&chave=K1", "usuario=ana&maximo=5&chave=K1"},
        Caso{"Todos",
             Tela(QStringLiteral("KOR_LIVROS"), QStringLiteral(" 12a"), QStringLiteral("ana"),
                  QDate(2024, 1, 2), QDate(2024, 12, 31), QStringLiteral("relatório final.sql"),
                  QStringLiteral("500")),
             "sistema=KOR_LIVROS&codigo=+12a&data_inicio=2024-01-02&data_fim=2024-12-31&arquivo=relat%C3%"
             "B3rio+final.sql"
             "&maximo=500&chave=K1",
             "sistema=KOR_LIVROS&codigo=+12a&usuario=ana&data_inicio=2024-01-02&data_fim=2024-12-31"
             "&arquivo=relat%C3%B3rio+final.sql&maximo=500&chave=K1"}),
    [](const testing::TestParamInfo<Caso> &info) { return std::string(info.param.nome); });

TEST(LerMaximoTest, ReadsTheBoxAndTreatsOverlongDigitsAsAboveTheLimit) {
    const struct {
        const char *texto;
        qint64 valor;
    } casos[] = {{"", 0}, {"0", 0}, {"500", 500}, {"501", 501}, {"00042", 42}};
    for (const auto &caso : casos)
        EXPECT_EQ(LerMaximo(QString::fromLatin1(caso.texto)), caso.valor) << caso.texto;
    EXPECT_GT(LerMaximo(QStringLiteral("99999999999999999999999")), MaximoRegistros);
}

} // namespace
