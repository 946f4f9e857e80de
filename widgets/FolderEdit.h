#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A folder field: an edit holding a path, with a button that opens the folder picker.
class FolderEdit : public QWidget {
    Q_OBJECT
public:
    explicit FolderEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QLineEdit *lineEdit() const { return m_edit; }

private:
    void escolherPasta();

    QLineEdit *m_edit;
    QToolButton *m_button;
};
