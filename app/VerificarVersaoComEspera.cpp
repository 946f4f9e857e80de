#include "app/VerificarVersaoComEspera.h"

#include "app/VerificacaoVersao.h"
#include "widgets/Centralizar.h"
#include "widgets/TfrmProgresso.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

QString VerificarVersaoComEspera(std::function<QString()> verificar) {
    QPointer<TfrmProgresso> janela;
    VerificacaoVersao verificacao(
        std::move(verificar),
        [&janela](Cancelamento &cancelamento) {
            // The busy mode's "Aguarde" box, here as a window of its own with its drawn title bar.
            janela = new TfrmProgresso;
            janela->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
            // The program's first window: closing it must not end the application.
            janela->setAttribute(Qt::WA_QuitOnClose, false);
            janela->setMensagem(QStringLiteral("Verificando a versão do programa..."));
            janela->setCancelamento(&cancelamento);
            // Closed by the window manager, it stops the check as "Cancelar" does.
            QObject::connect(janela, &QObject::destroyed, [&cancelamento] { cancelamento.cancelar(); });
            const QRect tela = QGuiApplication::primaryScreen()->availableGeometry();
            janela->move(tela.topLeft() + Centralizar(tela.size(), janela->size()));
            janela->show();
        },
        [&janela] { delete janela; });
    return verificacao.executar();
}
