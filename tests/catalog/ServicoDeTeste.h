#pragma once

#include "service/Conexao.h"
#include "service/Sessao.h"
#include "tests/support/TestServer.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The reference service on loopback with one logged-in session, ready to hold scripts.
// BRISEL_SERVICE_URL points at it for the life of the object.
class ServicoDeTeste {
public:
    explicit ServicoDeTeste(int tamanhoPagina = 50);
    ~ServicoDeTeste();

    // Stores a script through "/inserir" and returns the code the service gave it.
    int Inserir(const QString &nome, const QByteArray &script,
                const QString &sistema = QStringLiteral("KOR"));
    // The text stored under a code, read back through the search.
    QByteArray ScriptGuardado(int codigo);
    // Stops the service: every later request fails in transport.
    void Parar() { m_servidor.reset(); }
    // Freezes the service and lets it go on: requests sent meanwhile wait, and are carried out
    // once it goes on, even when their sender gave up on them.
    void Pausar(bool pausado) { m_servidor->pausar(pausado); }

    Conexao conexao;
    Sessao sessao{conexao};

private:
    std::unique_ptr<TestServer> m_servidor;
};
