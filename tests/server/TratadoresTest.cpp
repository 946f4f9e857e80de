#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/server/BancoTeste.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// The handlers over a fresh database of one engine, with one user logged in.
class ComTratadores : public testing::Test {
protected:
    void abrir(Motor motor) {
        banco.emplace(motor);
        armazenamento = banco->abrir();
        contexto = std::make_unique<ContextoServidor>(*armazenamento, QStringLiteral("1.0.7"), 2);
        armazenamento->definirUsuario(QStringLiteral("dev"), Md5Senha(QStringLiteral("senha")));
        chave = armazenamento->abrirSessao(QStringLiteral("DEV"));
    }

    Formulario form(std::initializer_list<std::pair<const char *, QString>> campos, bool comChave = true) {
        Formulario f;
        for (const auto &[nome, valor] : campos)
            f.definir(QString::fromLatin1(nome), valor);
        if (comChave)
            f.definir(QStringLiteral("chave"), chave);
        return f;
    }
    static QJsonObject objeto(const RespostaServico &r) { return QJsonDocument::fromJson(r.corpo).object(); }
    static QJsonArray lista(const RespostaServico &r) { return QJsonDocument::fromJson(r.corpo).array(); }

    void inserir(const QString &data, const QString &nome, const QString &sistema, const QString &script) {
        const auto r = TratarInserir(
            *contexto, form({{"data", data}, {"nome", nome}, {"sistema", sistema}, {"script", script}}));
        ASSERT_TRUE(objeto(r).value("success").toBool()) << r.corpo.constData();
    }
    int contar(RespostaServico (*tratar)(ContextoServidor &, const Formulario &), Formulario f) {
        f.definir(QStringLiteral("contar"), QStringLiteral("true"));
        const QJsonObject o = objeto(tratar(*contexto, f));
        EXPECT_TRUE(o.value("success").toBool());
        return o.value("registros").toInt(-1);
    }

    std::optional<BancoTeste> banco;
    std::unique_ptr<Armazenamento> armazenamento;
    std::unique_ptr<ContextoServidor> contexto;
    QString chave;
};

