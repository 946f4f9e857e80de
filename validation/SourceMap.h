#pragma once

#include <QString>

#include <vector>

// The removals of one pass over a text, so that a position in the pass's output can be traced
// back to its input. Records are kept by output position; a later removal that swallows
// earlier output replaces the records it covers, so the list stays as short as the gaps.
class Removals {
public:
    // The output now holds `outputSize` characters and its next one comes from input position
    // `inputPosition`, further on than the output: the text in between was removed.
    void removedBefore(qsizetype outputSize, qsizetype inputPosition);
    qsizetype inputPosition(qsizetype outputPosition) const;

private:
    struct Gap {
        qsizetype at; // output position
        qsizetype by; // input position minus output position, from `at` on
    };
    std::vector<Gap> m_gaps;
};

// Where the characters of a prepared script stand in the script as the user has it. Lines are
// counted there as an editor counts them: CR LF, LF and a lone CR each end one.
class SourceMap {
public:
    SourceMap() = default;
    explicit SourceMap(const QString &original);

    // The passes in the order they were applied to the original.
    void addPass(Removals removals) { m_passes.push_back(std::move(removals)); }

    qsizetype originalPosition(qsizetype preparedPosition) const;
    // From 1.
    int lineOf(qsizetype preparedPosition) const;

private:
    std::vector<qsizetype> m_lineStarts;
    std::vector<Removals> m_passes;
};
