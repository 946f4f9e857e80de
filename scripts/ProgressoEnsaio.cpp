#include "scripts/ProgressoEnsaio.h"

#include "scripts/ControleEnsaio.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

ProgressoEnsaio::ProgressoEnsaio(ControleEnsaio &ensaio, QWidget *parent)
    : QWidget(parent), lblEnsaio(new QLabel(this)), pbEnsaio(new QProgressBar(this)),
      btCancelarEnsaio(new QToolButton(this)) {
    setObjectName(QStringLiteral("ProgressoEnsaio"));
    lblEnsaio->setObjectName(QStringLiteral("lblEnsaio"));
    pbEnsaio->setObjectName(QStringLiteral("pbEnsaio"));
    pbEnsaio->setFixedWidth(120);
    pbEnsaio->setTextVisible(false);
    btCancelarEnsaio->setObjectName(QStringLiteral("btCancelarEnsaio"));
    btCancelarEnsaio->setText(QStringLiteral("Cancelar"));
    btCancelarEnsaio->setToolTip(QStringLiteral("Parar o ensaio; a cópia do banco de dados é excluída."));
    auto *linha = new QHBoxLayout(this);
    linha->setContentsMargins(0, 0, 0, 0);
    linha->addWidget(lblEnsaio);
    linha->addWidget(pbEnsaio);
    linha->addWidget(btCancelarEnsaio);
    linha->addStretch(1);
    pbEnsaio->hide();
    btCancelarEnsaio->hide();

    connect(btCancelarEnsaio, &QToolButton::clicked, &ensaio, &ControleEnsaio::Cancelar);
    connect(&ensaio, &ControleEnsaio::iniciado, this, [this](int total) {
        lblEnsaio->setText(QStringLiteral("Ensaio: criando a cópia do banco de dados..."));
        pbEnsaio->setRange(0, total);
        pbEnsaio->setValue(0);
        pbEnsaio->show();
        btCancelarEnsaio->show();
    });
    connect(&ensaio, &ControleEnsaio::progresso, this, [this](int numero, int total) {
        lblEnsaio->setText(QStringLiteral("Ensaio: %1 de %2").arg(numero).arg(total));
        pbEnsaio->setValue(numero - 1);
    });
    connect(&ensaio, &ControleEnsaio::terminado, this,
            [this](bool completo, int falhas, const QString &erro) {
                pbEnsaio->hide();
                btCancelarEnsaio->hide();
                const QString texto =
                    !erro.isEmpty() ? QStringLiteral("Ensaio não realizado.")
                    : !completo     ? QStringLiteral("Ensaio cancelado.")
                    : falhas == 0   ? QStringLiteral("Ensaio: todos os scripts executados sem falha.")
                    : falhas == 1   ? QStringLiteral("Ensaio: 1 script falhou.")
                                    : QStringLiteral("Ensaio: %1 scripts falharam.").arg(falhas);
                lblEnsaio->setText(texto);
            });
}
