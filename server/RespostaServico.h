#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <functional>

// What a request handler answers; the HTTP layer only copies it onto the wire.
struct RespostaServico {
    int status = 200;
    QByteArray corpo;
    QByteArray tipo = "application/json; charset=utf-8";

    // {"success": true, ...campos}
    static RespostaServico sucesso(QJsonObject campos = {});
    // {"success": false, "message": mensagem}
    static RespostaServico falha(const QString &mensagem, int status = 200);
    static RespostaServico pagina(const QJsonArray &registros);
    // Runs a handler body: bad input (ErroEntrada) becomes a refusal, a storage failure a status 500,
    // an unreachable database a status 503; every one of them with its envelope.
    static RespostaServico protegido(const std::function<RespostaServico()> &corpo);
};
