#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "tests/service/RecordingServer.h"
#include "base/Exception.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <functional>

using namespace Protocolo;

namespace {

// Points the client at a recording peer for the life of the fixture.
class ProtocoloWire : public testing::Test {
protected:
    void SetUp() override {
        qputenv("BRISEL_SERVICE_URL", peer.rootUrl().toLatin1());
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        sessao.setChave(QStringLiteral("K1"));
    }
    void TearDown() override {
        qunsetenv("BRISEL_SERVICE_URL");
        QLocale::setDefault(QLocale::system());
    }

    RecordingServer peer;
    Conexao conexao;
    Sessao sessao{conexao};
};

QByteArray pagina(int primeiro, int quantos) {
    QByteArray json = "[";
    for (int i = 0; i < quantos; ++i) {
        if (i)
            json += ",";
        json += "{\"CODIGO_SC\":" + QByteArray::number(primeiro + i) +
                ",\"DATA_CRIACAO_SC\":\"01/02/2024 "
                "03:04:05\",\"NOME_ARQUIVO_SC\":\"a.sql\",\"SCRIPT_SC\":\"E7\"}";
    }
    return json + "]";
}

} // namespace

struct CasoCampos {
    const char *nome;
    std::function<void(Sessao &)> enviar;
    QByteArray linha;
    QByteArray corpo;
};

class ProtocoloCampos : public ProtocoloWire, public testing::WithParamInterface<CasoCampos> {};

TEST_P(ProtocoloCampos, FieldsTravelInTheirOrder) {
    peer.queueReply(RecordingServer::reply("{\"success\":true,\"registros\":0,\"chave\":\"k\"}"));
    GetParam().enviar(sessao);
    const auto req = peer.requests().value(0);
    EXPECT_EQ(req.requestLine, GetParam().linha);
    EXPECT_EQ(req.body, GetParam().corpo);
}

const FiltroPesquisa filtroCompleto{QStringLiteral("KOR"),
                                    QStringLiteral("12"),
                                    QStringLiteral("ANA"),
                                    QDate(2024, 1, 2),
                                    QDate(2024, 3, 4),
                                    QStringLiteral("a b"),
                                    100};

