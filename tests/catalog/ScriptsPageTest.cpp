#include "catalog/ScriptsPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/Protocolo.h"
#include "tests/catalog/Batimento.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/catalog/ServicoMudo.h"
#include "tests/catalog/ServicoSemResposta.h"
#include "tests/catalog/ServidorApontado.h"
#include "tests/support/Controle.h"
#include "tests/support/RecordingMessages.h"
#include "widgets/DateEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
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
    // A click, then the wait for the service's answer (the click itself returns at once).
    void clicar(const char *botao) {
        controle<QToolButton>(botao)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 15000);
    }
    void procurar() { clicar("btEditarPesquisa"); }
    void excluir() { clicar("btExcluirRegistro"); }
    int linhaAtual() { return controle<QTableView>("dbgPesquisa")->currentIndex().row(); }
    QStringList arquivos() {
        QStringList nomes;
        for (int i = 0; i < pagina->cdsPesquisa().rowCount(); ++i)
            nomes << pagina->cdsPesquisa().Linha(i).arquivo;
        return nomes;
    }
    void clicarTitulo(int coluna) {
        QHeaderView *titulos = controle<QTableView>("dbgPesquisa")->horizontalHeader();
        const int x = titulos->sectionViewportPosition(coluna) + titulos->sectionSize(coluna) / 2;
        QTest::mouseClick(titulos->viewport(), Qt::LeftButton, {}, QPoint(x, titulos->height() / 2));
    }
    // A page over a recording server instead of the reference service; the session's key is "K".
    void abrirSobre(ServidorApontado &apontado) {
        Q_UNUSED(apontado)
        conexaoAvulsa = std::make_unique<Conexao>();
        sessaoAvulsa = std::make_unique<Sessao>(*conexaoAvulsa);
        sessaoAvulsa->setChave(QStringLiteral("K"));
        pagina = std::make_unique<ScriptsPage>(*sessaoAvulsa, messages, espera, QString());
        pagina->edEditarDataInicio()->setDate({});
        pagina->edEditarDataFim()->setDate({});
        pagina->show();
    }
    std::unique_ptr<Conexao> conexaoAvulsa;
    std::unique_ptr<Sessao> sessaoAvulsa;

    // "Editar" on a row: the editor window it opens, with its text changed by typing `inicio`.
    TfrmVisualizarScript *editarLinha(int linha, const QString &inicio) {
        controle<QTableView>("dbgPesquisa")->setCurrentIndex(pagina->cdsPesquisa().index(linha, 0));
        const auto antes = pagina->findChildren<TfrmVisualizarScript *>();
        controle<QToolButton>("btEditarRegistro")->click();
        TfrmVisualizarScript *janela = nullptr;
        for (TfrmVisualizarScript *j : pagina->findChildren<TfrmVisualizarScript *>())
            if (!antes.contains(j))
                janela = j;
        auto *editor = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
        editor->setFocus();
        editor->setCursorPosition(0, 0);
        QTest::keyClicks(editor, inicio);
        return janela;
    }
    static QToolButton *salvarDe(TfrmVisualizarScript *janela) {
        return janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
    }
    static bool salvando(TfrmVisualizarScript *janela) {
        return janela->findChild<QsciScintilla *>(QStringLiteral("editor"))->isReadOnly();
    }
    QByteArray scriptDaLinha(int codigo) {
        for (int i = 0; i < pagina->cdsPesquisa().rowCount(); ++i)
            if (pagina->cdsPesquisa().Linha(i).codigo == codigo)
                return pagina->cdsPesquisa().Linha(i).script;
        return "<no row>";
    }
    // A save from `janela` that reaches the frozen service and is cancelled there once its wait
    // shows: the request has left by then.
    void salvarECancelarComServicoParado(TfrmVisualizarScript *janela) {
        servico->Pausar(true);
        salvarDe(janela)->click();
        auto *espera = janela->findChild<QWidget *>(QStringLiteral("pnlEspera"));
        QTRY_VERIFY_WITH_TIMEOUT(espera->isVisible(), 10000);
        janela->findChild<QPushButton *>(QStringLiteral("btCancelar"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!salvando(janela), 10000);
    }

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
        sessaoAvulsa.reset();
        conexaoAvulsa.reset();
    }

    void searchInPagesEndsWithAllRowsFirstRowCurrentAndTheCount() {
        abrir(2, {"a.sql", "b.sql", "c.sql", "d.sql", "e.sql"});
        procurar();
        QCOMPARE(espera.semEsperaDeResposta(),
                 (QStringList{QStringLiteral("Iniciar 5 Pesquisando scripts no servidor..."),
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
        QCOMPARE(espera.semEsperaDeResposta().size(), 2);
        QCOMPARE(messages.boxes.size(), 1);
    }

    void controlsBecomeTheirFieldsAndEmptyOnesAreLeftOut() {
        abrir(50, {});
        controle<QComboBox>("cbEditarSistema")->setCurrentText(QStringLiteral("TALAO"));
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
        controle<QComboBox>("cbEditarSistema")->setCurrentText(QStringLiteral("KOR"));
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
        QVERIFY(espera.semEsperaDeResposta().isEmpty());
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
        QVERIFY(espera.semEsperaDeResposta().isEmpty());
    }

    void aStoppedServiceAtCountingReachesTheGeneralErrorReport() {
        abrir(50, {"a.sql"});
        servico->Parar();
        procurar();
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
        QVERIFY(espera.semEsperaDeResposta().isEmpty());
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

        grade->setCurrentIndex(pagina->cdsPesquisa().index(1, 0));
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
        QCOMPARE(pagina->cdsPesquisa().Linha(linhaAtual()).arquivo, QStringLiteral("c.sql"));
        QCOMPARE(total(), QStringLiteral("2")); // the count follows the deletions

        // The last row: the previous one becomes current.
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(pagina->cdsPesquisa().Linha(linhaAtual()).arquivo, QStringLiteral("a.sql"));
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("select 'a.sql';"));

        // The only row: the table is left empty.
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 0);
        QCOMPARE(total(), QStringLiteral("0"));
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
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(servico->ScriptGuardado(pagina->cdsPesquisa().Linha(0).codigo),
                 QByteArray("select 'a.sql';"));
    }

    void aRefusedDeleteKeepsTheRow() {
        abrir(50, {"a.sql"});
        procurar();
        servico->sessao.setChave(QStringLiteral("wrong"));
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(messages.boxes.last().kind, RecordingMessages::Error);
        QVERIFY(!messages.boxes.last().text.startsWith(QStringLiteral("Falha ao excluir o script.")));

        // The sentence, then the transport's own account of the failure.
        servico->Parar();
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(total(), QStringLiteral("1"));
        QCOMPARE(messages.boxes.last().kind, RecordingMessages::Error);
        QVERIFY2(messages.boxes.last().text.startsWith(QStringLiteral("Falha ao excluir o script. ")),
                 qPrintable(messages.boxes.last().text));
        QVERIFY(messages.boxes.last().text.size() > 30);
    }

    void aClickOnAColumnTitleSortsAndANewSearchBringsBackTheServiceOrder() {
        abrir(50, {"b.sql", "c.sql", "a.sql"});
        procurar();
        const QStringList doServico = arquivos();
        auto *grade = controle<QTableView>("dbgPesquisa");
        QCOMPARE(grade->horizontalHeader()->sortIndicatorSection(), -1);
        grade->setCurrentIndex(pagina->cdsPesquisa().index(doServico.indexOf(QStringLiteral("c.sql")), 0));

        clicarTitulo(TabelaPesquisa::ARQUIVO);
        QCOMPARE(arquivos(), (QStringList{"a.sql", "b.sql", "c.sql"}));
        // The current row is still the same script, and so is the text shown.
        QCOMPARE(pagina->cdsPesquisa().Linha(linhaAtual()).arquivo, QStringLiteral("c.sql"));
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("select 'c.sql';"));
        clicarTitulo(TabelaPesquisa::ARQUIVO);
        QCOMPARE(arquivos(), (QStringList{"c.sql", "b.sql", "a.sql"}));

        clicarTitulo(TabelaPesquisa::CODIGO);
        for (int i = 1; i < 3; ++i)
            QVERIFY(pagina->cdsPesquisa().Linha(i - 1).codigo < pagina->cdsPesquisa().Linha(i).codigo);

        procurar();
        QCOMPARE(arquivos(), doServico);
        QCOMPARE(grade->horizontalHeader()->sortIndicatorSection(), -1);
    }

    void enterInAFilterBoxSearches_data() {
        QTest::addColumn<QString>("caixa");
        QTest::newRow("Sistema") << QStringLiteral("cbEditarSistema");
        QTest::newRow("Código") << QStringLiteral("edEditarCodigo");
        QTest::newRow("Data") << QStringLiteral("edEditarDataInicio");
        QTest::newRow("Arquivo") << QStringLiteral("edEditarArquivo");
        QTest::newRow("Máximo") << QStringLiteral("edEditarMaximo");
    }
    void enterInAFilterBoxSearches() {
        QFETCH(QString, caixa);
        abrir(50, {"a.sql"});
        QWidget *alvo = pagina->findChild<QWidget *>(caixa);
        QVERIFY(alvo);
        if (auto *data = qobject_cast<DateEdit *>(alvo))
            alvo = data->lineEdit();
        alvo->setFocus();
        QTest::keyClick(alvo, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 15000);
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 1);
        QCOMPARE(total(), QStringLiteral("1"));
    }

    void theEmptySystemChoiceMeansEverySystem() {
        abrir(50, {"a.sql"});
        servico->Inserir(QStringLiteral("b.sql"), "x", QStringLiteral("TALAO"));
        auto *sistema = controle<QComboBox>("cbEditarSistema");
        QCOMPARE(sistema->currentIndex(), -1);
        QCOMPARE(sistema->count(), 4);
        QCOMPARE(sistema->itemText(0), QString());
        sistema->setCurrentText(QStringLiteral("TALAO"));
        procurar();
        QCOMPARE(arquivos(), QStringList{"b.sql"});
        sistema->setCurrentIndex(0);
        QVERIFY(!pagina->MontarParametrosPesquisa().codificar().contains("sistema"));
        procurar();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
    }

    // A service whose count ignores "maximo": the page asks for no page once "Máximo" records have
    // arrived, keeps the last page whole and says how many the service had; a deletion counts down
    // both numbers.
    void aLimitThatCutsTheResultsIsShownAsNDeM() {
        int codigo = 0;
        std::atomic_bool calada = false; // pages that wait for `soltar`
        std::atomic_bool soltar = false;
        ServidorApontado apontado([&](const RecordingHttpServer::Request &pedido) -> QByteArray {
            if (pedido.head.contains("/excluir"))
                return R"({"success":true})";
            if (pedido.body.contains("contar=true"))
                return calada ? R"({"success":true,"registros":9})" : R"({"success":true,"registros":1101})";
            for (int i = 0; i < 2000 && calada && !soltar; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            QByteArray pagina = "[";
            for (int i = 0; i < 2; ++i)
                pagina += (i ? "," : "") +
                          QStringLiteral(R"({"CODIGO_SC":%1,"DATA_CRIACAO_SC":"2024-01-02 03:04:05",)"
                                         R"("NOME_ARQUIVO_SC":"x.sql","SCRIPT_SC":"41"})")
                              .arg(++codigo)
                              .toUtf8();
            return pagina + "]";
        });
        abrirSobre(apontado);
        pagina->edEditarMaximo()->setText(QStringLiteral("3"));
        procurar();
        QCOMPARE(espera.semEsperaDeResposta().first(),
                 QStringLiteral("Iniciar 3 Pesquisando scripts no servidor..."));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 4);
        QCOMPARE(total(), QStringLiteral("4 de 1.101"));
        QCOMPARE(apontado.servidor.requests().size(), 3); // the count and two pages of two
        excluir();
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 3);
        QCOMPARE(total(), QStringLiteral("3 de 1.100"));
        QVERIFY(messages.boxes.size() == 1 && messages.boxes[0].kind == RecordingMessages::Question);

        // A search cancelled during its fetch leaves these numbers too.
        calada = true;
        controle<QToolButton>("btEditarPesquisa")->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            espera.ativa() && espera.eventos.last().startsWith(QLatin1String("Iniciar 3 ")), 10000);
        QVERIFY(espera.cancelar());
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        soltar = true;
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 3);
        excluir();
        QCOMPARE(total(), QStringLiteral("2 de 1.099"));
    }

    void datesShowWholeAndANewSearchStartsAtTheLeftEdge() {
        abrir(50, {QString(200, QLatin1Char('x')) + QStringLiteral(".sql")});
        pagina->resize(300, 400);
        procurar();
        auto *grade = controle<QTableView>("dbgPesquisa");
        const QString data = pagina->cdsPesquisa().index(0, TabelaPesquisa::DATA).data().toString();
        QVERIFY(grade->columnWidth(TabelaPesquisa::DATA) > grade->fontMetrics().horizontalAdvance(data));
        QScrollBar *barra = grade->horizontalScrollBar();
        QTRY_VERIFY(barra->maximum() > 0);
        barra->setValue(barra->maximum());
        controle<QToolButton>("btEditarPesquisa")->click();
        QCOMPARE(barra->value(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 15000);
    }

    // A service that never answers: the window keeps running, busy mode comes with "Cancelar",
    // and "Cancelar" ends the wait at once with the previous results back and nothing reported.
    void cancelarDuringTheCountPutsThePreviousResultsBack() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        clicarTitulo(TabelaPesquisa::ARQUIVO);
        clicarTitulo(TabelaPesquisa::ARQUIVO);
        QCOMPARE(arquivos(), (QStringList{"b.sql", "a.sql"}));
        controle<QTableView>("dbgPesquisa")->setCurrentIndex(pagina->cdsPesquisa().index(1, 0));
        espera.eventos.clear();
        const ServicoMudo mudo;
        const Batimento batimento;
        controle<QToolButton>("btEditarPesquisa")->click();
        QVERIFY(pagina->Ocupada());
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
        QCOMPARE(espera.eventos, QStringList{QStringLiteral("Iniciar 0 Pesquisando scripts no servidor...")});
        const int batidas = batimento.batidas;
        QVERIFY(batidas > 0);
        QTest::qWait(300);
        QVERIFY(batimento.batidas > batidas);
        // A second click meanwhile starts nothing.
        controle<QToolButton>("btEditarPesquisa")->click();
        QCOMPARE(espera.eventos.size(), 1);

        QVERIFY(espera.cancelar());
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        QCOMPARE(espera.eventos.last(), QStringLiteral("Finalizar"));
        // The rows as they were shown: their order, its column title and the current row.
        QCOMPARE(arquivos(), (QStringList{"b.sql", "a.sql"}));
        QHeaderView *titulos = controle<QTableView>("dbgPesquisa")->horizontalHeader();
        QCOMPARE(titulos->sortIndicatorSection(), int(TabelaPesquisa::ARQUIVO));
        QCOMPARE(titulos->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(linhaAtual(), 1);
        QCOMPARE(total(), QStringLiteral("2"));
        QVERIFY(messages.boxes.isEmpty());
    }

    // The previous results come back scrolled as they were, their current row in sight.
    void cancelarKeepsTheGridWhereItWas() {
        QStringList nomes;
        for (int i = 0; i < 40; ++i)
            nomes << QStringLiteral("s%1.sql").arg(i, 2, 10, QLatin1Char('0'));
        abrir(50, nomes);
        pagina->resize(600, 400);
        procurar();
        auto *grade = controle<QTableView>("dbgPesquisa");
        grade->setCurrentIndex(pagina->cdsPesquisa().index(39, 0));
        QScrollBar *barra = grade->verticalScrollBar();
        QTRY_VERIFY(barra->value() > 0);
        const int rolagem = barra->value();
        QScrollBar *lado = grade->horizontalScrollBar();
        QTRY_VERIFY(lado->maximum() > 0);
        lado->setValue(lado->maximum());
        {
            const ServicoMudo mudo;
            controle<QToolButton>("btEditarPesquisa")->click();
            QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
            QVERIFY(espera.cancelar());
            QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        }
        QCOMPARE(linhaAtual(), 39);
        QCOMPARE(barra->value(), rolagem);
        QCOMPARE(lado->value(), lado->maximum());
    }

    void cancelarDuringTheFetchPutsThePreviousResultsBack() {
        abrir(50, {"a.sql"});
        procurar();
        espera.eventos.clear();
        std::atomic_bool soltar = false;
        {
            ServidorApontado apontado([&](const RecordingHttpServer::Request &pedido) -> QByteArray {
                if (pedido.body.contains("contar=true"))
                    return R"({"success":true,"registros":5})";
                for (int i = 0; i < 2000 && !soltar; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return "[]";
            });
            controle<QToolButton>("btEditarPesquisa")->click();
            QTRY_VERIFY_WITH_TIMEOUT(espera.ativa() && apontado.servidor.requests().size() == 2, 10000);
            QCOMPARE(espera.eventos.last(), QStringLiteral("Iniciar 5 Pesquisando scripts no servidor..."));
            QVERIFY(espera.cancelar());
            QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
            soltar = true;
        }
        QCOMPARE(espera.eventos.last(), QStringLiteral("Finalizar"));
        QCOMPARE(arquivos(), QStringList{"a.sql"});
        QCOMPARE(total(), QStringLiteral("1"));
        QVERIFY(messages.boxes.isEmpty());
    }

    void cancelarWhileDeletingKeepsTheRowAndTheStoredScript() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(0).codigo;
        espera.eventos.clear();
        {
            const ServicoMudo mudo;
            controle<QToolButton>("btExcluirRegistro")->click();
            QVERIFY(pagina->Ocupada());
            // Before the overlay shows, the page already takes no clicks: no sort meanwhile.
            clicarTitulo(TabelaPesquisa::ARQUIVO);
            QCOMPARE(controle<QTableView>("dbgPesquisa")->horizontalHeader()->sortIndicatorSection(), -1);
            QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
            QCOMPARE(espera.eventos,
                     QStringList{QStringLiteral("Iniciar 0 Excluindo o script no servidor...")});
            QVERIFY(espera.cancelar());
            QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        }
        QCOMPARE(espera.eventos.last(), QStringLiteral("Finalizar"));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
        QCOMPARE(total(), QStringLiteral("2"));
        // The request had reached the silent service, which might have carried it out.
        QCOMPARE(messages.boxes.size(), 2);
        QCOMPARE(messages.boxes[1].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[1].text,
                 QStringLiteral("A exclusão foi cancelada, mas o serviço pode tê-la feito."));
        QCOMPARE(servico->ScriptGuardado(codigo), QByteArray("select 'a.sql';"));
        // The page takes clicks again.
        clicarTitulo(TabelaPesquisa::ARQUIVO);
        QCOMPARE(controle<QTableView>("dbgPesquisa")->horizontalHeader()->sortIndicatorSection(),
                 int(TabelaPesquisa::ARQUIVO));
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
        auto *salvar = janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
        QVERIFY(!salvar->isEnabled());

        // A save shows the new text in the script view of the current row.
        auto *editor = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
        editor->setFocus();
        editor->setCursorPosition(0, 0);
        QTest::keyClicks(editor, QStringLiteral("--"));
        salvar->click(); // the save may answer after the click returns
        QTRY_COMPARE_WITH_TIMEOUT(controle<QPlainTextEdit>("DBMemo2")->toPlainText(),
                                  QStringLiteral("--select 'b.sql';"), 15000);
        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(pagina->cdsPesquisa().Linha(1).script, QByteArray("--select 'b.sql';"));
        QCOMPARE(servico->ScriptGuardado(pagina->cdsPesquisa().Linha(1).codigo),
                 QByteArray("--select 'b.sql';"));
    }

    // Cancelar puts the previous rows back: an editor opened before still saves into its row, and
    // opening that row again edits the text it saved, not the one the row had before.
    void anEditorStaysLinkedToItsScriptWhenACancelledSearchPutsTheRowsBack() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(1).codigo;
        TfrmVisualizarScript *janela = editarLinha(1, QStringLiteral("--"));
        {
            const ServicoMudo mudo;
            controle<QToolButton>("btEditarPesquisa")->click();
            QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
            QVERIFY(espera.cancelar());
            QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        }
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);

        salvarDe(janela)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!salvando(janela), 15000);
        QVERIFY(messages.boxes.isEmpty());
        QCOMPARE(servico->ScriptGuardado(codigo), QByteArray("--select 'b.sql';"));
        QCOMPARE(scriptDaLinha(codigo), QByteArray("--select 'b.sql';"));
        QCOMPARE(controle<QPlainTextEdit>("DBMemo2")->toPlainText(), QStringLiteral("--select 'b.sql';"));
        TfrmVisualizarScript *outra = editarLinha(1, QString());
        QCOMPARE(outra->Script(), QStringLiteral("--select 'b.sql';"));
    }

    // A save cancelled after it reached the frozen service is stored once the service goes on:
    // the user is told it may be, and the read-back brings the row and "Salvar" in line.
    void aSaveCancelledAfterItLeftIsReadBackWhenTheServiceAnswers() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(0).codigo;
        TfrmVisualizarScript *janela = editarLinha(0, QStringLiteral("--"));
        salvarECancelarComServicoParado(janela);
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral("O salvamento foi cancelado, mas o serviço pode tê-lo gravado."));
        QVERIFY(salvarDe(janela)->isEnabled());
        QCOMPARE(scriptDaLinha(codigo), QByteArray("select 'a.sql';"));

        servico->Pausar(false);
        QTRY_COMPARE_WITH_TIMEOUT(scriptDaLinha(codigo), QByteArray("--select 'a.sql';"), 20000);
        QVERIFY(!salvarDe(janela)->isEnabled());
        QCOMPARE(servico->ScriptGuardado(codigo), QByteArray("--select 'a.sql';"));
        QCOMPARE(messages.boxes.size(), 1);
    }

    // The same for Excluir: a script the service deleted after all leaves the table.
    void aDeleteCancelledAfterItLeftIsReadBackAndAGoneScriptLeavesTheTable() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(0).codigo;
        servico->Pausar(true);
        controle<QToolButton>("btExcluirRegistro")->click();
        QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
        QVERIFY(espera.cancelar());
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        QCOMPARE(messages.boxes.size(), 2);
        QCOMPARE(messages.boxes[1].text,
                 QStringLiteral("A exclusão foi cancelada, mas o serviço pode tê-la feito."));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);

        servico->Pausar(false);
        QTRY_COMPARE_WITH_TIMEOUT(pagina->cdsPesquisa().rowCount(), 1, 20000);
        QCOMPARE(scriptDaLinha(codigo), QByteArray("<no row>"));
        QCOMPARE(total(), QStringLiteral("1"));
        QCOMPARE(servico->ScriptGuardado(codigo), QByteArray());
    }

    // Excluir whose request the service took and left unanswered: the failure says it may have
    // been done, and the read-back takes the row out once the service turns out to have done it.
    void aDeleteLeftUnansweredIsReadBack() {
        abrir(50, {"a.sql", "b.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(0).codigo;
        {
            const ServicoSemResposta semResposta;
            excluir();
            QVERIFY(semResposta.conexoes >= 1); // a read-back may have come too
        }
        QCOMPARE(messages.boxes.size(), 2);
        QCOMPARE(messages.boxes[1].kind, RecordingMessages::Error);
        QVERIFY2(messages.boxes[1].text.startsWith(QStringLiteral("Falha ao excluir o script. ")) &&
                     messages.boxes[1].text.endsWith(QStringLiteral(". O serviço pode tê-la feito.")),
                 qPrintable(messages.boxes[1].text));
        QCOMPARE(pagina->cdsPesquisa().rowCount(), 2);
        // The service did it after all.
        QVERIFY(Protocolo::Excluir(servico->sessao, codigo).success);
        QTRY_COMPARE_WITH_TIMEOUT(pagina->cdsPesquisa().rowCount(), 1, 20000);
        QCOMPARE(scriptDaLinha(codigo), QByteArray("<no row>"));
    }

    // Closing an editor during its save asks first (Não keeps the window and the save); Sim closes
    // it and tells the truth about the save, and the read-back still brings the row in line.
    void closingAnEditorDuringItsSaveAsksAndTellsTheTruth() {
        abrir(50, {"a.sql"});
        procurar();
        const int codigo = pagina->cdsPesquisa().Linha(0).codigo;
        TfrmVisualizarScript *janela = editarLinha(0, QStringLiteral("--"));
        janela->setAttribute(Qt::WA_DeleteOnClose, false);
        servico->Pausar(true);
        salvarDe(janela)->click();
        QTRY_VERIFY_WITH_TIMEOUT(janela->findChild<QWidget *>(QStringLiteral("pnlEspera"))->isVisible(),
                                 10000);

        messages.answers = {false};
        QVERIFY(!janela->close());
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Question);
        QCOMPARE(messages.boxes[0].text,
                 QStringLiteral("O script está sendo salvo no servidor. Fechar assim mesmo?"));
        QVERIFY(messages.boxes[0].defaultNo);
        QVERIFY(salvando(janela));

        messages.answers = {true};
        QVERIFY(janela->close());
        QCOMPARE(messages.boxes.size(), 3);
        QCOMPARE(messages.boxes[2].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[2].text,
                 QStringLiteral("O salvamento foi cancelado, mas o serviço pode tê-lo gravado."));
        delete janela;

        servico->Pausar(false);
        QTRY_COMPARE_WITH_TIMEOUT(scriptDaLinha(codigo), QByteArray("--select 'a.sql';"), 20000);
    }
};

QTEST_MAIN(ScriptsPageTest)
#include "ScriptsPageTest.moc"
