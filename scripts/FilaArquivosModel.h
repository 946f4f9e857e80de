#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The upload queue cdsArqs: one row per script file, in upload order. Rows are only appended
// at the end with a key above every key present, so the list order and the ORDEM order agree
// at all times and the list itself is the sorted table.
class FilaArquivosModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Coluna { DATA, NOMEARQ, SCRIPT, ORDEM, NumeroColunas };

    struct Linha {
        QDateTime data;    // local time, two-second resolution
        QString nomeArq;   // the full path, never cut
        QByteArray script; // Windows-1252, CR LF line ends
        float ordem = 0;   // 0, 1, 2, ... after an addition or a move; a removal leaves gaps
    };

    explicit FilaArquivosModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole gives the grid's texts; EditRole the stored values (SCRIPT as QByteArray).
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Only SCRIPT is writable (a local save from the editor window), with Windows-1252 bytes.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Reads the file and appends it as a row. Throws Exception when the file cannot be read;
    // then no row is appended.
    void AdicionarArquivo(const QString &caminho, const QDateTime &dataHora);
    void Adicionar(const QDateTime &dataHora, const QString &caminho, const QByteArray &script);

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

private:
    void renumerar();

    QList<Linha> FLinhas;
};
