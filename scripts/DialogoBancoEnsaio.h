#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the database of a trial and its SYSDBA password, when the validation settings name
// none or remember no password for it.
class DialogoBancoEnsaio : public QDialog {
    Q_OBJECT
public:
    DialogoBancoEnsaio(const QString &banco, QWidget *parent = nullptr);

    QString banco() const;
    QString senha() const;

private:
    QLineEdit *edtBanco;
    QLineEdit *edtSenha;
};
