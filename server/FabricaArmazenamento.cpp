#include "server/FabricaArmazenamento.h"

#include "server/ArmazenamentoPostgres.h"
#include "server/ArmazenamentoSqlite.h"

#include <libpq-fe.h>

bool FabricaArmazenamento::postgres(const QString &db) {
    if (db.startsWith(QLatin1String("postgresql://")) || db.startsWith(QLatin1String("postgres://")))
        return true;
    if (!db.contains(QLatin1Char('=')))
        return false;
    char *erro = nullptr;
    PQconninfoOption *opcoes = PQconninfoParse(db.toUtf8().constData(), &erro);
    PQfreemem(erro);
    PQconninfoFree(opcoes);
    return opcoes != nullptr;
}

std::unique_ptr<Armazenamento> FabricaArmazenamento::abrir(const QString &db, qint64 validadeSessao,
                                                           Armazenamento::Relogio relogio) {
    if (postgres(db))
        return std::make_unique<ArmazenamentoPostgres>(db, validadeSessao, std::move(relogio));
    return std::make_unique<ArmazenamentoSqlite>(db, validadeSessao, std::move(relogio));
}
