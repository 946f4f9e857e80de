#include "server/ConexaoSqlite.h"

#include "base/Exception.h"

#include <sqlite3.h>

#include <memory>

namespace {

Exception erroBanco(sqlite3 *banco) {
    return Exception(
        QStringLiteral("Erro no banco de dados: %1").arg(QString::fromUtf8(sqlite3_errmsg(banco))));
}

// Case folding for the name filters, beyond the ASCII-only folding of LIKE and lower().
void dobrar(sqlite3_context *contexto, int, sqlite3_value **valores) {
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(valores[0]));
    if (!t) {
        sqlite3_result_null(contexto);
        return;
    }
    const QByteArray dobrado = QString::fromUtf8(t, sqlite3_value_bytes(valores[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(contexto, dobrado.constData(), int(dobrado.size()), SQLITE_TRANSIENT);
}

} // namespace

ConexaoSqlite::ConexaoSqlite(const QString &arquivo, bool somenteLeitura) {
    const int flags = (somenteLeitura ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(arquivo.toUtf8().constData(), &FBanco, flags, nullptr) != SQLITE_OK) {
        const Exception erro = erroBanco(FBanco);
        sqlite3_close(FBanco);
        throw erro;
    }
    sqlite3_busy_timeout(FBanco, 5000);
    sqlite3_create_function(FBanco, "brisel_dobra", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, dobrar,
                            nullptr, nullptr);
}

ConexaoSqlite::~ConexaoSqlite() {
    sqlite3_close(FBanco);
}

void ConexaoSqlite::percorrer(const QString &sql, const QVariantList &valores,
                              const std::function<void(const Linha &)> &porLinha) {
    sqlite3_stmt *bruto = nullptr;
    if (sqlite3_prepare_v2(FBanco, sql.toUtf8().constData(), -1, &bruto, nullptr) != SQLITE_OK)
        throw erroBanco(FBanco);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> comando(bruto, &sqlite3_finalize);
    for (int i = 0; i < valores.size(); ++i) {
        const QVariant &valor = valores[i];
        int r;
        if (valor.typeId() == QMetaType::LongLong || valor.typeId() == QMetaType::Int) {
            r = sqlite3_bind_int64(bruto, i + 1, valor.toLongLong());
        } else {
            const QByteArray texto = valor.toString().toUtf8();
            r = sqlite3_bind_text(bruto, i + 1, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
        }
        if (r != SQLITE_OK)
            throw erroBanco(FBanco);
    }
    const int colunas = sqlite3_column_count(bruto);
    Linha linha;
    for (;;) {
        const int r = sqlite3_step(bruto);
        if (r == SQLITE_DONE)
            return;
        if (r != SQLITE_ROW)
            throw erroBanco(FBanco);
        linha.clear();
        for (int c = 0; c < colunas; ++c) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(bruto, c));
            linha << (t ? QString::fromUtf8(t, sqlite3_column_bytes(bruto, c)) : QString());
        }
        porLinha(linha);
    }
}

ConexaoBanco::Linhas ConexaoSqlite::executar(const QString &sql, const QVariantList &valores) {
    Linhas linhas;
    percorrer(sql, valores, [&](const Linha &linha) { linhas << linha; });
    return linhas;
}

bool ConexaoSqlite::temTabela(const QString &nome) {
    return !executar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"), {nome})
                .isEmpty();
}