class Tratadores : public ComTratadores, public testing::WithParamInterface<Motor> {
protected:
    void SetUp() override { abrir(GetParam()); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Motores, Tratadores, Motores(), NomeMotorParametro);

TEST_P(Tratadores, LoginAnswersAFreshKeyOrRefuses) {
    const QJsonObject ok = objeto(TratarLogin(
        *contexto, form({{"usuario", "Dev"}, {"senha", Md5Senha(QStringLiteral("senha"))}}, false)));
    EXPECT_TRUE(ok.value("success").toBool());
    EXPECT_NE(ok.value("chave").toString(), chave);
    EXPECT_EQ(armazenamento->usuarioDaSessao(ok.value("chave").toString()), QStringLiteral("DEV"));
    for (const Formulario &f :
         {form({{"usuario", "DEV"}, {"senha", "x"}}, false), form({{"senha", "x"}}, false)}) {
        const QJsonObject recusa = objeto(TratarLogin(*contexto, f));
        EXPECT_FALSE(recusa.value("success").toBool());
        EXPECT_EQ(recusa.value("message").toString(), QStringLiteral("Usuário ou senha inválidos."));
    }
}

TEST_P(Tratadores, VersionIsAJsonString) {
    EXPECT_EQ(TratarVersao(*contexto, Formulario()).corpo, "\"1.0.7\"");
}

struct Recusa {
    const char *nome;
    RespostaServico (*tratar)(ContextoServidor &, const Formulario &);
    std::vector<std::pair<const char *, QString>> campos;
    bool comChave;
    const char *trechoMensagem;
};

void PrintTo(const Recusa &recusa, std::ostream *os) {
    *os << recusa.nome;
}

class TratadoresRecusam : public ComTratadores,
                          public testing::WithParamInterface<std::tuple<Motor, Recusa>> {
protected:
    void SetUp() override { abrir(std::get<0>(GetParam())); }
    const Recusa &recusa() const { return std::get<1>(GetParam()); }
};

TEST_P(TratadoresRecusam, BadInputIsRefusedAndNothingStoredIsLost) {
    inserir(QStringLiteral("2024-01-01 00:00:00"), QStringLiteral("a.sql"), QStringLiteral("KOR"),
            QStringLiteral("0x41"));
    Formulario f;
    for (const auto &[nome, valor] : recusa().campos)
        f.definir(QString::fromLatin1(nome), valor);
    if (recusa().comChave)
        f.definir(QStringLiteral("chave"), chave);
    const RespostaServico r = recusa().tratar(*contexto, f);
    EXPECT_EQ(r.status, 200);
    const QJsonObject o = objeto(r);
    EXPECT_FALSE(o.value("success").toBool(true));
    EXPECT_TRUE(o.value("message").toString().contains(QString::fromUtf8(recusa().trechoMensagem)))
        << o.value("message").toString().toStdString();
    FiltroArmazenamento todos;
    EXPECT_EQ(armazenamento->contarScripts(todos, 100), 1);
    EXPECT_EQ(armazenamento->pesquisarScripts(todos, 100, 0, 10).value(0).scriptHex, QStringLiteral("41"));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, TratadoresRecusam,
    testing::Combine(
        Motores(),
        testing::Values(
            Recusa{"sem_chave",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"}, {"nome", "b"}, {"sistema", "KOR"}, {"script", "0x"}},
                   false,
                   "Chave"},
            Recusa{"chave_desconhecida",
                   TratarPesquisar,
                   {{"maximo", "1"}, {"contar", "true"}, {"chave", "zz"}},
                   false,
                   "Chave"},
            Recusa{"sem_nome",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"}, {"sistema", "KOR"}, {"script", "0x"}},
                   true,
                   "nome"},
            Recusa{"data_invalida",
                   TratarInserir,
                   {{"data", "01/01/2024"}, {"nome", "b"}, {"sistema", "KOR"}, {"script", "0x"}},
                   true,
                   "data"},
            Recusa{"hex_invalido",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"}, {"nome", "b"}, {"sistema", "KOR"}, {"script", "0x4G"}},
                   true,
                   "hexadecimal"},
            Recusa{"hex_impar",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"}, {"nome", "b"}, {"sistema", "KOR"}, {"script", "414"}},
                   true,
                   "hexadecimal"},
            Recusa{"nome_com_nulo",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"},
                    {"nome", QStringLiteral("a") + QChar(0) + QStringLiteral(".sql")},
                    {"sistema", "KOR"},
                    {"script", "0x"}},
                   true,
                   "caractere nulo"},
            Recusa{"filtro_com_nulo",
                   TratarPesquisar,
                   {{"maximo", "5"}, {"contar", "true"}, {"arquivo", QString(QChar(0))}},
                   true,
                   "caractere nulo"},
            Recusa{"sistema_desconhecido",
                   TratarInserir,
                   {{"data", "2024-01-01 00:00:00"}, {"nome", "b"}, {"sistema", "XPTO"}, {"script", "0x"}},
                   true,
                   "Sistema desconhecido"},
            Recusa{"codigo_nao_numero",
                   TratarAtualizar,
                   {{"codigo", "1; DROP TABLE scripts"}, {"script", "42"}},
                   true,
                   "codigo"},
            Recusa{"atualizar_hex_invalido",
                   TratarAtualizar,
                   {{"codigo", "1"}, {"script", "zz"}},
                   true,
                   "hexadecimal"},
            Recusa{
                "atualizar_inexistente", TratarAtualizar, {{"codigo", "99"}, {"script", "42"}}, true, "99"},
            Recusa{"excluir_sem_codigo", TratarExcluir, {}, true, "codigo"},
            Recusa{"excluir_inexistente", TratarExcluir, {{"codigo", "99"}}, true, "99"},
            Recusa{"pesquisar_sem_maximo", TratarPesquisar, {{"contar", "true"}}, true, "maximo"},
            Recusa{"pesquisar_sem_lidos", TratarPesquisar, {{"maximo", "5"}}, true, "lidos"},
            Recusa{"pesquisar_data_invalida",
                   TratarPesquisarLog,
                   {{"maximo", "5"}, {"contar", "true"}, {"data_inicio", "2024-13-01"}},
                   true,
                   "data_inicio"})),
    [](const testing::TestParamInfo<std::tuple<Motor, Recusa>> &info) {
        return NomeMotor(std::get<0>(info.param)) + "_" + std::get<1>(info.param).nome;
    });

