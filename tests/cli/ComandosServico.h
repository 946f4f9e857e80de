#pragma once

#include "service/Conexao.h"
#include "service/Sessao.h"
#include "tests/support/ExecucaoCli.h"
#include "tests/support/TestServer.h"

#include <QStringList>

#include <gtest/gtest.h>

// The built command line against the reference service (pages of two records, version 1.0.8),
// which holds rel1.sql, rel2.sql and rel3.sql for KOR, each "select 'ç';" with CR LF.
class ComandosServico : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the command line as user dev (or with no user at all).
    ExecucaoCli rodar(const QStringList &args, bool comUsuario = true);

    TestServer servidor{{QStringLiteral("DEV:senha")},
                        {QStringLiteral("--page-size"), QStringLiteral("2"), QStringLiteral("--version"),
                         QStringLiteral("1.0.8")}};
    Conexao conexao;
    Sessao sessao{conexao};
};
