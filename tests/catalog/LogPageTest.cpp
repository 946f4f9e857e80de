#include "catalog/LogPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/Protocolo.h"
#include "tests/catalog/Batimento.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/catalog/ServicoMudo.h"
#include "tests/support/Controle.h"
#include "tests/support/RecordingMessages.h"
#include "widgets/DateEdit.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>

#include <memory>

// Page "Log" against the reference service on loopback.
class LogPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ServicoDeTeste> servico;
    RecordingMessages messages;
    RecordingEspera espera;
    std::unique_ptr<LogPage> pagina;
    int codigo = 0;

    template <class T> T *controle(const char *nome) { return Controle<T>(pagina.get(), nome); }
    QString total() { return controle<QLabel>("lblLogTotalRegistros")->text(); }
    // A click, then the wait for the service's answer (the click itself returns at once).
    void procurar() {
        controle<QToolButton>("btLogPesquisar")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 15000);
    }

private slots:
    // The reference service sends dates in the Brazilian short form.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    // One script stored and changed twice: "" -> "v1" -> "v2" -> "".
    void init() {
        messages.boxes.clear();
        espera.eventos.clear();
        servico = std::make_unique<ServicoDeTeste>(1);
        codigo = servico->Inserir(QStringLiteral("log.sql"), "v1");
        QVERIFY(Protocolo::Atualizar(servico->sessao, codigo, "v2").success);
        QVERIFY(Protocolo::Atualizar(servico->sessao, codigo, "").success);
        pagina = std::make_unique<LogPage>(servico->sessao, messages, espera, QString());
        pagina->edLogDataInicio()->setDate({});
        pagina->edLogDataFim()->setDate({});
        pagina->show();
    }
    void cleanup() {
        pagina.reset();
        servico.reset();
    }

    void searchShowsTheTextsBeforeAndAfterOfTheCurrentEntry() {
        procurar();
        QCOMPARE(espera.semEsperaDeResposta().first(),
                 QStringLiteral("Iniciar 3 Pesquisando logs no servidor..."));
        QCOMPARE(pagina->cdsLog().rowCount(), 3);
        QCOMPARE(total(), QStringLiteral("3"));
        auto *grade = controle<QTableView>("dbgLog");
        QSet<QString> pares;
        for (int linha = 0; linha < 3; ++linha) {
            grade->setCurrentIndex(pagina->cdsLog().index(linha, 0));
            const RegistroLog &r = pagina->cdsLog().Linha(linha);
            QCOMPARE(controle<QPlainTextEdit>("DBMemo3")->toPlainText(),
                     QString::fromLatin1(r.script_anterior));
            QCOMPARE(controle<QPlainTextEdit>("DBMemo4")->toPlainText(), QString::fromLatin1(r.script_atual));
            QCOMPARE(r.idscript, codigo);
            QCOMPARE(r.nome, QStringLiteral("DEV"));
            pares << QString::fromLatin1(r.script_anterior + "->" + r.script_atual);
        }
        QCOMPARE(pares,
                 (QSet<QString>{QStringLiteral("->v1"), QStringLiteral("v1->v2"), QStringLiteral("v2->")}));
    }

    void maximumAboveTheLimitIsRefused() {
        pagina->edLogMaximo()->setText(QStringLiteral("501"));
        procurar();
        QCOMPARE(pagina->edLogMaximo()->text(), QStringLiteral("500"));
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Warning);
        QVERIFY(espera.eventos.isEmpty());
    }

    void aSearchByUserAloneSendsOnlyItsField() {
        controle<QLineEdit>("edLogUsuario")->setText(QStringLiteral("DEV"));
        QCOMPARE(pagina->MontarParametrosLog().codificar(),
                 "usuario=DEV&maximo=100&chave=" + servico->sessao.chave().toLatin1());
        procurar();
        QCOMPARE(pagina->cdsLog().rowCount(), 3);
        controle<QLineEdit>("edLogUsuario")->setText(QStringLiteral("OTHER"));
        procurar();
        QCOMPARE(messages.boxes.last().text,
                 QStringLiteral("Não foram encontrados logs com os parâmetros informados."));
        QCOMPARE(pagina->cdsLog().rowCount(), 0);
        QCOMPARE(total(), QStringLiteral("3"));
    }

    void aFailureOnTheSecondPageKeepsTheFirst() {
        connect(&pagina->cdsLog(), &QAbstractItemModel::rowsInserted, this, [this] { servico->Parar(); });
        procurar();
        QCOMPARE(pagina->cdsLog().rowCount(), 1);
        QCOMPARE(total(), QStringLiteral("1"));
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::GeneralError);
    }

    void theViewOfTheTextBeforeIs50PixelsHighUnderItsCaption() {
        pagina->resize(800, 600);
        QVERIFY(QTest::qWaitForWindowExposed(pagina.get()));
        QTRY_COMPARE(controle<QPlainTextEdit>("DBMemo3")->height(), LogPage::AlturaAnterior);
        QVERIFY(controle<QLabel>("lblAnterior")->isVisible());
        QVERIFY(controle<QPlainTextEdit>("DBMemo4")->height() > 0);
    }

    void enterSearchesAndAColumnTitleSorts() {
        auto *usuario = controle<QLineEdit>("edLogUsuario");
        usuario->setText(QStringLiteral("DEV"));
        usuario->setFocus();
        QTest::keyClick(usuario, Qt::Key_Enter);
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 15000);
        QCOMPARE(pagina->cdsLog().rowCount(), 3);
        QCOMPARE(total(), QStringLiteral("3"));

        pagina->cdsLog().sort(TabelaLog::DATA, Qt::DescendingOrder);
        QHeaderView *titulos = controle<QTableView>("dbgLog")->horizontalHeader();
        const int x =
            titulos->sectionViewportPosition(TabelaLog::DATA) + titulos->sectionSize(TabelaLog::DATA) / 2;
        QTest::mouseClick(titulos->viewport(), Qt::LeftButton, {}, QPoint(x, titulos->height() / 2));
        for (int i = 1; i < 3; ++i)
            QVERIFY(pagina->cdsLog().Linha(i - 1).data_alteracao <= pagina->cdsLog().Linha(i).data_alteracao);
    }

    void cancelarEndsTheWaitAndKeepsTheEntries() {
        procurar();
        espera.eventos.clear();
        const ServicoMudo mudo;
        const Batimento batimento;
        controle<QToolButton>("btLogPesquisar")->click();
        QTRY_VERIFY_WITH_TIMEOUT(espera.ativa(), 10000);
        QCOMPARE(espera.eventos, QStringList{QStringLiteral("Iniciar 0 Pesquisando logs no servidor...")});
        QVERIFY(batimento.batidas > 0);
        QVERIFY(espera.cancelar());
        QTRY_VERIFY_WITH_TIMEOUT(!pagina->Ocupada(), 10000);
        QCOMPARE(espera.eventos.last(), QStringLiteral("Finalizar"));
        QCOMPARE(pagina->cdsLog().rowCount(), 3);
        QCOMPARE(total(), QStringLiteral("3"));
        QVERIFY(messages.boxes.isEmpty());
    }

    void compareOpensBothTextsReadOnlyWithSaveDisabled() {
        controle<QToolButton>("btLogComparar")->click();
        QVERIFY(pagina->findChildren<TfrmVisualizarScript *>().isEmpty());

        procurar();
        auto *grade = controle<QTableView>("dbgLog");
        // The entry whose text before is "v2" and after is empty.
        int linha = 0;
        while (!pagina->cdsLog().Linha(linha).script_atual.isEmpty())
            ++linha;
        grade->setCurrentIndex(pagina->cdsLog().index(linha, 0));
        controle<QToolButton>("btLogComparar")->click();
        const auto janelas = pagina->findChildren<TfrmVisualizarScript *>();
        QCOMPARE(janelas.size(), 1);
        TfrmVisualizarScript *janela = janelas.first();
        QVERIFY(janela->Comparar());
        QCOMPARE(janela->Codigo(), QString::number(codigo));
        auto *editor = janela->findChild<QsciScintilla *>(QStringLiteral("editor"));
        auto *anterior = janela->findChild<QsciScintilla *>(QStringLiteral("EditorAnterior"));
        QCOMPARE(editor->text(), QString());
        QCOMPARE(anterior->text(), QStringLiteral("v2"));
        QVERIFY(editor->isReadOnly());
        QVERIFY(anterior->isReadOnly());
        QVERIFY(janela->findChild<QWidget *>(QStringLiteral("panelAnterior"))->isVisible());
        auto *salvar = janela->findChild<QToolButton *>(QStringLiteral("btSalvar"));
        QVERIFY(!salvar->isEnabled());
        editor->setFocus();
        QTest::keyClicks(editor, QStringLiteral("typed"));
        QCOMPARE(editor->text(), QString());
        QVERIFY(!salvar->isEnabled());
    }
};

QTEST_MAIN(LogPageTest)
#include "LogPageTest.moc"
