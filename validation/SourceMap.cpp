#include "validation/SourceMap.h"

#include <algorithm>

void Removals::removedBefore(qsizetype outputSize, qsizetype inputPosition) {
    while (!m_gaps.empty() && m_gaps.back().at >= outputSize)
        m_gaps.pop_back();
    m_gaps.push_back({outputSize, inputPosition - outputSize});
}

qsizetype Removals::inputPosition(qsizetype outputPosition) const {
    const auto after = std::upper_bound(m_gaps.begin(), m_gaps.end(), outputPosition,
                                        [](qsizetype position, const Gap &gap) { return position < gap.at; });
    return after == m_gaps.begin() ? outputPosition : outputPosition + std::prev(after)->by;
}

SourceMap::SourceMap(const QString &original) {
    m_lineStarts.push_back(0);
    const qsizetype n = original.size();
    const QChar *s = original.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\n' || (s[i] == u'\r' && (i + 1 == n || s[i + 1] != u'\n')))
            m_lineStarts.push_back(i + 1);
    }
}

qsizetype SourceMap::originalPosition(qsizetype preparedPosition) const {
    qsizetype position = preparedPosition;
    for (auto pass = m_passes.rbegin(); pass != m_passes.rend(); ++pass)
        position = pass->inputPosition(position);
    return position;
}

int SourceMap::lineOf(qsizetype preparedPosition) const {
    const qsizetype position = originalPosition(preparedPosition);
    return int(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position) - m_lineStarts.begin());
}
