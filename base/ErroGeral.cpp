#include "base/ErroGeral.h"

#include "base/Exception.h"

QString ErroGeral::mensagem(const std::exception &e) {
    try {
        std::rethrow_if_nested(e);
    } catch (const std::exception &inner) {
        return mensagem(inner);
    } catch (...) {
        // An inner error that is no std::exception carries no message: report the outer one.
    }
    if (const auto *own = dynamic_cast<const Exception *>(&e))
        return own->message();
    return QString::fromLocal8Bit(e.what());
}

QString ErroGeral::comPontoFinal(const QString &message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}
