#include "DBDateEdit.h"

#include "data/DateTimeValue.h"
#include "data/Field.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

DBDateEdit::DBDateEdit(QWidget* parent)
    : QLineEdit(parent), m_binding(this), m_format(DateFormats::shortDateFormat())
{
    QAction* dropDown = addAction(style()->standardIcon(QStyle::SP_ArrowDown), TrailingPosition);
    dropDown->setObjectName(QStringLiteral("dropDown"));
    connect(dropDown, &QAction::triggered, this, [this] { guarded([this] { showCalendar(); }); });
    connect(&m_binding, &FieldBinding::valueChanged, this,
            [this] { guarded([this] { loadValue(); }); });
    connect(this, &QLineEdit::textEdited, this, &DBDateEdit::textTyped);
}

void DBDateEdit::bind(DataSource* source, const QString& fieldName)
{
    m_binding.bind(source, fieldName);
}

void DBDateEdit::setDateFormat(const QString& pattern)
{
    m_format = pattern;
    loadValue();
}

void DBDateEdit::loadValue()
{
    const Field* field = m_binding.field();
    setText(!field || field->isNull() ? QString() : formatDateTime(m_format, field->asDateTime()));
    setTextValid(true);
    setReadOnly(!m_binding.canModify());
}

void DBDateEdit::setTextValid(bool valid)
{
    if (valid == m_textValid)
        return;
    m_textValid = valid;
    if (valid) {
        setPalette(QPalette()); // back to the inherited colours
    } else {
        QPalette marked = palette();
        marked.setColor(QPalette::Text, Qt::red);
        setPalette(marked);
    }
    setToolTip(valid ? QString() : QStringLiteral("Not a date: type it as %1").arg(m_format));
}

void DBDateEdit::textTyped(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        setTextValid(true);
        const Field* field = m_binding.field();
        if (field && !field->isNull())
            m_binding.modify([](Field& target) { target.clear(); });
        return;
    }
    const std::optional<QDate> date = parseDate(m_format, text);
    setTextValid(date.has_value());
    if (date)
        writeDate(*date);
}

void DBDateEdit::writeDate(const QDate& date)
{
    const Field* field = m_binding.field();
    if (!field)
        return;
    // The date changes; a time of day the field may hold is kept.
    const double old = field->asDateTime();
    if (!field->isNull() && DateTimeValue::toDate(old) == date)
        return;
    const double value = DateTimeValue::fromDateTime(
        date, field->isNull() ? QTime(0, 0) : DateTimeValue::toTime(old));
    m_binding.modify([value](Field& target) { target.setAsDateTime(value); });
}

void DBDateEdit::showCalendar()
{
    if (isReadOnly() || m_calendar)
        return;
    auto* calendar = new QCalendarWidget(this);
    m_calendar = calendar;
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    const Field* field = m_binding.field();
    if (field && !field->isNull())
        calendar->setSelectedDate(DateTimeValue::toDate(field->asDateTime()));
    connect(calendar, &QCalendarWidget::activated, this, &DBDateEdit::calendarChosen);
    connect(calendar, &QCalendarWidget::clicked, this, &DBDateEdit::calendarChosen);
    // Below the editor, or above it and shifted left where the screen ends.
    const QRect screenArea = screen()->availableGeometry();
    const QSize size = calendar->sizeHint();
    QPoint at = mapToGlobal(rect().bottomLeft());
    if (at.y() + size.height() > screenArea.bottom() + 1)
        at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
    at.setX(qMax(screenArea.left(), qMin(at.x(), screenArea.right() + 1 - size.width())));
    calendar->move(at);
    calendar->show();
    calendar->setFocus();
}

void DBDateEdit::calendarChosen(const QDate& date)
{
    if (m_calendar)
        m_calendar->close();
    setText(formatDateTime(m_format, DateTimeValue::fromDateTime(date)));
    setTextValid(true);
    writeDate(date);
}

void DBDateEdit::keyPressEvent(QKeyEvent* event)
{
    const bool dropDown = event->key() == Qt::Key_F4 ||
                          (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (dropDown) {
        guarded([this] { showCalendar(); });
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DBDateEdit::focusOutEvent(QFocusEvent* event)
{
    // When the user moves on, the text shows the field's date in full again (text that is not a
    // date gives way to it); the editor's own popups (calendar, context menu) are not moving on.
    if (event->reason() != Qt::PopupFocusReason)
        guarded([this] { loadValue(); });
    QLineEdit::focusOutEvent(event);
}
