#include "service/BuscaPaginada.h"

#include "service/Conexao.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

int BuscaPaginada(Conexao &conexao, const QString &endereco, CamposRequisicao campos, int registros,
                  const std::function<void(const json::TJSONObject &)> &porRegistro) {
    int lidos = 0;
    while (lidos < registros) {
        campos.set(QStringLiteral("lidos"), QString::number(lidos));
        const json::TJSONArray pagina(conexao.Post(endereco, campos));
        // An empty page before the count is reached would be asked for again without end.
        if (pagina.length() == 0)
            break;
        for (int i = 0; i < pagina.length(); ++i)
            porRegistro(*pagina.getJSONObject(i));
        lidos += pagina.length();
    }
    return lidos;
}
