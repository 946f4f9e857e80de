#include "server/FabricaArmazenamento.h"

#include "server/ArmazenamentoPostgres.h"
#include "server/ArmazenamentoSqlite.h"

#include <QRegularExpression>

bool FabricaArmazenamento::postgres(const QString &db) {
    // A misspelt key still means PostgreSQL (libpq then names it) rather than a new SQLite file.
    static const QRegularExpression chaveValor(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return db.startsWith(QLatin1String("postgresql://")) || db.startsWith(QLatin1String("postgres://")) ||
           chaveValor.match(db).hasMatch();
}

std::unique_ptr<Armazenamento> FabricaArmazenamento::abrir(const QString &db, qint64 validadeSessao,
                                                           Armazenamento::Relogio relogio,
                                                           OpcoesPostgres opcoesPostgres) {
    if (postgres(db))
        return std::make_unique<ArmazenamentoPostgres>(db, validadeSessao, std::move(relogio),
                                                       opcoesPostgres);
    return std::make_unique<ArmazenamentoSqlite>(db, validadeSessao, std::move(relogio));
}
