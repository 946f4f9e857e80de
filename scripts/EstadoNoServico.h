#pragma once

#include <QByteArray>
#include <QString>

// What the service holds, under one system, for a queued file: no script of that name ("Novo"),
// or the newest one of that name (the highest code) with the file's text ("Igual") or another
// ("Alterado").
struct EstadoNoServico {
    enum class Tipo { Novo, Igual, Alterado };

    Tipo tipo = Tipo::Novo;
    int codigo = 0;             // the newest stored script's code; 0 when Novo
    QByteArray scriptNoServico; // its text as stored (Windows-1252) when Alterado, for a comparison

    // "Novo", "Igual (código N)" or "Alterado (código N)".
    QString texto() const;

    bool operator==(const EstadoNoServico &) const = default;
};
