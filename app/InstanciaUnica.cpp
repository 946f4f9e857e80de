#include "app/InstanciaUnica.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

InstanciaUnica::InstanciaUnica(const QString &nome, QObject *parent) : QObject(parent), m_nome(nome) {}

QString InstanciaUnica::nomePadrao() {
    return QStringLiteral("BriselScripts-%1").arg(getuid());
}

bool InstanciaUnica::avisarOutra() {
    QLocalSocket socket;
    socket.connectToServer(m_nome);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("frente\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

bool InstanciaUnica::escutar() {
    if (m_servidor)
        return true;
    m_servidor = new QLocalServer(this);
    m_servidor->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_servidor->listen(m_nome)) {
        QLocalServer::removeServer(m_nome);
        if (!m_servidor->listen(m_nome))
            return false;
    }
    connect(m_servidor, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_servidor->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit chamada();
        }
    });
    return true;
}
