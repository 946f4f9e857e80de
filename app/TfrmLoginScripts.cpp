#include "app/TfrmLoginScripts.h"

#include "base/ErroGeral.h"
#include "base/Messages.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "widgets/ImageList.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *rotulo(const QString &text, int x, int y, QWidget *parent, const char *name) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton *botao(const QString &text, int imagem, QRect geometry, QWidget *parent, const char *name) {
    auto *button = new QPushButton(ImageList::icones().icon(imagem), text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    // Enter belongs to the edits, not to a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TfrmLoginScripts::TfrmLoginScripts(Sessao &sessao, Messages &messages, const QStringList &argumentos,
                                   QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_sessao(sessao),
      m_messages(messages), m_adiada([this] { MostrarEspera(true); }, [this] { MostrarEspera(false); }) {
    setObjectName(QStringLiteral("frmLoginScripts"));
    setWindowTitle(QStringLiteral("Efetuar login"));
    setFixedSize(252, 122);
    setModal(true);

    Label1 = rotulo(QStringLiteral("Usuário:"), 16, 16, this, "Label1");
    Label2 = rotulo(QStringLiteral("Senha:"), 16, 56, this, "Label2");

    m_edtUsuario = new QLineEdit(this);
    m_edtUsuario->setObjectName(QStringLiteral("edtUsuario"));
    m_edtUsuario->setGeometry(62, 12, 169, 21);
    connect(m_edtUsuario, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = m_edtUsuario->cursorPosition();
            m_edtUsuario->setText(upper);
            m_edtUsuario->setCursorPosition(cursor);
        }
    });

    m_edtSenha = new QLineEdit(this);
    m_edtSenha->setObjectName(QStringLiteral("edtSenha"));
    m_edtSenha->setGeometry(62, 53, 169, 21);
    m_edtSenha->setEchoMode(QLineEdit::Password);
    m_edtSenha->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    m_btLogin = botao(QStringLiteral("Login"), 12, QRect(62, 89, 75, 25), this, "btLogin");
    m_btSair = botao(QStringLiteral("Sair"), 4, QRect(156, 89, 75, 25), this, "btSair");
    // Takes the place of "Login" while a slow login waits.
    m_btCancelar = botao(QStringLiteral("Cancelar"), 9, m_btLogin->geometry(), this, "btCancelar");
    m_btCancelar->hide();

    setTabOrder(m_edtUsuario, m_edtSenha);
    setTabOrder(m_edtSenha, m_btLogin);
    setTabOrder(m_btLogin, m_btSair);

    connect(m_edtUsuario, &QLineEdit::returnPressed, m_edtSenha, qOverload<>(&QWidget::setFocus));
    connect(m_edtSenha, &QLineEdit::returnPressed, this, &TfrmLoginScripts::btLoginClick);
    connect(m_btLogin, &QPushButton::clicked, this, &TfrmLoginScripts::btLoginClick);
    connect(m_btSair, &QPushButton::clicked, this, &TfrmLoginScripts::btSairClick);
    connect(m_btCancelar, &QPushButton::clicked, this, [this] {
        if (Cancelamento *cancelamento = m_threadLogin.cancelamento())
            cancelamento->cancelar();
        m_btCancelar->setEnabled(false);
    });

    if (argumentos.size() == 2) {
        m_edtUsuario->setText(argumentos[0]);
        m_edtSenha->setText(argumentos[1]);
    }
    m_edtUsuario->setFocus();
}

void TfrmLoginScripts::btLoginClick() {
    if (m_threadLogin.Executando())
        return;
    m_focoAntes = focusWidget();
    auto resposta = std::make_shared<Protocolo::RespostaLogin>();
    m_threadLogin.Iniciar(
        [&conexao = m_sessao.conexao(), usuario = m_edtUsuario->text(), senha = m_edtSenha->text(), resposta](
            const ThreadBusca::NaInterface &) { *resposta = Protocolo::Login(conexao, usuario, senha); },
        [this, resposta](std::exception_ptr erro) { FimLogin(*resposta, erro); });
    m_adiada.Armar();
}

void TfrmLoginScripts::FimLogin(const Protocolo::RespostaLogin &resposta, std::exception_ptr erro) {
    m_adiada.Desarmar();
    if (erro) {
        try {
            std::rethrow_exception(erro);
        } catch (const ErroCancelado &) {
            return; // stopped by the user: the window is as it was
        } catch (const ErroTransporte &e) {
            m_messages.error(QStringLiteral("Falha ao efetuar o login. ") +
                             ErroGeral::comPontoFinal(e.message()));
        } catch (...) {
            m_messages.error(QStringLiteral("Falha ao efetuar o login."));
        }
        return;
    }
    if (resposta.success) {
        m_sessao.setChave(resposta.chave);
        close(); // refused while the key is empty
    } else {
        m_messages.error(resposta.message);
        m_edtUsuario->setFocus();
    }
}

void TfrmLoginScripts::MostrarEspera(bool esperando) {
    m_edtUsuario->setEnabled(!esperando);
    m_edtSenha->setEnabled(!esperando);
    m_btLogin->setVisible(!esperando);
    m_btCancelar->setEnabled(true);
    m_btCancelar->setVisible(esperando);
    if (esperando) {
        setCursor(Qt::WaitCursor);
        m_btSair->setCursor(Qt::ArrowCursor);
        m_btCancelar->setCursor(Qt::ArrowCursor);
        m_btCancelar->setFocus();
    } else {
        unsetCursor();
        if (m_focoAntes)
            m_focoAntes->setFocus();
    }
}

void TfrmLoginScripts::btSairClick() {
    QCoreApplication::exit(0);
}

bool TfrmLoginScripts::podeFechar() const {
    return !m_sessao.chave().isEmpty();
}

void TfrmLoginScripts::reject() {
    if (podeFechar())
        QDialog::reject();
}

void TfrmLoginScripts::closeEvent(QCloseEvent *event) {
    if (podeFechar())
        QDialog::closeEvent(event);
    else
        event->ignore();
}
