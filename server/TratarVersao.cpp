#include "server/Tratadores.h"

#include <QJsonDocument>

// The bare version as a JSON string; the client drops the quotes itself.
RespostaServico TratarVersao(ContextoServidor &contexto, const Formulario &) {
    return {200, QJsonDocument(QJsonArray{contexto.versao}).toJson(QJsonDocument::Compact).mid(1).chopped(1)};
}
