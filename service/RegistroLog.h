#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace json {
class TJSONObject;
}

// One element of a "/pesquisar_log" page: one change of a stored script.
struct RegistroLog {
    int idscript = 0;           // "idscript"
    QDateTime data_alteracao;   // "data_alteracao"
    QString arquivo;            // "arquivo"
    QByteArray script_atual;    // "script_atual", Windows-1252 bytes after the change
    QByteArray script_anterior; // "script_anterior", before it
    QString descricao;          // "descricao"
    QString nome;               // "nome"

    // Throws on a missing or mistyped key (JSON exceptions) or a date that does not read.
    static RegistroLog ler(const json::TJSONObject &objeto);
};
