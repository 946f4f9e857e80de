#include "catalog/TabelaLog.h"
#include "catalog/TabelaPesquisa.h"

#include <gtest/gtest.h>

namespace {

RegistroScript Script(int codigo, const QString &arquivo, const QByteArray &script) {
    RegistroScript r;
    r.codigo = codigo;
    r.data = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    r.arquivo = arquivo;
    r.script = script;
    return r;
}

TEST(TabelaPesquisaTest, CutsTheFileNameToItsFieldAndKeepsArrivalOrder) {
    TabelaPesquisa tabela;
    tabela.Adicionar(Script(2, QString(300, QLatin1Char('a')), "b"));
    tabela.Adicionar(Script(1, QStringLiteral("x\u4E00.sql"), "a"));
    ASSERT_EQ(tabela.rowCount(), 2);
    EXPECT_EQ(tabela.Linha(0).arquivo, QString(250, QLatin1Char('a')));
    EXPECT_EQ(tabela.index(1, TabelaPesquisa::ARQUIVO).data().toString(), QStringLiteral("x?.sql"));
    EXPECT_EQ(tabela.index(0, TabelaPesquisa::CODIGO).data().toInt(), 2);
    EXPECT_EQ(tabela.index(1, TabelaPesquisa::CODIGO).data().toInt(), 1);
}

TEST(TabelaPesquisaTest, ScriptIsWindows1252BytesShownAsText) {
    TabelaPesquisa tabela;
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), QByteArray("select '\xE7\x80';")));
    const QModelIndex script = tabela.index(0, TabelaPesquisa::SCRIPT);
    EXPECT_EQ(script.data(Qt::EditRole).toByteArray(), QByteArray("select '\xE7\x80';"));
    EXPECT_EQ(script.data(Qt::DisplayRole).toString(), QStringLiteral("select 'ç€';"));
}

TEST(TabelaPesquisaTest, OnlyTheScriptTakesBytesFromOutside) {
    TabelaPesquisa tabela;
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), "old"));
    int avisos = 0;
    QObject::connect(&tabela, &QAbstractItemModel::dataChanged, [&] { ++avisos; });

    EXPECT_FALSE(tabela.setData(tabela.index(0, TabelaPesquisa::ARQUIVO), QByteArray("b.sql")));
    EXPECT_FALSE(tabela.setData(tabela.index(0, TabelaPesquisa::SCRIPT), QStringLiteral("text, not bytes")));
    EXPECT_EQ(avisos, 0);
    EXPECT_TRUE(tabela.setData(tabela.index(0, TabelaPesquisa::SCRIPT), QByteArray("new")));
    EXPECT_EQ(tabela.Linha(0).script, QByteArray("new"));
    EXPECT_EQ(avisos, 1);
}

TEST(TabelaPesquisaTest, RemovingARowInvalidatesOnlyItsPersistentIndex) {
    TabelaPesquisa tabela;
    for (int codigo : {1, 2, 3})
        tabela.Adicionar(Script(codigo, QStringLiteral("a.sql"), "x"));
    const QPersistentModelIndex segunda(tabela.index(1, TabelaPesquisa::SCRIPT));
    const QPersistentModelIndex terceira(tabela.index(2, TabelaPesquisa::SCRIPT));
    EXPECT_FALSE(tabela.removeRows(2, 2));
    ASSERT_TRUE(tabela.removeRows(1, 1));
    EXPECT_FALSE(segunda.isValid());
    ASSERT_TRUE(terceira.isValid());
    EXPECT_EQ(terceira.row(), 1);
    EXPECT_EQ(tabela.Linha(terceira.row()).codigo, 3);
}

TEST(TabelaLogTest, CutsTextsToTheirFieldSizes) {
    RegistroLog r;
    r.idscript = 9;
    r.arquivo = QString(260, QLatin1Char('f'));
    r.descricao = QString(120, QLatin1Char('d'));
    r.nome = QStringLiteral("a_user_name_of_25_chars__");
    r.script_anterior = "antes";
    r.script_atual = "depois";
    TabelaLog tabela;
    tabela.Adicionar(r);
    EXPECT_EQ(tabela.index(0, TabelaLog::NOME).data().toString(), QStringLiteral("a_user_name_of_25_ch"));
    EXPECT_EQ(tabela.index(0, TabelaLog::DESCRICAO).data().toString().size(), 100);
    EXPECT_EQ(tabela.index(0, TabelaLog::ARQUIVO).data().toString().size(), 250);
    EXPECT_EQ(tabela.index(0, TabelaLog::SCRIPT_ANTERIOR).data().toString(), QStringLiteral("antes"));
    EXPECT_EQ(tabela.index(0, TabelaLog::SCRIPT_ATUAL).data(Qt::EditRole).toByteArray(),
              QByteArray("depois"));
}

// The grids take their captions and column count from the tables.
TEST(TabelasTest, EveryColumnHasItsCaption) {
    const auto cabecalhos = [](const QAbstractItemModel &tabela) {
        QStringList lista;
        for (int coluna = 0; coluna <= tabela.columnCount(); ++coluna)
            lista << tabela.headerData(coluna, Qt::Horizontal).toString();
        return lista;
    };
    EXPECT_EQ(cabecalhos(TabelaPesquisa()), (QStringList{"Código", "Data", "Arquivo", "Script", QString()}));
    EXPECT_EQ(cabecalhos(TabelaLog()), (QStringList{"Código", "Data", "Usuário", "Arquivo", "Descrição",
                                                    "Script antes da alteração", "Script atual", QString()}));
}

} // namespace