INSTANTIATE_TEST_SUITE_P(
    Casos, ProtocoloCampos,
    testing::Values(
        CasoCampos{"login",
                   [](Sessao &s) { Login(s.conexao(), QStringLiteral("DEV"), QStringLiteral("abc")); },
                   "POST /services/index.php/scripts/login HTTP/1.0",
                   "usuario=DEV&senha=900150983cd24fb0d6963f7d28e17f72"},
        CasoCampos{"login_sem_usuario", [](Sessao &s) { Login(s.conexao(), QString(), QString()); },
                   "POST /services/index.php/scripts/login HTTP/1.0",
                   "senha=d41d8cd98f00b204e9800998ecf8427e"},
        CasoCampos{"inserir",
                   [](Sessao &s) {
                       Inserir(s, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)),
                               QStringLiteral("relatório final.sql"), QStringLiteral("KOR_LIVROS"),
                               QByteArray("ab\r\n\xE7"));
                   },
                   "POST /services/index.php/scripts/inserir HTTP/1.0",
                   "data=2024-05-06+07%3A08%3A09&nome=relat%C3%B3rio+final.sql&sistema=KOR_LIVROS"
                   "&script=0x61620D0AE7&chave=K1"},
        CasoCampos{"inserir_vazio",
                   [](Sessao &s) {
                       Inserir(s, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QStringLiteral("a.sql"),
                               QStringLiteral("KOR"), QByteArray());
                   },
                   "POST /services/index.php/scripts/inserir HTTP/1.0",
                   "data=2024-05-06+07%3A08%3A09&nome=a.sql&sistema=KOR&script=0x&chave=K1"},
        CasoCampos{"contar_scripts_sem_filtro", [](Sessao &s) { ContarScripts(s, FiltroPesquisa{}); },
                   "POST /services/index.php/scripts/pesquisar HTTP/1.0", "maximo=0&chave=K1&contar=true"},
        CasoCampos{"contar_scripts", [](Sessao &s) { ContarScripts(s, filtroCompleto); },
                   "POST /services/index.php/scripts/pesquisar HTTP/1.0",
                   "sistema=KOR&codigo=12&data_inicio=2024-01-02&data_fim=2024-03-04&arquivo=a+b&maximo=100"
                   "&chave=K1&contar=true"},
        CasoCampos{"contar_logs", [](Sessao &s) { ContarLogs(s, filtroCompleto); },
                   "POST /services/index.php/scripts/pesquisar_log HTTP/1.0",
                   "sistema=KOR&codigo=12&usuario=ANA&data_inicio=2024-01-02&data_fim=2024-03-04&arquivo=a+b"
                   "&maximo=100&chave=K1&contar=true"},
        CasoCampos{"contar_logs_por_usuario",
                   [](Sessao &s) {
                       FiltroPesquisa f;
                       f.usuario = QStringLiteral("ANA");
                       f.data_inicio = QDate(2024, 1, 2);
                       ContarLogs(s, f);
                   },
                   "POST /services/index.php/scripts/pesquisar_log HTTP/1.0",
                   "usuario=ANA&data_inicio=2024-01-02&maximo=0&chave=K1&contar=true"},
        CasoCampos{"atualizar", [](Sessao &s) { Atualizar(s, 7, QByteArray("ab")); },
                   "POST /services/index.php/scripts/atualizar HTTP/1.0", "codigo=7&script=6162&chave=K1"},
        CasoCampos{"atualizar_vazio", [](Sessao &s) { Atualizar(s, 7, QByteArray()); },
                   "POST /services/index.php/scripts/atualizar HTTP/1.0", "codigo=7&chave=K1"},
        CasoCampos{"excluir", [](Sessao &s) { Excluir(s, 7); },
                   "GET /services/index.php/scripts/excluir?codigo=7&chave=K1 HTTP/1.1", ""},
        CasoCampos{"excluir_chave_com_reservados",
                   [](Sessao &s) {
                       s.setChave(QStringLiteral("a&b+c/d=e f~"));
                       Excluir(s, 7);
                   },
                   "GET /services/index.php/scripts/excluir?codigo=7&chave=a%26b%2Bc%2Fd%3De%20f~ HTTP/1.1",
                   ""}),
    [](const testing::TestParamInfo<CasoCampos> &info) { return std::string(info.param.nome); });

struct CasoEnvelope {
    QByteArray resposta;
    bool success;
    QString message;
};

class ProtocoloEnvelope : public ProtocoloWire, public testing::WithParamInterface<CasoEnvelope> {};

