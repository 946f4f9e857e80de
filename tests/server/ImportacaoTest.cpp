#include "base/Exception.h"
#include "server/ArmazenamentoPostgres.h"
#include "server/ArmazenamentoSqlite.h"
#include "server/OrigemSqlite.h"
#include "service/Md5Senha.h"
#include "tests/server/BancoTeste.h"

#include <QFile>

namespace {

const QDateTime Data(QDate(2024, 5, 2), QTime(9, 30));

// A service file with two users, scripts 1 and 2 (2 edited) and script 3 deleted: five log entries.
class Importacao : public testing::Test {
protected:
    void SetUp() override {
        ArmazenamentoSqlite a(origem.db());
        a.definirUsuario(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha")));
        a.definirUsuario(QStringLiteral("ANA"), Md5Senha(QStringLiteral("outra")));
        for (const char *nome : {"Relatório.sql", "b.sql", "c.sql"})
            a.inserir(Data, QString::fromUtf8(nome), QStringLiteral("KOR"), QStringLiteral("41"),
                      QStringLiteral("DEV"));
        a.atualizar(2, QStringLiteral("4243"), QStringLiteral("ANA"));
        a.excluir(3, QStringLiteral("ANA"));
        scripts = a.pesquisarScripts({}, 100, 0, 100);
        log = a.pesquisarLog({}, 100, 0, 100);
    }

    BancoTeste origem{Motor::Sqlite};
    BancoTeste destino{Motor::Postgres};
    QList<ScriptArmazenado> scripts;
    QList<EntradaLog> log;
};

} // namespace

TEST_F(Importacao, CopiesEverythingWithItsCodesAndNewCodesFollowTheFilesLast) {
    ArmazenamentoPostgres a(destino.db());
    OrigemSqlite arquivo(origem.db());
    const ResumoImportacao resumo = a.importar(arquivo);
    EXPECT_EQ(resumo.usuarios, 2);
    EXPECT_EQ(resumo.scripts, 2);
    EXPECT_EQ(resumo.entradasLog, 5);

    EXPECT_EQ(a.pesquisarScripts({}, 100, 0, 100), scripts);
    EXPECT_EQ(a.pesquisarLog({}, 100, 0, 100), log);
    EXPECT_TRUE(a.confereSenha(QStringLiteral("ana"), Md5Senha(QStringLiteral("outra"))));
    FiltroArmazenamento relatorio;
    relatorio.arquivo = QStringLiteral("RELATÓRIO");
    EXPECT_EQ(a.contarScripts(relatorio, 10), 1);

    EXPECT_EQ(a.inserir(Data, QStringLiteral("d.sql"), QStringLiteral("TALAO"), QStringLiteral("44"),
                        QStringLiteral("DEV")),
              4)
        << "the deleted script's code is not given again";
    EXPECT_EQ(a.pesquisarLog({}, 1, 0, 1).value(0).arquivo, QStringLiteral("d.sql"))
        << "the newest entry first";
}

TEST_F(Importacao, ADatabaseThatIsNotEmptyIsRefusedAndKeptAsItWas) {
    ArmazenamentoPostgres a(destino.db());
    a.inserir(Data, QStringLiteral("proprio.sql"), QStringLiteral("KOR"), QStringLiteral("45"),
              QStringLiteral("ZE"));
    OrigemSqlite arquivo(origem.db());
    try {
        a.importar(arquivo);
        FAIL() << "imported";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("vazio"))) << e.message().toStdString();
    }
    EXPECT_EQ(a.contarScripts({}, 100), 1);
    EXPECT_EQ(a.contarLog({}, 100), 1);
    EXPECT_FALSE(a.confereSenha(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha"))));
}

TEST(OrigemImportacao, OnlyAServiceDatabaseIsASource) {
    const BancoTeste pasta(Motor::Sqlite);
    const QString texto = pasta.db() + QStringLiteral(".txt");
    QFile f(texto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("nome;senha\nDEV;x\n");
    f.close();
    pasta.conexao()->executar(QStringLiteral("CREATE TABLE clientes (id INTEGER)"));
    const QString ausente = pasta.db() + QStringLiteral(".nao-existe");
    for (const QString &arquivo : {texto, pasta.db(), ausente}) {
        EXPECT_THROW(OrigemSqlite{arquivo}, Exception) << arquivo.toStdString();
    }
    EXPECT_FALSE(QFile::exists(ausente)) << "looking did not create it";
}
