#include "validation/SenhaGuardada.h"

#include "base/Exception.h"
#include "validation/ValidationSettings.h"

#include <qt6keychain/keychain.h>

namespace {

// The keyring entry's service; its key is the database path.
const QString servico = QStringLiteral("BriselScripts");

} // namespace

SenhaGuardada::SenhaGuardada(const QString &iniPath, QObject *parent) : QObject(parent), m_iniPath(iniPath) {}

QString SenhaGuardada::textoSemChaveiro(const QString &motivo) {
    return QStringLiteral(
               "O chaveiro do sistema (Secret Service) não respondeu; a senha do banco de dados não "
               "será lembrada (%1).")
        .arg(motivo);
}

bool SenhaGuardada::falhou(const QKeychain::Job &job) {
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return false;
    emit aviso(textoSemChaveiro(job.errorString()));
    return true;
}

// Jobs have no parent: QtKeychain's answer arrives through a pointer to the job, which must
// live until then; each deletes itself once finished. The connection ends with this object.
void SenhaGuardada::lerUltima() {
    const ValidationSettings settings(m_iniPath);
    const ValidationSettings::Values valores = settings.read();
    if (valores.password.isEmpty()) {
        ler(valores.database);
        return;
    }
    auto *job = new QKeychain::WritePasswordJob(servico);
    job->setKey(valores.database);
    job->setTextData(valores.password);
    connect(job, &QKeychain::Job::finished, this, [this, settings, valores](QKeychain::Job *feito) {
        falhou(*feito);
        try {
            settings.removePassword();
        } catch (const Exception &e) {
            emit aviso(e.message());
        }
        emit lida(valores.database, valores.password);
    });
    job->start();
}

void SenhaGuardada::ler(const QString &banco) {
    auto *job = new QKeychain::ReadPasswordJob(servico);
    job->setKey(banco);
    connect(job, &QKeychain::Job::finished, this, [this, banco](QKeychain::Job *feito) {
        const bool semChaveiro = falhou(*feito);
        const QString senha = semChaveiro || feito->error() == QKeychain::EntryNotFound
                                  ? QString()
                                  : static_cast<QKeychain::ReadPasswordJob *>(feito)->textData();
        emit lida(banco, senha);
    });
    job->start();
}

void SenhaGuardada::gravar(const QString &banco, const QString &senha) {
    QKeychain::Job *job = nullptr;
    if (senha.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(servico);
    } else {
        auto *escrita = new QKeychain::WritePasswordJob(servico);
        escrita->setTextData(senha);
        job = escrita;
    }
    job->setKey(banco);
    connect(job, &QKeychain::Job::finished, this,
            [this](QKeychain::Job *feito) { emit gravada(!falhou(*feito)); });
    job->start();
}
