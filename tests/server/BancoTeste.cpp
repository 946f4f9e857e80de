#include "tests/server/BancoTeste.h"

#include "server/ConexaoPostgres.h"
#include "server/ConexaoSqlite.h"
#include "server/FabricaArmazenamento.h"

std::string NomeMotor(Motor motor) {
    return motor == Motor::Sqlite ? "Sqlite" : "Postgres";
}

BancoTeste::BancoTeste(Motor motor) : FMotor(motor) {
    if (motor == Motor::Postgres) {
        FPostgres.emplace();
        FDb = FPostgres->uri();
    } else {
        FDb = FPasta.filePath(QStringLiteral("servico.db"));
    }
}

std::unique_ptr<Armazenamento> BancoTeste::abrir(qint64 validadeSessao,
                                                 Armazenamento::Relogio relogio) const {
    return FabricaArmazenamento::abrir(FDb, validadeSessao, std::move(relogio));
}

std::unique_ptr<ConexaoBanco> BancoTeste::conexao() const {
    if (FMotor == Motor::Postgres)
        return std::make_unique<ConexaoPostgres>(FDb);
    return std::make_unique<ConexaoSqlite>(FDb);
}
