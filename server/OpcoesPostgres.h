#pragma once

// How the service uses a PostgreSQL database: the connections each process keeps at most, and how
// long a statement may take before the request fails as "database not available".
struct OpcoesPostgres {
    int conexoes = 8;
    int prazoSegundos = 30;
};
