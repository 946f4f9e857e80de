#include "scripts/DialogoBancoEnsaio.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DialogoBancoEnsaio::DialogoBancoEnsaio(const QString &banco, QWidget *parent)
    : QDialog(parent), edtBanco(new QLineEdit(banco, this)), edtSenha(new QLineEdit(this)) {
    setObjectName(QStringLiteral("DialogoBancoEnsaio"));
    setWindowTitle(QStringLiteral("Ensaiar a fila"));
    edtBanco->setObjectName(QStringLiteral("edtBanco"));
    edtBanco->setMinimumWidth(307);
    edtSenha->setObjectName(QStringLiteral("edtSenha"));
    edtSenha->setEchoMode(QLineEdit::Password);
    auto *texto =
        new QLabel(QStringLiteral("Os scripts da fila serão executados numa cópia descartável do banco "
                                  "de dados; o banco não é alterado."),
                   this);
    texto->setWordWrap(true);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ensaiar"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto *campos = new QFormLayout(this);
    campos->addRow(texto);
    campos->addRow(QStringLiteral("Banco de dados:"), edtBanco);
    campos->addRow(QStringLiteral("Senha:"), edtSenha);
    campos->addRow(botoes);
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The field still to fill takes the typing.
    (banco.isEmpty() ? edtBanco : edtSenha)->setFocus();
}

QString DialogoBancoEnsaio::banco() const {
    return edtBanco->text().trimmed();
}

QString DialogoBancoEnsaio::senha() const {
    return edtSenha->text();
}
