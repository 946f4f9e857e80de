#include "server/RespostaServico.h"

#include "server/BancoIndisponivel.h"
#include "server/ErroEntrada.h"

#include <QJsonDocument>

RespostaServico RespostaServico::sucesso(QJsonObject campos) {
    campos.insert(QStringLiteral("success"), true);
    return {200, QJsonDocument(campos).toJson(QJsonDocument::Compact)};
}

RespostaServico RespostaServico::falha(const QString &mensagem, int status) {
    const QJsonObject envelope{{QStringLiteral("success"), false}, {QStringLiteral("message"), mensagem}};
    return {status, QJsonDocument(envelope).toJson(QJsonDocument::Compact)};
}

RespostaServico RespostaServico::pagina(const QJsonArray &registros) {
    return {200, QJsonDocument(registros).toJson(QJsonDocument::Compact)};
}

RespostaServico RespostaServico::protegido(const std::function<RespostaServico()> &corpo) {
    try {
        return corpo();
    } catch (const ErroEntrada &e) {
        return falha(e.message());
    } catch (const BancoIndisponivel &e) {
        return falha(e.message(), 503);
    } catch (const Exception &e) {
        return falha(e.message(), 500);
    }
}
