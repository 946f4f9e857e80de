#pragma once

#include "catalog/Campos.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QList>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <numeric>

// The result table of a search page: the records in the order in which they arrived, one row
// each, under column captions in column order, until the user sorts them by a column. Each table
// says how its columns show a record; Qt::DisplayRole is what the grid shows, Qt::EditRole the
// value as stored, which is also what a sort compares.
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

    void Esvaziar() { Retirar(); }
    // Empties the table and hands its rows over, so that an action that does not finish can put
    // them back with Repor.
    QList<Registro> Retirar() {
        beginResetModel();
        QList<Registro> linhas = std::move(FLinhas);
        FLinhas.clear();
        endResetModel();
        LinhasRetiradas();
        return linhas;
    }
    void Repor(QList<Registro> linhas) {
        beginResetModel();
        FLinhas = std::move(linhas);
        endResetModel();
        LinhasRepostas();
    }
    const Registro &Linha(int row) const { return FLinhas.at(row); }

    // Stable, so rows with equal values keep their order; a column outside the table leaves the
    // order as it is. Persistent indexes (the current row, an editor's row) follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override {
        if (column < 0 || column >= columnCount() || FLinhas.size() < 2)
            return;
        QList<int> ordem(FLinhas.size());
        std::iota(ordem.begin(), ordem.end(), 0);
        std::stable_sort(ordem.begin(), ordem.end(), [&](int a, int b) {
            const int c = Comparar(index(a, column).data(Qt::EditRole), index(b, column).data(Qt::EditRole));
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QList<Registro> linhas;
        linhas.reserve(FLinhas.size());
        QList<int> novaLinha(FLinhas.size());
        for (int i = 0; i < ordem.size(); ++i) {
            linhas.append(std::move(FLinhas[ordem[i]]));
            novaLinha[ordem[i]] = i;
        }
        FLinhas = std::move(linhas);
        const QModelIndexList antes = persistentIndexList();
        QModelIndexList depois;
        for (const QModelIndex &i : antes)
            depois.append(index(novaLinha[i.row()], i.column()));
        changePersistentIndexList(antes, depois);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

protected:
    TabelaRegistros(QStringList cabecalhos, QObject *parent)
        : QAbstractTableModel(parent), FCabecalhos(std::move(cabecalhos)) {}

    // After Retirar and after Repor, for a table that keeps something of its own about its rows.
    virtual void LinhasRetiradas() {}
    virtual void LinhasRepostas() {}

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
    // Texts in Brazilian Portuguese dictionary order (accents and case after the letter), whatever
    // the process's locale; numbers and dates by value.
    static int Comparar(const QVariant &a, const QVariant &b) {
        if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString) {
            static const QCollator portugues(QLocale(QLocale::Portuguese, QLocale::Brazil));
            return portugues.compare(a.toString(), b.toString());
        }
        const QPartialOrdering ordem = QVariant::compare(a, b);
        return ordem == QPartialOrdering::Less ? -1 : ordem == QPartialOrdering::Greater ? 1 : 0;
    }

    QStringList FCabecalhos;
};
