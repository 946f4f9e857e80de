#pragma once

#include "service/RegistroScript.h"

#include <QAbstractTableModel>
#include <QList>

// cdsPesquisa: the stored scripts found by a search of page "Scripts", in the order in which
// they arrived. The grid shows CODIGO, DATA and ARQUIVO; SCRIPT is the text of the script view.
// SCRIPT holds Windows-1252 bytes (Qt::EditRole), shown as text (Qt::DisplayRole); the editor
// window writes a saved text back with setData(Qt::EditRole).
class TabelaPesquisa : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Coluna { CODIGO, DATA, ARQUIVO, SCRIPT, Colunas };
    static constexpr int TamanhoArquivo = 250;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // Appends one row, the file name cut to its field size.
    void Adicionar(const RegistroScript &registro);
    void Esvaziar();
    const RegistroScript &Linha(int row) const { return FLinhas.at(row); }

private:
    QList<RegistroScript> FLinhas;
};
