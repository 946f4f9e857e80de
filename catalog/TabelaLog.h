#pragma once

#include "catalog/TabelaRegistros.h"
#include "service/RegistroLog.h"

// cdsLog: the change-log entries found by a search of page "Log". The grid shows the first five
// columns; the two script texts feed the views under it.
class TabelaLog : public TabelaRegistros<RegistroLog> {
    Q_OBJECT
public:
    enum Coluna { CODIGO, DATA, NOME, ARQUIVO, DESCRICAO, SCRIPT_ANTERIOR, SCRIPT_ATUAL };
    static constexpr int TamanhoArquivo = 250;
    static constexpr int TamanhoDescricao = 100;
    static constexpr int TamanhoNome = 20;

    explicit TabelaLog(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Appends one row, the texts cut to their field sizes.
    void Adicionar(const RegistroLog &registro);
};
