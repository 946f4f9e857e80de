#include "scripts/ControleEnsaio.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "scripts/EnsaioFila.h"

#include <QThread>

ControleEnsaio::ControleEnsaio(FilaArquivosModel &fila, const TrialCopyRegistry &registro, QObject *parent)
    : QObject(parent), m_fila(fila), m_registro(registro) {}

ControleEnsaio::~ControleEnsaio() {
    if (m_thread) {
        m_parar->cancelar();
        m_thread->wait();
        delete m_thread;
    }
}

bool ControleEnsaio::Ensaiar(const QString &banco, const QString &senha) {
    if (m_thread || m_fila.rowCount() == 0)
        return false;
    const QList<FilaArquivosModel::Linha> linhas = m_fila.linhas();
    QList<EnsaioFila::Arquivo> arquivos;
    arquivos.reserve(linhas.size());
    for (const FilaArquivosModel::Linha &l : linhas)
        arquivos.append({l.nomeArq, l.script});
    m_fila.LimparEnsaio();
    m_banco = banco;
    m_parar = std::make_shared<Cancelamento>();
    const quint64 versao = m_fila.versaoFila();
    // The worker reaches this object only through queued calls, which are dropped with it.
    m_thread = QThread::create(
        [this, banco, senha, linhas, arquivos, versao, parar = m_parar, registro = m_registro] {
            EnsaioFila::Ganchos ganchos;
            ganchos.parar = parar.get();
            ganchos.progresso = [this](int numero, int total) {
                QMetaObject::invokeMethod(
                    this, [this, numero, total] { emit progresso(numero, total); }, Qt::QueuedConnection);
            };
            QList<FilaArquivosModel::EnsaioRegistrado> ensaios;
            bool completo = false;
            int falhas = 0;
            QString erro;
            try {
                const QList<EnsaioFila::Resultado> resultados =
                    EnsaioFila(FirebirdClient::system(), registro).Ensaiar(banco, senha, arquivos, ganchos);
                completo = true;
                for (qsizetype i = 0; i < resultados.size(); ++i) {
                    const EnsaioFila::Resultado &r = resultados.at(i);
                    completo &= r.executado;
                    falhas += r.falhou() ? 1 : 0;
                    ensaios.append({linhas.at(i).id, linhas.at(i).script, EnsaioFila::texto(r), r.falhou()});
                }
            } catch (const Exception &e) {
                erro = e.message();
            }
            QMetaObject::invokeMethod(
                this, [=, this] { concluir(ensaios, completo, falhas, erro, versao); }, Qt::QueuedConnection);
        });
    m_thread->start();
    emit iniciado(int(linhas.size()));
    return true;
}

void ControleEnsaio::Cancelar() {
    if (m_parar)
        m_parar->cancelar();
}

void ControleEnsaio::concluir(const QList<FilaArquivosModel::EnsaioRegistrado> &ensaios, bool completo,
                              int falhas, const QString &erro, quint64 versao) {
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_fila.RegistrarEnsaio(ensaios, versao);
    emit terminado(completo, falhas, erro);
}
