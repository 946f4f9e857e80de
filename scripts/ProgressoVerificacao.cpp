#include "scripts/ProgressoVerificacao.h"

#include "scripts/VerificacaoServico.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

ProgressoVerificacao::ProgressoVerificacao(VerificacaoServico &verificacao, QWidget *parent)
    : QWidget(parent), lblNoServico(new QLabel(this)), pbNoServico(new QProgressBar(this)),
      btCancelarConsulta(new QToolButton(this)) {
    setObjectName(QStringLiteral("ProgressoVerificacao"));
    lblNoServico->setObjectName(QStringLiteral("lblNoServico"));
    pbNoServico->setObjectName(QStringLiteral("pbNoServico"));
    pbNoServico->setFixedWidth(160);
    btCancelarConsulta->setObjectName(QStringLiteral("btCancelarConsulta"));
    btCancelarConsulta->setText(QStringLiteral("Cancelar"));
    btCancelarConsulta->setToolTip(QStringLiteral("Parar a consulta dos scripts no serviço."));
    auto *linha = new QHBoxLayout(this);
    linha->setContentsMargins(0, 0, 0, 0);
    linha->addWidget(lblNoServico);
    linha->addWidget(pbNoServico);
    linha->addWidget(btCancelarConsulta);
    linha->addStretch(1);
    pbNoServico->hide();
    btCancelarConsulta->hide();

    connect(btCancelarConsulta, &QToolButton::clicked, &verificacao, &VerificacaoServico::Cancelar);
    connect(&verificacao, &VerificacaoServico::iniciada, this, [this] {
        lblNoServico->setText(QStringLiteral("Consultando o serviço..."));
        lblNoServico->setToolTip(QString());
        pbNoServico->setRange(0, 0); // busy until the lookup knows its total
        pbNoServico->show();
        btCancelarConsulta->show();
    });
    connect(&verificacao, &VerificacaoServico::progresso, this, [this](int feitos, int total) {
        pbNoServico->setRange(0, total);
        pbNoServico->setValue(feitos);
    });
    connect(&verificacao, &VerificacaoServico::terminada, this, [this](bool completa, const QString &erro) {
        pbNoServico->hide();
        btCancelarConsulta->hide();
        const QString texto = completa         ? QString()
                              : erro.isEmpty() ? QStringLiteral("Consulta ao serviço cancelada.")
                                               : QStringLiteral("Falha ao consultar o serviço: ") + erro;
        lblNoServico->setText(texto);
        lblNoServico->setToolTip(texto);
    });
}
