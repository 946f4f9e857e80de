#include "server/PoolConexoesPostgres.h"

#include "server/BancoIndisponivel.h"
#include "server/ConexaoPostgres.h"

PoolConexoesPostgres::PoolConexoesPostgres(const QString &conexao, OpcoesPostgres opcoes)
    : FConexao(conexao), FOpcoes(opcoes) {}

PoolConexoesPostgres::~PoolConexoesPostgres() = default;

std::unique_ptr<ConexaoPostgres> PoolConexoesPostgres::tomar() {
    std::unique_lock trava(FMutex);
    FLiberada.wait(trava, [this] { return !FLivres.empty() || FAbertas < FOpcoes.conexoes; });
    while (!FLivres.empty()) {
        std::unique_ptr<ConexaoPostgres> conexao = std::move(FLivres.back());
        FLivres.pop_back();
        if (conexao->utilizavel())
            return conexao;
        --FAbertas;
    }
    ++FAbertas;
    trava.unlock();
    try {
        return std::make_unique<ConexaoPostgres>(FConexao, FOpcoes.prazoSegundos);
    } catch (...) {
        descartar(true);
        throw;
    }
}

void PoolConexoesPostgres::devolver(std::unique_ptr<ConexaoPostgres> conexao) {
    {
        std::lock_guard trava(FMutex);
        FLivres.push_back(std::move(conexao));
    }
    FLiberada.notify_one();
}

void PoolConexoesPostgres::descartar(bool livresTambem) {
    std::vector<std::unique_ptr<ConexaoPostgres>> livres;
    {
        std::lock_guard trava(FMutex);
        --FAbertas;
        if (livresTambem) {
            FAbertas -= int(FLivres.size());
            livres.swap(FLivres);
        }
    }
    FLiberada.notify_all();
}

void PoolConexoesPostgres::usar(const std::function<void(ConexaoPostgres &)> &trabalho) {
    std::unique_ptr<ConexaoPostgres> conexao = tomar();
    try {
        trabalho(*conexao);
    } catch (const BancoIndisponivel &) {
        conexao.reset();
        descartar(true);
        throw;
    } catch (...) {
        // A statement's own failure leaves the connection fit for the next request.
        if (conexao->utilizavel())
            devolver(std::move(conexao));
        else
            descartar(false);
        throw;
    }
    devolver(std::move(conexao));
}
