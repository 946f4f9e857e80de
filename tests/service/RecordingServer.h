#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>

#include <atomic>
#include <thread>

// A loopback HTTP peer for wire tests: records the bytes of every request it receives, one
// connection at a time, and answers each with the next queued raw reply (a 200 with "{}" when
// none is queued), closing the connection after it.
class RecordingServer {
public:
    struct Request {
        QByteArray requestLine;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int connection = 0;      // 1 for the first accepted connection, ...
        bool overlapped = false; // another connection arrived while this one was being answered
        QByteArray header(const QByteArray &name) const;
    };

    RecordingServer();
    ~RecordingServer();

    int port() const { return m_port; }
    QString rootUrl() const;
    QString baseUrl() const;

    void queueReply(const QByteArray &raw);
    static QByteArray reply(const QByteArray &body, const QByteArray &contentType = "application/json",
                            const QByteArray &status = "200 OK", const QByteArray &extraHeaders = {});
    // Accepts connections but never answers.
    void setSilent(bool silent) { m_silent = silent; }
    // Holds each reply this long while watching for a second connection.
    void setHoldMs(int ms) { m_holdMs = ms; }
    // How a connection ends once its request is read, instead of with the queued reply.
    enum class Fim { Responder, Fechar, Redefinir };
    void setFim(Fim fim) { m_fim = fim; }
    // Instead of the queued reply: a 200 whose body is `tamanho` bytes of "x", written `bloco`
    // bytes at a time with a pause of `pausaMs` after each, made as it goes (never held whole).
    // With `anunciar` the header gives the length; otherwise the body ends when the connection
    // closes. The stream stops when the client goes away.
    struct Fluxo {
        qint64 tamanho = 0;
        qsizetype bloco = 64 * 1024;
        int pausaMs = 0;
        bool anunciar = true;
    };
    void setFluxo(const Fluxo &fluxo);
    // Bytes of body the last stream got out before it ended.
    qint64 enviadosFluxo() const { return m_enviadosFluxo; }

    QList<Request> requests();
    int connections() const { return m_connections; }

private:
    void run();
    void serve(int fd);
    void transmitir(int fd, const Fluxo &fluxo);

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silent{false};
    std::atomic<int> m_holdMs{0};
    std::atomic<int> m_connections{0};
    std::atomic<Fim> m_fim{Fim::Responder};
    Fluxo m_fluxo;
    std::atomic<qint64> m_enviadosFluxo{0};
    QMutex m_mutex;
    QList<Request> m_requests;
    QList<QByteArray> m_replies;
    std::thread m_thread;
};
