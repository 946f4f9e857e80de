#include "widgets/FolderEdit.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

FolderEdit::FolderEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &FolderEdit::escolherPasta);
}

QString FolderEdit::text() const {
    return m_edit->text();
}

void FolderEdit::setText(const QString &text) {
    m_edit->setText(text);
}

void FolderEdit::escolherPasta() {
    const QString escolhida = QFileDialog::getExistingDirectory(this, QString(), m_edit->text());
    if (!escolhida.isEmpty())
        m_edit->setText(QDir::toNativeSeparators(escolhida));
}
