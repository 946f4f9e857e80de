#include "app/Inicializacao.h"

#include "base/Messages.h"
#include "service/Versao.h"

#include <QFileInfo>
#include <QProcess>

Inicializacao::Inicializacao(const LocaisPrograma &locais, const QString &versao, Messages &messages,
                             Verificador verificar, Lancador lancar)
    : m_locais(locais), m_versao(versao), m_messages(messages), m_verificar(std::move(verificar)),
      m_lancar(std::move(lancar)) {}

bool Inicializacao::executar() {
    const QFileInfo atualizador(m_locais.atualizador);
    if (!atualizador.exists()) {
        m_messages.warning(QStringLiteral("Não foi possível encontrar o ") + atualizador.fileName());
        return false;
    }
    // The service answers with the version between double quotes.
    const QString resposta = m_verificar();
    m_versaoServico = resposta.size() > 2 ? resposta.mid(1, resposta.size() - 2) : QString();
    if (!m_versaoServico.isEmpty() && VersaoMaior(m_versaoServico, m_versao)) {
        // The process ends right after the start, so its environment is the updater's.
        qputenv("BRISEL_VERSAO_NOVA", m_versaoServico.toUtf8());
        m_lancar(m_locais.atualizador, {m_versao}, m_locais.diretorioExe);
        return false;
    }
    return true;
}

void Inicializacao::iniciarDesanexado(const QString &programa, const QStringList &argumentos,
                                      const QString &diretorio) {
    QProcess::startDetached(programa, argumentos, diretorio);
}
