#include "tests/support/ExecucaoCli.h"

#include <QProcess>

ExecucaoCli executarCli(const QStringList &args, const QProcessEnvironment &env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("BRISEL_BUILD_DIR") + QStringLiteral("/cli/brisel-scripts-cli"), args);
    ExecucaoCli s;
    if (!p.waitForFinished(30000))
        return s;
    s.codigo = p.exitCode();
    s.out = QString::fromUtf8(p.readAllStandardOutput());
    s.err = QString::fromUtf8(p.readAllStandardError());
    return s;
}
