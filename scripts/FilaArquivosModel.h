#pragma once

#include "base/Windows1252.h"
#include "scripts/EstadoNoServico.h"
#include "service/TextFile.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The upload queue cdsArqs: one row per script file, in upload order. Rows are only appended
// at the end with a key above every key present, so the list order and the ORDEM order agree
// at all times and the list itself is the sorted table.
class FilaArquivosModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // New columns go before NumeroColunas; the grid places and sizes the ones it shows.
    enum Coluna { DATA, NOMEARQ, SCRIPT, ORDEM, SITUACAO, NOSERVICO, ENSAIO, NumeroColunas };
    // What the last upload runs did with a row; a row whose text changes is pending again.
    enum class Envio { Pendente, Enviado, Erro };

    struct Linha {
        QDateTime data;    // local time, two-second resolution
        QString nomeArq;   // the full path, never cut
        QByteArray script; // Windows-1252, CR LF line ends
        float ordem = 0;   // 0, 1, 2, ... after an addition or a move; a removal leaves gaps
        // The file as read, for writing it back and for noticing a change made on disk since;
        // a row not read from a file has no stamp and is never compared.
        TextFile::Formato formato{};
        TextFile::Carimbo carimbo{};
        QList<Windows1252::CaractereNaoSuportado> naoSuportados{}; // sent as "?"
        Envio envio = Envio::Pendente;
        QString erro{};           // the failure's message when envio is Erro
        QString sistemaEnviado{}; // where the last run that sent the row sent it
        // What the service holds for the row under sistemaNoServico(); none while not known.
        std::optional<EstadoNoServico> noServico{};
        // The last trial of the queue: "OK", "Falhou: ..." or empty (not tried, or tried before
        // its text, its place or the database changed).
        QString ensaio{};
        bool falhouNoEnsaio = false;
        quint64 id = 0; // unique in the queue's life, set when the row is added
    };

    explicit FilaArquivosModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole gives the grid's texts; EditRole the stored values (SCRIPT as QByteArray).
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Only SCRIPT is writable, by a local save from the editor window right after it wrote the
    // file: the row then reads the file again, so that its text, stamp and format are the
    // file's. When that fails the row keeps the given Windows-1252 bytes and loses its stamp.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Reads the file and appends it as a row. Throws Exception when the file cannot be read;
    // then no row is appended.
    void AdicionarArquivo(const QString &caminho, const QDateTime &dataHora);
    void Adicionar(const QDateTime &dataHora, const QString &caminho, const QByteArray &script);

    // Reads the row's file again into the row, which becomes pending. Throws Exception naming
    // the file when it cannot be read; the row is then left as it was.
    void Recarregar(int row);

    // Compares the files of `rows` with what their rows hold and reads each changed one again,
    // in the order given. Returns the paths read again; the rows whose files no longer exist go
    // to `ausentes`, in the order given. Throws like Recarregar.
    QStringList AtualizarAlterados(const QList<int> &rows, QList<int> &ausentes);

    // The outcome of an upload run to `sistema`: each row of `enviadas` still holding the text
    // that was sent becomes Enviado, and `falha`, when its id is not 0, becomes Erro with `erro`.
    // What the service holds for all of them is no longer known. Rows are found by id, so rows
    // removed meanwhile are skipped.
    void RegistrarEnvio(const QList<Linha> &enviadas, const Linha &falha, const QString &erro,
                        const QString &sistema);

    // The system whose stored scripts column NOSERVICO compares the rows with; a change forgets
    // every row's state.
    const QString &sistemaNoServico() const { return FSistemaNoServico; }
    void setSistemaNoServico(const QString &sistema);
    // A state looked up for the row `id` holding `script` at the time.
    struct EstadoConsultado {
        quint64 id = 0;
        QByteArray script;
        EstadoNoServico estado;
    };
    // Takes the states looked up under `sistema`; one whose row is gone, has another text by now
    // or belongs to another system than sistemaNoServico() is dropped.
    void RegistrarNoServico(const QString &sistema, const QList<EstadoConsultado> &estados);
    // The rows whose state is not known, in queue order.
    QList<int> linhasSemEstado() const;

    // A trial's outcome for the row `id` holding `script` at the time.
    struct EnsaioRegistrado {
        quint64 id = 0;
        QByteArray script;
        QString texto;
        bool falhou = false;
    };
    // Takes the outcomes of a trial of the queue as it stood at `versao` (versaoFila()); one whose
    // row is gone or has another text by now is dropped, and a queue changed since is stale.
    void RegistrarEnsaio(const QList<EnsaioRegistrado> &ensaios, quint64 versao);
    // Changes with every addition, removal, move or new text of a row.
    quint64 versaoFila() const { return FVersaoFila; }
    // Empties column ENSAIO: a new trial starting.
    void LimparEnsaio();
    // A change after a trial (of the queue, or of the database): `row`'s outcome goes, or every
    // row's when -1, and the trial is stale.
    void PerderEnsaio(int row = -1);
    // The queue changed (a row read again, moved or removed) since a trial whose outcomes the
    // column still shows in part.
    bool ensaioDesatualizado() const { return FEnsaioDesatualizado; }
    // How many of `rows` failed in the trial.
    int falhasNoEnsaio(const QList<int> &rows) const;

    // The drop of a drag: row `origem` gets the key of row `destino` minus 0.5 when the target
    // is above it, plus 0.5 when below, and the keys are renumbered 0, 1, 2, ... Both rows are
    // 0-based. Returns the moved row's new index (always `destino`), or -1 when nothing moves
    // (the same row, or a row outside the queue). Rows move by reference: no script is copied.
    int Mover(int origem, int destino);

    void Limpar();

    const Linha &linha(int row) const { return FLinhas.at(row); }
    QString nomeArq(int row) const { return FLinhas.at(row).nomeArq; }
    QByteArray script(int row) const { return FLinhas.at(row).script; }
    // The queue as it stands; the texts are shared with the model, not copied.
    QList<Linha> linhas() const { return FLinhas; }

    // "dd/mm/yyyy hh:nn:ss", as the grid shows DATA.
    static QString textoData(const QDateTime &data);
    // What the SITUACAO column shows for a row.
    static QString textoSituacao(const Linha &linha);

private:
    void anexar(Linha linha);
    void renumerar();
    void linhaAlterada(int row);

    // Finds rows by id, for results that come back after the queue may have changed.
    QHash<quint64, int> indicesPorId() const;
    void colunaAlterada(Coluna coluna);

    QList<Linha> FLinhas;
    quint64 FProximoId = 1;
    QString FSistemaNoServico;
    bool FEnsaioDesatualizado = false;
    quint64 FVersaoFila = 0;
};
