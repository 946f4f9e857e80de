#pragma once

#include <QString>

#include <optional>

class ConexaoBanco;

// The versions of the service's schema, kept in the one-row table versao_esquema:
//  0: the SQLite files written before versions were kept: no version table, the tables usuarios,
//     sessoes, scripts and log without the case-folded name columns, and no login failures;
//  1: the case-folded name columns, the login failures and the version table;
//  2: on PostgreSQL, the scripts' texts compressed with lz4 (nothing changes on SQLite).
class EsquemaServico {
public:
    static constexpr int Atual = 2;

    // The version of the schema on `conexao`; nullopt when it holds none of the service's tables.
    static std::optional<int> versao(ConexaoBanco &conexao);
    // Throws when `versao` is newer than this service knows.
    static void conferir(int versao);
    // Records the current version.
    static void gravar(ConexaoBanco &conexao);
    // `onde` is not a database of this service.
    static QString mensagemEstranho(const QString &onde);
};
