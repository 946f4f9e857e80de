#include "service/Enderecos.h"

QString RaizServico() {
    QString raiz = qEnvironmentVariable("BRISEL_SERVICE_URL").trimmed();
    // Endpoints are appended with their own "/".
    while (raiz.endsWith(QLatin1Char('/')))
        raiz.chop(1);
    return raiz.isEmpty() ? QString::fromLatin1(RaizServicoPadrao) : raiz;
}

QString URLBase() {
    return RaizServico() + QStringLiteral("/services/index.php/scripts");
}

QString URLVersao() {
    return RaizServico() + QStringLiteral("/services/index.php/versao/listar?programa=SCRIPTS");
}
