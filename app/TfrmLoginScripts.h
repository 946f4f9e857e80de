#pragma once

#include <QDialog>
#include <QStringList>

class Messages;
class QLabel;
class QLineEdit;
class QPushButton;
class Sessao;

// The login window: obtains the session key. It cannot be closed before a key is set;
// "Sair" ends the program instead.
class TfrmLoginScripts : public QDialog {
    Q_OBJECT
public:
    // `argumentos`: the program's command-line arguments (without the program name); exactly
    // two fill the user and password fields.
    TfrmLoginScripts(Sessao &sessao, Messages &messages, const QStringList &argumentos,
                     QWidget *parent = nullptr);

    QLineEdit *edtUsuario() const { return m_edtUsuario; }
    QLineEdit *edtSenha() const { return m_edtSenha; }
    QPushButton *btLogin() const { return m_btLogin; }
    QPushButton *btSair() const { return m_btSair; }

public slots:
    void btLoginClick();
    void btSairClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool podeFechar() const;

    Sessao &m_sessao;
    Messages &m_messages;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *m_edtUsuario;
    QLineEdit *m_edtSenha;
    QPushButton *m_btLogin;
    QPushButton *m_btSair;
};
