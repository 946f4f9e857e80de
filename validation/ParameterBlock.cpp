#include "validation/ParameterBlock.h"

#include "base/Exception.h"

void ParameterBlock::addShort(char tag, const QByteArray &value) {
    if (value.size() > 255) // the block's length byte; a password is the only long one
        throw Exception(QStringLiteral("A senha passa de 255 bytes."));
    m_bytes.append(tag);
    m_bytes.append(char(value.size()));
    m_bytes.append(value);
}

void ParameterBlock::addLong(char tag, const QByteArray &value) {
    if (value.size() > 0xFFFF)
        throw Exception(QStringLiteral("Nome de arquivo longo demais para o Firebird."));
    m_bytes.append(tag);
    m_bytes.append(char(value.size() & 0xFF));
    m_bytes.append(char(value.size() >> 8));
    m_bytes.append(value);
}
