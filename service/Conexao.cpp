#include "service/Conexao.h"

#include "base/Cancelamento.h"
#include "base/Windows1252.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "service/FalhaTransporte.h"

#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <curl/curl.h>

namespace {

// The stop request of the action running on this thread (see Conexao::Cancelavel).
thread_local const Cancelamento *cancelamentoDaThread = nullptr;

// One request in progress, as libcurl's callbacks see it.
struct Transferencia {
    const Cancelamento *cancelamento = nullptr;
    std::chrono::steady_clock::time_point limite; // the whole-request deadline
    qint64 tamanhoMaximo = 0;
    QByteArray corpo;
    QByteArray linhaStatus; // the last status line: a redirect or "100 Continue" come first
    bool prazoEsgotado = false;
    bool grandeDemais = false;
};

// Called for every block of data and about once a second while nothing moves.
int acompanharTransferencia(void *dados, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto *t = static_cast<Transferencia *>(dados);
    if (t->cancelamento && t->cancelamento->cancelado())
        return 1; // non-zero aborts the transfer with CURLE_ABORTED_BY_CALLBACK
    if (std::chrono::steady_clock::now() >= t->limite) {
        t->prazoEsgotado = true;
        return 1;
    }
    return 0;
}

size_t receberCorpo(char *dados, size_t tamanho, size_t quantidade, void *destino) {
    auto *t = static_cast<Transferencia *>(destino);
    const qsizetype n = qsizetype(tamanho * quantidade);
    if (t->corpo.size() + n > t->tamanhoMaximo) {
        t->grandeDemais = true;
        return 0; // fewer bytes than given ends the transfer with CURLE_WRITE_ERROR
    }
    // Grow geometrically but never past the limit, so a refused reply costs no more than it.
    if (t->corpo.size() + n > t->corpo.capacity())
        t->corpo.reserve(std::min(std::max(t->corpo.capacity() * 2, t->corpo.size() + n), t->tamanhoMaximo));
    t->corpo.append(dados, n);
    return size_t(n);
}

size_t receberCabecalho(char *dados, size_t tamanho, size_t quantidade, void *destino) {
    const QByteArray linha(dados, qsizetype(tamanho * quantidade));
    if (linha.startsWith("HTTP/"))
        static_cast<Transferencia *>(destino)->linhaStatus = linha.trimmed();
    return tamanho * quantidade;
}

// "host:port" of the address, as the messages name the service.
QString servicoDe(const QByteArray &url) {
    const QUrl u(QString::fromUtf8(url));
    if (u.host().isEmpty())
        return QString::fromUtf8(url);
    const QString host =
        u.host().contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(u.host()) : u.host();
    return QStringLiteral("%1:%2").arg(host).arg(u.port(u.scheme() == QLatin1String("https") ? 443 : 80));
}

// The system's reason for a failed connection or a broken one, in Portuguese where known.
QString motivoSistema(long erro) {
    switch (erro) {
    case ECONNREFUSED:
        return QStringLiteral("conexão recusada");
    case ECONNRESET:
        return QStringLiteral("conexão redefinida pelo servidor");
    case ENETUNREACH:
        return QStringLiteral("rede inacessível");
    case EHOSTUNREACH:
        return QStringLiteral("servidor inacessível");
    case ETIMEDOUT:
        return QStringLiteral("tempo esgotado");
    case EPIPE:
        return QStringLiteral("conexão fechada pelo servidor");
    default:
        return QString();
    }
}

QByteArray charsetDe(const char *contentType) {
    if (!contentType)
        return QByteArray();
    for (QByteArray parte : QByteArray(contentType).split(';')) {
        parte = parte.trimmed();
        if (parte.toLower().startsWith("charset=")) {
            QByteArray nome = parte.mid(8).trimmed();
            if (nome.size() >= 2 && nome.startsWith('"') && nome.endsWith('"'))
                nome = nome.mid(1, nome.size() - 2);
            return nome;
        }
    }
    return QByteArray();
}

QString decodificar(const QByteArray &corpo, const QByteArray &charset) {
    const QByteArray nome = charset.toLower();
    if (nome == "windows-1252" || nome == "cp1252")
        return Windows1252::toUnicode(corpo);
    if (!nome.isEmpty()) {
        QStringDecoder decoder(nome.constData());
        if (decoder.isValid())
            return decoder(corpo);
    }
    // No charset, or one we do not know: one character per byte.
    return QString::fromLatin1(corpo);
}

void iniciarCurlUmaVez() {
    static std::once_flag iniciado;
    std::call_once(iniciado, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

Conexao::Cancelavel::Cancelavel(const Cancelamento &cancelamento) : m_anterior(cancelamentoDaThread) {
    cancelamentoDaThread = &cancelamento;
}

Conexao::Cancelavel::~Cancelavel() {
    cancelamentoDaThread = m_anterior;
}

Conexao::Conexao() {
    iniciarCurlUmaVez();
    FCurl = curl_easy_init();
    if (!FCurl)
        throw ErroTransporte(QStringLiteral("Não foi possível iniciar a conexão HTTP."));
    // What every request shares is set once. The handle is never reset between requests: a reset
    // would drop (and leak) the cookie engine's setting, and each request sets all it changes.
    curl_easy_setopt(FCurl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(FCurl, CURLOPT_COOKIEFILE, ""); // cookie engine on, nothing read or written on disk
    curl_easy_setopt(FCurl, CURLOPT_PROXY, "");      // ignore proxy variables of the environment
    curl_easy_setopt(FCurl, CURLOPT_NOSIGNAL, 1L);   // time-outs without SIGALRM, safe on worker threads
    // A reply that delivers nothing for the whole stall period is a dead service, not a slow one.
    curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(FCurl, CURLOPT_WRITEFUNCTION, receberCorpo);
    curl_easy_setopt(FCurl, CURLOPT_HEADERFUNCTION, receberCabecalho);
    curl_easy_setopt(FCurl, CURLOPT_XFERINFOFUNCTION, acompanharTransferencia);
    curl_easy_setopt(FCurl, CURLOPT_NOPROGRESS, 0L);
}

Conexao::~Conexao() {
    curl_easy_cleanup(FCurl);
}

template <typename T> void Conexao::definir(T &campo, T valor) {
    std::lock_guard trava(FMutex);
    campo = valor;
}

void Conexao::setTempoConexao(long segundos) {
    definir(FTempoConexao, segundos);
}

void Conexao::setTempoParado(long segundos) {
    definir(FTempoParado, segundos);
}

void Conexao::setPrazo(long segundos) {
    definir(FPrazo, segundos);
}

void Conexao::setTamanhoMaximo(qint64 bytes) {
    definir(FTamanhoMaximo, bytes);
}

QString Conexao::Get(const QString &address) {
    return executar(address, nullptr);
}

QString Conexao::Post(const QString &address, const CamposRequisicao &fields) {
    return executar(address, &fields);
}

QString Conexao::executar(const QString &address, const CamposRequisicao *fields) {
    const Cancelamento *cancelamento = cancelamentoDaThread;
    // Another thread's request may hold the connection for minutes: its stop must not wait for it.
    while (!FMutex.try_lock_for(std::chrono::milliseconds(50)))
        if (cancelamento && cancelamento->cancelado())
            throw ErroCancelado();
    std::lock_guard trava(FMutex, std::adopt_lock);
    if (cancelamento && cancelamento->cancelado())
        throw ErroCancelado();

    const QByteArray url = address.toUtf8();
    const QByteArray corpo = fields ? fields->codificar() : QByteArray();
    Transferencia t;
    t.cancelamento = cancelamento;
    t.limite = std::chrono::steady_clock::now() + std::chrono::seconds(FPrazo);
    t.tamanhoMaximo = FTamanhoMaximo;
    char erro[CURL_ERROR_SIZE] = {};

    curl_slist *cabecalhos = nullptr;
    cabecalhos = curl_slist_append(cabecalhos,
                                   "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    cabecalhos = curl_slist_append(cabecalhos, "Expect:");

    curl_easy_setopt(FCurl, CURLOPT_URL, url.constData());
    curl_easy_setopt(FCurl, CURLOPT_ERRORBUFFER, erro);
    curl_easy_setopt(FCurl, CURLOPT_HTTPHEADER, cabecalhos);
    curl_easy_setopt(FCurl, CURLOPT_CONNECTTIMEOUT, FTempoConexao);
    curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_TIME, FTempoParado);
    // A reply that announces its length is refused before its body is read.
    curl_easy_setopt(FCurl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(FTamanhoMaximo));
    curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(FCurl, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(FCurl, CURLOPT_XFERINFODATA, &t);
    if (fields) {
        curl_easy_setopt(FCurl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(FCurl, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(FCurl, CURLOPT_POST, 1L);
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDSIZE, long(corpo.size()));
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, corpo.constData());
    } else {
        curl_easy_setopt(FCurl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(FCurl, CURLOPT_FRESH_CONNECT, 0L);
        curl_easy_setopt(FCurl, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode resultado = curl_easy_perform(FCurl);
    long erroSistema = 0;
    curl_easy_getinfo(FCurl, CURLINFO_OS_ERRNO, &erroSistema);
    curl_off_t conectadoEm = 0;
    curl_easy_getinfo(FCurl, CURLINFO_CONNECT_TIME_T, &conectadoEm);
    // The headers count as sent once any of them went out (they fit one write); the body only
    // when its last byte did. A small body goes out with the headers and counts in both.
    long cabecalhosEnviados = 0;
    curl_easy_getinfo(FCurl, CURLINFO_REQUEST_SIZE, &cabecalhosEnviados);
    curl_off_t corpoEnviado = 0;
    curl_easy_getinfo(FCurl, CURLINFO_SIZE_UPLOAD_T, &corpoEnviado);
    const bool pedidoEnviado = cabecalhosEnviados > 0 && corpoEnviado >= curl_off_t(corpo.size());
    // Nothing the handle keeps may point into this frame once it returns.
    curl_easy_setopt(FCurl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(FCurl, CURLOPT_XFERINFODATA, nullptr);
    curl_slist_free_all(cabecalhos);

    if (cancelamento && cancelamento->cancelado())
        throw ErroCancelado(pedidoEnviado);
    using Causa = FalhaTransporte::Causa;
    auto falha = [&](Causa causa, const QString &detalhe) {
        // A failure status is the service's answer; any other failure left the request unanswered.
        return ErroTransporte(FalhaTransporte{causa, servicoDe(url), detalhe}.mensagem(),
                              pedidoEnviado && causa != Causa::Status);
    };
    if (resultado != CURLE_OK) {
        const QString tecnico = QString::fromUtf8(erro[0] ? erro : curl_easy_strerror(resultado));
        const QString motivo = motivoSistema(erroSistema);
        if (t.prazoEsgotado)
            throw falha(Causa::Prazo, FalhaTransporte::tempo(FPrazo));
        if (t.grandeDemais || resultado == CURLE_FILESIZE_EXCEEDED)
            throw falha(Causa::GrandeDemais,
                        QStringLiteral("mais de %1").arg(FalhaTransporte::tamanho(FTamanhoMaximo)));
        switch (resultado) {
        case CURLE_COULDNT_RESOLVE_HOST:
            throw falha(Causa::NomeNaoEncontrado, QStringLiteral("nome não encontrado"));
        case CURLE_COULDNT_CONNECT:
            throw falha(Causa::ConexaoRecusada, motivo.isEmpty() ? tecnico : motivo);
        case CURLE_OPERATION_TIMEDOUT:
            if (conectadoEm == 0)
                throw falha(Causa::TempoConexao, FalhaTransporte::tempo(FTempoConexao));
            throw falha(Causa::SemDados,
                        QStringLiteral("nenhum dado em %1").arg(FalhaTransporte::tempo(FTempoParado)));
        case CURLE_GOT_NOTHING:
            throw falha(Causa::Interrompida, QStringLiteral("o servidor fechou a conexão sem responder"));
        case CURLE_PARTIAL_FILE:
            throw falha(Causa::Interrompida, QStringLiteral("resposta incompleta"));
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            throw falha(Causa::Interrompida, motivo.isEmpty() ? tecnico : motivo);
        default:
            throw falha(Causa::Outra, tecnico);
        }
    }

    long status = 0;
    curl_easy_getinfo(FCurl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 300 && status < 400) {
        char *destino = nullptr;
        curl_easy_getinfo(FCurl, CURLINFO_REDIRECT_URL, &destino);
        if (destino)
            return QString(); // redirects are not followed; the caller gets the empty text
    }
    if (status < 200 || status >= 300)
        throw falha(Causa::Status, t.linhaStatus.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                                           : QString::fromLatin1(t.linhaStatus));

    char *contentType = nullptr;
    curl_easy_getinfo(FCurl, CURLINFO_CONTENT_TYPE, &contentType);
    return decodificar(t.corpo, charsetDe(contentType));
}
