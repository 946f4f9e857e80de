#include "scripts/FilaArquivosModel.h"
#include "tests/scripts/QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
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

void gravar(const QString &caminho, const QByteArray &bytes) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Three files read into the queue; the test changes them on disk afterwards.
struct FilaDeArquivos {
    FilaDeArquivos() {
        for (const char *nome : {"a.sql", "b.sql", "c.sql"}) {
            const QString caminho = dir.filePath(QLatin1String(nome));
            gravar(caminho, QByteArray(nome) + "\n");
            fila.AdicionarArquivo(caminho, QDateTime::currentDateTime());
        }
    }
    QString caminho(int row) const { return fila.nomeArq(row); }
    QTemporaryDir dir;
    FilaArquivosModel fila;
};

TEST(FilaArquivos, changedFilesAreReadAgainAndVanishedOnesAreNamed) {
    FilaDeArquivos f;
    f.fila.RegistrarEnvio(f.fila.linhas(), FilaArquivosModel::Linha(), QString(), QStringLiteral("KOR"));
    gravar(f.caminho(0), "novo a\n\xC3\xA7\n");
    QFile::remove(f.caminho(1));
    gravar(f.caminho(2), "novo c\n");

    const QDateTime novaData(QDate(2031, 5, 6), QTime(7, 8, 10));
    {
        QFile arquivo(f.caminho(0));
        ASSERT_TRUE(arquivo.open(QIODevice::ReadWrite));
        ASSERT_TRUE(arquivo.setFileTime(novaData, QFileDevice::FileModificationTime));
    }

    QList<int> ausentes;
    EXPECT_EQ(f.fila.AtualizarAlterados({0, 1, 2}, ausentes), (QStringList{f.caminho(0), f.caminho(2)}));
    EXPECT_EQ(ausentes, QList<int>{1});
    EXPECT_EQ(f.fila.script(0), QByteArray("novo a\r\n\xE7\r\n"));
    EXPECT_EQ(f.fila.linha(0).data, novaData); // sent with the time of its new text
    EXPECT_EQ(f.fila.linha(0).formato.codificacao, TextFile::Codificacao::Utf8);
    // The new texts have not been sent; the rows after the vanished file are looked at too.
    EXPECT_EQ(f.fila.linha(0).envio, FilaArquivosModel::Envio::Pendente);
    EXPECT_EQ(f.fila.script(2), QByteArray("novo c\r\n"));
    EXPECT_EQ(f.fila.linha(2).envio, FilaArquivosModel::Envio::Pendente);

    ausentes.clear();
    EXPECT_EQ(f.fila.AtualizarAlterados({0, 2}, ausentes), QStringList());
    EXPECT_TRUE(ausentes.isEmpty());
}

TEST(FilaArquivos, uploadOutcomeIsShownPerRowAndFollowsItsRow) {
    FilaDeArquivos f;
    const QList<FilaArquivosModel::Linha> enviadas = f.fila.linhas();
    // A local save changed the second row's text while the run was sending the old one.
    gravar(f.caminho(1), "salvo\n");
    ASSERT_TRUE(f.fila.setData(f.fila.index(1, FilaArquivosModel::SCRIPT), QByteArray("salvo\r\n")));
    f.fila.Mover(0, 2);

    QSignalSpy mudou(&f.fila, &QAbstractItemModel::dataChanged);
    f.fila.RegistrarEnvio(enviadas.mid(0, 2), enviadas.at(2), QStringLiteral("Tempo esgotado."),
                          QStringLiteral("TALAO"));
    // One notice per column, not one per row: a run may mark thousands.
    ASSERT_EQ(mudou.count(), 2);
    EXPECT_EQ(mudou[0][0].toModelIndex(), f.fila.index(0, FilaArquivosModel::SITUACAO));
    EXPECT_EQ(mudou[0][1].toModelIndex(), f.fila.index(2, FilaArquivosModel::SITUACAO));
    EXPECT_EQ(mudou[1][0].toModelIndex(), f.fila.index(0, FilaArquivosModel::NOSERVICO));
    auto situacao = [&](int row) {
        return f.fila.data(f.fila.index(row, FilaArquivosModel::SITUACAO)).toString();
    };
    EXPECT_EQ(f.fila.nomeArq(2), f.caminho(2)); // a.sql, moved last
    EXPECT_EQ(situacao(2), QStringLiteral("Enviado para TALAO"));
    EXPECT_EQ(situacao(0), QString()); // b.sql: its new text was not sent
    EXPECT_EQ(situacao(1), QStringLiteral("Erro: Tempo esgotado."));
    EXPECT_EQ(f.fila.headerData(FilaArquivosModel::SITUACAO, Qt::Horizontal).toString(),
              QStringLiteral("Situação"));
}

