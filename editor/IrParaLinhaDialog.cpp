#include "editor/IrParaLinhaDialog.h"

#include "editor/SqlEditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

IrParaLinhaDialog::IrParaLinhaDialog(SqlEditor &editor) : QDialog(&editor, Qt::Tool), m_editor(editor) {
    setObjectName(QStringLiteral("dlgIrParaLinha"));
    setWindowTitle(QStringLiteral("Ir para a linha"));
    edLinha = new QSpinBox(this);
    edLinha->setObjectName(QStringLiteral("edLinha"));
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ir"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto *formulario = new QFormLayout(this);
    formulario->addRow(QStringLiteral("Linha:"), edLinha);
    formulario->addRow(botoes);
    connect(botoes, &QDialogButtonBox::accepted, this, &IrParaLinhaDialog::Ir);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void IrParaLinhaDialog::Exibir() {
    int linha = 0, coluna = 0;
    m_editor.getCursorPosition(&linha, &coluna);
    edLinha->setRange(1, qMax(1, m_editor.lines()));
    edLinha->setValue(linha + 1);
    show();
    raise();
    activateWindow();
    edLinha->setFocus();
    edLinha->selectAll();
}

void IrParaLinhaDialog::Ir() {
    const int linha = edLinha->value() - 1;
    m_editor.setCursorPosition(linha, 0);
    m_editor.ensureLineVisible(linha);
    hide();
    m_editor.setFocus();
}
