#include "Field.h"

#include "Dataset.h"
#include "DateTimeValue.h"
#include "Errors.h"
#include "platform/DateFormat.h"

#include <cmath>

const FieldDef& Field::def() const
{
    return m_dataset->def().fields[m_index];
}

bool Field::isNull() const
{
    int row = 0;
    const RowStore* store = m_dataset->currentStore(row);
    return !store || store->isNull(row, m_index);
}

QString Field::asString() const
{
    int row = 0;
    const RowStore* store = m_dataset->currentStore(row);
    if (!store || store->isNull(row, m_index))
        return {};
    if (store->isTextField(m_index))
        return store->text(row, m_index);
    const double value = store->number(row, m_index);
    return kind() == FieldKind::DateTime ? dateTimeToString(value) : QString::number(qint64(value));
}

qint64 Field::asInteger() const
{
    int row = 0;
    const RowStore* store = m_dataset->currentStore(row);
    if (!store || store->isNull(row, m_index))
        return 0;
    if (!store->isTextField(m_index))
        return qint64(store->number(row, m_index));
    bool ok = false;
    const qint64 value = store->text(row, m_index).trimmed().toLongLong(&ok);
    if (!ok)
        throw DatasetError(m_dataset->name(),
                           QStringLiteral("'%1' is not a valid integer value for field '%2'")
                               .arg(store->text(row, m_index), fieldName()));
    return value;
}

double Field::asDateTime() const
{
    int row = 0;
    const RowStore* store = m_dataset->currentStore(row);
    if (!store || store->isNull(row, m_index))
        return 0;
    if (store->isTextField(m_index))
        throw DatasetError(m_dataset->name(),
                           QStringLiteral("Field '%1' cannot be read as a date").arg(fieldName()));
    return store->number(row, m_index);
}

DateTimeValue::CalendarKey Field::calendarKey() const
{
    if (kind() != FieldKind::DateTime)
        throw DatasetError(m_dataset->name(),
                           QStringLiteral("Field '%1' cannot be read as a date").arg(fieldName()));
    int row = 0;
    const RowStore* store = m_dataset->currentStore(row);
    return store ? store->calendarKey(row, m_index) : DateTimeValue::CalendarKey();
}

QString Field::displayText() const
{
    if (kind() != FieldKind::DateTime || isNull())
        return asString();
    const QString& format = def().displayFormat;
    return format.isEmpty() ? dateTimeToString(asDateTime()) : formatDateTime(format, asDateTime());
}

void Field::setAsString(const QString& value)
{
    if (kind() == FieldKind::DateTime) {
        throw DatasetError(m_dataset->name(),
                           QStringLiteral("Field '%1' takes a date, not text").arg(fieldName()));
    }
    if (isNumberKind(kind())) {
        if (value.isEmpty()) {
            clear();
            return;
        }
        bool ok = false;
        const qint64 number = value.trimmed().toLongLong(&ok);
        if (!ok)
            throw DatasetError(m_dataset->name(),
                               QStringLiteral("'%1' is not a valid integer value for field '%2'")
                                   .arg(value, fieldName()));
        setAsInteger(number);
        return;
    }
    // Text is kept exactly; a text longer than its field is cut to the field's size.
    QString text = value.isNull() ? QString(QLatin1String("")) : value;
    if (size() > 0 && text.size() > size())
        text.truncate(size());
    m_dataset->setFieldValue(m_index,
                             [&](RowStore& store, int row) { store.setText(row, m_index, text); });
}

void Field::setAsInteger(qint64 value)
{
    if (isTextKind(kind())) {
        setAsString(QString::number(value));
        return;
    }
    m_dataset->setFieldValue(
        m_index, [&](RowStore& store, int row) { store.setNumber(row, m_index, double(value)); });
}

void Field::setAsDateTime(double value)
{
    if (kind() != FieldKind::DateTime)
        throw DatasetError(m_dataset->name(),
                           QStringLiteral("Field '%1' does not take a date").arg(fieldName()));
    // Dates are kept to the whole second, exactly as the file holds them.
    const qint64 day = DateTimeValue::dayNumber(value);
    const int second = DateTimeValue::secondOfDay(value);
    const double fraction = double(second) / DateTimeValue::kSecondsPerDay;
    const double stored = day >= 0 ? double(day) + fraction : double(day) - fraction;
    m_dataset->setFieldValue(
        m_index, [&](RowStore& store, int row) { store.setNumber(row, m_index, stored); });
}

void Field::clear()
{
    m_dataset->setFieldValue(m_index,
                             [&](RowStore& store, int row) { store.setNull(row, m_index); });
}
