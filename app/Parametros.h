#pragma once

#include <QDate>
#include <QString>

class IniFile;

// The filter fields that "parametros.ini" keeps from one run to the next (sections "envio",
// "editar", "log" and "config"), and the rules by which they are read and written.
struct Parametros {
    QString base;
    QDate modificacao; // written only: the field always starts as today
    QString mascara;
    bool ensaiarAntes = false; // "Ensaiar antes de enviar"
    QDate editarDataInicio;
    QDate editarDataFim;
    QString editarMaximo;
    QDate logDataInicio;
    QDate logDataFim;
    QString logMaximo;
    bool maximizado = false; // written only

    // Missing or unreadable values give the defaults: empty base, mask "*.*", dates `hoje`,
    // maxima 100. An empty base or mask stays empty.
    static Parametros ler(const IniFile &ini, const QDate &hoje);
    // Writes the eleven keys in their order; other keys and sections are left as they are.
    void gravar(IniFile &ini) const;

    // A whole number in decimal, or hexadecimal after "0x"; `fallback` for any other text.
    static int lerInteiro(const QString &text, int fallback);
};
