#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>

#include <chrono>

// A client on a plain loopback socket, for requests the real client never sends: cut short,
// stalled, trickled or far too large.
class ClienteBruto {
public:
    explicit ClienteBruto(int porta);
    ~ClienteBruto();
    ClienteBruto(const ClienteBruto &) = delete;
    ClienteBruto &operator=(const ClienteBruto &) = delete;

    bool conectado() const { return FSocket >= 0; }
    // Sends all of `dados`; false when the connection refused them.
    bool enviar(const QByteArray &dados);
    // Ends our side of the connection: the server reads end of file.
    void encerrarEnvio();
    // Everything the server sends until it closes, waiting at most `limite` in all; `fechou`
    // tells whether the server closed within it.
    QByteArray receberTudo(std::chrono::milliseconds limite, bool *fechou = nullptr);

    // One whole request and its whole reply.
    static QByteArray trocar(int porta, const QByteArray &pedido);

private:
    int FSocket = -1;
};

// A url-encoded form body of the pairs, in order.
QByteArray CorpoFormulario(const QList<QPair<QByteArray, QByteArray>> &campos);
// A POST of a form to a path below /services/index.php/scripts.
QByteArray PedidoPost(const QByteArray &rota, const QByteArray &corpo);
// The JSON of a reply's body (the part after the headers); empty when it is not an object.
QJsonObject EnvelopeDe(const QByteArray &resposta);
// Logs in and returns the session key; empty on refusal.
QByteArray Entrar(int porta, const QByteArray &usuario, const QByteArray &senha);
// The number of stored scripts or log entries (pesquisar or pesquisar_log), -1 on refusal.
int Contar(int porta, const QByteArray &chave, const QByteArray &rota);
