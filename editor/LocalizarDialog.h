#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SqlEditor;

// The find and replace box of an editor: stays open beside it, not modal. The replace row is
// shown only for "Substituir" on an editor that can be changed.
class LocalizarDialog : public QDialog {
    Q_OBJECT
public:
    explicit LocalizarDialog(SqlEditor &editor);

    void Exibir(bool substituir);
    // The next (previous) match of the text in the box.
    void Proxima(bool paraFrente);

private:
    void Substituir();
    void SubstituirTodos();
    void Informar(bool encontrado);

    SqlEditor &m_editor;
    QLineEdit *edLocalizar;
    QLabel *lblSubstituir;
    QLineEdit *edSubstituir;
    QCheckBox *cbMaiusculas;
    QPushButton *btProxima;
    QPushButton *btAnterior;
    QPushButton *btSubstituir;
    QPushButton *btSubstituirTodos;
    QLabel *lblSituacao;
};
