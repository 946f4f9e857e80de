#include "catalog/TabelaPesquisa.h"

#include "catalog/Campos.h"

int TabelaPesquisa::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(FLinhas.size());
}

int TabelaPesquisa::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : Colunas;
}

QVariant TabelaPesquisa::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= FLinhas.size())
        return {};
    const RegistroScript &linha = FLinhas.at(index.row());
    if (role == Qt::EditRole) {
        switch (index.column()) {
        case CODIGO:
            return linha.codigo;
        case DATA:
            return linha.data;
        case ARQUIVO:
            return linha.arquivo;
        case SCRIPT:
            return linha.script;
        }
    }
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case CODIGO:
            return linha.codigo;
        case DATA:
            return Campos::ExibirData(linha.data);
        case ARQUIVO:
            return linha.arquivo;
        case SCRIPT:
            return Campos::ExibirScript(linha.script);
        }
    }
    return {};
}

QVariant TabelaPesquisa::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case CODIGO:
        return QStringLiteral("Código");
    case DATA:
        return QStringLiteral("Data");
    case ARQUIVO:
        return QStringLiteral("Arquivo");
    case SCRIPT:
        return QStringLiteral("Script");
    }
    return {};
}

// Only the script text changes after a fetch (a save from the editor window).
bool TabelaPesquisa::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != SCRIPT ||
        index.row() >= FLinhas.size() || value.typeId() != QMetaType::QByteArray)
        return false;
    FLinhas[index.row()].script = value.toByteArray();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool TabelaPesquisa::removeRows(int row, int count, const QModelIndex &parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > FLinhas.size())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    FLinhas.remove(row, count);
    endRemoveRows();
    return true;
}

void TabelaPesquisa::Adicionar(const RegistroScript &registro) {
    beginInsertRows({}, int(FLinhas.size()), int(FLinhas.size()));
    FLinhas.append(registro);
    FLinhas.last().arquivo = Campos::Texto(registro.arquivo, TamanhoArquivo);
    endInsertRows();
}

void TabelaPesquisa::Esvaziar() {
    beginResetModel();
    FLinhas.clear();
    endResetModel();
}
