#pragma once

#include "scripts/EstadoNoServico.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class Cancelamento;
class Sessao;

// Asks the service what it holds, under one system, for each of a list of files (see
// EstadoNoServico). A file matches the stored scripts whose name equals its name exactly, letter
// case included: the service's "arquivo" filter finds names by part and without regard to case,
// so its records are compared by whole name here. Texts are compared as "/inserir" sends them.
//
// One counting request learns how many scripts the system holds. When they are few beside the
// files asked about, they are all fetched at once; otherwise each distinct name is searched on
// its own. Either way a name asked about by several files costs one search.
class ConsultaEstadoServico {
public:
    struct Arquivo {
        QString nome;      // the bare file name, as "/inserir" sends it
        QByteArray script; // the text as it would be sent: Windows-1252, CR LF line ends
    };

    struct Ganchos {
        // File `indice` is decided; called on the calling thread as soon as it is known, in no
        // fixed order, so a failure later leaves the files handed over so far decided.
        std::function<void(int indice, const EstadoNoServico &estado)> decidido;
        // `feitos` of `total` steps done; the total may change once, when the way is chosen.
        std::function<void(int feitos, int total)> progresso;
        // Setting it aborts the request in progress: Consultar then throws ErroCancelado.
        const Cancelamento *cancelamento = nullptr;
    };

    enum class Estrategia {
        Automatica, // by the system's count, as described above
        PorNome,    // one search per distinct name
        Sistema,    // the whole system at once
    };

    // A system holding more than this many scripts per distinct name asked about is searched
    // name by name. A name costs two requests and a search through the whole system on the
    // service's side; fetching the system whole costs one request per page (50 scripts on the
    // reference service) and brings texts nobody asked for. Measured on the reference service
    // with 2,000 names: name by name took about 20 times as long as fetching 4,000 scripts whole.
    static constexpr int ScriptsPorNomeParaBuscaUnica = 25;

    ConsultaEstadoServico(Sessao &sessao, const QString &sistema);

    void setEstrategia(Estrategia estrategia) { FEstrategia = estrategia; }

    // The state of every file, in the order given. Throws ErroTransporte when a request fails,
    // Exception with the service's "message" when it refuses, or with the reading failure's text
    // when a reply does not read, and ErroCancelado when stopped.
    QList<EstadoNoServico> Consultar(const QList<Arquivo> &arquivos, const Ganchos &ganchos);
    QList<EstadoNoServico> Consultar(const QList<Arquivo> &arquivos) {
        return Consultar(arquivos, Ganchos());
    }

private:
    Sessao &FSessao;
    QString FSistema;
    Estrategia FEstrategia = Estrategia::Automatica;
};
