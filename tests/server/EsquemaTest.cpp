#include "base/Exception.h"
#include "server/ArmazenamentoPostgres.h"
#include "server/ArmazenamentoSqlite.h"
#include "server/ConexaoSqlite.h"
#include "server/EsquemaServico.h"
#include "server/FabricaArmazenamento.h"
#include "service/Md5Senha.h"
#include "tests/server/BancoTeste.h"

#include <QDateTime>

#include <latch>
#include <thread>

namespace {

// A service file as written before the schema carried a version: script 4 was deleted, so the
// next code is 5.
void criarArquivoSemVersao(const QString &arquivo, const char *colunasLog = "arquivo TEXT NOT NULL,") {
    ConexaoSqlite c(arquivo);
    for (const QString &sql : {
             QStringLiteral("CREATE TABLE usuarios (nome TEXT PRIMARY KEY, senha TEXT NOT NULL)"),
             QStringLiteral("CREATE TABLE sessoes (chave TEXT PRIMARY KEY, usuario TEXT NOT NULL,"
                            " ultimo_uso INTEGER NOT NULL)"),
             QStringLiteral(
                 "CREATE TABLE scripts (codigo INTEGER PRIMARY KEY AUTOINCREMENT, data TEXT NOT NULL,"
                 " nome TEXT NOT NULL, sistema TEXT NOT NULL, script TEXT NOT NULL)"),
             QStringLiteral(
                 "CREATE TABLE log (id INTEGER PRIMARY KEY AUTOINCREMENT, idscript INTEGER NOT NULL,"
                 " data TEXT NOT NULL, %1 sistema TEXT NOT NULL, script_atual TEXT NOT NULL,"
                 " script_anterior TEXT NOT NULL, descricao TEXT NOT NULL, usuario TEXT NOT NULL)")
                 .arg(QLatin1String(colunasLog)),
             QStringLiteral("INSERT INTO usuarios VALUES ('DEV', '%1')")
                 .arg(Md5Senha(QStringLiteral("senha"))),
             QStringLiteral("INSERT INTO sessoes VALUES ('chave-antiga', 'DEV', %1)")
                 .arg(QDateTime::currentSecsSinceEpoch()),
             QStringLiteral(
                 "INSERT INTO scripts VALUES (1, '2024-01-01 10:00:00', 'Relatório Final.sql', 'KOR',"
                 " '41'), (3, '2024-01-02 10:00:00', 'b.sql', 'TALAO', '42')"),
             QStringLiteral("UPDATE sqlite_sequence SET seq = 4 WHERE name = 'scripts'"),
         })
        c.executar(sql);
    if (QByteArray(colunasLog).contains("arquivo"))
        c.executar(
            QStringLiteral("INSERT INTO log (idscript, data, arquivo, sistema, script_atual, script_anterior,"
                           " descricao, usuario) VALUES (1, '2024-01-01 10:00:01', 'Relatório Final.sql',"
                           " 'KOR', '41', '', 'Inclusão', 'DEV')"));
}

class EsquemaSqlite : public testing::Test {
protected:
    BancoTeste banco{Motor::Sqlite};
};

class Esquema : public testing::TestWithParam<Motor> {
protected:
    BancoTeste banco{GetParam()};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Motores, Esquema, Motores(), NomeMotorParametro);

TEST_F(EsquemaSqlite, AFileWithoutASchemaVersionIsUpgradedWithItsDataKept) {
    criarArquivoSemVersao(banco.db());
    for (int abertura = 0; abertura < 2; ++abertura) { // the second opening finds it current
        const auto a = banco.abrir();
        EXPECT_EQ(banco.conexao()->valor(QStringLiteral("SELECT versao FROM versao_esquema")),
                  QString::number(EsquemaServico::Atual));
        EXPECT_TRUE(a->confereSenha(QStringLiteral("dev"), Md5Senha(QStringLiteral("senha"))));
        EXPECT_EQ(a->usuarioDaSessao(QStringLiteral("chave-antiga")), QStringLiteral("DEV"));
        FiltroArmazenamento relatorio;
        relatorio.arquivo = QStringLiteral("RELATÓRIO");
        EXPECT_EQ(a->contarScripts(relatorio, 10), 1) << "the folded names are filled from the old rows";
        EXPECT_EQ(a->contarLog(relatorio, 10), 1);
        EXPECT_EQ(a->contarScripts({}, 10), 2 + abertura);
        if (abertura == 0) {
            EXPECT_EQ(a->inserir(QDateTime::currentDateTime(), QStringLiteral("c.sql"), QStringLiteral("KOR"),
                                 QStringLiteral("43"), QStringLiteral("DEV")),
                      5)
                << "codes continue after the deleted one";
        }
        a->registrarFalhaLogin(QStringLiteral("ANA"), 1000, 0, [](int) { return 5000; });
        EXPECT_EQ(a->liberacaoLogin(QStringLiteral("ana")), 5000);
    }
}

TEST_F(EsquemaSqlite, AnUpgradeThatFailsLeavesTheFileAsItWas) {
    criarArquivoSemVersao(banco.db(), ""); // a log without the "arquivo" column cannot be upgraded
    EXPECT_THROW(banco.abrir(), Exception);
    const auto c = banco.conexao();
    EXPECT_FALSE(c->temTabela(QStringLiteral("versao_esquema")));
    EXPECT_FALSE(c->temTabela(QStringLiteral("tentativas_login")));
    EXPECT_TRUE(
        c->executar(QStringLiteral("SELECT 1 FROM pragma_table_info('scripts') WHERE name = 'nome_busca'"))
            .isEmpty());
    EXPECT_EQ(c->valor(QStringLiteral("SELECT count(*) FROM scripts")), QStringLiteral("2"));
}

TEST_F(EsquemaSqlite, AFileOfAnotherProgramIsRefusedAndLeftAlone) {
    banco.conexao()->executar(QStringLiteral("CREATE TABLE clientes (id INTEGER)"));
    try {
        banco.abrir();
        FAIL() << "opened";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("não é um banco de dados do brisel-scripts-server")))
            << e.message().toStdString();
    }
    EXPECT_EQ(banco.conexao()->valor(QStringLiteral("SELECT count(*) FROM sqlite_master")),
              QStringLiteral("1"));
}

