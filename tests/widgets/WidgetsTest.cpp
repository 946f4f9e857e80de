#include "base/Cancelamento.h"
#include "widgets/Centralizar.h"
#include "widgets/ImageList.h"
#include "widgets/MessageBoxMessages.h"
#include "widgets/ModoEspera.h"
#include "widgets/TBRBackgroundPanel.h"
#include "widgets/TBRImageButton.h"
#include "widgets/TfrmProgresso.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace {

// Bounding box of the pixels of `image` that satisfy `match`.
template <typename Match> QRect caixa(const QImage &image, Match match) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool vermelho(const QColor &c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool escuro(const QColor &c) {
    return c.alpha() > 0 && c.red() < 120 && c.green() < 120 && c.blue() < 120;
}

} // namespace

class WidgetsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ImageList> m_quadrados; // two 48 x 48 pictures: solid red squares

    QImage pintar(TBRImageButton &button) {
        QImage image(button.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

private slots:
    void initTestCase() {
        for (const char *name : {"00.svg", "01.svg"}) {
            QFile f(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48'>"
                    "<rect width='48' height='48' fill='#ff0000'/></svg>");
        }
        m_quadrados = std::make_unique<ImageList>(m_dir.path(), 48, 2);
    }

    void picturesAreCompiledIn() {
        for (int i = 0; i < ImageList::icones().count(); ++i) {
            const QPixmap p = ImageList::icones().pixmap(i);
            QVERIFY2(!p.isNull(), qPrintable(QString::number(i)));
            QCOMPARE(p.size(), QSize(16, 16));
        }
        for (int i = 0; i < ImageList::icones48().count(); ++i)
            QVERIFY2(!ImageList::icones48().pixmap(i).isNull(), qPrintable(QString::number(i)));
        QVERIFY(QFile::exists(QStringLiteral(":/logo.svg")));
        // Picture 3 is empty: fully transparent.
        const QImage empty = ImageList::icones().pixmap(3).toImage();
        QCOMPARE(caixa(empty, [](const QColor &c) { return c.alpha() > 0; }), QRect());
    }

    void imageButtonPlacesPictureAndCaption_data() {
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("showCaption");
        QTest::newRow("bottom") << int(anBottom) << true;
        QTest::newRow("top") << int(anTop) << true;
        QTest::newRow("left") << int(anLeft) << true;
        QTest::newRow("right") << int(anRight) << true;
        QTest::newRow("no caption") << int(anBottom) << false;
    }
    void imageButtonPlacesPictureAndCaption() {
        QFETCH(int, align);
        QFETCH(bool, showCaption);
        TBRImageButton button;
        button.resize(100, 81);
        button.setImageList(m_quadrados.get());
        button.setImageNormal(0);
        button.setCaption(QStringLiteral("Log"));
        button.setFontColor(Qt::black);
        button.setTextAlign(TLayout(align));
        button.setShowCaption(showCaption);
        const QFontMetrics metrics(button.Font());
        const int tw = showCaption ? metrics.horizontalAdvance(QStringLiteral("Log")) : 0;
        const int th = showCaption ? metrics.height() : 0;
        const ImageButtonLayout expected =
            ImageButtonLayout::calcular(TLayout(align), 100, 81, 48, 48, tw, th);

        const QImage image = pintar(button);
        QCOMPARE(caixa(image, vermelho), QRect(expected.imagem, QSize(48, 48)));
        const QRect texto = caixa(image, escuro);
        if (!showCaption) {
            QCOMPARE(texto, QRect());
            return;
        }
        QVERIFY(!texto.isEmpty());
        QVERIFY2(QRect(expected.texto, QSize(tw, th)).contains(texto),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(texto.x())
                                .arg(texto.y())
                                .arg(texto.width())
                                .arg(texto.height())));
    }

    void imageButtonHoverAndIndexRules() {
        TBRImageButton button;
        button.resize(100, 81);
        QCOMPARE(button.imagemAtual(), -1); // no image list
        button.setImageList(m_quadrados.get());
        button.setImageNormal(0);
        QSignalSpy entered(&button, &TBRImageButton::mouseEnter);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&button, &enter);
        QCOMPARE(button.State(), 1);
        QCOMPARE(entered.count(), 1);
        // ImageOver left at -1: nothing at all while the pointer is over the button.
        QCOMPARE(button.imagemAtual(), -1);
        QCOMPARE(caixa(pintar(button), [](const QColor &c) { return c.alpha() > 0; }), QRect());
        button.setImageOver(1);
        QCOMPARE(button.imagemAtual(), 1);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&button, &leave);
        QCOMPARE(button.State(), 0);
        QCOMPARE(button.imagemAtual(), 0);
        button.setImageNormal(256); // never drawn, whatever the list
        QCOMPARE(button.imagemAtual(), -1);
        button.setImageNormal(2); // past the list's end
        QCOMPARE(button.imagemAtual(), -1);
    }

    void disabledImageButton() {
        TBRImageButton button;
        button.resize(100, 81);
        button.setImageList(m_quadrados.get());
        button.setImageNormal(0);
        button.setEnabled(false);
        QCOMPARE(button.imagemAtual(), 0); // normal picture, full colour
        QVERIFY(!caixa(pintar(button), vermelho).isEmpty());
        button.setImageDisable(1);
        QCOMPARE(button.imagemAtual(), 1);
        QSignalSpy clicked(&button, &TBRImageButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(50, 40));
        QCOMPARE(clicked.count(), 0);
        button.setEnabled(true);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(50, 40));
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(50, 40));
        QCOMPARE(clicked.count(), 1);
    }

    void backgroundPanelCapturesAndDarkens() {
        QWidget owner;
        owner.resize(60, 40);
        owner.setAutoFillBackground(true);
        QPalette p = owner.palette();
        p.setColor(QPalette::Window, QColor(200, 100, 40));
        owner.setPalette(p);
        owner.show();
        TBRBackgroundPanel panel(&owner);
        QVERIFY(!panel.bitmap().has_value());
        panel.UpdateScreen(0, 0);
        QVERIFY(panel.bitmap().has_value());
        const QImage plain = *panel.bitmap();
        QCOMPARE(plain.size(), QSize(60, 40));
        QVERIFY(plain.format() != QImage::Format_BGR888); // left in the capture's own format
        QCOMPARE(plain.pixelColor(30, 20), QColor(200, 100, 40));
        panel.UpdateScreen(-50, 0);
        QCOMPARE(panel.bitmap()->pixelColor(30, 20), QColor(100, 50, 20));
        QCOMPARE(panel.geometry(), QRect(0, 0, 60, 40));
        owner.resize(90, 70); // anchored to all four edges
        QCOMPARE(panel.geometry(), QRect(0, 0, 90, 70));
    }

    void busyModeEnteredAndEndedTwice() {
        QMainWindow janela;
        auto *conteudo = new QWidget;
        auto *layout = new QVBoxLayout(conteudo);
        layout->addWidget(new QLabel(QStringLiteral("conteúdo")));
        janela.setCentralWidget(conteudo);
        janela.resize(759, 500);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        ModoEspera espera(&janela, conteudo);

        for (int vez = 1; vez <= 2; ++vez) {
            const QString mensagem = QStringLiteral("Pesquisando %1...").arg(vez);
            espera.IniciarEspera(10 * vez, mensagem);
            QVERIFY(espera.ativo());
            TBRBackgroundPanel *overlay = espera.overlay();
            TfrmProgresso *progresso = espera.frmProgresso();
            QVERIFY(overlay && progresso);
            QCOMPARE(overlay->parentWidget(), conteudo);
            QCOMPARE(overlay->geometry(), conteudo->rect());
            QVERIFY(overlay->isVisible());
            QCOMPARE(progresso->parentWidget(), overlay);
            QCOMPARE(progresso->windowTitle(), QStringLiteral("Aguarde"));
            QCOMPARE(progresso->pos(), Centralizar(overlay->size(), progresso->frameGeometry().size()));
            QCOMPARE(espera.Valor(), 0);
            QCOMPARE(espera.Maximo(), 10 * vez);
            QCOMPARE(progresso->Progresso()->maximum(), 10 * vez);
            QCOMPARE(progresso->lblMensagem()->text(), mensagem);
            QCOMPARE(janela.minimumSize(), janela.maximumSize()); // fixed border
            QVERIFY(!(janela.windowFlags() & Qt::WindowMaximizeButtonHint));
            QVERIFY(!(janela.windowFlags() & Qt::WindowMinimizeButtonHint));

            // A worker advances the bar from its own thread.
            QThread *worker = QThread::create([&espera] {
                for (int i = 1; i <= 3; ++i)
                    espera.setValor(espera.Valor() + 1);
            });
            worker->start();
            QVERIFY(worker->wait(5000));
            delete worker;
            QCOMPARE(espera.Valor(), 3);
            QTRY_COMPARE(progresso->Progresso()->value(), 3);
            QCOMPARE(progresso->lblContagem()->text(), QStringLiteral("3 de %1").arg(10 * vez));
            QVERIFY(!progresso->btCancelar()->isVisible()); // no stop flag given

            QPointer<TBRBackgroundPanel> overlayVivo(overlay);
            QPointer<TfrmProgresso> progressoVivo(progresso);
            espera.FinalizarEspera();
            QVERIFY(!espera.ativo());
            QVERIFY(overlayVivo.isNull());
            QVERIFY(progressoVivo.isNull());
            QVERIFY(janela.windowFlags() & Qt::WindowMaximizeButtonHint);
            QVERIFY(janela.minimumSize() != janela.maximumSize());
            QCOMPARE(janela.size(), QSize(759, 500));
        }
    }

    void busyModeWithCancelar() {
        QWidget janela;
        auto *caixa = new QLineEdit(&janela);
        janela.resize(600, 400);
        janela.show();
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        caixa->setFocus();
        ModoEspera espera(&janela, &janela);

        // Without a known amount the bar only moves and there is no count beside it.
        Cancelamento cancelamento;
        espera.IniciarEspera(0, QStringLiteral("Pesquisando scripts no servidor..."), &cancelamento);
        TfrmProgresso *progresso = espera.frmProgresso();
        QVERIFY(!progresso->lblContagem()->isVisible());
        QPushButton *cancelar = progresso->findChild<QPushButton *>(QStringLiteral("btCancelar"));
        QVERIFY(cancelar && cancelar->isVisible());
        QCOMPARE(cancelar->text(), QStringLiteral("Cancelar"));
        // The whole window, button included, lies inside the overlay and is centred on it.
        QVERIFY(espera.overlay()->rect().contains(progresso->geometry()));
        QVERIFY(progresso->rect().contains(cancelar->geometry().translated(cancelar->parentWidget()->pos())));
        QCOMPARE(progresso->pos(), Centralizar(espera.overlay()->size(), progresso->frameGeometry().size()));

        // The keyboard goes to "Cancelar" meanwhile, and back where it was afterwards.
        QCOMPARE(QApplication::focusWidget(), cancelar);
        QTest::mouseClick(cancelar, Qt::LeftButton);
        QVERIFY(cancelamento.cancelado());
        QVERIFY(!cancelar->isEnabled());
        QVERIFY(espera.ativo()); // the worker ends busy mode when it sees the stop
        espera.FinalizarEspera();
        QCOMPARE(QApplication::focusWidget(), caixa);

        // A fresh period with a maximum: "n de m" with the thousands separator; Esc cancels.
        Cancelamento segundo;
        espera.IniciarEspera(1101, QStringLiteral("Enviando os scripts..."), &segundo);
        progresso = espera.frmProgresso();
        espera.setValor(500);
        QTRY_COMPARE(progresso->lblContagem()->text(), QStringLiteral("500 de 1.101"));
        QVERIFY(progresso->lblContagem()->isVisible());
        QVERIFY(progresso->Progresso()->geometry().right() < progresso->lblContagem()->geometry().left());
        QVERIFY(progresso->btCancelar()->isEnabled());
        QTest::keyClick(progresso, Qt::Key_Escape);
        QVERIFY(segundo.cancelado());
        espera.FinalizarEspera();
        QVERIFY(!espera.ativo());
    }

    void busyModeEndsAfterProgressWindowWasClosed() {
        QWidget janela;
        janela.resize(300, 200);
        janela.show();
        ModoEspera espera(&janela, &janela);
        espera.IniciarEspera(5, QStringLiteral("Enviando os scripts..."));
        QPointer<TfrmProgresso> progresso(espera.frmProgresso());
        progresso->close();
        QTRY_VERIFY(progresso.isNull());
        QCOMPARE(espera.Maximo(), 0); // a worker no longer reaches a destroyed window
        espera.setValor(4);
        espera.FinalizarEspera();
        QVERIFY(!espera.ativo());
        QVERIFY(janela.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(janela.findChildren<TBRBackgroundPanel *>().isEmpty());
    }

    // A question whose moment has passed is closed on screen and answers No, or Cancel where it
    // has one; the question under it stays.
    void aQuestionOnScreenCanBeClosed() {
        MessageBoxMessages messages;
        std::optional<bool> escolha = true;
        bool resposta = true;
        bool primeiraFicou = false, segundaVista = false;
        QTimer::singleShot(0, [&] {
            const bool primeiraVista =
                QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; });
            QWidget *primeira = QApplication::activeModalWidget();
            QTimer::singleShot(0, [&] {
                segundaVista = QTest::qWaitFor([&] { return QApplication::activeModalWidget() != primeira; });
                messages.closeQuestion();
            });
            resposta = messages.questionDefaultNo(QStringLiteral("segunda"));
            primeiraFicou = primeiraVista && qobject_cast<QMessageBox *>(primeira) && primeira->isVisible();
            messages.closeQuestion();
        });
        escolha = messages.questionOrCancel(QStringLiteral("primeira"));
        QVERIFY(primeiraFicou && segundaVista);
        QCOMPARE(resposta, false);
        QCOMPARE(escolha, std::nullopt);
        messages.closeQuestion(); // none on screen: nothing happens
    }
};

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
