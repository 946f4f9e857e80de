#include "tests/cli/ComandosServico.h"

#include "service/Protocolo.h"

#include <QLocale>
#include <QProcessEnvironment>

void ComandosServico::SetUp() {
    qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toLatin1());
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const auto login = Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
    ASSERT_TRUE(login.success);
    sessao.setChave(login.chave);
    for (int i = 1; i <= 3; ++i)
        Protocolo::Inserir(sessao, QDateTime(QDate(2024, 5, i), QTime(10, 0, 0)),
                           QStringLiteral("rel%1.sql").arg(i), QStringLiteral("KOR"),
                           QByteArray("select '\xE7';\r\n"));
}

void ComandosServico::TearDown() {
    qunsetenv("BRISEL_SERVICE_URL");
    QLocale::setDefault(QLocale::system());
}

ExecucaoCli ComandosServico::rodar(const QStringList &args, bool comUsuario) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISEL_SERVICE_URL"), servidor.rootUrl());
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    if (comUsuario) {
        env.insert(QStringLiteral("BRISEL_USER"), QStringLiteral("dev"));
        env.insert(QStringLiteral("BRISEL_PASSWORD"), QStringLiteral("senha"));
    } else {
        env.remove(QStringLiteral("BRISEL_USER"));
        env.remove(QStringLiteral("BRISEL_PASSWORD"));
    }
    return executarCli(args, env);
}
