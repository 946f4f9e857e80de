#include "server/OrigemSqlite.h"

#include "base/Exception.h"
#include "server/EsquemaServico.h"

#include <QFileInfo>

namespace {

const QString &existente(const QString &arquivo) {
    if (!QFileInfo(arquivo).isFile())
        throw Exception(QStringLiteral("O arquivo %1 não existe.").arg(arquivo));
    return arquivo;
}

} // namespace

OrigemSqlite::OrigemSqlite(const QString &arquivo) : FConexao(existente(arquivo), true) {
    FConexao.executar(QStringLiteral("BEGIN"));
    std::optional<int> versao;
    try {
        versao = EsquemaServico::versao(FConexao);
    } catch (const Exception &) {
        throw Exception(EsquemaServico::mensagemEstranho(arquivo)); // not SQLite at all
    }
    for (const char *tabela : {"usuarios", "scripts", "log"})
        if (!versao || !FConexao.temTabela(QString::fromLatin1(tabela)))
            throw Exception(EsquemaServico::mensagemEstranho(arquivo));
    EsquemaServico::conferir(*versao);
}

OrigemSqlite::~OrigemSqlite() {
    try {
        FConexao.executar(QStringLiteral("ROLLBACK"));
    } catch (const Exception &) {
        // Nothing was begun, or nothing was written: there is nothing to undo either way.
    }
}

void OrigemSqlite::usuarios(const PorLinha &porLinha) {
    FConexao.percorrer(QStringLiteral("SELECT nome, senha FROM usuarios ORDER BY nome"), {}, porLinha);
}

void OrigemSqlite::scripts(const PorLinha &porLinha) {
    FConexao.percorrer(
        QStringLiteral("SELECT codigo, data, nome, sistema, script FROM scripts ORDER BY codigo"), {},
        porLinha);
}

void OrigemSqlite::log(const PorLinha &porLinha) {
    FConexao.percorrer(QStringLiteral("SELECT id, idscript, data, arquivo, sistema, script_atual,"
                                      " script_anterior, descricao, usuario FROM log ORDER BY id"),
                       {}, porLinha);
}

qint64 OrigemSqlite::ultimo(const char *tabela, const QString &maiorNaTabela) {
    qint64 maior = FConexao.valor(maiorNaTabela).toLongLong();
    // AUTOINCREMENT remembers the highest key ever used, beyond the rows still there.
    if (FConexao.temTabela(QStringLiteral("sqlite_sequence")))
        maior = qMax(maior, FConexao
                                .valor(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"),
                                       {QString::fromLatin1(tabela)})
                                .toLongLong());
    return maior;
}

qint64 OrigemSqlite::ultimoCodigo() {
    // The log also names the codes of scripts deleted since.
    return ultimo("scripts", QStringLiteral("SELECT max(m) FROM (SELECT max(codigo) AS m FROM scripts"
                                            " UNION ALL SELECT max(idscript) FROM log)"));
}

qint64 OrigemSqlite::ultimaEntradaLog() {
    return ultimo("log", QStringLiteral("SELECT max(id) FROM log"));
}
