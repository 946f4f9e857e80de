#pragma once

#include "base/Exception.h"

// The database cannot be reached (refused, lost or shut down): the request fails with this
// sentence, and the next one tries a new connection.
class BancoIndisponivel : public Exception {
public:
    BancoIndisponivel() : Exception(QStringLiteral("O banco de dados do serviço não está disponível.")) {}
    QString className() const override { return QStringLiteral("BancoIndisponivel"); }
};
