#include "widgets/DateEdit.h"

#include "base/ShortDate.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

DateEdit::DateEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    m_button->setText(QStringLiteral("▾"));
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &DateEdit::showCalendar);
}

QDate DateEdit::date() const {
    return ShortDate::fromText(m_edit->text());
}

void DateEdit::setDate(const QDate &date) {
    m_edit->setText(ShortDate::toText(date));
}

void DateEdit::showCalendar() {
    QMenu popup(this);
    auto *calendar = new QCalendarWidget(&popup);
    const QDate current = date();
    calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    auto *action = new QWidgetAction(&popup);
    action->setDefaultWidget(calendar);
    popup.addAction(action);
    connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](const QDate &picked) {
        setDate(picked);
        popup.close();
    });
    popup.exec(mapToGlobal(QPoint(0, height())));
}
