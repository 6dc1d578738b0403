#pragma once

#include "DateTimeValue.h"
#include "Schema.h"

#include <QMetaType>
#include <QString>

class Dataset;

// One field of a dataset; reads and writes the current row (the pending row while there is
// one). A NULL reads as "", 0 or date-time 0.
class Field {
public:
    Field(Dataset& dataset, int index, FieldKind kind)
        : m_dataset(&dataset), m_index(index), m_kind(kind)
    {
    }

    Dataset& dataset() const { return *m_dataset; }
    int index() const { return m_index; }
    const FieldDef& def() const;
    const QString& fieldName() const { return def().name; }
    FieldKind kind() const { return m_kind; }
    int size() const { return def().size; }
    bool isReadOnly() const { return def().readOnly; }
    bool isCalculated() const { return def().calculated; }

    bool isNull() const;
    QString asString() const;
    qint64 asInteger() const;
    double asDateTime() const;
    // The calendar key of a date field's value (a default key for an empty date).
    DateTimeValue::CalendarKey calendarKey() const;
    // The text a bound control shows: dates by their display format or the program's formats.
    QString displayText() const;

    void setAsString(const QString& value);
    void setAsInteger(qint64 value);
    void setAsDateTime(double value);
    void clear();

private:
    Dataset* m_dataset;
    int m_index;
    FieldKind m_kind; // kept here: date reads check it once per row of a scan
};

Q_DECLARE_METATYPE(const Field*)
