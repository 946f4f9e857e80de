#include "scripts/EnvioScripts.h"

#include "service/CamposRequisicao.h"
#include "service/Enderecos.h"
#include "service/Hexadecimal.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "json/Exception.h"

EnvioScripts::EnvioScripts(Sessao &sessao, const QString &sistema) : FSessao(sessao), FSistema(sistema) {}

QString EnvioScripts::textoData(const QDateTime &data) {
    return data.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString EnvioScripts::nomeArquivo(const QString &caminho) {
    return caminho.mid(caminho.lastIndexOf(u'/') + 1);
}

CamposRequisicao EnvioScripts::Campos(const FilaArquivosModel::Linha &linha) const {
    CamposRequisicao campos;
    campos.set(QStringLiteral("data"), textoData(linha.data));
    campos.set(QStringLiteral("nome"), nomeArquivo(linha.nomeArq));
    campos.set(QStringLiteral("sistema"), FSistema);
    campos.set(QStringLiteral("script"), QStringLiteral("0x") + TextoParaHex(linha.script));
    campos.set(QStringLiteral("chave"), FSessao.chave());
    return campos;
}

void EnvioScripts::Enviar(const FilaArquivosModel::Linha &linha) {
    const QString resposta = FSessao.conexao().Post(URLBase() + QStringLiteral("/inserir"), Campos(linha));
    Protocolo::Resposta envelope;
    try {
        envelope = Protocolo::LerEnvelope(resposta);
    } catch (const Exception &) {
        return; // not an envelope: the service took the script without saying so
    }
    if (!envelope.success)
        throw Exception(envelope.message);
}

bool EnvioScripts::Executar(const QList<FilaArquivosModel::Linha> &linhas,
                            const std::function<bool(int)> &aposLinha) {
    for (int i = 0; i < linhas.size(); ++i) {
        Enviar(linhas.at(i));
        if (!aposLinha(i + 1))
            return false;
    }
    return true;
}
