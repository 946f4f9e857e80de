#pragma once

#include <QByteArray>

// The tagged parameter blocks of the Firebird client API: attachment (DPB) and service blocks.
class ParameterBlock {
public:
    explicit ParameterBlock(char version) : m_bytes(1, version) {}

    // A value after a one-byte length (attachment parameters). Throws Exception past 255 bytes.
    void addShort(char tag, const QByteArray &value);
    // A value after a two-byte length (service actions' parameters).
    void addLong(char tag, const QByteArray &value);
    void addByte(char tag) { m_bytes.append(tag); }

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