// States looked up on a worker come back after the queue may have changed: only those that
// still describe their row's text under the system shown are taken.
TEST(FilaArquivos, aServiceStateIsKeptOnlyForTheTextAndSystemItWasLookedUpFor) {
    FilaDeArquivos f;
    f.fila.setSistemaNoServico(QStringLiteral("KOR"));
    const QList<FilaArquivosModel::Linha> consultadas = f.fila.linhas();
    auto estado = [&](int i, EstadoNoServico::Tipo tipo) {
        return FilaArquivosModel::EstadoConsultado{
            consultadas.at(i).id, consultadas.at(i).script, {tipo, 7, {}}};
    };
    auto noServico = [&](int row) {
        return f.fila.data(f.fila.index(row, FilaArquivosModel::NOSERVICO)).toString();
    };
    gravar(f.caminho(1), "outro\n");
    f.fila.Recarregar(1);
    f.fila.removeRows(2, 1);

    f.fila.RegistrarNoServico(QStringLiteral("TALAO"), {estado(0, EstadoNoServico::Tipo::Igual)});
    EXPECT_EQ(noServico(0), QString()); // another system's answer
    f.fila.RegistrarNoServico(QStringLiteral("KOR"), {estado(0, EstadoNoServico::Tipo::Igual),
                                                      estado(1, EstadoNoServico::Tipo::Igual),
                                                      estado(2, EstadoNoServico::Tipo::Novo)});
    EXPECT_EQ(noServico(0), QStringLiteral("Igual (código 7)"));
    EXPECT_EQ(noServico(1), QString()); // read again meanwhile: its new text was not looked up
    EXPECT_EQ(f.fila.linhasSemEstado(), QList<int>{1});
    EXPECT_EQ(f.fila.headerData(FilaArquivosModel::NOSERVICO, Qt::Horizontal).toString(),
              QStringLiteral("No serviço"));

    f.fila.setSistemaNoServico(QStringLiteral("TALAO"));
    EXPECT_EQ(noServico(0), QString());
    EXPECT_EQ(f.fila.linhasSemEstado(), (QList<int>{0, 1}));
}

TEST(FilaArquivos, aLocalSaveGivesTheRowTheFilesNewTextAndStamp) {
    FilaDeArquivos f;
    f.fila.RegistrarEnvio(f.fila.linhas(), FilaArquivosModel::Linha(), QString(), QStringLiteral("KOR"));
    gravar(f.caminho(0), "x \xE2\x86\x92\n");
    ASSERT_TRUE(f.fila.setData(f.fila.index(0, FilaArquivosModel::SCRIPT), QByteArray("x ?\r\n")));
    EXPECT_EQ(f.fila.script(0), QByteArray("x ?\r\n"));
    EXPECT_EQ(f.fila.linha(0).naoSuportados.size(), 1);
    EXPECT_EQ(f.fila.linha(0).envio, FilaArquivosModel::Envio::Pendente);
    QList<int> ausentes;
    EXPECT_TRUE(f.fila.AtualizarAlterados({0}, ausentes).isEmpty()) << "the saved file counts as read";
}

// What a change of the queue after a trial does to column ENSAIO: which rows keep their text,
// and whether the trial is stale.
struct MudancaAposEnsaio {
    const char *nome;
    std::function<void(FilaArquivosModel &)> mudar;
    QStringList textos;
    bool desatualizado;
};

TEST(FilaArquivos, aTrialsOutcomesGoWhenTheQueueChanges) {
    const MudancaAposEnsaio casos[] = {
        {"nothing", [](FilaArquivosModel &) {}, {"OK", "Falhou: x", "OK"}, false},
        {"move", [](FilaArquivosModel &f) { f.Mover(2, 0); }, {"", "", ""}, true},
        {"move onto itself", [](FilaArquivosModel &f) { f.Mover(1, 1); }, {"OK", "Falhou: x", "OK"}, false},
        {"removal", [](FilaArquivosModel &f) { f.removeRows(0, 1); }, {"Falhou: x", "OK"}, true},
        {"local save",
         [](FilaArquivosModel &f) { f.setData(f.index(1, FilaArquivosModel::SCRIPT), QByteArray("y")); },
         {"OK", "", "OK"},
         true},
        {"another database", [](FilaArquivosModel &f) { f.PerderEnsaio(); }, {"", "", ""}, true},
        {"new search", [](FilaArquivosModel &f) { f.Limpar(); }, {}, false},
    };
    for (const MudancaAposEnsaio &c : casos) {
        SCOPED_TRACE(c.nome);
        FilaArquivosModel fila;
        encher(fila, 3);
        QList<FilaArquivosModel::EnsaioRegistrado> ensaios;
        for (int i = 0; i < 3; ++i)
            ensaios.append({fila.linha(i).id, fila.script(i),
                            i == 1 ? QStringLiteral("Falhou: x") : QStringLiteral("OK"), i == 1});
        fila.RegistrarEnsaio(ensaios, fila.versaoFila());
        c.mudar(fila);
        QStringList textos;
        for (int i = 0; i < fila.rowCount(); ++i)
            textos << fila.index(i, FilaArquivosModel::ENSAIO).data().toString();
        EXPECT_EQ(textos, c.textos);
        EXPECT_EQ(fila.ensaioDesatualizado(), c.desatualizado);
    }
}

TEST(FilaArquivos, aTrialOfAQueueChangedMeanwhileIsStaleAndCountsOnlyTheRowsAsked) {
    FilaArquivosModel fila;
    encher(fila, 3);
    const quint64 versao = fila.versaoFila();
    const QList<FilaArquivosModel::EnsaioRegistrado> ensaios{
        {fila.linha(0).id, fila.script(0), QStringLiteral("Falhou: a"), true},
        {fila.linha(1).id, QByteArray("texto antigo"), QStringLiteral("Falhou: b"), true},
        {fila.linha(2).id, fila.script(2), QStringLiteral("Falhou: c"), true}};
    fila.Mover(2, 0); // while the trial ran
    fila.RegistrarEnsaio(ensaios, versao);
    EXPECT_TRUE(fila.ensaioDesatualizado());
    // The row whose text is no longer the one tried keeps no outcome.
    EXPECT_EQ(fila.falhasNoEnsaio({0, 1, 2}), 2);
    EXPECT_EQ(fila.falhasNoEnsaio({0}), 1);
}

} // namespace
