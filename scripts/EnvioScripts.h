#pragma once

#include "scripts/FilaArquivosModel.h"

#include <QList>
#include <QString>

#include <functional>

class Sessao;

// The upload run: one "/inserir" per queue row, in queue order, for one target system.
class EnvioScripts {
public:
    EnvioScripts(Sessao &sessao, const QString &sistema);

    // Sends one row. Throws ErroTransporte when the request fails, and Exception with the
    // service's "message" when the reply is an envelope whose "success" is false. A reply that
    // is not an envelope counts as sent.
    void Enviar(const FilaArquivosModel::Linha &linha);

    // Sends the rows in order; after each one calls `aposLinha` with the number sent so far,
    // and stops early (returning false) when it answers false. The first failure propagates:
    // the rows before it have been sent, it and the rows after it have not.
    bool Executar(const QList<FilaArquivosModel::Linha> &linhas, const std::function<bool(int)> &aposLinha);

    // "yyyy-mm-dd hh:mm:ss", the form of "data".
    static QString textoData(const QDateTime &data);
    // What follows the last path separator.
    static QString nomeArquivo(const QString &caminho);

private:
    Sessao &FSessao;
    QString FSistema;
};
