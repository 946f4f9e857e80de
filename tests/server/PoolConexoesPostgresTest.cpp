#include "server/PoolConexoesPostgres.h"
#include "server/ConexaoPostgres.h"
#include "tests/support/BancoPostgresTeste.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// Requests beyond the pool's size wait for a connection rather than open one more, and the pool
// keeps what it opened for the next ones.
TEST(PoolConexoesPostgres, NeverOpensMoreConnectionsThanItsSize) {
    for (const int tamanho : {1, 3}) {
        SCOPED_TRACE(tamanho);
        const BancoPostgresTeste banco;
        PoolConexoesPostgres pool(banco.uri(), {tamanho, 30});
        std::atomic<int> usando = 0;
        std::atomic<int> maximo = 0;
        std::vector<std::thread> threads;
        for (int t = 0; t < 6; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 3; ++i)
                    pool.usar([&](ConexaoPostgres &c) {
                        ++usando;
                        // Held until the pool is full (or briefly), so a pool that allowed more
                        // would show it.
                        for (int espera = 0; espera < 500 && usando < tamanho; ++espera)
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        c.executar(QStringLiteral("SELECT pg_sleep(0.01)"));
                        for (int visto = maximo;
                             usando > visto && !maximo.compare_exchange_weak(visto, usando);) {
                        }
                        --usando;
                    });
            });
        for (std::thread &t : threads)
            t.join();
        EXPECT_EQ(maximo, tamanho);
        EXPECT_EQ(ConexaoPostgres(BancoPostgresTeste::uriDoServidor())
                      .valor(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = ?"
                                            " AND application_name = 'brisel-scripts-server'"),
                             {banco.nome()}),
                  QString::number(tamanho));
    }
}
