#pragma once

#include "server/Armazenamento.h"
#include "server/Formulario.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// Reads and checks the fields of one request; every bad field throws ErroEntrada with a message
// that names it. No field may hold a NUL character: no name or text of the service has one, and
// PostgreSQL could not store it.
class LeitorCampos {
public:
    explicit LeitorCampos(const Formulario &formulario) : FFormulario(formulario) {}

    QString texto(const QString &nome) const;    // required, not empty
    QString opcional(const QString &nome) const; // empty when absent
    bool presente(const QString &nome) const { return !opcional(nome).isEmpty(); }
    qint64 inteiro(const QString &nome) const;     // required, a whole number >= 0
    int quantidade(const QString &nome) const;     // the same, capped to the int range
    QDateTime dataHora(const QString &nome) const; // required, "yyyy-mm-dd hh:mm:ss"
    QDate data(const QString &nome) const;         // optional, "yyyy-mm-dd"; null when absent
    // Hexadecimal script text, an optional "0x" prefix removed, upper case; empty when absent.
    QString scriptHex(const QString &nome) const;
    QString sistema(const QString &nome) const; // one of the known systems; empty when absent
    // The user of the session named by "chave".
    QString usuario(Armazenamento &armazenamento) const;
    // The search filters ("usuario" only when comUsuario).
    FiltroArmazenamento filtro(bool comUsuario) const;

private:
    const Formulario &FFormulario;
};
