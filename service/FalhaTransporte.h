#pragma once

#include <QString>

// Why a request failed on its way, and the sentence that tells the user: the cause first, the
// technical detail after it in parentheses, ending in a full stop, so callers may put it after a
// sentence of their own ("Falha ao … ") as it stands.
struct FalhaTransporte {
    enum class Causa {
        ConexaoRecusada,   // no connection: refused, unreachable, ... (detail: the system's reason)
        TempoConexao,      // no connection within the connect time-out (detail: the time)
        NomeNaoEncontrado, // the host name does not resolve
        SemDados,          // connected, then nothing arrived for the stall time-out (detail: the time)
        Prazo,             // the whole request outlived its deadline (detail: the time)
        Interrompida,      // the connection broke: reset, closed before or during the reply
        Status,            // a reply with a failure status (detail: the status line)
        GrandeDemais,      // the reply outgrew the size limit (detail: the limit)
        Outra,             // anything else (detail: the HTTP library's own text)
    };

    Causa causa;
    QString servico; // "host:port"
    QString detalhe;

    QString mensagem() const;

    // "45 s", "5 min", "1 min 30 s"
    static QString tempo(long segundos);
    // "256 MiB", "64 KiB", "100 bytes"
    static QString tamanho(qint64 bytes);
};
