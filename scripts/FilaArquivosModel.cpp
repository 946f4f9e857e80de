#include "scripts/FilaArquivosModel.h"

#include "scripts/ArquivoScript.h"
#include "base/Windows1252.h"

FilaArquivosModel::FilaArquivosModel(QObject *parent) : QAbstractTableModel(parent) {}

int FilaArquivosModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(FLinhas.size());
}

int FilaArquivosModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : NumeroColunas;
}

QString FilaArquivosModel::textoData(const QDateTime &data) {
    return data.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QVariant FilaArquivosModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= FLinhas.size())
        return {};
    const Linha &l = FLinhas.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case DATA:
            return textoData(l.data);
        case NOMEARQ:
            return l.nomeArq;
        case SCRIPT:
            return Windows1252::toUnicode(l.script);
        case ORDEM:
            return l.ordem;
        }
    } else if (role == Qt::EditRole) {
        switch (index.column()) {
        case DATA:
            return l.data;
        case NOMEARQ:
            return l.nomeArq;
        case SCRIPT:
            return l.script;
        case ORDEM:
            return l.ordem;
        }
    }
    return {};
}

QVariant FilaArquivosModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString();
    switch (section) {
    case DATA:
        return QStringLiteral("Data");
    case NOMEARQ:
        return QStringLiteral("Nome do Arquivo");
    case SCRIPT:
        return QStringLiteral("SCRIPT");
    case ORDEM:
        return QStringLiteral("ORDEM");
    }
    return {};
}

bool FilaArquivosModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != SCRIPT || role != Qt::EditRole || index.row() >= FLinhas.size())
        return false;
    if (value.typeId() == QMetaType::QByteArray)
        FLinhas[index.row()].script = value.toByteArray();
    else if (value.typeId() == QMetaType::QString)
        FLinhas[index.row()].script = Windows1252::fromUnicode(value.toString());
    else
        return false;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags FilaArquivosModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool FilaArquivosModel::removeRows(int row, int count, const QModelIndex &parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > FLinhas.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    FLinhas.remove(row, count);
    endRemoveRows();
    return true;
}

void FilaArquivosModel::AdicionarArquivo(const QString &caminho, const QDateTime &dataHora) {
    Adicionar(dataHora, caminho, ArquivoScript::ler(caminho));
}

void FilaArquivosModel::Adicionar(const QDateTime &dataHora, const QString &caminho,
                                  const QByteArray &script) {
    // Above the last key, not the row count: after a removal the count may equal a key present.
    const float ordem = FLinhas.isEmpty() ? 0.0f : FLinhas.back().ordem + 1.0f;
    const int row = int(FLinhas.size());
    beginInsertRows(QModelIndex(), row, row);
    FLinhas.append(Linha{dataHora, caminho, script, ordem});
    endInsertRows();
}

int FilaArquivosModel::Mover(int origem, int destino) {
    const int n = int(FLinhas.size());
    if (origem < 0 || origem >= n || destino < 0 || destino >= n || origem == destino)
        return -1;
    const float chave = FLinhas.at(destino).ordem + (destino < origem ? -0.5f : 0.5f);
    FLinhas[origem].ordem = chave;

    // Where the new key sorts among the other rows.
    int lugar = 0;
    for (int i = 0; i < n; ++i)
        if (i != origem && FLinhas.at(i).ordem < chave)
            ++lugar;

    if (lugar != origem) {
        beginMoveRows(QModelIndex(), origem, origem, QModelIndex(), lugar > origem ? lugar + 1 : lugar);
        FLinhas.move(origem, lugar);
        endMoveRows();
    }
    renumerar();
    return lugar;
}

void FilaArquivosModel::renumerar() {
    float ordem = 0;
    for (Linha &l : FLinhas) {
        l.ordem = ordem;
        ordem += 1.0f;
    }
    if (!FLinhas.isEmpty())
        emit dataChanged(index(0, ORDEM), index(int(FLinhas.size()) - 1, ORDEM));
}

void FilaArquivosModel::Limpar() {
    beginResetModel();
    FLinhas.clear();
    endResetModel();
}
