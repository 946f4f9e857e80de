#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// One connection to the service's database, whichever the engine. Statements mark their values
// with "?" (never inside a quoted text); a value is a whole number (qint64 or int) or text, a null
// QString being the empty text. Rows come back as text, NULL as a null QString. Throws Exception
// on a failed statement and BancoIndisponivel when the server is gone.
class ConexaoBanco {
public:
    using Linha = QStringList;
    using Linhas = QList<Linha>;

    virtual ~ConexaoBanco() = default;

    virtual Linhas executar(const QString &sql, const QVariantList &valores = {}) = 0;
    // What a SELECT ends with to keep the rows it read from changing until the transaction ends
    // (nothing where a write transaction holds the whole database).
    virtual QString bloqueioLinhas() const = 0;
    virtual bool temTabela(const QString &nome) = 0;

    // The first column of the first row, or `padrao` when there is no row.
    QString valor(const QString &sql, const QVariantList &valores = {}, const QString &padrao = {});
    // Runs `trabalho` between `inicio` and COMMIT; a failure rolls back and propagates.
    void emTransacao(const char *inicio, const std::function<void()> &trabalho);
};
