#include "service/Conexao.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/scripts/QtPrinters.h"
#include "tests/support/ExecucaoCli.h"
#include "tests/support/TestServer.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

using Saida = ExecucaoCli;

// Runs the built `brisel-scripts-cli upload` over a small tree, against the reference service.
class UploadCommand : public testing::Test {
protected:
    void SetUp() override {
        for (const char *n : {"b.sql", "a.sql", "nota.txt", "sub/c.sql"})
            arquivo(QString::fromLatin1(n), QDateTime(QDate(2024, 5, 2), QTime(10, 0, 3)));
        arquivo(QStringLiteral("velho.sql"), QDateTime(QDate(2024, 4, 30), QTime(23, 0)));
    }

    void arquivo(const QString &relativo, const QDateTime &data) {
        const QString caminho = dir.filePath(relativo);
        QDir().mkpath(QFileInfo(caminho).path());
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("select 1\n");
        f.flush();
        ASSERT_TRUE(f.setFileTime(data, QFileDevice::FileModificationTime));
    }

    Saida rodar(const QStringList &args, const QString &senha = QStringLiteral("senha")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BRISEL_SERVICE_URL"), servidor.rootUrl());
        env.insert(QStringLiteral("BRISEL_USER"), QStringLiteral("dev"));
        env.insert(QStringLiteral("BRISEL_PASSWORD"), senha);
        return executarCli(QStringList{QStringLiteral("upload")} + args, env);
    }

    QString esperado(const QStringList &relativos) {
        QString s;
        for (const QString &r : relativos)
            s += QStringLiteral("2024-05-02 10:00:02\t") + dir.filePath(r) + QLatin1Char('\n');
        return s;
    }

    QStringList armazenados() {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
        Conexao conexao;
        Sessao sessao(conexao);
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
        Protocolo::FiltroPesquisa filtro;
        filtro.sistema = QStringLiteral("KOR");
        filtro.maximo = 100;
        QStringList nomes;
        const int n = Protocolo::ContarScripts(sessao, filtro).registros;
        if (n > 0)
            Protocolo::BuscarScripts(sessao, filtro, n, [&](const RegistroScript &r) { nomes << r.arquivo; });
        qunsetenv("BRISEL_SERVICE_URL");
        nomes.sort();
        return nomes;
    }

    QTemporaryDir dir;
    TestServer servidor;
};

TEST_F(UploadCommand, dryRunListsTheQueueAndSendsNothing) {
    const Saida s = rodar(
        {"--system", "KOR", "--dir", dir.path(), "--mask", "*.SQL", "--since", "2024-05-01", "--dry-run"});
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, esperado({"a.sql", "b.sql", "sub/c.sql"}));
    EXPECT_TRUE(armazenados().isEmpty());
}

TEST_F(UploadCommand, sendsEveryFileAndPrintsOneLineEach) {
    const Saida s = rodar({"--system", "KOR", "--dir", dir.path(), "--since", "2024-05-01"});
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, esperado({"a.sql", "b.sql", "nota.txt", "sub/c.sql"}));
    EXPECT_EQ(s.err, QStringLiteral("1/4\n2/4\n3/4\n4/4\n"));
    EXPECT_EQ(armazenados(), (QStringList{"a.sql", "b.sql", "c.sql", "nota.txt"}));
}

TEST_F(UploadCommand, failedLoginSendsNothing) {
    const Saida s =
        rodar({"--system", "KOR", "--dir", dir.path(), "--since", "2024-05-01"}, QStringLiteral("errada"));
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(armazenados().isEmpty());
}

struct Erro {
    const char *caso;
    QStringList args; // "DIR" stands for the test tree
    int codigo;
    const char *mensagem;
};

class UploadCommandErro : public UploadCommand, public testing::WithParamInterface<Erro> {};

