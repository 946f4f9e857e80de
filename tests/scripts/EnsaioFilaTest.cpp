#include "scripts/EnsaioFila.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using Access = FirebirdTestDatabase::Access;

QString senha(Access access) {
    return access == Access::Server ? FirebirdTestDatabase::serverPassword() : QString();
}

// What a trial must leave as it was: the tables, their rows and the files beside the database.
QStringList estado(FirebirdTestDatabase &banco) {
    QStringList e =
        banco.column(u"select trim(rdb$relation_name) from rdb$relations where rdb$system_flag = 0 "
                     "order by 1"_qs);
    e += banco.column(u"select mon$backup_state from mon$database"_qs);
    e += QFileInfo(banco.name().section(u':', -1)).dir().entryList(QDir::Files);
    return e;
}

const QByteArray cria = "CREATE TABLE PEDIDO (ID INTEGER NOT NULL, NOME VARCHAR(20));\r\n";
const QByteArray preenche =
    "INSERT INTO PEDIDO VALUES (1, 'um');\r\nINSERT INTO PEDIDO VALUES (2, 'dois');\r\n";
const QByteArray falhaNaLinha3 = "UPDATE BASE SET N = 1;\r\n\r\nINSERT INTO NENHUMA VALUES (1);\r\n";
const QByteArray criaComErro = "CREATE TABLE ITEM (ID INTEGR);\r\n";
const QByteArray usaItem = "INSERT INTO ITEM VALUES (1);\r\n";

struct Caso {
    const char *nome;
    QList<EnsaioFila::Arquivo> fila;
    // Per file: the column's text, or its start and "*" with a part it must hold.
    QStringList textos;
};

// Each file's column text: exact, or "prefix*part" when the engine's words follow the prefix.
void conferir(const QList<EnsaioFila::Resultado> &resultados, const QStringList &esperados) {
    ASSERT_EQ(resultados.size(), esperados.size());
    for (qsizetype i = 0; i < esperados.size(); ++i) {
        const QString texto = EnsaioFila::texto(resultados.at(i));
        const QStringList partes = esperados.at(i).split(u'*');
        EXPECT_TRUE(texto.startsWith(partes.at(0))) << i << ": " << texto.toStdString();
        for (const QString &parte : partes.mid(1)) {
            EXPECT_TRUE(texto.contains(parte))
                << i << ": " << texto.toStdString() << " lacks " << parte.toStdString();
        }
        if (partes.size() == 1) {
            EXPECT_EQ(texto, esperados.at(i));
        }
    }
}

const Caso casos[] = {
    {"in_order",
     {{u"/s/001_cria.sql"_qs, cria}, {u"/s/002_preenche.sql"_qs, preenche}},
     {u"OK"_qs, u"OK"_qs}},
    {"reordered",
     {{u"/s/002_preenche.sql"_qs, preenche}, {u"/s/001_cria.sql"_qs, cria}},
     {u"Falhou: Linha 1: *PEDIDO"_qs, u"OK"_qs}},
    {"third_fails",
     {{u"/s/001_cria.sql"_qs, cria},
      {u"/s/002_preenche.sql"_qs, preenche},
      {u"/s/003_falha.sql"_qs, falhaNaLinha3}},
     {u"OK"_qs, u"OK"_qs, u"Falhou: Linha 3: *NENHUMA"_qs}},
    {"cascade",
     {{u"/s/001_cria.sql"_qs, cria},
      {u"/s/002_item.sql"_qs, criaComErro},
      {u"/s/003_preenche.sql"_qs, preenche},
      {u"/s/004_usa_item.sql"_qs, usaItem}},
     {u"OK"_qs, u"Falhou: Linha 1: *INTEGR"_qs, u"OK"_qs,
      u"Falhou: Linha 1: *ITEM*(após falha em 002_item.sql)"_qs}},
};

class EnsaioFilaTest : public testing::TestWithParam<Access> {
protected:
    void SetUp() override {
        if (GetParam() == Access::Server && !FirebirdTestDatabase::serverConfigured())
            GTEST_SKIP() << "BRISEL_FB_PASSWORD is not set";
        ASSERT_TRUE(m_registro.isValid());
    }
    EnsaioFila ensaio() const {
        return EnsaioFila(FirebirdClient::system(), TrialCopyRegistry(m_registro.path()));
    }

    QTemporaryDir m_registro;
};

TEST_P(EnsaioFilaTest, EachScriptOnTheStateThePreviousLeftAndTheDatabaseUnchanged) {
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        FirebirdTestDatabase banco(GetParam(), u"CREATE TABLE BASE (N INTEGER);"_qs);
        ASSERT_TRUE(banco.isValid()) << banco.error().toStdString();
        const QStringList antes = estado(banco);
        QList<int> progresso;
        EnsaioFila::Ganchos ganchos;
        ganchos.progresso = [&](int numero, int total) {
            EXPECT_EQ(total, c.fila.size());
            progresso << numero;
        };
        const QList<EnsaioFila::Resultado> resultados =
            ensaio().Ensaiar(banco.name(), senha(GetParam()), c.fila, ganchos);
        conferir(resultados, c.textos);
        EXPECT_EQ(progresso.size(), c.fila.size());
        EXPECT_EQ(estado(banco), antes);
        EXPECT_TRUE(QDir(m_registro.path()).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Access, EnsaioFilaTest, testing::Values(Access::Embedded, Access::Server));

TEST(EnsaioFilaParada, StopsAfterTheScriptInProgressAndDropsTheCopy) {
    FirebirdTestDatabase banco(Access::Embedded, u"CREATE TABLE BASE (N INTEGER);"_qs);
    ASSERT_TRUE(banco.isValid()) << banco.error().toStdString();
    QTemporaryDir registro;
    const QStringList antes = estado(banco);
    Cancelamento parar;
    EnsaioFila::Ganchos ganchos;
    ganchos.parar = &parar;
    ganchos.progresso = [&](int numero, int) {
        if (numero == 2)
            parar.cancelar();
    };
    const QList<EnsaioFila::Resultado> resultados =
        EnsaioFila(FirebirdClient::system(), TrialCopyRegistry(registro.path()))
            .Ensaiar(banco.name(), QString(),
                     {{u"1.sql"_qs, cria}, {u"2.sql"_qs, preenche}, {u"3.sql"_qs, usaItem}}, ganchos);
    ASSERT_EQ(resultados.size(), 3);
    EXPECT_EQ(EnsaioFila::texto(resultados.at(0)), u"OK"_qs);
    EXPECT_FALSE(resultados.at(1).executado);
    EXPECT_FALSE(resultados.at(2).executado);
    EXPECT_EQ(EnsaioFila::texto(resultados.at(2)), QString());
    EXPECT_EQ(estado(banco), antes);
    EXPECT_TRUE(QDir(registro.path()).isEmpty());
}

TEST(EnsaioFilaFalha, ADatabaseThatCannotBeAttachedRunsNothingAndSaysWhy) {
    QTemporaryDir pasta;
    try {
        EnsaioFila(FirebirdClient::system(), TrialCopyRegistry(pasta.path()))
            .Ensaiar(pasta.filePath(u"nao_existe.fdb"_qs), QString(), {{u"1.sql"_qs, cria}}, {});
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().startsWith(ScriptRunner::failedLine())) << e.message().toStdString();
        EXPECT_GT(e.message().size(), ScriptRunner::failedLine().size());
    }
}

} // namespace
