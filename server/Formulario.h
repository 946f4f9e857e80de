#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The decoded fields of a url-encoded form body or query string ("+" is a space, "%XX" a byte,
// the bytes UTF-8). A repeated name keeps its last value.
class Formulario {
public:
    static Formulario ler(const QByteArray &codificado);

    void definir(const QString &nome, const QString &valor) { FCampos.insert(nome, valor); }
    bool contem(const QString &nome) const { return FCampos.contains(nome); }
    QString valor(const QString &nome) const { return FCampos.value(nome); }

private:
    QHash<QString, QString> FCampos;
};
