#pragma once

#include "server/ConexaoBanco.h"

struct sqlite3;

// A connection to a SQLite file (or ":memory:"). It waits up to five seconds for another
// process's write to end, and knows brisel_dobra(text), the case folding of the name filters.
class ConexaoSqlite : public ConexaoBanco {
public:
    // A missing file is created unless `somenteLeitura`.
    explicit ConexaoSqlite(const QString &arquivo, bool somenteLeitura = false);
    ~ConexaoSqlite() override;
    ConexaoSqlite(const ConexaoSqlite &) = delete;
    ConexaoSqlite &operator=(const ConexaoSqlite &) = delete;

    Linhas executar(const QString &sql, const QVariantList &valores = {}) override;
    QString bloqueioLinhas() const override { return {}; }
    bool temTabela(const QString &nome) override;

    // Hands `porLinha` each row in turn, without holding them all.
    void percorrer(const QString &sql, const QVariantList &valores,
                   const std::function<void(const Linha &)> &porLinha);

private:
    sqlite3 *FBanco = nullptr;
};
