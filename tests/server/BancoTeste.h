#pragma once

#include "server/Armazenamento.h"
#include "server/ConexaoBanco.h"
#include "tests/support/BancoPostgresTeste.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

// The storage engines every storage and handler test runs against.
enum class Motor { Sqlite, Postgres };

inline auto Motores() {
    return testing::Values(Motor::Sqlite, Motor::Postgres);
}
std::string NomeMotor(Motor motor);
inline std::string NomeMotorParametro(const testing::TestParamInfo<Motor> &info) {
    return NomeMotor(info.param);
}

// A fresh, empty database of one engine: a file in a folder of its own, or a database of its own
// on the PostgreSQL test cluster (a test fails when the cluster is not configured).
class BancoTeste {
public:
    explicit BancoTeste(Motor motor);

    // What --db takes.
    QString db() const { return FDb; }
    Motor motor() const { return FMotor; }
    std::unique_ptr<Armazenamento> abrir(qint64 validadeSessao = Armazenamento::ValidadeSessaoPadrao,
                                         Armazenamento::Relogio relogio = {}) const;
    // A connection of its own beside the storage's, to look at or change the database directly.
    std::unique_ptr<ConexaoBanco> conexao() const;

private:
    Motor FMotor;
    QTemporaryDir FPasta;
    std::optional<BancoPostgresTeste> FPostgres;
    QString FDb;
};
