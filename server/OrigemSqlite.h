#pragma once

#include "server/ConexaoSqlite.h"

// A service database in a SQLite file, read (never written) as the source of an import, all of
// it as one snapshot. Throws Exception when the file is missing, is not a SQLite database, is
// not a service database or has a newer schema than this service knows.
class OrigemSqlite {
public:
    explicit OrigemSqlite(const QString &arquivo);
    ~OrigemSqlite();
    OrigemSqlite(const OrigemSqlite &) = delete;
    OrigemSqlite &operator=(const OrigemSqlite &) = delete;

    using PorLinha = std::function<void(const ConexaoBanco::Linha &)>;
    // (nome, senha)
    void usuarios(const PorLinha &porLinha);
    // (codigo, data, nome, sistema, script), in code order
    void scripts(const PorLinha &porLinha);
    // (id, idscript, data, arquivo, sistema, script_atual, script_anterior, descricao, usuario), in
    // the order of the changes
    void log(const PorLinha &porLinha);

    // The highest script code and log id the file ever gave, those of deleted scripts included.
    qint64 ultimoCodigo();
    qint64 ultimaEntradaLog();

private:
    qint64 ultimo(const char *tabela, const QString &maiorNaTabela);

    ConexaoSqlite FConexao;
};
