#include "tests/validation/FirebirdTestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

bool FirebirdTestDatabase::serverConfigured() {
    return qEnvironmentVariableIsSet("BRISEL_FB_PASSWORD");
}

QString FirebirdTestDatabase::serverPassword() {
    return qEnvironmentVariable("BRISEL_FB_PASSWORD");
}

FirebirdTestDatabase::FirebirdTestDatabase(Access access, const QString &setup) : m_access(access) {
    const QString file = m_dir.filePath(QStringLiteral("test.fdb"));
    if (access == Access::Server) {
        // The server may run as another user: it must be able to create the file here.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther);
        m_name = qEnvironmentVariable("BRISEL_FB_HOST", QStringLiteral("127.0.0.1")) + u':' + file;
    } else {
        m_name = file;
    }
    isql(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA'%2;\n%3\nCOMMIT;\n")
             .arg(m_name,
                  access == Access::Server ? QStringLiteral(" PASSWORD '%1'").arg(serverPassword())
                                           : QString(),
                  setup),
         false);
}

QStringList FirebirdTestDatabase::column(const QString &select) {
    const QString output = isql(QStringLiteral("SET LIST ON;\n%1;\n").arg(select), true);
    QStringList values;
    static const QRegularExpression line(QStringLiteral("^\\S+\\s+(.*)$"));
    for (const QString &text : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = line.match(text.trimmed());
        if (match.hasMatch())
            values.append(match.captured(1).trimmed());
    }
    return values;
}

QString FirebirdTestDatabase::isql(const QString &input, bool connect) {
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-bail")};
    if (connect) {
        arguments << m_name << QStringLiteral("-user") << QStringLiteral("SYSDBA");
        if (m_access == Access::Server)
            arguments << QStringLiteral("-password") << serverPassword();
    }
    QProcess process;
    process.start(QStringLiteral("isql-fb"), arguments);
    process.write(input.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        m_error = QStringLiteral("isql-fb failed: %1 %2")
                      .arg(QString::fromLocal8Bit(process.readAllStandardError()), process.errorString());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}
