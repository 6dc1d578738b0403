#pragma once

#include "DateTimeValue.h"
#include "Schema.h"

#include <QString>
#include <cmath>
#include <limits>
#include <vector>

// Typed rows kept column by column: one vector of QString per text field and one vector of
// double per number or date field (NaN standing for NULL; a null QString for a NULL text).
// A date field also keeps the calendar key of each value, worked out when the value is set,
// so that comparing dates row after row needs no calendar arithmetic.
class RowStore {
public:
    explicit RowStore(const std::vector<FieldDef>& fields);

    static double nullNumber() { return std::numeric_limits<double>::quiet_NaN(); }

    int rowCount() const { return m_rowCount; }
    bool isTextField(int field) const { return m_slots[field].text; }

    bool isNull(int row, int field) const;
    const QString& text(int row, int field) const { return m_texts[m_slots[field].index][row]; }
    double number(int row, int field) const { return m_numbers[m_slots[field].index][row]; }
    // The key of a date field's value; a default key for a NULL.
    const DateTimeValue::CalendarKey& calendarKey(int row, int field) const
    {
        return m_keys[m_slots[field].keyIndex][row];
    }

    void setText(int row, int field, QString value)
    {
        m_texts[m_slots[field].index][row] = std::move(value);
    }
    void setNumber(int row, int field, double value);
    void setNull(int row, int field);

    // Adds one row of NULLs at the end and returns its index.
    int appendRow();
    void removeRow(int row);
    void reserve(int rows);
    void clear();
    // Copies a whole row from another store of the same fields.
    void copyRow(int toRow, const RowStore& from, int fromRow);
    bool sameValue(int row, int field, const RowStore& other, int otherRow) const;

private:
    struct Slot {
        bool text;
        int index;
        int keyIndex; // -1 for a field that is not a date
    };
    std::vector<Slot> m_slots;
    std::vector<std::vector<QString>> m_texts;
    std::vector<std::vector<double>> m_numbers;
    std::vector<std::vector<DateTimeValue::CalendarKey>> m_keys;
    int m_rowCount = 0;
};
