#include "cli/NaoSuportados.h"

#include "base/Windows1252.h"

QCommandLineOption NaoSuportados::opcao() {
    return QCommandLineOption(QStringLiteral("replace-unsupported"));
}

bool NaoSuportados::relatar(const QString &arquivo, const QString &texto, QTextStream &err) {
    const auto lista = Windows1252::caracteresNaoSuportados(texto);
    if (lista.isEmpty())
        return false;
    err << arquivo << ": caracteres que o serviço não armazena (seriam gravados como \"?\"):\n"
        << Windows1252::descreverNaoSuportados(lista, 20) << '\n';
    return true;
}

void NaoSuportados::concluir(QTextStream &err) {
    err << "Nada foi enviado. Troque esses caracteres ou use --replace-unsupported para enviá-los como "
           "\"?\".\n";
}
