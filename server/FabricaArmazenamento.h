#pragma once

#include "server/Armazenamento.h"
#include "server/OpcoesPostgres.h"

#include <memory>

// Opens the storage that the --db text names:
//   postgresql://... or postgres://...  a libpq URI      -> ArmazenamentoPostgres
//   host=... dbname=... (libpq "key=value" words)        -> ArmazenamentoPostgres
//   anything else: a file path, or :memory:              -> ArmazenamentoSqlite
// A text that starts with a word and "=" is a "key=value" string; a file whose name starts so is
// given with its folder ("./a=b.db").
class FabricaArmazenamento {
public:
    static bool postgres(const QString &db);
    static std::unique_ptr<Armazenamento> abrir(const QString &db,
                                                qint64 validadeSessao = Armazenamento::ValidadeSessaoPadrao,
                                                Armazenamento::Relogio relogio = {},
                                                OpcoesPostgres opcoesPostgres = {});
};
