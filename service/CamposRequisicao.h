#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The ordered name=value list of a POST request. Setting a name appends it, or replaces its value
// in place when present; setting it to the empty text removes it, so empty values never travel.
class CamposRequisicao {
public:
    using Campo = QPair<QString, QString>;

    void set(const QString &nome, const QString &valor);
    QString valor(const QString &nome) const;
    bool contem(const QString &nome) const;
    const QList<Campo> &campos() const { return FCampos; }
    bool isEmpty() const { return FCampos.isEmpty(); }

    // The form body: encoded name "=" encoded value, joined with "&" in list order.
    QByteArray codificar() const;
    // Letters, digits and "*-._" stay; a space becomes "+"; every other character is written as
    // the "%XX" of its UTF-8 bytes (upper-case digits).
    static QByteArray codificarTexto(const QString &texto);

private:
    QList<Campo> FCampos;
};
