#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <ostream>

// Readable failure output for the Qt values these tests compare.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray &b, std::ostream *os) {
    *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QDateTime &d, std::ostream *os) {
    *os << d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toStdString();
}
