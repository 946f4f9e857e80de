#include "catalog/TabelaPesquisa.h"

TabelaPesquisa::TabelaPesquisa(QObject *parent)
    : TabelaRegistros({QStringLiteral("Código"), QStringLiteral("Data"), QStringLiteral("Arquivo"),
                       QStringLiteral("Script")},
                      parent) {}

QVariant TabelaPesquisa::data(const QModelIndex &index, int role) const {
    const RegistroScript *linha = LinhaDoIndice(index, role);
    if (!linha)
        return {};
    switch (index.column()) {
    case CODIGO:
        return linha->codigo;
    case DATA:
        return Data(linha->data, role);
    case ARQUIVO:
        return linha->arquivo;
    case SCRIPT:
        return Script(linha->script, role);
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
    RegistroScript linha = registro;
    linha.arquivo = Campos::Texto(registro.arquivo, TamanhoArquivo);
    if (const TextosArmazenados::Texto *texto = FArmazenados.Depois(registro.codigo, FBuscadasEm)) {
        if (!*texto)
            return;
        linha.script = **texto;
    }
    Acrescentar(std::move(linha));
}

void TabelaPesquisa::Armazenado(int codigo, const TextosArmazenados::Texto &texto) {
    FArmazenados.Registrar(codigo, texto);
    Aplicar(codigo, texto);
}

void TabelaPesquisa::LinhasRetiradas() {
    FRetiradasBuscadasEm = FBuscadasEm;
    FBuscadasEm = FArmazenados.Agora();
}

// The rows put back are as old as their own fetch: what was learned since reaches them now.
void TabelaPesquisa::LinhasRepostas() {
    FBuscadasEm = FRetiradasBuscadasEm;
    for (int codigo : FArmazenados.CodigosDepois(FBuscadasEm))
        Aplicar(codigo, *FArmazenados.Depois(codigo, FBuscadasEm));
}

void TabelaPesquisa::Aplicar(int codigo, const TextosArmazenados::Texto &texto) {
    for (int row = int(FLinhas.size()) - 1; row >= 0; --row) {
        if (FLinhas.at(row).codigo != codigo)
            continue;
        if (!texto)
            removeRows(row, 1);
        else if (FLinhas.at(row).script != *texto)
            setData(index(row, SCRIPT), *texto);
    }
}