TEST_P(UploadCommandErro, refusesBadInputBeforeSending) {
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    const Saida s = rodar(args);
    EXPECT_EQ(s.codigo, GetParam().codigo);
    EXPECT_TRUE(s.err.contains(QString::fromUtf8(GetParam().mensagem))) << s.err.toStdString();
    EXPECT_TRUE(s.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, UploadCommandErro,
    testing::Values(
        Erro{"no system", {"--dir", "DIR"}, 2, "--system must be"},
        Erro{"unknown system", {"--system", "XYZ", "--dir", "DIR"}, 2, "--system must be"},
        Erro{"no dir", {"--system", "KOR"}, 2, "--dir is required"},
        Erro{"bad date", {"--system", "KOR", "--dir", "DIR", "--since", "05/01/2024"}, 2, "--since"},
        Erro{"missing dir", {"--system", "KOR", "--dir", "/nao/existe"}, 1, "Diretório base inválido."},
        Erro{"nothing found",
             {"--system", "KOR", "--dir", "DIR", "--mask", "*.xyz"},
             1,
             "Não existem scripts a serem enviados."}),
    [](const testing::TestParamInfo<Erro> &info) {
        std::string s = info.param.caso;
        for (char &c : s)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    });

// --trial-database: the queue runs in order on a copy of the database before anything is sent.
class UploadTrial : public UploadCommand {
protected:
    void SetUp() override {
        ASSERT_TRUE(banco.isValid()) << banco.error().toStdString();
        tabelas =
            banco.column(u"select trim(rdb$relation_name) from rdb$relations where rdb$system_flag = 0"_qs);
    }
    void script(const QString &nome, const QByteArray &texto) {
        QFile f(scripts.filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime(QDate(2024, 5, 2), QTime(10, 0)), QFileDevice::FileModificationTime));
    }
    Saida enviar(const QStringList &extra = {}) {
        return rodar(QStringList{"--system", "KOR", "--dir", scripts.path(), "--mask", "*.sql", "--since",
                                 "2024-05-01", "--trial-database", banco.name()} +
                     extra);
    }
    void SemAlteracaoNoBanco() {
        EXPECT_EQ(
            banco.column(u"select trim(rdb$relation_name) from rdb$relations where rdb$system_flag = 0"_qs),
            tabelas);
    }

    FirebirdTestDatabase banco{FirebirdTestDatabase::Access::Embedded, u"CREATE TABLE BASE (N INTEGER);"_qs};
    QStringList tabelas;
    QTemporaryDir scripts;
};

const QByteArray cria = "CREATE TABLE PEDIDO (ID INTEGER);\n";
const QByteArray preenche = "INSERT INTO PEDIDO VALUES (1);\n";
const QByteArray falha = "UPDATE BASE SET N = 1;\n\nINSERT INTO NENHUMA VALUES (1);\n";

TEST_F(UploadTrial, aQueueThatRunsInOrderIsSent) {
    script(u"001_cria.sql"_qs, cria);
    script(u"002_preenche.sql"_qs, preenche);
    const Saida s = enviar();
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_EQ(armazenados(), (QStringList{"001_cria.sql", "002_preenche.sql"}));
    SemAlteracaoNoBanco();
}

TEST_F(UploadTrial, aFailingScriptSendsNothingAndNamesItsLine) {
    script(u"001_cria.sql"_qs, cria);
    script(u"002_preenche.sql"_qs, preenche);
    script(u"003_falha.sql"_qs, falha);
    const Saida texto = enviar();
    EXPECT_EQ(texto.codigo, 4) << texto.err.toStdString();
    EXPECT_TRUE(texto.out.isEmpty()) << texto.out.toStdString();
    EXPECT_TRUE(texto.err.startsWith(u"falhou no ensaio: "_qs + scripts.filePath(u"003_falha.sql"_qs) +
                                     u"\n  Linha 3: "_qs))
        << texto.err.toStdString();
    EXPECT_TRUE(texto.err.contains(u"NENHUMA"_qs)) << texto.err.toStdString();
    EXPECT_TRUE(texto.err.endsWith(u"1 script falhou no ensaio; nada foi enviado.\n"_qs))
        << texto.err.toStdString();

    const Saida json = enviar({"--json"});
    EXPECT_EQ(json.codigo, 4) << json.err.toStdString();
    const json::TJSONArray documento(json.out);
    ASSERT_EQ(documento.length(), 3) << json.out.toStdString();
    const QStringList esperados{u"ok"_qs, u"ok"_qs, u"falhou"_qs};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(documento.getJSONObject(i)->getString(u"ensaio"_qs), esperados.at(i));
    EXPECT_EQ(documento.getJSONObject(0)->getJSONArray(u"falhas"_qs)->length(), 0);
    const json::TJSONArray *falhas = documento.getJSONObject(2)->getJSONArray(u"falhas"_qs);
    ASSERT_EQ(falhas->length(), 1);
    EXPECT_EQ(falhas->getJSONObject(0)->getInt(u"linha"_qs), 3);
    EXPECT_TRUE(falhas->getJSONObject(0)->getString(u"mensagem"_qs).contains(u"NENHUMA"_qs));

    EXPECT_TRUE(armazenados().isEmpty());
    SemAlteracaoNoBanco();
}

TEST_F(UploadTrial, aDatabaseThatCannotBeCopiedSendsNothing) {
    script(u"001_cria.sql"_qs, cria);
    const Saida s = rodar({"--system", "KOR", "--dir", scripts.path(), "--mask", "*.sql", "--since",
                           "2024-05-01", "--trial-database", scripts.filePath(u"nao_existe.fdb"_qs)});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.err.contains(u"Falha ao conectar com o banco de dados."_qs)) << s.err.toStdString();
    EXPECT_TRUE(armazenados().isEmpty());
}

} // namespace
