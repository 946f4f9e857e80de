#include "service/Versao.h"

#include "service/Enderecos.h"
#include "base/Windows1252.h"
#include "base/Exception.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {

int componente(const QStringList &partes, int indice, const QString &versao) {
    bool ok = false;
    const int valor = indice < partes.size() ? partes[indice].toInt(&ok, 10) : 0;
    if (!ok)
        throw Exception(QStringLiteral("Versão inválida: \"%1\"").arg(versao));
    return valor;
}

QStringList partes(const QString &versao) {
    static const QRegularExpression separador(QStringLiteral("[.\\s]"));
    // A blank before or after the number is an empty component, not something to trim.
    return versao.split(separador);
}

void registrarFalha(const QString &diretorioExe, const QString &mensagem) {
    const QString caminho = QDir(diretorioExe).filePath(QStringLiteral("log.log"));
    QFile arquivo(caminho);
    QStringList linhas;
    if (arquivo.exists()) {
        if (!arquivo.open(QIODevice::ReadOnly))
            throw Exception(arquivo.errorString());
        QString texto = Windows1252::toUnicode(arquivo.readAll());
        arquivo.close();
        texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (texto.endsWith(QLatin1Char('\n')))
            texto.chop(1);
        if (!texto.isEmpty())
            linhas = texto.split(QLatin1Char('\n'));
    }
    linhas << QString()
           << QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) +
                  QLatin1Char('\t') + mensagem;
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Exception(arquivo.errorString());
    QByteArray saida;
    for (const QString &linha : linhas)
        saida += Windows1252::fromUnicode(linha) + "\r\n";
    if (arquivo.write(saida) != saida.size() || !arquivo.flush())
        throw Exception(arquivo.errorString());
}

} // namespace

bool VersaoMaior(const QString &a, const QString &b) {
    const QStringList pa = partes(a);
    const QStringList pb = partes(b);
    for (int i = 0; i < 3; ++i) {
        const int ca = componente(pa, i, a);
        const int cb = componente(pb, i, b);
        if (ca != cb)
            return ca > cb;
    }
    return false;
}

QString VerificarVersao(Conexao &conexao, const QString &versaoPropria, const QString &diretorioExe) {
    QString mensagem;
    try {
        return conexao.Get(URLVersao());
    } catch (const Exception &e) {
        mensagem = e.message();
    } catch (const std::exception &e) {
        mensagem = QString::fromLocal8Bit(e.what());
    }
    registrarFalha(diretorioExe, mensagem);
    return QLatin1Char('"') + versaoPropria + QLatin1Char('"');
}
