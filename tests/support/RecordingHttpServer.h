#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// A loopback HTTP server on its own thread that records every request it receives (request line,
// headers and body as raw bytes) and answers each with the body that `resposta` gives for it,
// after an optional delay. It serves one connection at a time and notes when two were open at
// once. For tests that check the bytes on the wire or the ordering of requests.
class RecordingHttpServer {
public:
    struct Request {
        QByteArray head; // request line and headers
        QByteArray body;
    };
    using Responder = std::function<QByteArray(const Request &)>;

    explicit RecordingHttpServer(Responder resposta, std::chrono::milliseconds atraso = {});
    ~RecordingHttpServer();
    RecordingHttpServer(const RecordingHttpServer &) = delete;
    RecordingHttpServer &operator=(const RecordingHttpServer &) = delete;

    // http://127.0.0.1:PORT, what BRISEL_SERVICE_URL takes.
    QByteArray rootUrl() const;
    QList<Request> requests() const;
    // True when a second connection came in while a request was still being answered.
    bool overlapped() const { return m_overlapped; }

private:
    void serve();
    void answer(int client);

    Responder m_resposta;
    std::chrono::milliseconds m_atraso;
    int m_listener = -1;
    int m_port = 0;
    std::atomic_bool m_stop = false;
    std::atomic_bool m_overlapped = false;
    mutable std::mutex m_mutex;
    QList<Request> m_requests;
    std::thread m_thread;
};
