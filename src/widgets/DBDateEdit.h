#pragma once

#include "FieldBinding.h"

#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>
#include <QPointer>

// A date editor bound to a date-time field. It shows and reads dates in its date format (the
// program's short date format unless told otherwise), offers a drop-down calendar (the button
// at its right, Alt+Down or F4) and clears the field when its text is erased.
// Text that is not a date never reaches the field: the field keeps its last date, the text is
// marked in red with a hint, and when the editor loses the focus it shows the field's date again.
class DBDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBDateEdit(QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& fieldName);
    const FieldBinding& binding() const { return m_binding; }

    // The pattern of the dates shown and typed ("dd.mm.yyyy"); the text is shown in it again.
    void setDateFormat(const QString& pattern);
    const QString& dateFormat() const { return m_format; }

    // False while the text is neither a date nor empty.
    bool isTextValid() const { return m_textValid; }

    // The drop-down calendar; null while it is closed.
    QCalendarWidget* calendar() const { return m_calendar; }
    void showCalendar();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void loadValue();
    void textTyped(const QString& text);
    void writeDate(const QDate& date);
    void setTextValid(bool valid);
    void calendarChosen(const QDate& date);

    FieldBinding m_binding;
    QString m_format;
    bool m_textValid = true;
    QPointer<QCalendarWidget> m_calendar;
};
