#include "scripts/FilaArquivosModel.h"

#include "base/Exception.h"
#include "scripts/ArquivoScript.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

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

QString FilaArquivosModel::textoSituacao(const Linha &linha) {
    switch (linha.envio) {
    case Envio::Enviado:
        return QStringLiteral("Enviado para ") + linha.sistemaEnviado;
    case Envio::Erro:
        return QStringLiteral("Erro: ") + linha.erro;
    case Envio::Pendente:
        break;
    }
    return QString();
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
        case SITUACAO:
            return textoSituacao(l);
        case NOSERVICO:
            return l.noServico ? l.noServico->texto() : QString();
        case ENSAIO:
            return l.ensaio;
        }
    } else if (role == Qt::ToolTipRole && index.column() == SITUACAO && l.envio == Envio::Erro) {
        return textoSituacao(l); // a long reason does not fit the column
    } else if (role == Qt::ToolTipRole && index.column() == ENSAIO && l.falhouNoEnsaio) {
        return l.ensaio;
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
        case SITUACAO:
            return textoSituacao(l);
        case NOSERVICO:
            return l.noServico ? l.noServico->texto() : QString();
        case ENSAIO:
            return l.ensaio;
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
    case SITUACAO:
        return QStringLiteral("Situação");
    case NOSERVICO:
        return QStringLiteral("No serviço");
    case ENSAIO:
        return QStringLiteral("Ensaio");
    }
    return {};
}

bool FilaArquivosModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != SCRIPT || role != Qt::EditRole || index.row() >= FLinhas.size())
        return false;
    const bool bytes = value.typeId() == QMetaType::QByteArray;
    if (!bytes && value.typeId() != QMetaType::QString)
        return false;
    try {
        Recarregar(index.row());
    } catch (const Exception &) {
        Linha &l = FLinhas[index.row()];
        l.script = bytes ? value.toByteArray() : TextFile::script(value.toString());
        l.carimbo = TextFile::Carimbo();
        l.naoSuportados = bytes ? QList<Windows1252::CaractereNaoSuportado>()
                                : Windows1252::caracteresNaoSuportados(value.toString());
        l.envio = Envio::Pendente;
        l.erro.clear();
        l.noServico.reset();
        PerderEnsaio(index.row());
        linhaAlterada(index.row());
    }
    return true;
}

Qt::ItemFlags FilaArquivosModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool FilaArquivosModel::removeRows(int row, int count, const QModelIndex &parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > FLinhas.size())
        return false;
    // The rows after them ran on the state the removed ones left.
    for (int i = row; i < row + count; ++i)
        PerderEnsaio(i);
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    FLinhas.remove(row, count);
    endRemoveRows();
    return true;
}

void FilaArquivosModel::AdicionarArquivo(const QString &caminho, const QDateTime &dataHora) {
    ArquivoScript::Leitura lido = ArquivoScript::ler(caminho);
    Linha l{dataHora, caminho, lido.script};
    l.formato = lido.formato;
    l.carimbo = lido.carimbo;
    l.naoSuportados = std::move(lido.naoSuportados);
    anexar(std::move(l));
}

void FilaArquivosModel::Recarregar(int row) {
    ArquivoScript::Leitura lido = ArquivoScript::ler(FLinhas.at(row).nomeArq);
    Linha &l = FLinhas[row];
    l.script = lido.script;
    l.formato = lido.formato;
    l.carimbo = lido.carimbo;
    l.naoSuportados = std::move(lido.naoSuportados);
    l.envio = Envio::Pendente;
    l.erro.clear();
    l.noServico.reset();
    PerderEnsaio(row);
    linhaAlterada(row);
}

QStringList FilaArquivosModel::AtualizarAlterados(const QList<int> &rows, QList<int> &ausentes) {
    QStringList relidos;
    for (int row : rows) {
        // A row never read from its file has no stamp: any file there counts as changed.
        Linha &l = FLinhas[row];
        switch (TextFile::comparar(l.nomeArq, l.carimbo)) {
        case TextFile::Situacao::Igual:
            break;
        case TextFile::Situacao::Ausente:
            ausentes << row;
            break;
        case TextFile::Situacao::Alterado:
            Recarregar(row);
            // Changed outside the program: sent with its new time, as a new search would find it.
            l.data = ArquivoScript::dataModificacao(QFileInfo(l.nomeArq));
            linhaAlterada(row);
            relidos << l.nomeArq;
            break;
        }
    }
    return relidos;
}

QHash<quint64, int> FilaArquivosModel::indicesPorId() const {
    QHash<quint64, int> porId;
    porId.reserve(FLinhas.size());
    for (int i = 0; i < FLinhas.size(); ++i)
        porId.insert(FLinhas.at(i).id, i);
    return porId;
}

