#include "app/AvisoAtualizacao.h"

QString AvisoAtualizacao(const QString &versaoInstalada, const QString &versaoNova) {
    QString texto = versaoNova.isEmpty()
                        ? QStringLiteral("Uma nova versão do Brisel Scripts está disponível.")
                        : QStringLiteral("A versão %1 do Brisel Scripts está disponível.").arg(versaoNova);
    if (!versaoInstalada.isEmpty())
        texto += QStringLiteral(" A versão instalada é a %1.").arg(versaoInstalada);
    texto += QStringLiteral("\nAtualize o programa pelo gerenciador de pacotes do sistema "
                            "(por exemplo: sudo apt install --only-upgrade brisel-scripts).");
    return texto;
}
