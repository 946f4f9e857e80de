#include "cli/NaoSuportados.h"

QCommandLineOption NaoSuportados::opcao() {
    return QCommandLineOption(QStringLiteral("replace-unsupported"));
}

bool NaoSuportados::relatar(const QString &arquivo, const QList<Windows1252::CaractereNaoSuportado> &lista,
                            QTextStream &err) {
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
