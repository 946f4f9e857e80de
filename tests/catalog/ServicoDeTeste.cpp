#include "tests/catalog/ServicoDeTeste.h"

#include "service/Protocolo.h"

#include <stdexcept>

ServicoDeTeste::ServicoDeTeste(int tamanhoPagina)
    : m_servidor(std::make_unique<TestServer>(
          QStringList{QStringLiteral("DEV:senha")},
          QStringList{QStringLiteral("--page-size"), QString::number(tamanhoPagina)})) {
    qputenv("BRISEL_SERVICE_URL", m_servidor->rootUrl().toUtf8());
    const Protocolo::RespostaLogin login =
        Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
    if (!login.success)
        throw std::runtime_error("login refused: " + login.message.toStdString());
    sessao.setChave(login.chave);
}

ServicoDeTeste::~ServicoDeTeste() {
    qunsetenv("BRISEL_SERVICE_URL");
}

int ServicoDeTeste::Inserir(const QString &nome, const QByteArray &script, const QString &sistema) {
    Protocolo::Inserir(sessao, QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6)), nome, sistema, script);
    int codigo = 0;
    Protocolo::FiltroPesquisa filtro;
    filtro.arquivo = nome;
    filtro.maximo = 500;
    Protocolo::BuscarScripts(sessao, filtro, 500,
                             [&](const RegistroScript &r) { codigo = qMax(codigo, r.codigo); });
    if (codigo == 0)
        throw std::runtime_error("script not stored: " + nome.toStdString());
    return codigo;
}

QByteArray ServicoDeTeste::ScriptGuardado(int codigo) {
    Protocolo::FiltroPesquisa filtro;
    filtro.codigo = QString::number(codigo);
    filtro.maximo = 1;
    QByteArray script;
    Protocolo::BuscarScripts(sessao, filtro, 1, [&](const RegistroScript &r) { script = r.script; });
    return script;
}
