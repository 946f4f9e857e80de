#include "scripts/EnvioScripts.h"

#include "base/Exception.h"
#include "service/Protocolo.h"

EnvioScripts::EnvioScripts(Sessao &sessao, const QString &sistema) : FSessao(sessao), FSistema(sistema) {}

QString EnvioScripts::textoData(const QDateTime &data) {
    return Protocolo::DataInsercao(data);
}

QString EnvioScripts::nomeArquivo(const QString &caminho) {
    return caminho.mid(caminho.lastIndexOf(u'/') + 1);
}

void EnvioScripts::Enviar(const FilaArquivosModel::Linha &linha) {
    const auto envelope =
        Protocolo::Inserir(FSessao, linha.data, nomeArquivo(linha.nomeArq), FSistema, linha.script);
    if (envelope && !envelope->success)
        throw Exception(envelope->message);
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