void FilaArquivosModel::colunaAlterada(Coluna coluna) {
    // One notice for the whole column: thousands of rows may have changed.
    if (!FLinhas.isEmpty())
        emit dataChanged(index(0, coluna), index(int(FLinhas.size()) - 1, coluna));
}

void FilaArquivosModel::RegistrarEnvio(const QList<Linha> &enviadas, const Linha &falha, const QString &erro,
                                       const QString &sistema) {
    const QHash<quint64, int> porId = indicesPorId();
    for (const Linha &e : enviadas) {
        const int row = porId.value(e.id, -1);
        // A local save during the run changed the text: what the file now holds was not sent.
        if (row < 0 || FLinhas.at(row).script != e.script)
            continue;
        Linha &l = FLinhas[row];
        l.envio = Envio::Enviado;
        l.erro.clear();
        l.sistemaEnviado = sistema;
        l.noServico.reset();
    }
    if (const int row = falha.id ? porId.value(falha.id, -1) : -1; row >= 0) {
        FLinhas[row].envio = Envio::Erro;
        FLinhas[row].erro = erro;
        FLinhas[row].noServico.reset(); // a request that got no answer may have been stored
    }
    colunaAlterada(SITUACAO);
    colunaAlterada(NOSERVICO);
}

void FilaArquivosModel::setSistemaNoServico(const QString &sistema) {
    if (sistema == FSistemaNoServico)
        return;
    FSistemaNoServico = sistema;
    for (Linha &l : FLinhas)
        l.noServico.reset();
    colunaAlterada(NOSERVICO);
}

void FilaArquivosModel::RegistrarNoServico(const QString &sistema, const QList<EstadoConsultado> &estados) {
    if (sistema != FSistemaNoServico || estados.isEmpty())
        return;
    const QHash<quint64, int> porId = indicesPorId();
    for (const EstadoConsultado &e : estados) {
        const int row = porId.value(e.id, -1);
        if (row >= 0 && FLinhas.at(row).script == e.script)
            FLinhas[row].noServico = e.estado;
    }
    colunaAlterada(NOSERVICO);
}

QList<int> FilaArquivosModel::linhasSemEstado() const {
    QList<int> rows;
    for (int i = 0; i < FLinhas.size(); ++i)
        if (!FLinhas.at(i).noServico)
            rows << i;
    return rows;
}

void FilaArquivosModel::linhaAlterada(int row) {
    emit dataChanged(index(row, 0), index(row, NumeroColunas - 1));
}

void FilaArquivosModel::Adicionar(const QDateTime &dataHora, const QString &caminho,
                                  const QByteArray &script) {
    anexar(Linha{dataHora, caminho, script});
}

void FilaArquivosModel::anexar(Linha linha) {
    // Above the last key, not the row count: after a removal the count may equal a key present.
    linha.ordem = FLinhas.isEmpty() ? 0.0f : FLinhas.back().ordem + 1.0f;
    linha.id = FProximoId++;
    ++FVersaoFila;
    const int row = int(FLinhas.size());
    beginInsertRows(QModelIndex(), row, row);
    FLinhas.append(std::move(linha));
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
        PerderEnsaio(-1); // each row ran on what the rows before it left
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
    FEnsaioDesatualizado = false;
    ++FVersaoFila;
    endResetModel();
}

void FilaArquivosModel::RegistrarEnsaio(const QList<EnsaioRegistrado> &ensaios, quint64 versao) {
    const QHash<quint64, int> porId = indicesPorId();
    for (const EnsaioRegistrado &e : ensaios) {
        const int row = porId.value(e.id, -1);
        if (row < 0 || FLinhas.at(row).script != e.script)
            continue;
        FLinhas[row].ensaio = e.texto;
        FLinhas[row].falhouNoEnsaio = e.falhou;
    }
    FEnsaioDesatualizado = versao != FVersaoFila;
    colunaAlterada(ENSAIO);
}

void FilaArquivosModel::LimparEnsaio() {
    for (Linha &l : FLinhas) {
        l.ensaio.clear();
        l.falhouNoEnsaio = false;
    }
    colunaAlterada(ENSAIO);
}

int FilaArquivosModel::falhasNoEnsaio(const QList<int> &rows) const {
    return int(
        std::count_if(rows.begin(), rows.end(), [this](int row) { return FLinhas.at(row).falhouNoEnsaio; }));
}

void FilaArquivosModel::PerderEnsaio(int row) {
    ++FVersaoFila;
    const bool havia =
        std::any_of(FLinhas.begin(), FLinhas.end(), [](const Linha &l) { return !l.ensaio.isEmpty(); });
    if (!havia)
        return;
    FEnsaioDesatualizado = true;
    if (row >= 0) {
        FLinhas[row].ensaio.clear();
        FLinhas[row].falhouNoEnsaio = false;
        emit dataChanged(index(row, ENSAIO), index(row, ENSAIO));
    } else {
        LimparEnsaio();
    }
}
