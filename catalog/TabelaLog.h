#pragma once

#include "service/RegistroLog.h"

#include <QAbstractTableModel>
#include <QList>

// cdsLog: the change-log entries found by a search of page "Log", in the order in which they
// arrived. The grid shows the first five columns; the two script texts feed the views under it.
// Script texts are Windows-1252 bytes (Qt::EditRole), shown as text (Qt::DisplayRole).
class TabelaLog : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Coluna { CODIGO, DATA, NOME, ARQUIVO, DESCRICAO, SCRIPT_ANTERIOR, SCRIPT_ATUAL, Colunas };
    static constexpr int TamanhoArquivo = 250;
    static constexpr int TamanhoDescricao = 100;
    static constexpr int TamanhoNome = 20;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Appends one row, the texts cut to their field sizes.
    void Adicionar(const RegistroLog &registro);
    void Esvaziar();
    const RegistroLog &Linha(int row) const { return FLinhas.at(row); }

private:
    QList<RegistroLog> FLinhas;
};
