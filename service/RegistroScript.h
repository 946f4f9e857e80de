#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace json {
class TJSONObject;
}

// One element of a "/pesquisar" page.
struct RegistroScript {
    int codigo = 0;    // "CODIGO_SC"
    QDateTime data;    // "DATA_CRIACAO_SC"
    QString arquivo;   // "NOME_ARQUIVO_SC"
    QByteArray script; // "SCRIPT_SC", decoded from hexadecimal; Windows-1252 bytes

    // Throws on a missing or mistyped key (JSON exceptions) or a date that does not read.
    static RegistroScript ler(const json::TJSONObject &objeto);
};
