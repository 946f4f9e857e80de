#include "tests/support/BancoPostgresTeste.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QUrl>

#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

QString BancoPostgresTeste::uriDoServidor() {
    const QString uri = qEnvironmentVariable("BRISEL_TEST_PG_URI");
    if (uri.isEmpty())
        throw std::runtime_error(
            "BRISEL_TEST_PG_URI is not set: run the tests through `make test`, or start "
            "tools/postgres-test-server.sh and export BRISEL_TEST_PG_URI with the URI it prints");
    return uri;
}

void BancoPostgresTeste::executar(const QString &uri, const QString &sql) {
    const std::unique_ptr<PGconn, decltype(&PQfinish)> conn(PQconnectdb(uri.toUtf8().constData()), &PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error("no connection to " + uri.toStdString() + ": " + PQerrorMessage(conn.get()));
    const std::unique_ptr<PGresult, decltype(&PQclear)> res(PQexec(conn.get(), sql.toUtf8().constData()),
                                                            &PQclear);
    const ExecStatusType status = PQresultStatus(res.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(sql.toStdString() + " failed: " + PQerrorMessage(conn.get()));
}

BancoPostgresTeste::BancoPostgresTeste() : m_servidor(uriDoServidor()) {
    // Tests run in parallel processes, so the name carries the process and a random part.
    static QAtomicInteger<int> contador;
    m_nome = QStringLiteral("brisel_teste_%1_%2_%3")
                 .arg(QCoreApplication::applicationPid())
                 .arg(contador.fetchAndAddRelaxed(1))
                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    executar(m_servidor, QStringLiteral("CREATE DATABASE %1").arg(m_nome));
    QUrl url(m_servidor);
    url.setPath(QLatin1Char('/') + m_nome);
    m_uri = url.toString();
}

BancoPostgresTeste::~BancoPostgresTeste() {
    try {
        executar(m_servidor, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_nome));
    } catch (const std::exception &e) {
        qWarning("%s", e.what());
    }
}
