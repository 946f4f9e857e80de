#include "app/Inicializacao.h"

#include "service/Versao.h"
#include "base/Messages.h"

#include <QFileInfo>
#include <QProcess>

Inicializacao::Inicializacao(const QString &diretorioExe, const QString &versao, Messages &messages,
                             Verificador verificar, Lancador lancar)
    : m_diretorioExe(diretorioExe), m_versao(versao), m_messages(messages), m_verificar(std::move(verificar)),
      m_lancar(std::move(lancar)) {}

bool Inicializacao::executar() {
    m_atualizador = m_diretorioExe + QStringLiteral("/BriselUpdate.exe");
    if (!QFileInfo::exists(m_atualizador)) {
        m_messages.warning(QStringLiteral("Não foi possível encontrar o BriselUpdate.exe"));
        return false;
    }
    // The service answers with the version between double quotes.
    const QString resposta = m_verificar();
    m_versaoServico = resposta.size() > 2 ? resposta.mid(1, resposta.size() - 2) : QString();
    if (!m_versaoServico.isEmpty() && VersaoMaior(m_versaoServico, m_versao)) {
        m_lancar(m_atualizador, {m_versao}, m_diretorioExe);
        return false;
    }
    return true;
}

void Inicializacao::iniciarDesanexado(const QString &programa, const QStringList &argumentos,
                                      const QString &diretorio) {
    QProcess::startDetached(programa, argumentos, diretorio);
}