TEST_P(Esquema, ANewerSchemaIsRefusedWithoutTouchingIt) {
    const QString maisNova = QString::number(EsquemaServico::Atual + 1);
    banco.abrir()->definirUsuario(QStringLiteral("DEV"), QStringLiteral("x"));
    banco.conexao()->executar(QStringLiteral("UPDATE versao_esquema SET versao = ?"), {maisNova});
    try {
        banco.abrir();
        FAIL() << "opened";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("versão ") + maisNova)) << e.message().toStdString();
    }
    const auto c = banco.conexao();
    EXPECT_EQ(c->valor(QStringLiteral("SELECT versao FROM versao_esquema")), maisNova);
    EXPECT_EQ(c->valor(QStringLiteral("SELECT count(*) FROM usuarios")), QStringLiteral("1"));
}

TEST(EsquemaPostgres, AVersionOneDatabaseIsUpgradedWithItsDataKept) {
    const BancoTeste banco(Motor::Postgres);
    qint64 codigo = 0;
    {
        const auto a = banco.abrir();
        codigo = a->inserir(QDateTime::currentDateTime(), QStringLiteral("a.sql"), QStringLiteral("KOR"),
                            QStringLiteral("41"), QStringLiteral("DEV"));
    }
    // As version 1 left it: the server's default compression on the scripts' texts.
    const auto c = banco.conexao();
    c->executar(QStringLiteral("ALTER TABLE scripts ALTER COLUMN script SET COMPRESSION pglz;"
                               "ALTER TABLE log ALTER COLUMN script_atual SET COMPRESSION pglz,"
                               " ALTER COLUMN script_anterior SET COMPRESSION pglz;"
                               "UPDATE versao_esquema SET versao = 1"));
    const auto compressao = [&] {
        return c->executar(QStringLiteral("SELECT attcompression FROM pg_attribute WHERE attrelid IN"
                                          " ('scripts'::regclass, 'log'::regclass) AND attname LIKE 'script%'"
                                          " ORDER BY attname"));
    };
    ASSERT_EQ(compressao(), (ConexaoBanco::Linhas{{"p"}, {"p"}, {"p"}}));

    const auto a = banco.abrir();
    EXPECT_EQ(c->valor(QStringLiteral("SELECT versao FROM versao_esquema")),
              QString::number(EsquemaServico::Atual));
    EXPECT_EQ(compressao(), (ConexaoBanco::Linhas{{"l"}, {"l"}, {"l"}}));
    EXPECT_EQ(a->pesquisarScripts({}, 10, 0, 10).value(0).scriptHex, QStringLiteral("41"));
    EXPECT_GT(a->inserir(QDateTime::currentDateTime(), QStringLiteral("b.sql"), QStringLiteral("KOR"),
                         QStringLiteral("42"), QStringLiteral("DEV")),
              codigo);
    EXPECT_EQ(a->contarLog({}, 10), 2);
}

TEST(EsquemaPostgres, ProcessesOpeningAnEmptyDatabaseTogetherCreateTheSchemaOnce) {
    const BancoTeste banco(Motor::Postgres);
    constexpr int Processos = 4;
    std::latch largada(Processos);
    std::atomic<int> falhas = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < Processos; ++i)
        threads.emplace_back([&] {
            largada.arrive_and_wait();
            try {
                ArmazenamentoPostgres a(banco.db());
            } catch (const Exception &e) {
                ADD_FAILURE() << e.message().toStdString();
                ++falhas;
            }
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(falhas, 0);
    EXPECT_EQ(banco.conexao()->valor(QStringLiteral("SELECT count(*) FROM versao_esquema")),
              QStringLiteral("1"));
}

TEST(FabricaArmazenamento, TheDbTextNamesTheEngine) {
    const struct {
        const char *db;
        bool postgres;
    } casos[] = {
        {"postgresql://brisel@127.0.0.1:5432/brisel", true},
        {"postgres://brisel@db/brisel?sslmode=require", true},
        {"host=127.0.0.1 port=5432 dbname=brisel", true},
        {" dbname = brisel", true},
        {"hots=127.0.0.1 dbname=brisel", true}, // libpq names the misspelt key
        {"brisel-scripts.db", false},
        {":memory:", false},
        {"/var/lib/brisel/a=b.db", false},
        {"./a=b.db", false},
    };
    for (const auto &caso : casos)
        EXPECT_EQ(FabricaArmazenamento::postgres(QString::fromLatin1(caso.db)), caso.postgres) << caso.db;
}
