#pragma once

#include "base/EsperaAdiada.h"
#include "catalog/ThreadBusca.h"
#include "service/Protocolo.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class Messages;
class QLabel;
class QLineEdit;
class QPushButton;
class Sessao;

// The login window: obtains the session key. It cannot be closed before a key is set;
// "Sair" ends the program instead. The login request runs on a worker; when it takes a while the
// window shows that it waits (fields disabled, wait cursor) and offers "Cancelar" in place of
// "Login", which aborts the request and leaves the window as it was.
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
    QPushButton *btCancelar() const { return m_btCancelar; }
    // Whether the login request is under way.
    bool Aguardando() const { return m_threadLogin.Executando(); }

public slots:
    void btLoginClick();
    void btSairClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool podeFechar() const;
    void FimLogin(const Protocolo::RespostaLogin &resposta, std::exception_ptr erro);
    void MostrarEspera(bool esperando);

    Sessao &m_sessao;
    Messages &m_messages;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *m_edtUsuario;
    QLineEdit *m_edtSenha;
    QPushButton *m_btLogin;
    QPushButton *m_btSair;
    QPushButton *m_btCancelar;
    QPointer<QWidget> m_focoAntes; // where the keyboard was when "Login" started
    EsperaAdiada m_adiada;
    ThreadBusca m_threadLogin; // last: stopped and joined before anything it uses goes
};
