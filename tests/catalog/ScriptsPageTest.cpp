#include "catalog/ScriptsPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/Protocolo.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/support/Controle.h"
#include "tests/support/RecordingMessages.h"
#include "widgets/DateEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include <memory>

// Page "Scripts" against the reference service on loopback.
class ScriptsPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ServicoDeTeste> servico;
    RecordingMessages messages;
    RecordingEspera espera;
    std::unique_ptr<ScriptsPage> pagina;

    template <class T> T *controle(const char *nome) { return Controle<T>(pagina.get(), nome); }
    QString total() { return controle<QLabel>("lblEditarTotalRegistros")->text(); }
    void abrir(int tamanhoPagina, const QStringList &nomes) {
        servico = std::make_unique<ServicoDeTeste>(tamanhoPagina);
        for (const QString &nome : nomes)
            servico->Inserir(nome, "select '" + nome.toLatin1() + "';");
        pagina = std::make_unique<ScriptsPage>(servico->sessao, messages, espera, QString());
        pagina->edEditarDataInicio()->setDate({});
        pagina->edEditarDataFim()->setDate({});
        pagina->show();
    }
    void procurar() {
        controle<QToolButton>("btEditarPesquisa")->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            espera.eventos.isEmpty() || espera.eventos.last() == QStringLiteral("Finalizar"), 15000);
    }
    int linhaAtual() { return controle<QTableView>("dbgPesquisa")->currentIndex().row(); }

