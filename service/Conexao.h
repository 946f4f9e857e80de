#pragma once

#include "service/CamposRequisicao.h"

#include <QString>

#include <mutex>

class Cancelamento;
typedef void CURL;

// The program's one HTTP connection. Requests are synchronous and one at a time: a request from
// another thread waits on the mutex instead of overlapping (a wait its Cancelamento ends). Cookies live in memory for the life
// of the object. Throws ErroTransporte (its message a whole Portuguese sentence, see
// FalhaTransporte) when a request cannot be sent, stalls, outlives its deadline, gets a reply
// larger than the size limit or a non-2xx status; a redirect is not followed and gives the empty
// text. Throws ErroCancelado when the calling thread's Cancelamento (see Cancelavel) is set before
// or during the request.
class Conexao {
public:
    // While one lives, every request sent from the constructing thread is aborted at once when
    // `cancelamento` is set (libcurl's transfer callback polls it). Workers create one for the
    // length of their run, so no request signature has to carry it.
    class Cancelavel {
    public:
        explicit Cancelavel(const Cancelamento &cancelamento);
        ~Cancelavel();
        Cancelavel(const Cancelavel &) = delete;
        Cancelavel &operator=(const Cancelavel &) = delete;

    private:
        const Cancelamento *m_anterior;
    };

    static constexpr long TempoConexaoPadrao = 10; // seconds to establish a connection
    static constexpr long TempoParadoPadrao = 60;  // seconds without a byte before giving up
    // Seconds for a whole request, long enough to send a 16 MB script over a slow link.
    static constexpr long PrazoPadrao = 5 * 60;
    // The largest reply body kept; a larger one is refused as it arrives, not after.
    static constexpr qint64 TamanhoMaximoPadrao = qint64(256) * 1024 * 1024;

    Conexao();
    ~Conexao();
    Conexao(const Conexao &) = delete;
    Conexao &operator=(const Conexao &) = delete;

    // HTTP/1.1 GET; the body decoded by the reply's charset (ISO-8859-1 when none or unknown).
    QString Get(const QString &address);
    // Form POST as HTTP/1.0 on a fresh connection.
    QString Post(const QString &address, const CamposRequisicao &fields);

    void setTempoConexao(long segundos);
    void setTempoParado(long segundos);
    void setPrazo(long segundos);
    void setTamanhoMaximo(qint64 bytes);

private:
    // Changes a setting between requests, never during one.
    template <typename T>
    void definir(T &campo, T valor);
    QString executar(const QString &address, const CamposRequisicao *fields);

    std::timed_mutex FMutex;
    CURL *FCurl = nullptr;
    long FTempoConexao = TempoConexaoPadrao;
    long FTempoParado = TempoParadoPadrao;
    long FPrazo = PrazoPadrao;
    qint64 FTamanhoMaximo = TamanhoMaximoPadrao;
};
