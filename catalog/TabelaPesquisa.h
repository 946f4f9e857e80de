#pragma once

#include "catalog/TabelaRegistros.h"
#include "catalog/TextosArmazenados.h"
#include "service/RegistroScript.h"

// cdsPesquisa: the stored scripts found by a search of page "Scripts". The grid shows CODIGO,
// DATA and ARQUIVO; SCRIPT is the text of the script view. A row never offers a text older than
// what the program learned the service stores for its code (see Armazenado), whether the row
// came before that, with a fetch under way or with rows put back by Repor.
class TabelaPesquisa : public TabelaRegistros<RegistroScript> {
    Q_OBJECT
public:
    enum Coluna { CODIGO, DATA, ARQUIVO, SCRIPT };
    static constexpr int TamanhoArquivo = 250;

    explicit TabelaPesquisa(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // Appends one row, the file name cut to its field size; a row fetched before the program
    // learned its code's newer text takes that text, and one whose script is gone is left out.
    void Adicionar(const RegistroScript &registro);

    // The service stores `texto` for `codigo` (a save, a read-back; none when the script is gone):
    // the rows of that code show it, or leave the table.
    void Armazenado(int codigo, const TextosArmazenados::Texto &texto);

protected:
    void LinhasRetiradas() override;
    void LinhasRepostas() override;

private:
    void Aplicar(int codigo, const TextosArmazenados::Texto &texto);

    TextosArmazenados FArmazenados;
    qint64 FBuscadasEm = 0;          // the moment the rows' fetch began
    qint64 FRetiradasBuscadasEm = 0; // the same for the rows handed out by Retirar
};
