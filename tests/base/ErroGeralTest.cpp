#include "base/ErroGeral.h"

#include "base/Exception.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

TEST(ErroGeral, FullStopRule) {
    const struct {
        QString message, shown;
    } cases[] = {
        {QStringLiteral("Falhou"), QStringLiteral("Falhou.")},
        {QStringLiteral("Falhou."), QStringLiteral("Falhou.")},
        {QStringLiteral("Falhou!"), QStringLiteral("Falhou!")},    // '!' is below '.'
        {QStringLiteral("Falhou -"), QStringLiteral("Falhou -")},  // '-' is below '.'
        {QStringLiteral("Erro 404"), QStringLiteral("Erro 404.")}, // '4' is above '.'
        {QStringLiteral("Pronto?"), QStringLiteral("Pronto?.")},   // '?' is above '.'
        {QStringLiteral("/"), QStringLiteral("/.")},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ErroGeral::comPontoFinal(c.message), c.shown) << c.message.toStdString();
}

TEST(ErroGeral, InnermostMessageOfNestedErrors) {
    try {
        try {
            try {
                throw Exception(QStringLiteral("Conexão recusada"));
            } catch (...) {
                std::throw_with_nested(std::runtime_error("meio"));
            }
        } catch (...) {
            std::throw_with_nested(Exception(QStringLiteral("fora")));
        }
    } catch (const std::exception &e) {
        EXPECT_EQ(ErroGeral::mensagem(e), QStringLiteral("Conexão recusada"));
    }
}

TEST(ErroGeral, PlainErrorsGiveTheirOwnMessage) {
    EXPECT_EQ(ErroGeral::mensagem(Exception(QStringLiteral("ação"))), QStringLiteral("ação"));
    EXPECT_EQ(ErroGeral::mensagem(std::runtime_error("boom")), QStringLiteral("boom"));
}

} // namespace
