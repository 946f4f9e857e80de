#pragma once

#include "server/Armazenamento.h"

#include <memory>

// Opens the storage that the --db text names:
//   postgresql://... or postgres://...  a libpq URI      -> ArmazenamentoPostgres
//   host=... dbname=... (libpq "key=value" words)        -> ArmazenamentoPostgres
//   anything else: a file path, or :memory:              -> ArmazenamentoSqlite
// A "key=value" text counts as PostgreSQL only when libpq accepts every key, so a file name
// holding "=" stays a file.
class FabricaArmazenamento {
public:
    static bool postgres(const QString &db);
    static std::unique_ptr<Armazenamento> abrir(const QString &db,
                                                qint64 validadeSessao = Armazenamento::ValidadeSessaoPadrao,
                                                Armazenamento::Relogio relogio = {});
};
