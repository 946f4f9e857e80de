#include "catalog/TabelaLog.h"

TabelaLog::TabelaLog(QObject *parent)
    : TabelaRegistros({QStringLiteral("Código"), QStringLiteral("Data"), QStringLiteral("Usuário"),
                       QStringLiteral("Arquivo"), QStringLiteral("Descrição"),
                       QStringLiteral("Script antes da alteração"), QStringLiteral("Script atual")},
                      parent) {}

QVariant TabelaLog::data(const QModelIndex &index, int role) const {
    const RegistroLog *linha = LinhaDoIndice(index, role);
    if (!linha)
        return {};
    switch (index.column()) {
    case CODIGO:
        return linha->idscript;
    case DATA:
        return Data(linha->data_alteracao, role);
    case NOME:
        return linha->nome;
    case ARQUIVO:
        return linha->arquivo;
    case DESCRICAO:
        return linha->descricao;
    case SCRIPT_ANTERIOR:
        return Script(linha->script_anterior, role);
    case SCRIPT_ATUAL:
        return Script(linha->script_atual, role);
    }
    return {};
}

void TabelaLog::Adicionar(const RegistroLog &registro) {
    RegistroLog linha = registro;
    linha.arquivo = Campos::Texto(registro.arquivo, TamanhoArquivo);
    linha.descricao = Campos::Texto(registro.descricao, TamanhoDescricao);
    linha.nome = Campos::Texto(registro.nome, TamanhoNome);
    Acrescentar(std::move(linha));
}
