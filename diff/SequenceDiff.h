#pragma once

#include <QList>

#include <span>

// The elements two sequences have in common, in order: patience diff (lines that occur once on
// each side anchor the match, which keeps moved blocks and repeated lines such as "END;" from
// pairing wrongly) and Myers' O(ND) diff for the stretches between anchors.
//
// Elements are small integers (the caller numbers its distinct lines or words). A stretch whose
// Myers search would pass `limiteMyers` edits (fewer on long stretches) is given up as wholly
// different rather than letting two unrelated multi-megabyte texts take quadratic time.
class SequenceDiff {
public:
    struct Par {
        int a; // index in the first sequence
        int b; // index in the second sequence

        bool operator==(const Par &) const = default;
    };

    // Increasing in both indexes. Patience anchors, then Myers: suited to lines.
    static QList<Par> comuns(std::span<const int> a, std::span<const int> b, int limiteMyers = 2000);
    // A longest common subsequence (Myers alone, within the same limit): suited to the words of
    // a line, where common words such as "=" are better matched than used as anchors.
    static QList<Par> minimos(std::span<const int> a, std::span<const int> b, int limiteMyers = 2000);
};
