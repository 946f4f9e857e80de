#pragma once

#include "app/TfrmLoginScripts.h"
#include "base/Espera.h"
#include "service/Sessao.h"
#include "widgets/ModoEspera.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class EnvioPage;
class LogPage;
class Messages;
class QFrame;
class QLabel;
class QStackedWidget;
class ScriptsPage;
class TBRImageButton;
class TdmPrincipal;

// The main window: the navigation bar, the three pages and busy mode. It holds the session
// (the key FChave is set by the login that its first showing opens) and keeps the pages'
// filter fields in "parametros.ini" beside the executable.
class TfrmPrincipalScripts : public QWidget, public Espera {
    Q_OBJECT
public:
    TfrmPrincipalScripts(TdmPrincipal &dm, Messages &messages, const QStringList &argumentos,
                         QWidget *parent = nullptr);
    ~TfrmPrincipalScripts() override;

    QString getIniName() const;
    void LerParametros();
    // Throws Exception when the file cannot be written.
    void GravarParametros();

    void ExibirLogin();
    // Puts the main window (and the login window while it is open) above ordinary windows.
    void ColocarNoTopo();

    void btEnviarScriptsClick();
    void btEditarScriptsClick();
    void btLogClick();
    void btSairClick();

    void IniciarEspera(int maximo, const QString &mensagem) override;
    void IniciarEspera(int maximo, const QString &mensagem, Cancelamento *cancelamento) override {
        m_espera.IniciarEspera(maximo, mensagem, cancelamento);
    }
    void FinalizarEspera() override;
    int Valor() const override { return m_espera.Valor(); }
    void setValor(int valor) override { m_espera.setValor(valor); }
    int Maximo() const override { return m_espera.Maximo(); }

    Sessao &sessao() { return FSessao; }
    const QString &FChave() const { return FSessao.chave(); }
    ModoEspera &modoEspera() { return m_espera; }
    EnvioPage *paginaEnvio() const { return m_envio; }
    ScriptsPage *paginaScripts() const { return m_scripts; }
    LogPage *paginaLog() const { return m_log; }
    QStackedWidget *Paginas() const { return m_paginas; }
    TfrmLoginScripts *loginAberto() const { return m_login; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void criarBarra();
    TBRImageButton *criarBotao(const char *nome, int top, const QString &caption, const QString &dica,
                               int normal, int over);
    void posicionar();
    // Asks before closing drops work: an upload in progress, unsaved editor windows.
    bool PodeFechar();

    TdmPrincipal &m_dm;
    Messages &m_messages;
    QStringList m_argumentos;
    Sessao FSessao;
    bool m_mostrada = false;

    QWidget *panelPrincipal;
    QFrame *Shape2;
    QLabel *Image1;
    TBRImageButton *btEnviarScripts;
    TBRImageButton *btEditarScripts;
    TBRImageButton *btLog;
    TBRImageButton *btSair;
    QFrame *Shape1;
    QLabel *lblVersao;
    QStackedWidget *m_paginas;
    EnvioPage *m_envio = nullptr;
    ScriptsPage *m_scripts = nullptr;
    LogPage *m_log = nullptr;
    ModoEspera m_espera;
    QPointer<TfrmLoginScripts> m_login;
    bool m_fecharAposEnvio = false;  // the upload stops after its request; then the window closes
    bool m_perguntandoEnvio = false; // asking whether to stop the upload and close
};
