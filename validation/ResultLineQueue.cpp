#include "validation/ResultLineQueue.h"

namespace {

// A text box starts a new line at CR LF, CR, LF, the paragraph separator and its frame marks
// alike; only LF remains, so that lines can be counted.
QString withLineFeeds(const QString &line) {
    QString text = line;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1)
            c = u'\n';
    }
    return text;
}

} // namespace

void ResultLineQueue::append(const QString &line) {
    const QString text = withLineFeeds(line);
    const QMutexLocker lock(&m_mutex);
    if (m_nextLocation > 0) {
        m_batch.locations.emplace_back(m_batch.lineCount, m_nextLocation);
        m_nextLocation = 0;
    }
    if (m_batch.lineCount > 0)
        m_batch.text += u'\n';
    m_batch.text += text;
    m_batch.lineCount += int(text.count(u'\n')) + 1;
}

void ResultLineQueue::markLocation(int scriptLine) {
    const QMutexLocker lock(&m_mutex);
    m_nextLocation = scriptLine;
}

ResultLineQueue::Batch ResultLineQueue::take() {
    const QMutexLocker lock(&m_mutex);
    return std::exchange(m_batch, Batch());
}
