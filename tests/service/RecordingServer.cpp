#include "tests/service/RecordingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

bool writable(int fd, int ms) {
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, ms) > 0;
}

} // namespace

QByteArray RecordingServer::Request::header(const QByteArray &name) const {
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QByteArray();
}

RecordingServer::RecordingServer() {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        ::listen(m_listen, 16) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        throw std::runtime_error("recording server: cannot listen on loopback");
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

RecordingServer::~RecordingServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

QString RecordingServer::rootUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString RecordingServer::baseUrl() const {
    return rootUrl() + QStringLiteral("/services/index.php/scripts");
}

void RecordingServer::queueReply(const QByteArray &raw) {
    QMutexLocker lock(&m_mutex);
    m_replies.append(raw);
}

void RecordingServer::setFluxo(const Fluxo &fluxo) {
    QMutexLocker lock(&m_mutex);
    m_fluxo = fluxo;
}

QByteArray RecordingServer::reply(const QByteArray &body, const QByteArray &contentType,
                                  const QByteArray &status, const QByteArray &extraHeaders) {
    QByteArray r = "HTTP/1.1 " + status + "\r\n";
    if (!contentType.isEmpty())
        r += "Content-Type: " + contentType + "\r\n";
    r += extraHeaders;
    r += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    return r;
}

QList<RecordingServer::Request> RecordingServer::requests() {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void RecordingServer::run() {
    while (!m_stop) {
        if (!readable(m_listen, 20))
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        ++m_connections;
        serve(fd);
        ::close(fd);
    }
}

void RecordingServer::serve(int fd) {
    QByteArray data;
    Request request;
    request.connection = m_connections;
    char buffer[4096];
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    while (!m_stop) {
        if (headerEnd >= 0 && data.size() >= headerEnd + 4 + contentLength)
            break;
        if (!readable(fd, 20))
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        data.append(buffer, n);
        if (headerEnd < 0 && (headerEnd = data.indexOf("\r\n\r\n")) >= 0) {
            const QList<QByteArray> lines = data.left(headerEnd).split('\n');
            request.requestLine = lines.first().trimmed();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.append(
                        {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
            }
            contentLength = request.header("Content-Length").toLongLong();
        }
    }
    if (m_stop)
        return;
    request.body = data.mid(headerEnd + 4, contentLength);
    if (m_holdMs > 0)
        request.overlapped = readable(m_listen, m_holdMs);
    QByteArray answer;
    Fluxo fluxo;
    {
        QMutexLocker lock(&m_mutex);
        m_requests.append(request);
        answer = m_replies.isEmpty() ? reply("{}") : m_replies.takeFirst();
        fluxo = m_fluxo;
    }
    if (m_fim == Fim::Redefinir) {
        const linger abortar{1, 0}; // closing now sends a reset instead of an orderly end
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortar, sizeof abortar);
        return;
    }
    if (m_fim == Fim::Fechar)
        return;
    if (fluxo.tamanho > 0) {
        transmitir(fd, fluxo);
        return;
    }
    if (m_silent) {
        while (!m_stop && !(readable(fd, 20) && ::recv(fd, buffer, sizeof buffer, 0) <= 0)) {
        }
        return;
    }
    ::send(fd, answer.constData(), size_t(answer.size()), MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);
}

void RecordingServer::transmitir(int fd, const Fluxo &fluxo) {
    QByteArray cabecalho = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (fluxo.anunciar)
        cabecalho += "Content-Length: " + QByteArray::number(fluxo.tamanho) + "\r\n";
    cabecalho += "\r\n";
    if (::send(fd, cabecalho.constData(), size_t(cabecalho.size()), MSG_NOSIGNAL) != cabecalho.size())
        return;
    const QByteArray bloco(fluxo.bloco, 'x');
    qint64 enviados = 0;
    m_enviadosFluxo = 0;
    while (!m_stop && enviados < fluxo.tamanho) {
        if (!writable(fd, 20))
            continue;
        const qint64 n = std::min<qint64>(bloco.size(), fluxo.tamanho - enviados);
        const ssize_t feitos = ::send(fd, bloco.constData(), size_t(n), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (feitos < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (feitos <= 0)
            return; // the client went away
        enviados += feitos;
        m_enviadosFluxo = enviados;
        if (fluxo.pausaMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(fluxo.pausaMs));
    }
    ::shutdown(fd, SHUT_WR);
}
