#include "scripts/FilaArquivosModel.h"
#include "tests/scripts/QtPrinters.h"

#include <gtest/gtest.h>

#include <QPersistentModelIndex>
#include <QSignalSpy>

#include <vector>

namespace {

// A queue whose rows are named A, B, C, ... in order; the script of a row is its name.
void encher(FilaArquivosModel &fila, int n) {
    for (int i = 0; i < n; ++i) {
        const QString nome(QChar(u'A' + i));
        fila.Adicionar(QDateTime(QDate(2019, 3, 5), QTime(10, 0)), nome, nome.toLatin1());
    }
}

QString ordem(const FilaArquivosModel &fila) {
    QString s;
    for (int i = 0; i < fila.rowCount(); ++i)
        s += fila.nomeArq(i);
    return s;
}

std::vector<float> chaves(const FilaArquivosModel &fila) {
    std::vector<float> v;
    for (int i = 0; i < fila.rowCount(); ++i)
        v.push_back(fila.linha(i).ordem);
    return v;
}

std::vector<float> sequencia(int n) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i)
        v.push_back(float(i));
    return v;
}

struct Movimento {
    const char *caso;
    int linhas;
    QList<int> removidas; // rows removed before the move, highest first
    int origem, destino;  // 0-based rows
    int esperado;         // new row of the moved row, -1 for no move
    const char *ordemFinal;
};

class FilaMover : public testing::TestWithParam<Movimento> {};

TEST_P(FilaMover, ordemChavesELinhaAtual) {
    const Movimento &m = GetParam();
    FilaArquivosModel fila;
    encher(fila, m.linhas);
    for (int r : m.removidas)
        fila.removeRows(r, 1);

    const std::vector<float> antes = chaves(fila);
    EXPECT_EQ(fila.Mover(m.origem, m.destino), m.esperado);
    EXPECT_EQ(ordem(fila), QString::fromLatin1(m.ordemFinal));
    if (m.esperado < 0)
        EXPECT_EQ(chaves(fila), antes) << "no move leaves the keys alone";
    else
        EXPECT_EQ(chaves(fila), sequencia(fila.rowCount()));
    for (int i = 0; i < fila.rowCount(); ++i)
        EXPECT_EQ(fila.script(i), fila.nomeArq(i).toLatin1()) << "fields stay together";
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FilaMover,
    testing::Values(Movimento{"D onto B", 4, {}, 3, 1, 1, "ADBC"},
                    Movimento{"A onto C", 4, {}, 0, 2, 2, "BCAD"},
                    Movimento{"onto itself", 4, {}, 2, 2, -1, "ABCD"},
                    // Grid scrolled so the 11th row shows first: its 2nd shown row onto its 4th.
                    Movimento{"12th onto 14th", 20, {}, 11, 13, 13, "ABCDEFGHIJKMNLOPQRST"},
                    Movimento{"last onto first after a removal", 4, {1}, 2, 0, 0, "DAC"},
                    Movimento{"first onto last", 4, {}, 0, 3, 3, "BCDA"},
                    Movimento{"neighbour down", 4, {}, 1, 2, 2, "ACBD"},
                    Movimento{"neighbour up", 4, {}, 2, 1, 1, "ACBD"},
                    Movimento{"title row (-1)", 4, {}, 2, -1, -1, "ABCD"},
                    Movimento{"below the last row", 4, {}, 2, 4, -1, "ABCD"}),
    [](const testing::TestParamInfo<Movimento> &info) {
        std::string s = info.param.caso;
        for (char &c : s)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    });

TEST(FilaArquivos, removalLeavesGapsAndAdditionGoesAboveTheLastKey) {
    FilaArquivosModel fila;
    encher(fila, 4);
    fila.removeRows(1, 1);
    EXPECT_EQ(chaves(fila), (std::vector<float>{0, 2, 3}));
    fila.Adicionar(QDateTime::currentDateTime(), QStringLiteral("E"), "E");
    EXPECT_EQ(chaves(fila), (std::vector<float>{0, 2, 3, 4}));
    // With strictly rising keys the drop arithmetic still lands next to its target.
    EXPECT_EQ(fila.Mover(0, 2), 2);
    EXPECT_EQ(ordem(fila), QStringLiteral("CDAE"));
}

TEST(FilaArquivos, moveKeepsPersistentIndexesAndSharesTheScripts) {
    FilaArquivosModel fila;
    encher(fila, 4);
    QPersistentModelIndex celulaD(fila.index(3, FilaArquivosModel::SCRIPT));
    const char *textoD = fila.linha(3).script.constData();

    fila.Mover(3, 1);

    ASSERT_TRUE(celulaD.isValid());
    EXPECT_EQ(celulaD.row(), 1);
    EXPECT_EQ(fila.linha(1).script.constData(), textoD) << "the script was copied";

    // The editor window writes a saved text through the index it kept.
    QSignalSpy mudou(&fila, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(fila.setData(celulaD, QByteArray("novo\r\n"), Qt::EditRole));
    EXPECT_EQ(fila.script(1), QByteArray("novo\r\n"));
    EXPECT_EQ(mudou.count(), 1);

    fila.removeRows(1, 1);
    EXPECT_FALSE(celulaD.isValid());
}

TEST(FilaArquivos, onlyTheScriptColumnIsWritable) {
    FilaArquivosModel fila;
    encher(fila, 1);
    EXPECT_FALSE(fila.setData(fila.index(0, FilaArquivosModel::NOMEARQ), QStringLiteral("x")));
    EXPECT_FALSE(fila.setData(fila.index(0, FilaArquivosModel::SCRIPT), QByteArray("x"), Qt::DisplayRole));
    EXPECT_EQ(fila.nomeArq(0), QStringLiteral("A"));
}

TEST(FilaArquivos, gridTextsAndStoredValues) {
    FilaArquivosModel fila;
    fila.Adicionar(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 8)), QStringLiteral("/d/a.sql"),
                   QByteArray("sele\xE7\xE3o\r\n"));
    EXPECT_EQ(fila.data(fila.index(0, FilaArquivosModel::DATA)).toString(),
              QStringLiteral("05/03/2019 14:07:08"));
    EXPECT_EQ(fila.data(fila.index(0, FilaArquivosModel::SCRIPT)).toString(), QStringLiteral("seleção\r\n"));
    EXPECT_EQ(fila.data(fila.index(0, FilaArquivosModel::SCRIPT), Qt::EditRole).toByteArray(),
              QByteArray("sele\xE7\xE3o\r\n"));
    EXPECT_EQ(fila.headerData(FilaArquivosModel::NOMEARQ, Qt::Horizontal).toString(),
              QStringLiteral("Nome do Arquivo"));
}

TEST(FilaArquivos, snapshotIsUntouchedByLaterChanges) {
    FilaArquivosModel fila;
    encher(fila, 3);
    const QList<FilaArquivosModel::Linha> copia = fila.linhas();
    fila.setData(fila.index(0, FilaArquivosModel::SCRIPT), QByteArray("editado"));
    fila.Mover(2, 0);
    fila.Limpar();
    ASSERT_EQ(copia.size(), 3);
    EXPECT_EQ(copia[0].script, QByteArray("A"));
    EXPECT_EQ(copia[2].nomeArq, QStringLiteral("C"));
    EXPECT_EQ(fila.rowCount(), 0);
}

} // namespace
