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

QByteArray CamposRequisicao::codificarTexto(const QString &texto) {
    static const char digitos[] = "0123456789ABCDEF";
    const QByteArray utf8 = texto.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() * 3);
    for (char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '*' ||
            b == '-' || b == '.' || b == '_') {
            out.append(ch);
        } else if (b == ' ') {
            out.append('+');
        } else {
            out.append('%');
            out.append(digitos[b >> 4]);
            out.append(digitos[b & 0x0F]);
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
