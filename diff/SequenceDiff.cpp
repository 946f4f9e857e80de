#include "diff/SequenceDiff.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

struct Trecho {
    int a0, a1, b0, b1;
};

class Busca {
public:
    Busca(std::span<const int> a, std::span<const int> b, int limiteMyers, bool ancorar)
        : m_a(a), m_b(b), m_limite(limiteMyers), m_ancorar(ancorar) {}

    QList<SequenceDiff::Par> executar() {
        std::vector<Trecho> pilha{{0, int(m_a.size()), 0, int(m_b.size())}};
        while (!pilha.empty()) {
            Trecho t = pilha.back();
            pilha.pop_back();
            aparar(t);
            if (t.a0 == t.a1 || t.b0 == t.b1)
                continue;
            if (!m_ancorar || !ancorar(t, pilha))
                myers(t);
        }
        std::sort(m_pares.begin(), m_pares.end(),
                  [](const SequenceDiff::Par &x, const SequenceDiff::Par &y) { return x.a < y.a; });
        return m_pares;
    }

private:
    // The common head and tail are matched directly.
    void aparar(Trecho &t) {
        while (t.a0 < t.a1 && t.b0 < t.b1 && m_a[t.a0] == m_b[t.b0])
            m_pares.append({t.a0++, t.b0++});
        while (t.a0 < t.a1 && t.b0 < t.b1 && m_a[t.a1 - 1] == m_b[t.b1 - 1])
            m_pares.append({--t.a1, --t.b1});
    }

    // Patience: the elements found exactly once on each side, the longest run of them that is in
    // the same order on both, become matches; the stretches between them are searched again.
    bool ancorar(const Trecho &t, std::vector<Trecho> &pilha) {
        struct Contagem {
            int na = 0, nb = 0, ia = -1, ib = -1;
        };
        std::unordered_map<int, Contagem> contagem;
        contagem.reserve(std::size_t(t.a1 - t.a0));
        for (int i = t.a0; i < t.a1; ++i) {
            Contagem &c = contagem[m_a[i]];
            ++c.na;
            c.ia = i;
        }
        for (int j = t.b0; j < t.b1; ++j) {
            const auto it = contagem.find(m_b[j]);
            if (it != contagem.end()) {
                ++it->second.nb;
                it->second.ib = j;
            }
        }
        // Unique pairs in the order of the first sequence.
        std::vector<SequenceDiff::Par> unicos;
        for (int i = t.a0; i < t.a1; ++i) {
            const Contagem &c = contagem[m_a[i]];
            if (c.na == 1 && c.nb == 1)
                unicos.push_back({i, c.ib});
        }
        if (unicos.empty())
            return false;

        // Longest increasing run of b by patience sorting.
        std::vector<int> topos;                       // index into unicos of each pile's top
        std::vector<int> anterior(unicos.size(), -1); // back link to the previous pile's top
        for (int k = 0; k < int(unicos.size()); ++k) {
            const auto pos = std::lower_bound(topos.begin(), topos.end(), unicos[k].b,
                                              [&](int idx, int b) { return unicos[idx].b < b; });
            if (pos != topos.begin())
                anterior[k] = *(pos - 1);
            if (pos == topos.end())
                topos.push_back(k);
            else
                *pos = k;
        }
        std::vector<SequenceDiff::Par> ancoras;
        for (int k = topos.back(); k >= 0; k = anterior[k])
            ancoras.push_back(unicos[k]);
        std::reverse(ancoras.begin(), ancoras.end());

        int a = t.a0, b = t.b0;
        for (const SequenceDiff::Par &p : ancoras) {
            pilha.push_back({a, p.a, b, p.b});
            m_pares.append(p);
            a = p.a + 1;
            b = p.b + 1;
        }
        pilha.push_back({a, t.a1, b, t.b1});
        return true;
    }

    // Myers' greedy search for the shortest edit script, keeping each round's furthest points
    // to walk back along; beyond the edit limit the stretch stays unmatched.
    void myers(const Trecho &t) {
        const int n = t.a1 - t.a0, m = t.b1 - t.b0;
        // Each round may walk the whole stretch: the rounds are also bounded by the work they cost.
        const int maximo = std::min({n + m, m_limite, std::max(64, 40'000'000 / (n + m))});
        const int deslocamento = maximo + 1;
        std::vector<int> v(std::size_t(2 * maximo + 3), 0);
        std::vector<std::vector<int>> rodadas;
        for (int d = 0; d <= maximo; ++d) {
            for (int k = -d; k <= d; k += 2) {
                int x = (k == -d || (k != d && v[deslocamento + k - 1] < v[deslocamento + k + 1]))
                            ? v[deslocamento + k + 1]
                            : v[deslocamento + k - 1] + 1;
                int y = x - k;
                while (x < n && y < m && m_a[t.a0 + x] == m_b[t.b0 + y]) {
                    ++x;
                    ++y;
                }
                v[deslocamento + k] = x;
                if (x >= n && y >= m) {
                    rodadas.emplace_back(v.begin() + deslocamento - d, v.begin() + deslocamento + d + 1);
                    voltar(t, rodadas);
                    return;
                }
            }
            rodadas.emplace_back(v.begin() + deslocamento - d, v.begin() + deslocamento + d + 1);
        }
    }

    // From the end point back to the start: each round's edit is preceded by the diagonal run
    // (matched elements) that the round followed after it.
    void voltar(const Trecho &t, const std::vector<std::vector<int>> &rodadas) {
        int x = t.a1 - t.a0, y = t.b1 - t.b0;
        for (int d = int(rodadas.size()) - 1; d >= 0; --d) {
            const int k = x - y;
            int xInicio = 0, yInicio = 0, xAnterior = 0, yAnterior = 0;
            if (d > 0) {
                // Round d - 1 holds the diagonals -(d - 1) .. d - 1.
                const std::vector<int> &antes = rodadas[std::size_t(d - 1)];
                const auto maisLonge = [&](int kk) { return antes[std::size_t(kk + d - 1)]; };
                const bool desceu = k == -d || (k != d && maisLonge(k - 1) < maisLonge(k + 1));
                const int kAnterior = desceu ? k + 1 : k - 1;
                xAnterior = maisLonge(kAnterior);
                yAnterior = xAnterior - kAnterior;
                xInicio = desceu ? xAnterior : xAnterior + 1;
                yInicio = xInicio - k;
            }
            while (x > xInicio && y > yInicio) {
                --x;
                --y;
                m_pares.append({t.a0 + x, t.b0 + y});
            }
            x = xAnterior;
            y = yAnterior;
        }
    }

    std::span<const int> m_a, m_b;
    int m_limite;
    bool m_ancorar;
    QList<SequenceDiff::Par> m_pares;
};

} // namespace

QList<SequenceDiff::Par> SequenceDiff::comuns(std::span<const int> a, std::span<const int> b,
                                              int limiteMyers) {
    return Busca(a, b, limiteMyers, true).executar();
}

QList<SequenceDiff::Par> SequenceDiff::minimos(std::span<const int> a, std::span<const int> b,
                                               int limiteMyers) {
    return Busca(a, b, limiteMyers, false).executar();
}
