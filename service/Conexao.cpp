#include "service/Conexao.h"

#include "base/Cancelamento.h"
#include "base/Windows1252.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"

#include <QStringDecoder>

#include <curl/curl.h>

namespace {

// The stop request of the action running on this thread (see Conexao::Cancelavel).
thread_local const Cancelamento *cancelamentoDaThread = nullptr;

int acompanharTransferencia(void *cancelamento, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto *c = static_cast<const Cancelamento *>(cancelamento);
    return c && c->cancelado() ? 1 : 0; // non-zero aborts the transfer with CURLE_ABORTED_BY_CALLBACK
}

struct Resposta {
    QByteArray corpo;
    QByteArray linhaStatus; // the last status line: a redirect or "100 Continue" come first
};

size_t receberCorpo(char *dados, size_t tamanho, size_t quantidade, void *destino) {
    static_cast<Resposta *>(destino)->corpo.append(dados, qsizetype(tamanho * quantidade));
    return tamanho * quantidade;
}

size_t receberCabecalho(char *dados, size_t tamanho, size_t quantidade, void *destino) {
    const QByteArray linha(dados, qsizetype(tamanho * quantidade));
    if (linha.startsWith("HTTP/"))
        static_cast<Resposta *>(destino)->linhaStatus = linha.trimmed();
    return tamanho * quantidade;
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
}

Conexao::~Conexao() {
    curl_easy_cleanup(FCurl);
}

void Conexao::setTempoConexao(long segundos) {
    std::lock_guard trava(FMutex);
    FTempoConexao = segundos;
}

void Conexao::setTempoParado(long segundos) {
    std::lock_guard trava(FMutex);
    FTempoParado = segundos;
}

QString Conexao::Get(const QString &address) {
    return executar(address, nullptr);
}

QString Conexao::Post(const QString &address, const CamposRequisicao &fields) {
    return executar(address, &fields);
}

QString Conexao::executar(const QString &address, const CamposRequisicao *fields) {
    const Cancelamento *cancelamento = cancelamentoDaThread;
    if (cancelamento && cancelamento->cancelado())
        throw ErroCancelado();
    std::lock_guard trava(FMutex);
    // A reset keeps the cookies and open connections of the handle but clears every option.
    curl_easy_reset(FCurl);

    const QByteArray url = address.toUtf8();
    const QByteArray corpo = fields ? fields->codificar() : QByteArray();
    Resposta resposta;
    char erro[CURL_ERROR_SIZE] = {};

    curl_slist *cabecalhos = nullptr;
    cabecalhos = curl_slist_append(cabecalhos,
                                   "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    cabecalhos = curl_slist_append(cabecalhos, "Expect:");

    curl_easy_setopt(FCurl, CURLOPT_URL, url.constData());
    curl_easy_setopt(FCurl, CURLOPT_ERRORBUFFER, erro);
    curl_easy_setopt(FCurl, CURLOPT_HTTPHEADER, cabecalhos);
    curl_easy_setopt(FCurl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(FCurl, CURLOPT_COOKIEFILE, ""); // cookie engine on, nothing read or written on disk
    curl_easy_setopt(FCurl, CURLOPT_PROXY, "");      // ignore proxy variables of the environment
    curl_easy_setopt(FCurl, CURLOPT_NOSIGNAL, 1L);   // time-outs without SIGALRM, safe on worker threads
    curl_easy_setopt(FCurl, CURLOPT_CONNECTTIMEOUT, FTempoConexao);
    // A reply that delivers nothing for the whole period is a dead service, not a slow one.
    curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(FCurl, CURLOPT_LOW_SPEED_TIME, FTempoParado);
    curl_easy_setopt(FCurl, CURLOPT_WRITEFUNCTION, receberCorpo);
    curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, &resposta);
    curl_easy_setopt(FCurl, CURLOPT_HEADERFUNCTION, receberCabecalho);
    curl_easy_setopt(FCurl, CURLOPT_HEADERDATA, &resposta);
    curl_easy_setopt(FCurl, CURLOPT_XFERINFOFUNCTION, acompanharTransferencia);
    curl_easy_setopt(FCurl, CURLOPT_XFERINFODATA, cancelamento);
    curl_easy_setopt(FCurl, CURLOPT_NOPROGRESS, 0L);
    if (fields) {
        curl_easy_setopt(FCurl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(FCurl, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(FCurl, CURLOPT_POST, 1L);
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDSIZE, long(corpo.size()));
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, corpo.constData());
    } else {
        curl_easy_setopt(FCurl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(FCurl, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode resultado = curl_easy_perform(FCurl);
    curl_slist_free_all(cabecalhos);
    if (resultado == CURLE_ABORTED_BY_CALLBACK || (cancelamento && cancelamento->cancelado()))
        throw ErroCancelado();
    if (resultado != CURLE_OK) {
        const QString detalhe = QString::fromUtf8(erro[0] ? erro : curl_easy_strerror(resultado));
        if (resultado == CURLE_OPERATION_TIMEDOUT)
            throw ErroTransporte(QStringLiteral("Tempo esgotado aguardando o servidor (%1)").arg(detalhe));
        throw ErroTransporte(detalhe);
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
        throw ErroTransporte(resposta.linhaStatus.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                                            : QString::fromLatin1(resposta.linhaStatus));

    char *contentType = nullptr;
    curl_easy_getinfo(FCurl, CURLINFO_CONTENT_TYPE, &contentType);
    return decodificar(resposta.corpo, charsetDe(contentType));
}
