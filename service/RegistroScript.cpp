#include "service/RegistroScript.h"

#include "service/DataResposta.h"
#include "service/Hexadecimal.h"
#include "json/TJSONObject.h"

RegistroScript RegistroScript::ler(const json::TJSONObject &objeto) {
    RegistroScript r;
    r.codigo = objeto.getInt(QStringLiteral("CODIGO_SC"));
    r.data = LerDataResposta(objeto.getString(QStringLiteral("DATA_CRIACAO_SC")));
    r.arquivo = objeto.getString(QStringLiteral("NOME_ARQUIVO_SC"));
    r.script = HexParaTexto(objeto.getString(QStringLiteral("SCRIPT_SC")));
    return r;
}
