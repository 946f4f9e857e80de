#include "server/ServidorComPrazo.h"

#include "server/FluxoComPrazo.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

using std::chrono::milliseconds;

thread_local bool tEncerrar = false;
// Whether the connection served on this thread was within the limit when it was accepted.
thread_local bool tAdmitida = true;

// A thread per task; shutdown() waits for all of them. The limit of open connections is decided
// here, on the accepting thread and in the order of arrival: decided on the tasks' own threads,
// a new connection whose thread happened to start first took the place of an older one.
class ThreadPorConexao : public httplib::TaskQueue {
public:
    explicit ThreadPorConexao(int maximo) : FMaximo(maximo) {}

    void enqueue(std::function<void()> tarefa) override {
        bool admitida;
        {
            std::lock_guard trava(FMutex);
            admitida = FAbertas < FMaximo;
            if (admitida)
                ++FAbertas;
            ++FAtivas;
        }
        auto servir = [this, tarefa, admitida] {
            tAdmitida = admitida;
            tarefa();
            terminar(admitida);
        };
        try {
            std::thread(servir).detach();
        } catch (const std::system_error &) {
            // No thread to be had: serve it on the accepting thread rather than drop the socket.
            servir();
        }
    }
    void shutdown() override {
        std::unique_lock trava(FMutex);
        FFim.wait(trava, [this] { return FAtivas == 0; });
    }

private:
    void terminar(bool admitida) {
        std::lock_guard trava(FMutex);
        if (admitida)
            --FAbertas;
        if (--FAtivas == 0)
            FFim.notify_all();
    }

    const int FMaximo;
    std::mutex FMutex;
    std::condition_variable FFim;
    int FAtivas = 0;  // tasks not yet ended, refused ones included
    int FAbertas = 0; // connections admitted and not yet closed
};

// Closes our side first and reads what the client still sends for a moment, so that a client
// still sending a refused body reads the answer instead of a reset connection.
void fechar(socket_t sock) {
    ::shutdown(sock, SHUT_WR);
    const auto fim = std::chrono::steady_clock::now() + milliseconds(1000);
    char descarte[16384];
    for (;;) {
        const auto resta = std::chrono::ceil<milliseconds>(fim - std::chrono::steady_clock::now());
        pollfd p{sock, POLLIN, 0};
        if (resta <= milliseconds::zero() || ::poll(&p, 1, int(resta.count())) <= 0 ||
            ::recv(sock, descarte, sizeof descarte, 0) <= 0)
            break;
    }
    ::close(sock);
}

} // namespace

ServidorComPrazo::ServidorComPrazo(milliseconds leitura, milliseconds pedido, int maximoConexoes)
    : FLeitura(leitura), FPedido(pedido) {
    new_task_queue = [maximoConexoes] { return new ThreadPorConexao(maximoConexoes); };
    set_keep_alive_max_count(100);
}

int ServidorComPrazo::ligar(const std::string &endereco, int porta) {
    const int ligada = porta == 0 ? bind_to_any_port(endereco) : (bind_to_port(endereco, porta) ? porta : -1);
    // The library listens with a queue of 5: a burst of clients would wait for SYN retries.
    if (ligada > 0)
        ::listen(svr_sock_, SOMAXCONN);
    return ligada;
}

void ServidorComPrazo::encerrarAposResposta() {
    tEncerrar = true;
}

bool ServidorComPrazo::process_and_close_socket(socket_t sock) {
    if (!tAdmitida) {
        ::close(sock);
        return false;
    }
    // An answer goes out in more than one write: without this, each would wait for the
    // client's delayed acknowledgement of the one before.
    const int sim = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &sim, sizeof sim);
    bool ok = false;
    {
        FluxoComPrazo fluxo(sock, FLeitura, std::chrono::seconds(write_timeout_sec_));
        const milliseconds ociosa = std::chrono::seconds(keep_alive_timeout_sec_);
        for (size_t restantes = keep_alive_max_count_; restantes > 0; --restantes) {
            // Waits in short steps so that stop() is not held up by an idle connection.
            bool chegou = false;
            for (auto espera = milliseconds::zero(); !chegou && espera < ociosa; espera += milliseconds(200))
                chegou = svr_sock_ != INVALID_SOCKET && fluxo.aguardarPedido(milliseconds(200));
            if (!chegou || svr_sock_ == INVALID_SOCKET)
                break;
            fluxo.iniciarPedido(FluxoComPrazo::Relogio::now() + FPedido);
            tEncerrar = false;
            bool fechada = false;
            ok = process_request(fluxo, restantes == 1, fechada, nullptr);
            if (!ok || fechada || tEncerrar || fluxo.leituraFalhou())
                break;
        }
    }
    fechar(sock);
    return ok;
}
