#include "scripts/EstadoNoServico.h"

QString EstadoNoServico::texto() const {
    switch (tipo) {
    case Tipo::Igual:
        return QStringLiteral("Igual (código %1)").arg(codigo);
    case Tipo::Alterado:
        return QStringLiteral("Alterado (código %1)").arg(codigo);
    case Tipo::Novo:
        break;
    }
    return QStringLiteral("Novo");
}
