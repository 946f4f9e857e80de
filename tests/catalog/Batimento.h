#pragma once

#include <QTimer>

// A timer on the interface thread that counts its ticks: while a request waits, the ticks go on
// only when that thread is not the one waiting.
class Batimento {
public:
    Batimento() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++batidas; });
        m_timer.start(20);
    }
    int batidas = 0;

private:
    QTimer m_timer;
};
