#include "RowStore.h"

RowStore::RowStore(const std::vector<FieldDef>& fields)
{
    for (const FieldDef& field : fields) {
        if (isTextKind(field.kind)) {
            m_slots.push_back({true, int(m_texts.size()), -1});
            m_texts.emplace_back();
        } else {
            const bool date = field.kind == FieldKind::DateTime;
            m_slots.push_back({false, int(m_numbers.size()), date ? int(m_keys.size()) : -1});
            m_numbers.emplace_back();
            if (date)
                m_keys.emplace_back();
        }
    }
}

bool RowStore::isNull(int row, int field) const
{
    return m_slots[field].text ? text(row, field).isNull() : std::isnan(number(row, field));
}

void RowStore::setNumber(int row, int field, double value)
{
    const Slot& slot = m_slots[field];
    m_numbers[slot.index][row] = value;
    if (slot.keyIndex >= 0)
        m_keys[slot.keyIndex][row] =
            std::isnan(value) ? DateTimeValue::CalendarKey() : DateTimeValue::calendarKey(value);
}

void RowStore::setNull(int row, int field)
{
    if (m_slots[field].text)
        setText(row, field, QString());
    else
        setNumber(row, field, nullNumber());
}

int RowStore::appendRow()
{
    for (auto& column : m_texts)
        column.emplace_back();
    for (auto& column : m_numbers)
        column.push_back(nullNumber());
    for (auto& column : m_keys)
        column.emplace_back();
    return m_rowCount++;
}

void RowStore::removeRow(int row)
{
    for (auto& column : m_texts)
        column.erase(column.begin() + row);
    for (auto& column : m_numbers)
        column.erase(column.begin() + row);
    for (auto& column : m_keys)
        column.erase(column.begin() + row);
    --m_rowCount;
}

void RowStore::reserve(int rows)
{
    for (auto& column : m_texts)
        column.reserve(rows);
    for (auto& column : m_numbers)
        column.reserve(rows);
    for (auto& column : m_keys)
        column.reserve(rows);
}

void RowStore::clear()
{
    for (auto& column : m_texts)
        std::vector<QString>().swap(column);
    for (auto& column : m_numbers)
        std::vector<double>().swap(column);
    for (auto& column : m_keys)
        std::vector<DateTimeValue::CalendarKey>().swap(column);
    m_rowCount = 0;
}

void RowStore::copyRow(int toRow, const RowStore& from, int fromRow)
{
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i][toRow] = from.m_texts[i][fromRow];
    for (size_t i = 0; i < m_numbers.size(); ++i)
        m_numbers[i][toRow] = from.m_numbers[i][fromRow];
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_keys[i][toRow] = from.m_keys[i][fromRow];
}

bool RowStore::sameValue(int row, int field, const RowStore& other, int otherRow) const
{
    if (m_slots[field].text) {
        const QString& a = text(row, field);
        const QString& b = other.text(otherRow, field);
        return a.isNull() == b.isNull() && a == b;
    }
    const double a = number(row, field);
    const double b = other.number(otherRow, field);
    return (std::isnan(a) && std::isnan(b)) || a == b;
}
