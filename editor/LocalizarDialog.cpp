#include "editor/LocalizarDialog.h"

#include "editor/SqlEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LocalizarDialog::LocalizarDialog(SqlEditor &editor) : QDialog(&editor, Qt::Tool), m_editor(editor) {
    setObjectName(QStringLiteral("dlgLocalizar"));
    auto *lblLocalizar = new QLabel(QStringLiteral("Localizar:"), this);
    edLocalizar = new QLineEdit(this);
    edLocalizar->setObjectName(QStringLiteral("edLocalizar"));
    lblLocalizar->setBuddy(edLocalizar);
    lblSubstituir = new QLabel(QStringLiteral("Substituir por:"), this);
    edSubstituir = new QLineEdit(this);
    edSubstituir->setObjectName(QStringLiteral("edSubstituir"));
    lblSubstituir->setBuddy(edSubstituir);
    cbMaiusculas = new QCheckBox(QStringLiteral("Diferenciar maiúsculas e minúsculas"), this);
    cbMaiusculas->setObjectName(QStringLiteral("cbMaiusculas"));
    btProxima = new QPushButton(QStringLiteral("Próxima"), this);
    btProxima->setObjectName(QStringLiteral("btProxima"));
    btProxima->setDefault(true);
    btAnterior = new QPushButton(QStringLiteral("Anterior"), this);
    btAnterior->setObjectName(QStringLiteral("btAnterior"));
    btSubstituir = new QPushButton(QStringLiteral("Substituir"), this);
    btSubstituir->setObjectName(QStringLiteral("btSubstituir"));
    btSubstituirTodos = new QPushButton(QStringLiteral("Substituir todos"), this);
    btSubstituirTodos->setObjectName(QStringLiteral("btSubstituirTodos"));
    lblSituacao = new QLabel(this);
    lblSituacao->setObjectName(QStringLiteral("lblSituacao"));

    auto *grade = new QGridLayout(this);
    grade->addWidget(lblLocalizar, 0, 0);
    grade->addWidget(edLocalizar, 0, 1);
    grade->addWidget(btProxima, 0, 2);
    grade->addWidget(btAnterior, 0, 3);
    grade->addWidget(lblSubstituir, 1, 0);
    grade->addWidget(edSubstituir, 1, 1);
    grade->addWidget(btSubstituir, 1, 2);
    grade->addWidget(btSubstituirTodos, 1, 3);
    grade->addWidget(cbMaiusculas, 2, 1);
    grade->addWidget(lblSituacao, 3, 0, 1, 4);

    connect(btProxima, &QPushButton::clicked, this, [this] { Proxima(true); });
    connect(btAnterior, &QPushButton::clicked, this, [this] { Proxima(false); });
    connect(btSubstituir, &QPushButton::clicked, this, &LocalizarDialog::Substituir);
    connect(btSubstituirTodos, &QPushButton::clicked, this, &LocalizarDialog::SubstituirTodos);
}

void LocalizarDialog::Exibir(bool substituir) {
    setWindowTitle(substituir ? QStringLiteral("Substituir") : QStringLiteral("Localizar"));
    for (QWidget *w : {static_cast<QWidget *>(lblSubstituir), static_cast<QWidget *>(edSubstituir),
                       static_cast<QWidget *>(btSubstituir), static_cast<QWidget *>(btSubstituirTodos)})
        w->setVisible(substituir);
    // A one-line selection is what the user wants to find.
    const QString selecao = m_editor.selectedText();
    if (!selecao.isEmpty() && !selecao.contains(QLatin1Char('\n')) && !selecao.contains(QLatin1Char('\r')))
        edLocalizar->setText(selecao);
    lblSituacao->clear();
    adjustSize();
    show();
    raise();
    activateWindow();
    edLocalizar->setFocus();
    edLocalizar->selectAll();
}

void LocalizarDialog::Proxima(bool paraFrente) {
    Informar(m_editor.LocalizarProxima(edLocalizar->text(), cbMaiusculas->isChecked(), paraFrente));
}

void LocalizarDialog::Substituir() {
    Informar(m_editor.SubstituirAtual(edLocalizar->text(), edSubstituir->text(), cbMaiusculas->isChecked()));
}

void LocalizarDialog::SubstituirTodos() {
    const int total =
        m_editor.SubstituirTodos(edLocalizar->text(), edSubstituir->text(), cbMaiusculas->isChecked());
    lblSituacao->setText(total == 1 ? QStringLiteral("1 substituição.")
                                    : QStringLiteral("%1 substituições.").arg(total));
}

void LocalizarDialog::Informar(bool encontrado) {
    lblSituacao->setText(encontrado ? QString() : QStringLiteral("Texto não encontrado."));
}
