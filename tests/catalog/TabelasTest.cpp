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

// Codes compare as numbers (9 before 10), dates as dates (not as their day-first text), names in
// the user's order; equal values keep their arrival order in both directions.
TEST(TabelaPesquisaTest, SortsByAColumnsStoredValuesAndPersistentIndexesFollowTheirRows) {
    TabelaPesquisa tabela;
    const struct {
        int codigo;
        QDate dia;
        const char *arquivo;
    } linhas[] = {{10, {2024, 1, 2}, "b.sql"},
                  {9, {2023, 12, 31}, "B.sql"},
                  {100, {2024, 2, 1}, "á.sql"},
                  {9, {2024, 1, 2}, "c.sql"}};
    for (const auto &l : linhas) {
        RegistroScript r = Script(l.codigo, QString::fromUtf8(l.arquivo), "x");
        r.data = QDateTime(l.dia, QTime(12, 0));
        tabela.Adicionar(r);
    }
    const auto ordem = [&] {
        QStringList nomes;
        for (int i = 0; i < tabela.rowCount(); ++i)
            nomes << tabela.Linha(i).arquivo;
        return nomes;
    };
    const QPersistentModelIndex c(tabela.index(3, TabelaPesquisa::SCRIPT));

    tabela.sort(-1);
    EXPECT_EQ(ordem(), (QStringList{"b.sql", "B.sql", "á.sql", "c.sql"}));
    tabela.sort(TabelaPesquisa::CODIGO);
    EXPECT_EQ(ordem(), (QStringList{"B.sql", "c.sql", "b.sql", "á.sql"}));
    tabela.sort(TabelaPesquisa::CODIGO, Qt::DescendingOrder);
    EXPECT_EQ(ordem(), (QStringList{"á.sql", "b.sql", "B.sql", "c.sql"}));
    tabela.sort(TabelaPesquisa::DATA);
    EXPECT_EQ(ordem(), (QStringList{"B.sql", "b.sql", "c.sql", "á.sql"}));
    tabela.sort(TabelaPesquisa::ARQUIVO);
    EXPECT_EQ(ordem(), (QStringList{"á.sql", "b.sql", "B.sql", "c.sql"}));
    ASSERT_TRUE(c.isValid());
    EXPECT_EQ(tabela.Linha(c.row()).arquivo, QStringLiteral("c.sql"));
    EXPECT_EQ(c.column(), int(TabelaPesquisa::SCRIPT));

    // Rows handed out and put back come back as they were.
    QList<RegistroScript> retiradas = tabela.Retirar();
    EXPECT_EQ(tabela.rowCount(), 0);
    const QStringList antes = [&] {
        QStringList nomes;
        for (const RegistroScript &r : retiradas)
            nomes << r.arquivo;
        return nomes;
    }();
    tabela.Repor(std::move(retiradas));
    EXPECT_EQ(ordem(), antes);
}

// What the service is known to store reaches the rows fetched before it was learned (rows on
// screen, rows put back after a cancelled search, rows of a fetch under way), never the rows of a
// fetch that began after it, which are newer.
TEST(TabelaPesquisaTest, RowsNeverOfferATextOlderThanWhatTheServiceIsKnownToStore) {
    TabelaPesquisa tabela;
    const auto scripts = [&] {
        QList<QByteArray> textos;
        for (int i = 0; i < tabela.rowCount(); ++i)
            textos << QByteArray::number(tabela.Linha(i).codigo) + ":" + tabela.Linha(i).script;
        return textos;
    };
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), "a"));
    tabela.Adicionar(Script(2, QStringLiteral("b.sql"), "b"));
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), "a"));
    tabela.Armazenado(1, QByteArray("a1"));
    EXPECT_EQ(scripts(), (QList<QByteArray>{"1:a1", "2:b", "1:a1"}));

    // A search begins; a save ends while it fetches.
    QList<RegistroScript> retiradas = tabela.Retirar();
    tabela.Armazenado(2, QByteArray("b1"));
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), "a2")); // changed on the service since
    tabela.Adicionar(Script(2, QStringLiteral("b.sql"), "b"));  // fetched before the save ended
    EXPECT_EQ(scripts(), (QList<QByteArray>{"1:a2", "2:b1"}));

    // Cancelled: the rows put back take what was learned during the search.
    tabela.Retirar();
    tabela.Armazenado(1, std::nullopt); // read back: gone
    tabela.Repor(std::move(retiradas));
    EXPECT_EQ(scripts(), (QList<QByteArray>{"2:b1"}));

    // A later search takes the rows as the service sends them, but for what is learned meanwhile.
    retiradas = tabela.Retirar();
    tabela.Armazenado(2, QByteArray("b2"));
    tabela.Adicionar(Script(1, QStringLiteral("a.sql"), "a2"));
    tabela.Adicionar(Script(2, QStringLiteral("b.sql"), "b1"));
    EXPECT_EQ(scripts(), (QList<QByteArray>{"1:a2", "2:b2"}));
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
