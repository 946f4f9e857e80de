#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The program's general error: a message text meant for the user. Every error class of the
// program derives from it; one that wraps another is thrown with std::throw_with_nested, and the
// general error report shows the innermost message.
class Exception : public std::exception {
public:
    explicit Exception(const QString &message) : m_message(message), m_utf8(message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }
    // The class name as the program reports it (for example "ParseException").
    virtual QString className() const { return QStringLiteral("Exception"); }

private:
    QString m_message;
    QByteArray m_utf8;
};
