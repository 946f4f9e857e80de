#pragma once

#include "catalog/TabelaRegistros.h"
#include "service/RegistroScript.h"

// cdsPesquisa: the stored scripts found by a search of page "Scripts". The grid shows CODIGO,
// DATA and ARQUIVO; SCRIPT is the text of the script view. The editor window writes a saved
// text back into SCRIPT with setData(Qt::EditRole).
class TabelaPesquisa : public TabelaRegistros<RegistroScript> {
    Q_OBJECT
public:
    enum Coluna { CODIGO, DATA, ARQUIVO, SCRIPT };
    static constexpr int TamanhoArquivo = 250;

    explicit TabelaPesquisa(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // Appends one row, the file name cut to its field size.
    void Adicionar(const RegistroScript &registro);
};
