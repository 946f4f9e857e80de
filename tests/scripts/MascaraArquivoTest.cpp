#include "scripts/MascaraArquivo.h"

#include <gtest/gtest.h>

namespace {

struct Caso {
    const char *mascara;
    const char *nome;
    bool aceita;
};

class Mascara : public testing::TestWithParam<Caso> {};

TEST_P(Mascara, matchesLikeTheUsersPlatform) {
    const Caso &c = GetParam();
    EXPECT_EQ(MascaraArquivo(QString::fromUtf8(c.mascara)).aceita(QString::fromUtf8(c.nome)), c.aceita)
        << c.mascara << " / " << c.nome;
}

INSTANTIATE_TEST_SUITE_P(Casos, Mascara,
                         testing::Values(Caso{"*.sql", "a.sql", true}, Caso{"*.sql", "B.SQL", true},
                                         Caso{"*.sql", "a.txt", false}, Caso{"*.sql", "a.sql.bak", false},
                                         Caso{"*.*", "sem_extensao", true}, Caso{"*.*", "a.b.c", true},
                                         Caso{"a*.*", "abc", true}, Caso{"a*.*", "bc", false},
                                         Caso{"a?c.sql", "AbC.sql", true}, Caso{"a?c.sql", "ac.sql", false},
                                         Caso{"*", "x", true}, Caso{"*a*b", "xxaxxab", true},
                                         Caso{"*a*b", "xxaxxa", false}, Caso{"ção*", "ÇÃO_1.sql", true},
                                         Caso{"[ab].sql", "a.sql", false}, Caso{"[ab].sql", "[ab].sql", true},
                                         Caso{"", "a", false}));

} // namespace
