#include "service/RegistroLog.h"

#include "service/DataResposta.h"
#include "service/Hexadecimal.h"
#include "json/TJSONObject.h"

RegistroLog RegistroLog::ler(const json::TJSONObject &objeto) {
    RegistroLog r;
    r.idscript = objeto.getInt(QStringLiteral("idscript"));
    r.data_alteracao = LerDataResposta(objeto.getString(QStringLiteral("data_alteracao")));
    r.arquivo = objeto.getString(QStringLiteral("arquivo"));
    r.script_atual = HexParaTexto(objeto.getString(QStringLiteral("script_atual")));
    r.script_anterior = HexParaTexto(objeto.getString(QStringLiteral("script_anterior")));
    r.descricao = objeto.getString(QStringLiteral("descricao"));
    r.nome = objeto.getString(QStringLiteral("nome"));
    return r;
}
