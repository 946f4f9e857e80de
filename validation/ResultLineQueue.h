#pragma once

#include <QMutex>
#include <QString>

#include <utility>
#include <vector>

// Result lines handed from a validation run's worker to the window. The worker adds lines one by
// one; the interface thread takes everything gathered so far as one text, so that a run with
// thousands of errors costs the window one append per batch instead of one per line.
class ResultLineQueue {
public:
    struct Batch {
        QString text;      // the lines joined by LF; every line break inside a line is an LF
        int lineCount = 0; // lines of `text` (0 when empty)
        // (line of `text` from 0, script line from 1) of each "Linha N: " line
        std::vector<std::pair<int, int>> locations;
    };

    void append(const QString &line);
    // The next line appended is the "Linha N: " line of a failing statement at `scriptLine`.
    void markLocation(int scriptLine);
    Batch take();

private:
    QMutex m_mutex;
    Batch m_batch;
    int m_nextLocation = 0;
};
