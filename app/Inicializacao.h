#pragma once

#include "app/LocaisPrograma.h"

#include <QString>
#include <QStringList>

#include <functional>

class Messages;

// The start-up decisions after the data module exists: the updater must be there (beside the
// executable, or the packaged one for the installed program), and a newer version on the
// service hands over to it. The updater's command line is the version being replaced; the
// version on offer travels in the environment variable BRISEL_VERSAO_NOVA. The caller guards the
// whole sequence: an exception from here (a version that cannot be compared, a log file that
// cannot be written) ends the process silently.
class Inicializacao {
public:
    using Verificador = std::function<QString()>;
    using Lancador =
        std::function<void(const QString &programa, const QStringList &argumentos, const QString &diretorio)>;

    Inicializacao(const LocaisPrograma &locais, const QString &versao, Messages &messages,
                  Verificador verificar, Lancador lancar);

    // True when the main window is to open; false when the process is to end.
    bool executar();

    // Known after executar(): the service's version (reply without its first and last
    // character) and the updater's path.
    const QString &versaoServico() const { return m_versaoServico; }
    const QString &atualizador() const { return m_locais.atualizador; }

    // Starts a program without waiting for it and without checking that it started.
    static void iniciarDesanexado(const QString &programa, const QStringList &argumentos,
                                  const QString &diretorio);

private:
    LocaisPrograma m_locais;
    QString m_versao;
    Messages &m_messages;
    Verificador m_verificar;
    Lancador m_lancar;
    QString m_versaoServico;
};
