#pragma once

#include <QDialog>

class QSpinBox;
class SqlEditor;

// "Ir para a linha": a line number of the script, not modal; Enter goes there.
class IrParaLinhaDialog : public QDialog {
    Q_OBJECT
public:
    explicit IrParaLinhaDialog(SqlEditor &editor);

    void Exibir();
    void Ir();

private:
    SqlEditor &m_editor;
    QSpinBox *edLinha;
};
