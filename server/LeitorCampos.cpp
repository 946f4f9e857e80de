#include "server/LeitorCampos.h"

#include "server/ErroEntrada.h"

#include <limits>

QString LeitorCampos::opcional(const QString &nome) const {
    const QString valor = FFormulario.valor(nome);
    if (valor.contains(QChar(0)))
        throw ErroEntrada(QStringLiteral("O campo %1 contém um caractere nulo.").arg(nome));
    return valor;
}

QString LeitorCampos::texto(const QString &nome) const {
    const QString valor = opcional(nome);
    if (valor.isEmpty())
        throw ErroEntrada(QStringLiteral("Campo obrigatório não informado: %1.").arg(nome));
    return valor;
}

qint64 LeitorCampos::inteiro(const QString &nome) const {
    const QString valor = texto(nome);
    bool ok = false;
    const qint64 numero = valor.toLongLong(&ok);
    if (!ok || numero < 0)
        throw ErroEntrada(QStringLiteral("O campo %1 deve ser um número inteiro: \"%2\".").arg(nome, valor));
    return numero;
}

int LeitorCampos::quantidade(const QString &nome) const {
    return int(qMin<qint64>(inteiro(nome), std::numeric_limits<int>::max()));
}

QDateTime LeitorCampos::dataHora(const QString &nome) const {
    const QString valor = texto(nome);
    const QDateTime lida = QDateTime::fromString(valor, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!lida.isValid())
        throw ErroEntrada(QStringLiteral("Data inválida no campo %1: \"%2\".").arg(nome, valor));
    return lida;
}

QDate LeitorCampos::data(const QString &nome) const {
    const QString valor = opcional(nome);
    if (valor.isEmpty())
        return QDate();
    const QDate lida = QDate::fromString(valor, QStringLiteral("yyyy-MM-dd"));
    if (!lida.isValid())
        throw ErroEntrada(QStringLiteral("Data inválida no campo %1: \"%2\".").arg(nome, valor));
    return lida;
}

QString LeitorCampos::scriptHex(const QString &nome) const {
    const QString valor = opcional(nome);
    const qsizetype inicio = valor.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? 2 : 0;
    const auto invalido = [&] {
        return ErroEntrada(QStringLiteral("O campo %1 não contém um texto hexadecimal válido.").arg(nome));
    };
    if ((valor.size() - inicio) % 2 != 0)
        throw invalido();
    // One pass that checks and upper-cases: a script of any size costs its length, nothing more.
    QString hex(valor.size() - inicio, Qt::Uninitialized);
    QChar *saida = hex.data();
    for (const QChar c : QStringView(valor).mid(inicio)) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F'))
            *saida++ = c;
        else if (u >= u'a' && u <= u'f')
            *saida++ = QChar(u - u'a' + u'A');
        else
            throw invalido();
    }
    return hex;
}

QString LeitorCampos::sistema(const QString &nome) const {
    const QString valor = opcional(nome);
    static const QStringList conhecidos{QStringLiteral("KOR"), QStringLiteral("KOR_LIVROS"),
                                        QStringLiteral("TALAO")};
    if (!valor.isEmpty() && !conhecidos.contains(valor))
        throw ErroEntrada(QStringLiteral("Sistema desconhecido: \"%1\".").arg(valor));
    return valor;
}

QString LeitorCampos::usuario(Armazenamento &armazenamento) const {
    const QString chave = opcional(QStringLiteral("chave"));
    const QString usuario = chave.isEmpty() ? QString() : armazenamento.usuarioDaSessao(chave);
    if (usuario.isEmpty())
        throw ErroEntrada(QStringLiteral("Chave de acesso inválida. Efetue o login novamente."));
    return usuario;
}

FiltroArmazenamento LeitorCampos::filtro(bool comUsuario) const {
    FiltroArmazenamento f;
    f.sistema = sistema(QStringLiteral("sistema"));
    if (presente(QStringLiteral("codigo")))
        f.codigo = inteiro(QStringLiteral("codigo"));
    if (comUsuario)
        f.usuario = opcional(QStringLiteral("usuario"));
    f.inicio = data(QStringLiteral("data_inicio"));
    f.fim = data(QStringLiteral("data_fim"));
    f.arquivo = opcional(QStringLiteral("arquivo"));
    return f;
}
