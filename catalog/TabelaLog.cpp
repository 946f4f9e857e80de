#include "catalog/TabelaLog.h"

#include "catalog/Campos.h"

int TabelaLog::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(FLinhas.size());
}

int TabelaLog::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : Colunas;
}

QVariant TabelaLog::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= FLinhas.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const RegistroLog &linha = FLinhas.at(index.row());
    const bool exibir = role == Qt::DisplayRole;
    switch (index.column()) {
    case CODIGO:
        return linha.idscript;
    case DATA:
        return exibir ? QVariant(Campos::ExibirData(linha.data_alteracao)) : QVariant(linha.data_alteracao);
    case NOME:
        return linha.nome;
    case ARQUIVO:
        return linha.arquivo;
    case DESCRICAO:
        return linha.descricao;
    case SCRIPT_ANTERIOR:
        return exibir ? QVariant(Campos::ExibirScript(linha.script_anterior))
                      : QVariant(linha.script_anterior);
    case SCRIPT_ATUAL:
        return exibir ? QVariant(Campos::ExibirScript(linha.script_atual)) : QVariant(linha.script_atual);
    }
    return {};
}

QVariant TabelaLog::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case CODIGO:
        return QStringLiteral("Código");
    case DATA:
        return QStringLiteral("Data");
    case NOME:
        return QStringLiteral("Usuário");
    case ARQUIVO:
        return QStringLiteral("Arquivo");
    case DESCRICAO:
        return QStringLiteral("Descrição");
    case SCRIPT_ANTERIOR:
        return QStringLiteral("Script antes da alteração");
    case SCRIPT_ATUAL:
        return QStringLiteral("Script atual");
    }
    return {};
}

void TabelaLog::Adicionar(const RegistroLog &registro) {
    RegistroLog linha = registro;
    linha.arquivo = Campos::Texto(registro.arquivo, TamanhoArquivo);
    linha.descricao = Campos::Texto(registro.descricao, TamanhoDescricao);
    linha.nome = Campos::Texto(registro.nome, TamanhoNome);
    beginInsertRows({}, int(FLinhas.size()), int(FLinhas.size()));
    FLinhas.append(std::move(linha));
    endInsertRows();
}

void TabelaLog::Esvaziar() {
    beginResetModel();
    FLinhas.clear();
    endResetModel();
}
