#include "server/ServidorHttp.h"

#include "base/Exception.h"
#include "server/ServidorComPrazo.h"
#include "server/Tratadores.h"

#include <cstdio>

namespace {

void escrever(httplib::Response &res, const RespostaServico &resposta) {
    res.status = resposta.status;
    res.set_content(resposta.corpo.constData(), size_t(resposta.corpo.size()), resposta.tipo.constData());
}

// A refused body: the answer goes out and the connection closes with the rest unread.
void recusarCorpo(httplib::Response &res, const RespostaServico &resposta) {
    escrever(res, resposta);
    res.set_header("Connection", "close");
    ServidorComPrazo::encerrarAposResposta();
}

enum class Corpo { Inteiro, Grande, Incompleto };

// Reads the whole body into `corpo`, stopping past `limite` bytes.
Corpo lerCorpo(const httplib::Request &req, const httplib::ContentReader &leitor, qsizetype limite,
               QByteArray &corpo) {
    // A request with neither a length nor chunks has no body (the library would read one until
    // the connection ends).
    if (!req.has_header("Content-Length") && !req.has_header("Transfer-Encoding"))
        return Corpo::Inteiro;
    bool grande = false;
    const bool inteiro = leitor([&](const char *dados, size_t tamanho) {
        grande = corpo.size() + qsizetype(tamanho) > limite;
        if (!grande)
            corpo.append(dados, qsizetype(tamanho));
        return !grande;
    });
    return grande ? Corpo::Grande : inteiro ? Corpo::Inteiro : Corpo::Incompleto;
}

} // namespace

ServidorHttp::ServidorHttp(ContextoServidor &contexto, const LimitesServidor &limites)
    : FContexto(contexto), FLimites(limites),
      FServidor(std::make_unique<ServidorComPrazo>(std::chrono::seconds(limites.leituraSegundos),
                                                   std::chrono::seconds(limites.pedidoSegundos),
                                                   limites.conexoes)) {
    FServidor->set_read_timeout(limites.leituraSegundos);
    FServidor->set_logger([](const httplib::Request &req, const httplib::Response &res) {
        // The path only: a query may hold a session key.
        std::fprintf(stderr, "%s %s %s %d %zu\n", req.remote_addr.c_str(), req.method.c_str(),
                     req.path.c_str(), res.status, res.body.size());
    });

    for (const Rota &rota : Rotas()) {
        const auto tratar = rota.tratar;
        if (rota.post) {
            FServidor->Post(rota.caminho, [this, tratar](const httplib::Request &req, httplib::Response &res,
                                                         const httplib::ContentReader &leitor) {
                // Nothing reaches a handler unless the whole body arrived: a body cut short or
                // late is only part of what the client meant.
                QByteArray corpo;
                switch (lerCorpo(req, leitor, FLimites.corpo, corpo)) {
                case Corpo::Grande:
                    recusarCorpo(res, RespostaServico::falha(
                                          QStringLiteral("O corpo da requisição excede o limite de %1 bytes.")
                                              .arg(FLimites.corpo)));
                    break;
                case Corpo::Incompleto:
                    recusarCorpo(res, RespostaServico::falha(
                                          QStringLiteral("O corpo da requisição chegou incompleto."), 400));
                    break;
                case Corpo::Inteiro:
                    escrever(res, tratar(FContexto, Formulario::ler(corpo)));
                }
            });
        } else {
            FServidor->Get(rota.caminho, [this, tratar](const httplib::Request &req, httplib::Response &res) {
                Formulario campos;
                for (const auto &[nome, valor] : req.params)
                    campos.definir(QString::fromStdString(nome), QString::fromStdString(valor));
                escrever(res, tratar(FContexto, campos));
            });
        }
    }
}

ServidorHttp::~ServidorHttp() = default;

int ServidorHttp::ligar(const QString &endereco, int porta) {
    const int ligada = FServidor->ligar(endereco.toStdString(), porta);
    if (ligada <= 0)
        throw Exception(QStringLiteral("Não foi possível escutar em %1:%2.").arg(endereco).arg(porta));
    return ligada;
}

void ServidorHttp::atender() {
    FServidor->listen_after_bind();
}

void ServidorHttp::parar() {
    FServidor->stop();
}
