#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A date field: an edit showing the date in the user's short date form, with a calendar
// button. Unlike QDateEdit it can be empty, which the searches read as "no date".
class DateEdit : public QWidget {
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);

    // A null date when the field is empty or does not hold a valid date.
    QDate date() const;
    // A null date empties the field.
    void setDate(const QDate &date);
    QLineEdit *lineEdit() const { return m_edit; }

private:
    void showCalendar();

    QLineEdit *m_edit;
    QToolButton *m_button;
};
