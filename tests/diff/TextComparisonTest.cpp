#include "diff/TextComparison.h"

#include <gtest/gtest.h>

namespace {

// One row as "<kind> left|right", the differing words in brackets: "~ select [a]|select [b]".
QString mostrar(const QString &linha, const QList<TextComparison::Trecho> &palavras) {
    QString resultado = linha;
    for (qsizetype k = palavras.size() - 1; k >= 0; --k) {
        resultado.insert(palavras[k].inicio + palavras[k].tamanho, QLatin1Char(']'));
        resultado.insert(palavras[k].inicio, QLatin1Char('['));
    }
    return resultado;
}

QStringList mostrar(const QString &antes, const QString &depois, qsizetype *diferencas = nullptr) {
    const QStringList e = TextComparison::linhas(antes), d = TextComparison::linhas(depois);
    const TextComparison c = TextComparison::comparar(e, d);
    QStringList linhas;
    for (const TextComparison::Linha &l : c.linhasAlinhadas()) {
        static const char tipos[] = {'=', '~', '-', '+'};
        const QString esquerda = l.esquerda >= 0 ? mostrar(e[l.esquerda], l.palavrasEsquerda) : QString();
        const QString direita = l.direita >= 0 ? mostrar(d[l.direita], l.palavrasDireita) : QString();
        linhas.append(QString(QLatin1Char(tipos[int(l.tipo)])) + QLatin1Char(' ') + esquerda +
                      QLatin1Char('|') + direita);
    }
    if (diferencas)
        *diferencas = c.diferencas().size();
    return linhas;
}

struct Caso {
    const char *nome;
    QString antes;
    QString depois;
    QStringList linhas;
    int diferencas;
};

} // namespace

class TextComparisonTest : public testing::TestWithParam<Caso> {};

TEST_P(TextComparisonTest, MarksLinesAndWords) {
    const Caso &caso = GetParam();
    qsizetype diferencas = -1;
    EXPECT_EQ(mostrar(caso.antes, caso.depois, &diferencas), caso.linhas);
    EXPECT_EQ(diferencas, caso.diferencas);
}

INSTANTIATE_TEST_SUITE_P(
    Pares, TextComparisonTest,
    testing::Values(Caso{"identical",
                         QStringLiteral("a\r\nb\r\n"),
                         QStringLiteral("a\r\nb\r\n"),
                         {QStringLiteral("= a|a"), QStringLiteral("= b|b"), QStringLiteral("= |")},
                         0},
                    Caso{"both empty", QString(), QString(), {QStringLiteral("= |")}, 0},
                    Caso{"one word changed",
                         QStringLiteral("select a from t;"),
                         QStringLiteral("select b from t;"),
                         {QStringLiteral("~ select [a] from t;|select [b] from t;")},
                         1},
                    Caso{"words added inside a line",
                         QStringLiteral("update a set x = 1;\n"),
                         QStringLiteral("update a set x = 1 where id = 7;\n"),
                         {QStringLiteral("~ update a set x = 1;|update a set x = 1[ where id = 7];"),
                          QStringLiteral("= |")},
                         1},
                    Caso{"accented word is one word",
                         QStringLiteral("select 'catálogo';"),
                         QStringLiteral("select 'catalogo';"),
                         {QStringLiteral("~ select '[catálogo]';|select '[catalogo]';")},
                         1},
                    Caso{"line added in the middle",
                         QStringLiteral("a\nc"),
                         QStringLiteral("a\nb\nc"),
                         {QStringLiteral("= a|a"), QStringLiteral("+ |b"), QStringLiteral("= c|c")},
                         1},
                    Caso{"first line removed",
                         QStringLiteral("x\na\nb"),
                         QStringLiteral("a\nb"),
                         {QStringLiteral("- x|"), QStringLiteral("= a|a"), QStringLiteral("= b|b")},
                         1},
                    Caso{"last lines added",
                         QStringLiteral("a"),
                         QStringLiteral("a\nb\nc"),
                         {QStringLiteral("= a|a"), QStringLiteral("+ |b"), QStringLiteral("+ |c")},
                         1},
                    Caso{"two removed, one changed in their place",
                         QStringLiteral("a\nx y\nz\nb"),
                         QStringLiteral("a\nx w\nb"),
                         {QStringLiteral("= a|a"), QStringLiteral("~ x [y]|x [w]"), QStringLiteral("- z|"),
                          QStringLiteral("= b|b")},
                         1},
                    Caso{"repeated lines pair with their own block",
                         QStringLiteral("begin\na;\nend;\nbegin\nb;\nend;"),
                         QStringLiteral("begin\na;\nend;\nbegin\nc;\nend;"),
                         {QStringLiteral("= begin|begin"), QStringLiteral("= a;|a;"),
                          QStringLiteral("= end;|end;"), QStringLiteral("= begin|begin"),
                          QStringLiteral("~ [b];|[c];"), QStringLiteral("= end;|end;")},
                         1},
                    Caso{"two separate differences",
                         QStringLiteral("a\nb\nc\nd\ne"),
                         QStringLiteral("a\nB\nc\nd\nE\nf"),
                         {QStringLiteral("= a|a"), QStringLiteral("~ [b]|[B]"), QStringLiteral("= c|c"),
                          QStringLiteral("= d|d"), QStringLiteral("~ [e]|[E]"), QStringLiteral("+ |f")},
                         2},
                    Caso{"everything removed",
                         QStringLiteral("v1\nv2\n"),
                         QString(),
                         {QStringLiteral("- v1|"), QStringLiteral("- v2|"), QStringLiteral("= |")},
                         1},
                    Caso{"blanks changed",
                         QStringLiteral("a  b"),
                         QStringLiteral("a b"),
                         {QStringLiteral("~ a[  ]b|a[ ]b")},
                         1}),
    [](const testing::TestParamInfo<Caso> &info) {
        std::string nome = info.param.nome;
        for (char &c : nome)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return nome;
    });

TEST(TextComparison, LinesEndAtEveryKindOfLineBreak) {
    EXPECT_EQ(
        TextComparison::linhas(QStringLiteral("a\r\nb\rc\nd")),
        (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(TextComparison::linhas(QStringLiteral("a\r\n")), (QStringList{QStringLiteral("a"), QString()}));
    EXPECT_EQ(TextComparison::linhas(QString()), QStringList{QString()});
    EXPECT_EQ(TextComparison::linhas(QStringLiteral("\n\n")), (QStringList{QString(), QString(), QString()}));
}
