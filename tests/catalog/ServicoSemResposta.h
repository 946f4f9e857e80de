#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A service that takes each request whole and closes the connection without answering, as one
// that dies while it handles the request: the client's request has left, and no answer comes.
// BRISEL_SERVICE_URL points at it while it lives, then goes back to what it was. Runs on the
// thread that creates it, which must run its event loop.
class ServicoSemResposta {
public:
    ServicoSemResposta() : m_anterior(qgetenv("BRISEL_SERVICE_URL")) {
        if (!m_servidor.listen(QHostAddress::LocalHost))
            qFatal("unanswering service: no loopback port");
        QObject::connect(&m_servidor, &QTcpServer::newConnection, &m_servidor, [this] {
            while (QTcpSocket *conexao = m_servidor.nextPendingConnection()) {
                ++conexoes;
                // Long enough for a small request to arrive whole.
                QTimer::singleShot(300, conexao, [conexao] {
                    conexao->readAll();
                    conexao->close();
                });
            }
        });
        qputenv("BRISEL_SERVICE_URL", "http://127.0.0.1:" + QByteArray::number(m_servidor.serverPort()));
    }
    ~ServicoSemResposta() { qputenv("BRISEL_SERVICE_URL", m_anterior); }
    ServicoSemResposta(const ServicoSemResposta &) = delete;
    ServicoSemResposta &operator=(const ServicoSemResposta &) = delete;

    int conexoes = 0;

private:
    QTcpServer m_servidor;
    QByteArray m_anterior;
};
