#include "service/CamposRequisicao.h"

void CamposRequisicao::set(const QString &nome, const QString &valor) {
    for (auto it = FCampos.begin(); it != FCampos.end(); ++it) {
        if (it->first == nome) {
            if (valor.isEmpty())
                FCampos.erase(it);
            else
                it->second = valor;
            return;
        }
    }
    if (!valor.isEmpty())
        FCampos.append({nome, valor});
}

QString CamposRequisicao::valor(const QString &nome) const {
    for (const Campo &c : FCampos)
        if (c.first == nome)
            return c.second;
    return QString();
}

bool CamposRequisicao::contem(const QString &nome) const {
    for (const Campo &c : FCampos)
        if (c.first == nome)
            return true;
    return false;
}

namespace {

bool semEscape(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '*' ||
           b == '-' || b == '.' || b == '_';
}

} // namespace

QByteArray CamposRequisicao::codificarTexto(const QString &texto) {
    static const char digitos[] = "0123456789ABCDEF";
    const QByteArray utf8 = texto.toUtf8();
    // Sized first and written through a pointer: a script's megabytes of hexadecimal cost one
    // buffer of their own size, not three times it filled byte by byte.
    qsizetype tamanho = 0;
    for (const char ch : utf8)
        tamanho += semEscape(static_cast<unsigned char>(ch)) || ch == ' ' ? 1 : 3;
    QByteArray out(tamanho, Qt::Uninitialized);
    char *saida = out.data();
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (semEscape(b)) {
            *saida++ = ch;
        } else if (b == ' ') {
            *saida++ = '+';
        } else {
            *saida++ = '%';
            *saida++ = digitos[b >> 4];
            *saida++ = digitos[b & 0x0F];
        }
    }
    return out;
}

QByteArray CamposRequisicao::codificar() const {
    QByteArray corpo;
    for (const Campo &c : FCampos) {
        if (!corpo.isEmpty())
            corpo.append('&');
        corpo.append(codificarTexto(c.first));
        corpo.append('=');
        corpo.append(codificarTexto(c.second));
    }
    return corpo;
}