TEST_P(Tratadores, SearchFiltersCapAndPages) {
    inserir("2024-01-01 10:00:00", QStringLiteral("Relatório Final.sql"), "KOR", "0x41");
    inserir("2024-01-02 23:59:59", QStringLiteral("b.sql"), "KOR_LIVROS", "0x42");
    inserir("2024-01-03 00:00:00", QStringLiteral("c.sql"), "TALAO", "0x43");
    inserir("2024-01-04 08:00:00", QStringLiteral("RELATÓRIO 2.sql"), "KOR", "0x44");
    inserir("2024-01-05 08:00:00", QStringLiteral("e.sql"), "KOR", "0x");

    struct Caso {
        std::vector<std::pair<const char *, QString>> filtro;
        int registros;
    };
    const Caso casos[] = {
        {{{"maximo", "100"}}, 5},
        {{{"maximo", "3"}}, 3},
        {{{"maximo", "0"}}, 0},
        {{{"maximo", "100"}, {"sistema", "KOR"}}, 3},
        {{{"maximo", "100"}, {"codigo", "2"}}, 1},
        {{{"maximo", "100"}, {"arquivo", QStringLiteral("relatório")}}, 2},
        {{{"maximo", "100"}, {"data_inicio", "2024-01-02"}, {"data_fim", "2024-01-03"}}, 2},
        {{{"maximo", "100"}, {"data_fim", "2024-01-01"}}, 1},
    };
    for (const Caso &caso : casos) {
        Formulario f = form({});
        for (const auto &[nome, valor] : caso.filtro)
            f.definir(QString::fromLatin1(nome), valor);
        EXPECT_EQ(contar(TratarPesquisar, f), caso.registros) << caso.filtro.back().first;
    }

    // Pages of 2 in code order, never past "maximo".
    QList<int> codigos;
    for (int lidos : {0, 2, 4}) {
        const QJsonArray pagina =
            lista(TratarPesquisar(*contexto, form({{"maximo", "5"}, {"lidos", QString::number(lidos)}})));
        for (const auto &v : pagina)
            codigos << v.toObject().value("CODIGO_SC").toInt();
    }
    EXPECT_EQ(codigos, (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(lista(TratarPesquisar(*contexto, form({{"maximo", "3"}, {"lidos", "2"}}))).size(), 1);
    const QJsonObject primeiro =
        lista(TratarPesquisar(*contexto, form({{"maximo", "1"}, {"lidos", "0"}}))).first().toObject();
    EXPECT_EQ(primeiro.value("DATA_CRIACAO_SC").toString(), QStringLiteral("01/01/2024 10:00:00"));
    EXPECT_EQ(primeiro.value("NOME_ARQUIVO_SC").toString(), QStringLiteral("Relatório Final.sql"));
    EXPECT_EQ(primeiro.value("SCRIPT_SC").toString(), QStringLiteral("41"));
}

TEST_P(Tratadores, EveryChangeIsLoggedNewestFirstWithBeforeAndAfter) {
    armazenamento->definirUsuario(QStringLiteral("ana"), Md5Senha(QStringLiteral("x")));
    inserir("2024-01-01 10:00:00", "a.sql", "KOR", "0x41");
    const QString chaveDev = chave;
    chave = armazenamento->abrirSessao(QStringLiteral("ANA"));
    ASSERT_TRUE(objeto(TratarAtualizar(*contexto, form({{"codigo", "1"}, {"script", "4243"}})))
                    .value("success")
                    .toBool());
    ASSERT_TRUE(objeto(TratarExcluir(*contexto, form({{"codigo", "1"}}))).value("success").toBool());
    chave = chaveDev;

    const QJsonArray log = lista(TratarPesquisarLog(*contexto, form({{"maximo", "10"}, {"lidos", "0"}})));
    ASSERT_EQ(log.size(), 2); // pages of 2
    const QJsonObject exclusao = log[0].toObject();
    EXPECT_EQ(exclusao.value("descricao").toString(), QStringLiteral("Exclusão"));
    EXPECT_EQ(exclusao.value("nome").toString(), QStringLiteral("ANA"));
    EXPECT_EQ(exclusao.value("script_anterior").toString(), QStringLiteral("4243"));
    EXPECT_EQ(exclusao.value("script_atual").toString(), QString());
    const QJsonObject alteracao = log[1].toObject();
    EXPECT_EQ(alteracao.value("descricao").toString(), QStringLiteral("Alteração"));
    EXPECT_EQ(alteracao.value("script_anterior").toString(), QStringLiteral("41"));
    EXPECT_EQ(alteracao.value("script_atual").toString(), QStringLiteral("4243"));
    EXPECT_EQ(alteracao.value("idscript").toInt(), 1);

    EXPECT_EQ(contar(TratarPesquisarLog, form({{"maximo", "10"}, {"usuario", "ana"}})), 2);
    EXPECT_EQ(contar(TratarPesquisarLog, form({{"maximo", "10"}, {"usuario", "DEV"}})), 1);
    EXPECT_EQ(contar(TratarPesquisarLog, form({{"maximo", "10"}, {"codigo", "1"}, {"sistema", "KOR"}})), 3);
    const QJsonArray inclusao =
        lista(TratarPesquisarLog(*contexto, form({{"maximo", "10"}, {"lidos", "2"}})));
    ASSERT_EQ(inclusao.size(), 1);
    EXPECT_EQ(inclusao[0].toObject().value("descricao").toString(), QStringLiteral("Inclusão"));
    EXPECT_EQ(inclusao[0].toObject().value("script_anterior").toString(), QString());
}

TEST(Formulario, DecodesPlusPercentAndUtf8) {
    const Formulario f =
        Formulario::ler("nome=relat%C3%B3rio+final.sql&vazio=&x=100%25&y=%ZZ&&sozinho&z=a%4");
    EXPECT_EQ(f.valor("nome"), QStringLiteral("relatório final.sql"));
    EXPECT_TRUE(f.contem("vazio"));
    EXPECT_EQ(f.valor("x"), QStringLiteral("100%"));
    EXPECT_EQ(f.valor("y"), QStringLiteral("%ZZ"));
    EXPECT_TRUE(f.contem("sozinho"));
    EXPECT_EQ(f.valor("z"), QStringLiteral("a%4")) << "a cut escape at the end stays as it is";
}

TEST_P(Tratadores, ScriptsOfAnySizeAreStoredWholeInUpperCase) {
    // 300,000 digits: more than twice what a regular expression's repeated group could take.
    QString digitos;
    for (int i = 0; i < 150000; ++i)
        digitos += QString::number(i % 256, 16).rightJustified(2, QLatin1Char('0'));
    inserir("2024-01-01 10:00:00", "grande.sql", "KOR", QStringLiteral("0x") + digitos);
    const QJsonArray pagina = lista(TratarPesquisar(*contexto, form({{"maximo", "1"}, {"lidos", "0"}})));
    EXPECT_TRUE(pagina.first().toObject().value("SCRIPT_SC").toString() == digitos.toUpper());
}

TEST_P(Tratadores, TheFileFilterMatchesWildcardCharactersOnlyAsThemselves) {
    for (const char *nome : {"a_b.sql", "axb.sql", "taxa 50%.sql", "taxa 500.sql", "c\\d.sql", "cd.sql"})
        inserir("2024-01-01 10:00:00", QString::fromLatin1(nome), "KOR", "0x41");
    const struct {
        const char *parte;
        int registros;
    } casos[] = {{"_", 1}, {"A_B", 1}, {"%", 1}, {"0%", 1}, {"\\", 1}, {"c\\d", 1}, {"taxa", 2}, {".SQL", 6}};
    for (const auto &caso : casos)
        EXPECT_EQ(
            contar(TratarPesquisar, form({{"maximo", "100"}, {"arquivo", QString::fromLatin1(caso.parte)}})),
            caso.registros)
            << caso.parte;
}
