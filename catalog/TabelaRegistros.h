#pragma once

#include "catalog/Campos.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The result table of a search page: the records in the order in which they arrived, one row
// each, under column captions in column order. Each table says how its columns show a record;
// Qt::DisplayRole is what the grid shows, Qt::EditRole the value as stored.
template <class Registro> class TabelaRegistros : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(FLinhas.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(FCabecalhos.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return section >= 0 && section < FCabecalhos.size() ? QVariant(FCabecalhos.at(section)) : QVariant();
    }

    void Esvaziar() {
        beginResetModel();
        FLinhas.clear();
        endResetModel();
    }
    const Registro &Linha(int row) const { return FLinhas.at(row); }

protected:
    TabelaRegistros(QStringList cabecalhos, QObject *parent)
        : QAbstractTableModel(parent), FCabecalhos(std::move(cabecalhos)) {}

    void Acrescentar(Registro linha) {
        beginInsertRows({}, int(FLinhas.size()), int(FLinhas.size()));
        FLinhas.append(std::move(linha));
        endInsertRows();
    }
    // The record of an index asked for its shown or stored value; null for anything else.
    const Registro *LinhaDoIndice(const QModelIndex &index, int role) const {
        if (!index.isValid() || index.row() >= FLinhas.size() ||
            (role != Qt::DisplayRole && role != Qt::EditRole))
            return nullptr;
        return &FLinhas.at(index.row());
    }
    static QVariant Data(const QDateTime &data, int role) {
        return role == Qt::DisplayRole ? QVariant(Campos::ExibirData(data)) : QVariant(data);
    }
    // Scripts are Windows-1252 bytes, shown as text.
    static QVariant Script(const QByteArray &script, int role) {
        return role == Qt::DisplayRole ? QVariant(Campos::ExibirScript(script)) : QVariant(script);
    }

    QList<Registro> FLinhas;

private:
    QStringList FCabecalhos;
};
