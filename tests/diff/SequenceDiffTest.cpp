#include "diff/SequenceDiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

int lcs(const std::vector<int> &a, const std::vector<int> &b) {
    std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
            t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
    return t[a.size()][b.size()];
}

// The pairs are equal elements, strictly increasing on both sides.
void esperarValidos(const std::vector<int> &a, const std::vector<int> &b,
                    const QList<SequenceDiff::Par> &pares) {
    for (qsizetype k = 0; k < pares.size(); ++k) {
        ASSERT_GE(pares[k].a, 0);
        ASSERT_LT(pares[k].a, int(a.size()));
        ASSERT_GE(pares[k].b, 0);
        ASSERT_LT(pares[k].b, int(b.size()));
        ASSERT_EQ(a[std::size_t(pares[k].a)], b[std::size_t(pares[k].b)]);
        if (k > 0) {
            ASSERT_LT(pares[k - 1].a, pares[k].a);
            ASSERT_LT(pares[k - 1].b, pares[k].b);
        }
    }
}

} // namespace

TEST(SequenceDiff, EmptyAndOneSidedSequencesHaveNothingInCommon) {
    const std::vector<int> vazio, tres{1, 2, 3};
    EXPECT_TRUE(SequenceDiff::comuns(vazio, vazio).isEmpty());
    EXPECT_TRUE(SequenceDiff::comuns(vazio, tres).isEmpty());
    EXPECT_TRUE(SequenceDiff::comuns(tres, vazio).isEmpty());
    EXPECT_EQ(SequenceDiff::comuns(tres, tres), (QList<SequenceDiff::Par>{{0, 0}, {1, 1}, {2, 2}}));
}

// Unique elements anchor the match, so a repeated element pairs with its own block and not with
// the first equal one further on.
TEST(SequenceDiff, UniqueElementsAnchorRepeatedOnes) {
    // begin a end begin b end  ->  begin a end begin c end
    const std::vector<int> a{0, 1, 2, 0, 3, 2};
    const std::vector<int> b{0, 1, 2, 0, 4, 2};
    EXPECT_EQ(SequenceDiff::comuns(a, b), (QList<SequenceDiff::Par>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 5}}));
    // A block moved from the end to the front keeps the longer run in order.
    const std::vector<int> c{1, 2, 3, 4, 5, 6};
    const std::vector<int> d{5, 6, 1, 2, 3, 4};
    EXPECT_EQ(SequenceDiff::comuns(c, d), (QList<SequenceDiff::Par>{{0, 2}, {1, 3}, {2, 4}, {3, 5}}));
}

// Myers alone finds a longest common subsequence; with anchors the match may be shorter (unique
// elements win over a longer run of repeated ones) but is never invalid.
TEST(SequenceDiff, MyersAloneFindsALongestCommonSubsequence) {
    std::mt19937 aleatorio(7);
    for (int rodada = 0; rodada < 300; ++rodada) {
        std::vector<int> a, b;
        const auto encher = [&](std::vector<int> &v) {
            const int n = int(aleatorio() % 40);
            for (int i = 0; i < n; ++i)
                v.push_back(int(aleatorio() % 3));
        };
        encher(a);
        encher(b);
        const QList<SequenceDiff::Par> minimos = SequenceDiff::minimos(a, b);
        esperarValidos(a, b, minimos);
        ASSERT_EQ(minimos.size(), lcs(a, b)) << "round " << rodada;
        esperarValidos(a, b, SequenceDiff::comuns(a, b));
    }
}

TEST(SequenceDiff, RandomSequencesGiveValidMatches) {
    std::mt19937 aleatorio(11);
    for (int rodada = 0; rodada < 300; ++rodada) {
        std::vector<int> a, b;
        for (int i = int(aleatorio() % 60); i > 0; --i)
            a.push_back(int(aleatorio() % 20));
        b = a;
        for (int i = int(aleatorio() % 10); i > 0 && !b.empty(); --i) {
            const std::size_t p = aleatorio() % b.size();
            if (aleatorio() % 2)
                b.erase(b.begin() + std::ptrdiff_t(p));
            else
                b.insert(b.begin() + std::ptrdiff_t(p), int(aleatorio() % 20));
        }
        const QList<SequenceDiff::Par> pares = SequenceDiff::comuns(a, b);
        esperarValidos(a, b, pares);
        // Near-identical sequences keep nearly all their common elements.
        ASSERT_GE(pares.size(), lcs(a, b) - 10) << "round " << rodada;
    }
}

// A stretch that needs more edits than the limit is taken as wholly different; the common head
// and tail are still matched. Under the limit the same stretch is matched in full.
TEST(SequenceDiff, StretchesBeyondTheEditLimitAreTakenAsDifferent) {
    std::vector<int> a{9}, b{9};
    a.insert(a.end(), 100, 0);
    a.insert(a.end(), 100, 1);
    b.insert(b.end(), 100, 1);
    b.insert(b.end(), 100, 0);
    a.push_back(8);
    b.push_back(8);
    EXPECT_EQ(SequenceDiff::comuns(a, b, 50), (QList<SequenceDiff::Par>{{0, 0}, {201, 201}}));
    const QList<SequenceDiff::Par> todos = SequenceDiff::comuns(a, b);
    esperarValidos(a, b, todos);
    EXPECT_EQ(todos.size(), 102);
}