private slots:
    // The reference service sends dates in the Brazilian short form.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init() {
        messages.boxes.clear();
        messages.answers.clear();
        espera.eventos.clear();
    }
    void cleanup() {
        pagina.reset();
        servico.reset();
    }

    void searchInPagesEndsWithAllRowsFirstRowCurrentAndTheCount() {
        abrir(2, {"a.sql", "b.sql", "c.sql", "d.sql", "e.sql"});
        procurar();
        QCOMPARE(espera.eventos, (QStringList{QStringLiteral("Iniciar 5 Pesquisando scripts no servidor..."),
                                              QStringLiteral("Finalizar")}));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 5);
        QCOMPARE(espera.Valor(), 5);
        QCOMPARE(total(), QStringLiteral("5"));
        QCOMPARE(linhaAtual(), 0);
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("select 'a.sql';"));
        QVERIFY(messages.boxes.isEmpty());
    }

    void maximumAboveTheLimitIsResetAndNothingChanges() {
        abrir(50, {"a.sql"});
        procurar();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        espera.eventos.clear();
        pagina->edEditarMaximo()->setText(QStringLiteral("501"));
        procurar();
        QCOMPARE(pagina->edEditarMaximo()->text(), QStringLiteral("500"));
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral("A quantidade máxima de registros não pode ser superior a 500."));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QVERIFY(espera.eventos.isEmpty());
        // 500 itself is accepted.
        procurar();
        QCOMPARE(espera.eventos.size(), 2);
        QCOMPARE(messages.boxes.size(), 1);
    }

    void controlsBecomeTheirFieldsAndEmptyOnesAreLeftOut() {
        abrir(50, {});
        controle<QComboBox>("cbEditarSistema")->setCurrentIndex(2);
        controle<QLineEdit>("edEditarCodigo")->setText(QStringLiteral("12"));
        pagina->edEditarDataInicio()->setDate(QDate(2024, 1, 31));
        controle<QLineEdit>("edEditarArquivo")->setText(QStringLiteral("x y"));
        pagina->edEditarMaximo()->setText(QString());
        QCOMPARE(pagina->MontarParametrosPesquisa().codificar(),
                 "sistema=TALAO&codigo=12&data_inicio=2024-01-31&arquivo=x+y&maximo=0&chave=" +
                     servico->sessao.chave().toLatin1());
    }

    void filtersSelectOnTheService() {
        abrir(50, {"alpha.sql", "beta.sql"});
        servico->Inserir(QStringLiteral("gamma.sql"), "x", QStringLiteral("TALAO"));
        controle<QComboBox>("cbEditarSistema")->setCurrentIndex(0);
        controle<QLineEdit>("edEditarArquivo")->setText(QStringLiteral("ph"));
        procurar();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(pagina->cdsPesquisa().Linha(0).arquivo, QStringLiteral("alpha.sql"));
    }

    void nothingFoundLeavesAnEmptyTableAndTheLabelAsItWas() {
        abrir(50, {"a.sql"});
        procurar();
        QCOMPARE(total(), QStringLiteral("1"));
        controle<QLineEdit>("edEditarArquivo")->setText(QStringLiteral("nope"));
        espera.eventos.clear();
        procurar();
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Information);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral("Não foram encontrados scripts com os parâmetros informados."));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 0);
        QCOMPARE(total(), QStringLiteral("1"));
        QVERIFY(espera.eventos.isEmpty());
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QString());
    }

    void aRefusedKeyShowsTheServiceMessage() {
        abrir(50, {"a.sql"});
        servico->sessao.setChave(QStringLiteral("wrong"));
        procurar();
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Error);
        QVERIFY(!messages.boxes[0].text.isEmpty());
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 0);
        QVERIFY(espera.eventos.isEmpty());
    }

    void aStoppedServiceAtCountingReachesTheGeneralErrorReport() {
        abrir(50, {"a.sql"});
        servico->Parar();
        procurar();
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
        QVERIFY(espera.eventos.isEmpty());
    }

    void aFailureOnTheSecondPageKeepsTheFirstPage() {
        abrir(2, {"a.sql", "b.sql", "c.sql", "d.sql"});
        connect(&pagina->cdsPesquisa(), &QAbstractItemModel::rowsInserted, this, [this] {
            if (pagina->cdsPesquisa().rowCount() == 2)
                servico->Parar();
        });
        procurar();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
        QCOMPARE(total(), QStringLiteral("2"));
        QCOMPARE(linhaAtual(), 0);
        QCOMPARE(espera.eventos.last(), QStringLiteral("Finalizar"));
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
    }

    void deleteMovesToTheNextRowOrThePreviousOne() {
        abrir(50, {"a.sql", "b.sql", "c.sql"});
        procurar();
        auto *grade = controle<QTableView>("dbgPesquisa");
        const auto excluir = [&] { controle<QToolButton>("btExcluirRegistro")->click(); };

        grade->setCurrentIndex(pagina->cdsPesquisa().index(1, 0));
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
        QCOMPARE(pagina->cdsPesquisa().Linha(linhaAtual()).arquivo, QStringLiteral("c.sql"));

        // The last row: the previous one becomes current.
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(pagina->cdsPesquisa().Linha(linhaAtual()).arquivo, QStringLiteral("a.sql"));
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("select 'a.sql';"));

        // The only row: the table is left empty, the label keeps the last fetch's count.
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 0);
        QCOMPARE(total(), QStringLiteral("3"));
        QCOMPARE(messages.boxes.size(), 3);
        for (const RecordingMessages::Box &box : messages.boxes)
            QCOMPARE(box.text, QStringLiteral("Deseja excluir o script selecionado?"));

        // With an empty table neither button does anything.
        excluir();
        controle<QToolButton>("btEditarRegistro")->click();
        QCOMPARE(messages.boxes.size(), 3);
        QVERIFY(pagina->findChildren<TfrmVisualizarScript *>().isEmpty());

        procurar();
        QVERIFY(messages.boxes.size() > 3);
        QCOMPARE(messages.boxes.last().text,
                 QStringLiteral("Não foram encontrados scripts com os parâmetros informados."));
    }

    void answeringNoKeepsTheRowAndTheStoredScript() {
        abrir(50, {"a.sql"});
        procurar();
        messages.answers = {false};
        controle<QToolButton>("btExcluirRegistro")->click();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(servico->ScriptGuardado(pagina->cdsPesquisa().Linha(0).codigo),
                 QByteArray("select 'a.sql';"));
    }

    void aRefusedDeleteKeepsTheRow() {
        abrir(50, {"a.sql"});
        procurar();
        servico->sessao.setChave(QStringLiteral("wrong"));
        controle<QToolButton>("btExcluirRegistro")->click();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(messages.boxes.last().kind, RecordingMessages::Error);
        QVERIFY(messages.boxes.last().text != QStringLiteral("Falha ao excluir o script."));

        servico->Parar();
        controle<QToolButton>("btExcluirRegistro")->click();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(messages.boxes.last().text, QStringLiteral("Falha ao excluir o script."));
    }

    void editOpensTheSelectedScriptInServerEditMode() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        controle<QTableView>("dbgPesquisa")->setCurrentIndex(pagina->cdsPesquisa().index(1, 0));
        controle<QToolButton>("btEditarRegistro")->click();
        const auto janelas = pagina->findChildren<TfrmVisualizarScript *>();
        QCOMPARE(janelas.size(), 1);
        TfrmVisualizarScript *janela = janelas.first();
        QCOMPARE(janela->Codigo(), QString::number(pagina->cdsPesquisa().Linha(1).codigo));
        QCOMPARE(janela->Script(), QStringLiteral("select 'b.sql';"));
        QVERIFY(!janela->Local());
        QVERIFY(!janela->Comparar());
        QVERIFY(janela->isWindow());
        QVERIFY(janela->isVisible());
        QCOMPARE(janela->Linha().row(), 1);
        auto *salvar = janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
        QVERIFY(!salvar->isEnabled());

        // A save shows the new text in the script view of the current row.
        auto *editor = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
        editor->setFocus();
        editor->setCursorPosition(0, 0);
        QTest::keyClicks(editor, QStringLiteral("--"));
        salvar->click();
        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("--select 'b.sql';"));
        QCOMPARE(pagina->cdsPesquisa().Linha(1).script, QByteArray("--select 'b.sql';"));
        QCOMPARE(servico->ScriptGuardado(pagina->cdsPesquisa().Linha(1).codigo),
                 QByteArray("--select 'b.sql';"));
    }
};

QTEST_MAIN(ScriptsPageTest)
#include "ScriptsPageTest.moc"
