#include "server/ArmazenamentoSqlite.h"

#include "base/Exception.h"
#include "server/EsquemaServico.h"

namespace {

// BEGIN IMMEDIATE takes the write lock at once, so a transaction never fails half-way because
// another process began writing first.
const char *const InicioEscrita = "BEGIN IMMEDIATE";

void criarTabelas(ConexaoBanco &c) {
    for (const char *sql : {
             "CREATE TABLE IF NOT EXISTS usuarios (nome TEXT PRIMARY KEY, senha TEXT NOT NULL)",
             "CREATE TABLE IF NOT EXISTS sessoes (chave TEXT PRIMARY KEY, usuario TEXT NOT NULL,"
             " ultimo_uso INTEGER NOT NULL)",
             "CREATE TABLE IF NOT EXISTS tentativas_login (usuario TEXT PRIMARY KEY, falhas INTEGER NOT NULL,"
             " ultima INTEGER NOT NULL, liberado INTEGER NOT NULL)",
             "CREATE TABLE IF NOT EXISTS scripts (codigo INTEGER PRIMARY KEY AUTOINCREMENT, data TEXT NOT "
             "NULL,"
             " nome TEXT NOT NULL, nome_busca TEXT NOT NULL, sistema TEXT NOT NULL, script TEXT NOT NULL)",
             "CREATE TABLE IF NOT EXISTS log (id INTEGER PRIMARY KEY AUTOINCREMENT, idscript INTEGER NOT "
             "NULL,"
             " data TEXT NOT NULL, arquivo TEXT NOT NULL, arquivo_busca TEXT NOT NULL, sistema TEXT NOT NULL,"
             " script_atual TEXT NOT NULL, script_anterior TEXT NOT NULL, descricao TEXT NOT NULL,"
             " usuario TEXT NOT NULL)",
         })
        c.executar(QString::fromLatin1(sql));
}

bool temColuna(ConexaoBanco &c, const char *tabela, const char *coluna) {
    return !c.executar(QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE name = ?"),
                       {QString::fromLatin1(tabela), QString::fromLatin1(coluna)})
                .isEmpty();
}

// Version 0 to 1: the case-folded name columns, filled from the names. Keys from before the time
// of use was kept cannot be shown to be valid: they go. Missing tables are made by criarTabelas.
void atualizarDe0(ConexaoBanco &c) {
    if (c.temTabela(QStringLiteral("sessoes")) && !temColuna(c, "sessoes", "ultimo_uso"))
        c.executar(QStringLiteral("DROP TABLE sessoes"));
    const struct {
        const char *tabela;
        const char *nome;
        const char *busca;
    } colunas[] = {{"scripts", "nome", "nome_busca"}, {"log", "arquivo", "arquivo_busca"}};
    for (const auto &col : colunas) {
        if (!c.temTabela(QString::fromLatin1(col.tabela)) || temColuna(c, col.tabela, col.busca))
            continue;
        c.executar(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT NOT NULL DEFAULT ''")
                       .arg(QLatin1String(col.tabela), QLatin1String(col.busca)));
        c.executar(QStringLiteral("UPDATE %1 SET %2 = brisel_dobra(%3)")
                       .arg(QLatin1String(col.tabela), QLatin1String(col.busca), QLatin1String(col.nome)));
    }
}

} // namespace

ArmazenamentoSqlite::ArmazenamentoSqlite(const QString &arquivo, qint64 validadeSessao, Relogio relogio)
    : Armazenamento(validadeSessao, std::move(relogio)), FConexao(arquivo) {
    FConexao.executar(QStringLiteral("PRAGMA journal_mode=WAL"));
    FConexao.emTransacao(InicioEscrita, [&] {
        const std::optional<int> versao = EsquemaServico::versao(FConexao);
        if (!versao && FConexao.valor(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() > 0)
            throw Exception(EsquemaServico::mensagemEstranho(arquivo));
        if (versao == EsquemaServico::Atual)
            return;
        if (versao)
            EsquemaServico::conferir(*versao);
        if (versao == 0)
            atualizarDe0(FConexao);
        criarTabelas(FConexao);
        EsquemaServico::gravar(FConexao);
    });
    removerSessoesVencidas(FConexao);
}

void ArmazenamentoSqlite::usar(bool transacao, const std::function<void(ConexaoBanco &)> &trabalho) {
    std::lock_guard trava(FMutex);
    if (transacao)
        FConexao.emTransacao(InicioEscrita, [&] { trabalho(FConexao); });
    else
        trabalho(FConexao);
}
