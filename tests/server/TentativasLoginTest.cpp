#include "server/TentativasLogin.h"
#include "server/Tratadores.h"
#include "service/Md5Senha.h"
#include "tests/server/BancoTeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class TentativasLoginNoBanco : public testing::TestWithParam<Motor> {
protected:
    BancoTeste banco{GetParam()};
    std::unique_ptr<Armazenamento> armazenamento = banco.abrir();
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Motores, TentativasLoginNoBanco, Motores(), NomeMotorParametro);

TEST_P(TentativasLoginNoBanco, TheWaitStartsAtTheFifthFailureDoublesAndEndsWithARightPassword) {
    std::chrono::system_clock::time_point agora = std::chrono::system_clock::from_time_t(1'700'000'000);
    TentativasLogin t(*armazenamento, [&] { return agora; });
    for (int i = 0; i < 4; ++i) {
        t.falhou(QStringLiteral("dev"));
        EXPECT_EQ(t.espera(QStringLiteral("DEV")), 0) << i;
    }
    // Failures 5, 6, 7 and 8: 1, 2, 4 and 8 seconds, each counted from that failure.
    for (qint64 esperado : {1, 2, 4, 8}) {
        t.falhou(QStringLiteral("DEV"));
        EXPECT_EQ(t.espera(QStringLiteral("Dev")), esperado);
        EXPECT_EQ(t.espera(QStringLiteral("ANA")), 0) << "another name is not held up";
        agora += std::chrono::seconds(esperado) - 1ms;
        EXPECT_EQ(t.espera(QStringLiteral("DEV")), 1);
        agora += 1ms;
        EXPECT_EQ(t.espera(QStringLiteral("DEV")), 0);
    }
    for (int i = 0; i < 30; ++i)
        t.falhou(QStringLiteral("DEV"));
    EXPECT_EQ(t.espera(QStringLiteral("DEV")), 300) << "the wait has a ceiling";
    t.acertou(QStringLiteral("dev"));
    EXPECT_EQ(t.espera(QStringLiteral("DEV")), 0);
    t.falhou(QStringLiteral("DEV"));
    EXPECT_EQ(t.espera(QStringLiteral("DEV")), 0) << "the count starts again";

    // Four failures, then an hour later a fifth: a new run of failures, not the fifth in a row.
    for (int i = 0; i < 3; ++i)
        t.falhou(QStringLiteral("DEV"));
    agora += std::chrono::hours(1) + 1s;
    t.falhou(QStringLiteral("DEV"));
    EXPECT_EQ(t.espera(QStringLiteral("DEV")), 0);
}

TEST_P(TentativasLoginNoBanco, AfterFiveWrongPasswordsEvenTheRightOneWaitsButOtherUsersLogIn) {
    armazenamento->definirUsuario(QStringLiteral("DEV"), Md5Senha(QStringLiteral("senha")));
    armazenamento->definirUsuario(QStringLiteral("ANA"), Md5Senha(QStringLiteral("outra")));
    ContextoServidor contexto{*armazenamento, QStringLiteral("1.0"), 50};
    const auto entrar = [&](const char *usuario, const char *senha) {
        Formulario f;
        f.definir(QStringLiteral("usuario"), QString::fromLatin1(usuario));
        f.definir(QStringLiteral("senha"), Md5Senha(QString::fromLatin1(senha)));
        return QJsonDocument::fromJson(TratarLogin(contexto, f).corpo).object();
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(entrar("DEV", "errada").value("message").toString(),
                  QStringLiteral("Usuário ou senha inválidos."));
    const QJsonObject espera = entrar("DEV", "senha");
    EXPECT_FALSE(espera.value("success").toBool(true));
    EXPECT_EQ(espera.value("message").toString(),
              QStringLiteral("Muitas tentativas de login sem sucesso. Tente novamente em 1 segundo."));
    EXPECT_TRUE(entrar("ANA", "outra").value("success").toBool());
}