TEST_P(ProtocoloEnvelope, ReadsSuccessAndMessage) {
    peer.queueReply(RecordingServer::reply(GetParam().resposta, "application/json; charset=utf-8"));
    const Resposta r = Atualizar(sessao, 1, QByteArray("a"));
    EXPECT_EQ(r.success, GetParam().success);
    EXPECT_EQ(r.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Casos, ProtocoloEnvelope,
                         testing::Values(CasoEnvelope{"{\"success\":true}", true, {}},
                                         CasoEnvelope{"{\"success\":\"TRUE\"}", true, {}},
                                         CasoEnvelope{"{\"success\":false,\"message\":\"Não pode.\"}", false,
                                                      QStringLiteral("Não pode.")}));

struct CasoInserir {
    const char *nome;
    QByteArray resposta;
    std::optional<Resposta> esperado; // none: not an envelope
};

class ProtocoloInserir : public ProtocoloWire, public testing::WithParamInterface<CasoInserir> {};

TEST_P(ProtocoloInserir, ReturnsTheEnvelopeOrNoneWhenTheReplyIsNotOne) {
    peer.queueReply(RecordingServer::reply(GetParam().resposta, "application/json; charset=utf-8"));
    const auto r = Inserir(sessao, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QStringLiteral("a.sql"),
                           QStringLiteral("KOR"), QByteArray("x"));
    ASSERT_EQ(r.has_value(), GetParam().esperado.has_value());
    if (r) {
        EXPECT_EQ(r->success, GetParam().esperado->success);
        EXPECT_EQ(r->message, GetParam().esperado->message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ProtocoloInserir,
    testing::Values(CasoInserir{"aceito", "{\"success\":true,\"codigo\":4}", Resposta{true, {}}},
                    CasoInserir{"recusado", "{\"success\":false,\"message\":\"Não pode.\"}",
                                Resposta{false, QStringLiteral("Não pode.")}},
                    CasoInserir{"sem_success", "{\"codigo\":4}", std::nullopt},
                    CasoInserir{"vazio", "", std::nullopt},
                    CasoInserir{"html", "<html>ok</html>", std::nullopt},
                    CasoInserir{"array", "[]", std::nullopt}),
    [](const testing::TestParamInfo<CasoInserir> &info) { return std::string(info.param.nome); });

TEST_F(ProtocoloWire, InserirFailuresThatAreNotAnAcceptance) {
    auto inserir = [this] {
        return Inserir(sessao, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QStringLiteral("a.sql"),
                       QStringLiteral("KOR"), QByteArray("x"));
    };
    peer.queueReply(
        RecordingServer::reply("{\"success\":true}", "application/json", "500 Internal Server Error"));
    EXPECT_THROW(inserir(), ErroTransporte);

    // A refusal without its reason is not taken for a stored script.
    peer.queueReply(RecordingServer::reply("{\"success\":false}"));
    try {
        inserir();
        ADD_FAILURE() << "a refusal without message read as sent";
    } catch (const ErroTransporte &) {
        ADD_FAILURE() << "reported as a transport failure";
    } catch (const Exception &) {
    }
}

TEST_F(ProtocoloWire, UnreadableRepliesAreNotTransportFailures) {
    for (const QByteArray &corpo : {QByteArray("{\"message\":\"x\"}"), QByteArray("<html>"), QByteArray()}) {
        peer.queueReply(RecordingServer::reply(corpo));
        try {
            Excluir(sessao, 1);
            ADD_FAILURE() << "read " << corpo.constData();
        } catch (const ErroTransporte &) {
            ADD_FAILURE() << "transport failure for " << corpo.constData();
        } catch (const Exception &) {
        }
    }
}

TEST_F(ProtocoloWire, LoginReadsTheKeyOrTheRefusal) {
    peer.queueReply(RecordingServer::reply("{\"success\":true,\"chave\":\"abc\"}"));
    peer.queueReply(RecordingServer::reply("{\"success\":false,\"message\":\"Usuário ou senha inválidos.\"}",
                                           "application/json; charset=utf-8"));
    peer.queueReply(RecordingServer::reply("{\"success\":true}"));
    const RespostaLogin ok = Login(conexao, QStringLiteral("DEV"), QStringLiteral("x"));
    EXPECT_TRUE(ok.success);
    EXPECT_EQ(ok.chave, QStringLiteral("abc"));
    const RespostaLogin recusa = Login(conexao, QStringLiteral("DEV"), QStringLiteral("x"));
    EXPECT_FALSE(recusa.success);
    EXPECT_EQ(recusa.message, QStringLiteral("Usuário ou senha inválidos."));
    EXPECT_THROW(Login(conexao, QStringLiteral("DEV"), QStringLiteral("x")), Exception); // no "chave"
}

TEST_F(ProtocoloWire, PagedFetchKeepsAnOvershootingLastPage) {
    peer.queueReply(RecordingServer::reply(pagina(1, 2)));
    peer.queueReply(RecordingServer::reply(pagina(3, 2)));
    QList<int> codigos;
    const int lidos = BuscarScripts(sessao, FiltroPesquisa{}, 3, [&](const RegistroScript &r) {
        codigos << r.codigo;
        EXPECT_EQ(r.script, QByteArray("\xE7"));
        EXPECT_EQ(r.data, QDateTime(QDate(2024, 2, 1), QTime(3, 4, 5)));
    });
    EXPECT_EQ(lidos, 4);
    EXPECT_EQ(codigos, (QList<int>{1, 2, 3, 4}));
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 2);
    EXPECT_EQ(reqs[0].body, "maximo=0&chave=K1&lidos=0");
    EXPECT_EQ(reqs[1].body, "maximo=0&chave=K1&lidos=2");
}

TEST_F(ProtocoloWire, PagedFetchEndsOnAnEmptyPage) {
    peer.queueReply(RecordingServer::reply(pagina(1, 2)));
    peer.queueReply(RecordingServer::reply("[]"));
    int recebidos = 0;
    EXPECT_EQ(BuscarScripts(sessao, FiltroPesquisa{}, 10, [&](const RegistroScript &) { ++recebidos; }), 2);
    EXPECT_EQ(recebidos, 2);
    EXPECT_EQ(peer.requests().size(), 2);
}

TEST_F(ProtocoloWire, PagedFetchFailureKeepsWhatWasHandedOver) {
    struct Caso {
        QByteArray segundaPagina;
        QByteArray status;
    };
    const Caso casos[] = {
        {"{\"success\":false}", "200 OK"}, // an object, not an array
        {"[{\"CODIGO_SC\":3}]", "200 OK"}, // a key missing
        {"[{\"CODIGO_SC\":3,\"DATA_CRIACAO_SC\":\"x\",\"NOME_ARQUIVO_SC\":\"a\",\"SCRIPT_SC\":\"\"}]",
         "200 OK"},
        {pagina(3, 1), "500 Internal Server Error"},
    };
    for (const Caso &caso : casos) {
        peer.queueReply(RecordingServer::reply(pagina(1, 2)));
        peer.queueReply(RecordingServer::reply(caso.segundaPagina, "application/json", caso.status));
        int recebidos = 0;
        EXPECT_THROW(BuscarScripts(sessao, FiltroPesquisa{}, 5, [&](const RegistroScript &) { ++recebidos; }),
                     Exception)
            << caso.segundaPagina.constData();
        EXPECT_EQ(recebidos, 2);
    }
}

TEST_F(ProtocoloWire, LogRecordsReadEveryField) {
    peer.queueReply(RecordingServer::reply(
        "[{\"idscript\":9,\"data_alteracao\":\"2024-02-01 "
        "03:04:05\",\"arquivo\":\"a.sql\",\"script_atual\":\"41\","
        "\"script_anterior\":\"\",\"descricao\":\"Inclusão\",\"nome\":\"DEV\",\"extra\":1}]",
        "application/json; charset=utf-8"));
    QList<RegistroLog> registros;
    BuscarLogs(sessao, FiltroPesquisa{}, 1, [&](const RegistroLog &r) { registros << r; });
    ASSERT_EQ(registros.size(), 1);
    EXPECT_EQ(registros[0].idscript, 9);
    EXPECT_EQ(registros[0].data_alteracao, QDateTime(QDate(2024, 2, 1), QTime(3, 4, 5)));
    EXPECT_EQ(registros[0].arquivo, QStringLiteral("a.sql"));
    EXPECT_EQ(registros[0].script_atual, QByteArray("A"));
    EXPECT_EQ(registros[0].script_anterior, QByteArray());
    EXPECT_EQ(registros[0].descricao, QStringLiteral("Inclusão"));
    EXPECT_EQ(registros[0].nome, QStringLiteral("DEV"));
}
