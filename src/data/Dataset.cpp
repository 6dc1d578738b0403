#include "Dataset.h"

#include "Connection.h"
#include "DataSource.h"
#include "DateTimeValue.h"
#include "Errors.h"
#include "SqliteStatement.h"
#include "platform/DateFormat.h"

#include <sqlite3.h>

namespace {

enum class KindClass { Integer, Real, Text, DateTime, Unknown };

KindClass declaredClass(const char* declared)
{
    if (!declared || !*declared)
        return KindClass::Unknown;
    const QString type = QString::fromUtf8(declared).toUpper();
    if (type.contains(QLatin1String("INT")))
        return KindClass::Integer;
    if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        return KindClass::DateTime;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
        type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("MEMO")))
        return KindClass::Text;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return KindClass::Real;
    return KindClass::Unknown;
}

KindClass expectedClass(FieldKind kind)
{
    switch (kind) {
    case FieldKind::AutoInc:
    case FieldKind::Integer:
    case FieldKind::SmallInt:
        return KindClass::Integer;
    case FieldKind::Text:
    case FieldKind::Memo:
        return KindClass::Text;
    case FieldKind::DateTime:
        return KindClass::DateTime;
    }
    return KindClass::Unknown;
}

QString className(KindClass kindClass, const char* declared)
{
    switch (kindClass) {
    case KindClass::Integer:
        return fieldKindName(FieldKind::Integer);
    case KindClass::Real:
        return QStringLiteral("Float");
    case KindClass::Text:
        return fieldKindName(FieldKind::Text);
    case KindClass::DateTime:
        return fieldKindName(FieldKind::DateTime);
    case KindClass::Unknown:
        break;
    }
    return QString::fromUtf8(declared ? declared : "");
}

QString quoted(const QString& identifier)
{
    return QLatin1Char('"') + QString(identifier).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

Dataset::Dataset(Connection& connection, const TableDef& def, Kind kind, QObject* parent)
    : QObject(parent), m_connection(connection), m_def(def), m_kind(kind), m_rows(def.fields),
      m_pending(def.fields), m_changed(def.fields.size(), false)
{
    setObjectName(def.datasetName);
    for (int i = 0; i < int(def.fields.size()); ++i) {
        m_fields.emplace_back(*this, i, m_def.fields[i].kind);
        m_fieldIndex.insert(def.fields[i].name.toLower(), i);
        m_exactFieldIndex.insert(def.fields[i].name, i);
    }
    m_pending.appendRow();
}

Dataset::~Dataset()
{
    m_sources.forEach([](DataSource& source) { source.m_dataset = nullptr; });
}

void Dataset::dataChanged(const Field* field)
{
    m_sources.forEach([field](DataSource& source) { source.notifyDataChange(field); });
}

void Dataset::fail(const QString& message) const
{
    throw DatasetError(name(), message);
}

void Dataset::checkActive() const
{
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::checkWritable() const
{
    checkActive();
    if (m_kind == Kind::Query)
        fail(QStringLiteral("Cannot modify a read-only dataset"));
}

// ---- opening and closing ----------------------------------------------------------------

void Dataset::open()
{
    if (isActive())
        return;
    if (m_kind == Kind::Query && m_sql.isEmpty())
        fail(QStringLiteral("No SQL statement available"));
    m_connection.open();
    RowStore rows(m_def.fields);
    readAll(rows);
    m_rows = std::move(rows);
    m_indexes.clear();
    m_modified = false;
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_state = DatasetState::Browse;
    rebuildVisible();
    m_cursor = visibleCount() > 0 ? 0 : -1;
    m_eof = m_cursor < 0;
    emit stateChanged();
    emit rowsChanged();
    dataChanged(nullptr);
}

void Dataset::checkTableExists(sqlite3* db) const
{
    SqliteStatement statement(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN "
                                                 "('table', 'view') AND name = ?1 COLLATE NOCASE"));
    statement.bindText(1, m_def.table);
    if (!statement.step())
        fail(QStringLiteral("Table '%1' not found in '%2'")
                 .arg(m_def.table, m_connection.filePath()));
}

void Dataset::readAll(RowStore& store)
{
    sqlite3* db = m_connection.handle();
    if (m_kind == Kind::Table)
        checkTableExists(db);
    const QString sql =
        m_kind == Kind::Table ? QStringLiteral("SELECT * FROM %1").arg(quoted(m_def.table)) : m_sql;
    SqliteStatement statement(db, sql);
    bindParameters(statement);
    sqlite3_stmt* stmt = statement.handle();

    // Bind every stored field to its column by name and check its kind.
    QHash<QString, int> columns;
    for (int c = 0; c < statement.columnCount(); ++c)
        columns.insert(QString::fromUtf8(sqlite3_column_name(stmt, c)).toLower(), c);
    std::vector<int> columnOf(m_def.fields.size(), -1);
    for (int f = 0; f < int(m_def.fields.size()); ++f) {
        const FieldDef& field = m_def.fields[f];
        if (field.calculated)
            continue;
        const auto found = columns.constFind(field.name.toLower());
        if (found == columns.constEnd())
            fail(QStringLiteral("Field '%1' not found").arg(field.name));
        columnOf[f] = found.value();
        const char* declared = sqlite3_column_decltype(stmt, found.value());
        const KindClass actual = declaredClass(declared);
        const KindClass expected = expectedClass(field.kind);
        if (actual != KindClass::Unknown && actual != expected &&
            !(expected == KindClass::Integer && actual == KindClass::Real))
            fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(field.name, fieldKindName(field.kind), className(actual, declared)));
    }

    if (m_kind == Kind::Table) { // counting first costs less than growing every column
        SqliteStatement count(db,
                              QStringLiteral("SELECT count(*) FROM %1").arg(quoted(m_def.table)));
        if (count.step())
            store.reserve(int(count.columnInt(0)));
    }
    const bool calculates = bool(m_calcFields);
    while (statement.step()) {
        const int row = store.appendRow();
        for (int f = 0; f < int(columnOf.size()); ++f) {
            const int column = columnOf[f];
            if (column < 0)
                continue;
            const int type = sqlite3_column_type(stmt, column);
            if (type == SQLITE_NULL)
                continue;
            const FieldDef& field = m_def.fields[f];
            if (store.isTextField(f)) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
                const int bytes = sqlite3_column_bytes(stmt, column);
                store.setText(row, f,
                              bytes == 0 ? QString(QLatin1String(""))
                                         : QString::fromUtf8(text, bytes));
            } else if (field.kind == FieldKind::DateTime && type == SQLITE_TEXT) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
                const QString value = QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
                const auto date = DateTimeValue::fromStorageText(value);
                if (!date)
                    fail(QStringLiteral("Invalid date '%1' in field '%2'").arg(value, field.name));
                store.setNumber(row, f, *date);
            } else if (type == SQLITE_INTEGER) {
                store.setNumber(row, f, double(sqlite3_column_int64(stmt, column)));
            } else {
                store.setNumber(row, f, sqlite3_column_double(stmt, column));
            }
        }
        if (calculates)
            calculate(store, row);
    }
}

void Dataset::calculate(RowStore& store, int row)
{
    m_calcStore = &store;
    m_calcRow = row;
    try {
        m_calcFields(*this);
    } catch (...) {
        m_calcStore = nullptr;
        throw;
    }
    m_calcStore = nullptr;
}

void Dataset::close()
{
    if (!isActive())
        return;
    m_state = DatasetState::Inactive;
    m_rows.clear();
    m_visible.clear();
    m_indexes.clear();
    m_modified = false;
    m_cursor = -1;
    m_eof = true;
    emit stateChanged();
    emit rowsChanged();
}

void Dataset::setActive(bool active)
{
    if (active)
        open();
    else
        close();
}

void Dataset::setSql(const QString& sql, const QVariantList& parameters)
{
    close();
    m_sql = sql;
    m_parameters = parameters;
}

void Dataset::bindParameters(SqliteStatement& statement) const
{
    for (int i = 0; i < m_parameters.size(); ++i) {
        const QVariant& value = m_parameters[i];
        if (value.isNull())
            statement.bindNull(i + 1);
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
            statement.bindInt(i + 1, value.toLongLong());
        else if (value.typeId() == QMetaType::Double)
            statement.bindDouble(i + 1, value.toDouble());
        else
            statement.bindText(i + 1, value.toString());
    }
}

void Dataset::execSql()
{
    SqliteStatement statement(m_connection.handle(), m_sql);
    bindParameters(statement);
    while (statement.step()) {
    }
}

// ---- cursor -----------------------------------------------------------------------------

int Dataset::visibleCount() const
{
    return m_filtered ? int(m_visible.size()) : m_rows.rowCount();
}

int Dataset::recordCount() const
{
    checkActive();
    return visibleCount();
}

int Dataset::position() const
{
    if (m_state == DatasetState::Insert)
        return visibleCount();
    return m_cursor;
}

bool Dataset::eof() const
{
    checkActive();
    return m_eof;
}

void Dataset::first()
{
    moveTo(0);
}

void Dataset::last()
{
    checkActive();
    finishPending();
    moveTo(visibleCount() - 1);
}

void Dataset::moveTo(int position)
{
    checkActive();
    finishPending();
    const int count = visibleCount();
    const int target = count == 0 ? -1 : qBound(0, position, count - 1);
    m_eof = count == 0;
    if (target != m_cursor) {
        m_cursor = target;
        dataChanged(nullptr);
    }
}

void Dataset::next()
{
    checkActive();
    finishPending();
    if (m_cursor + 1 >= visibleCount()) {
        m_eof = true;
        return;
    }
    ++m_cursor;
    m_eof = false;
    dataChanged(nullptr);
}

void Dataset::prior()
{
    checkActive();
    finishPending();
    m_eof = visibleCount() == 0;
    if (m_cursor > 0) {
        --m_cursor;
        dataChanged(nullptr);
    }
}

// ---- filtering --------------------------------------------------------------------------

void Dataset::setFilter(const QString& filter)
{
    if (filter == m_filter)
        return;
    int field = -1;
    qint64 value = 0;
    if (!filter.isEmpty()) {
        const qsizetype eq = filter.indexOf(QLatin1Char('='));
        bool ok = false;
        if (eq > 0) {
            const auto found = m_fieldIndex.constFind(filter.left(eq).trimmed().toLower());
            value = filter.mid(eq + 1).trimmed().toLongLong(&ok);
            if (found != m_fieldIndex.constEnd() && isNumberKind(m_def.fields[found.value()].kind))
                field = found.value();
        }
        if (field < 0 || !ok)
            fail(QStringLiteral("Invalid filter expression '%1'").arg(filter));
    }
    if (m_filtered && isActive())
        finishPending();
    m_filter = filter;
    m_filterField = field;
    m_filterValue = value;
    if (m_filtered && isActive()) {
        rebuildVisible();
        m_cursor = visibleCount() > 0 ? 0 : -1;
        m_eof = m_cursor < 0;
        emit rowsChanged();
        dataChanged(nullptr);
    }
}

void Dataset::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (isActive())
        finishPending();
    m_filtered = filtered;
    if (isActive()) {
        rebuildVisible();
        m_cursor = visibleCount() > 0 ? 0 : -1;
        m_eof = m_cursor < 0;
        emit rowsChanged();
        dataChanged(nullptr);
    }
}

const std::unordered_map<qint64, std::vector<int>>& Dataset::indexOn(int field) const
{
    auto found = m_indexes.find(field);
    if (found != m_indexes.end())
        return found->second;
    auto& index = m_indexes[field];
    for (int row = 0; row < m_rows.rowCount(); ++row)
        if (!m_rows.isNull(row, field))
            index[qint64(m_rows.number(row, field))].push_back(row);
    return index;
}

void Dataset::invalidateIndexes()
{
    m_indexes.clear();
}

void Dataset::rebuildVisible()
{
    m_visible.clear();
    if (!m_filtered)
        return;
    if (m_filterField < 0) { // an empty filter text shows every row
        m_visible.resize(m_rows.rowCount());
        for (int i = 0; i < m_rows.rowCount(); ++i)
            m_visible[i] = i;
        return;
    }
    const auto& index = indexOn(m_filterField);
    const auto found = index.find(m_filterValue);
    if (found != index.end())
        m_visible = found->second;
}

// ---- reading fields ---------------------------------------------------------------------

Field* Dataset::findField(const QString& name)
{
    const auto exact = m_exactFieldIndex.constFind(name);
    if (exact != m_exactFieldIndex.constEnd())
        return &m_fields[exact.value()];
    const auto found = m_fieldIndex.constFind(name.toLower());
    return found == m_fieldIndex.constEnd() ? nullptr : &m_fields[found.value()];
}

Field& Dataset::fieldByName(const QString& name)
{
    Field* field = findField(name);
    if (!field)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return *field;
}

bool Dataset::isNullAt(int position, int field) const
{
    return m_rows.isNull(storeRow(position), field);
}

QString Dataset::textAt(int position, int field) const
{
    const int row = storeRow(position);
    if (m_rows.isTextField(field))
        return m_rows.text(row, field);
    if (m_rows.isNull(row, field))
        return {};
    return QString::number(qint64(m_rows.number(row, field)));
}

double Dataset::numberAt(int position, int field) const
{
    const double value = m_rows.number(storeRow(position), field);
    return std::isnan(value) ? 0 : value;
}

QString Dataset::displayTextAt(int position, int field) const
{
    const FieldDef& def = m_def.fields[field];
    if (def.kind != FieldKind::DateTime)
        return textAt(position, field);
    if (isNullAt(position, field))
        return {};
    const double value = numberAt(position, field);
    return def.displayFormat.isEmpty() ? dateTimeToString(value)
                                       : formatDateTime(def.displayFormat, value);
}

int Dataset::locate(int field, qint64 value) const
{
    checkActive();
    const auto& index = indexOn(field);
    const auto found = index.find(value);
    if (found == index.end())
        return -1;
    for (int row : found->second) {
        if (!m_filtered)
            return row;
        const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), row);
        if (it != m_visible.end() && *it == row)
            return int(it - m_visible.begin());
    }
    return -1;
}

std::optional<QString> Dataset::lookup(int keyField, qint64 key, int resultField) const
{
    if (!isActive())
        return std::nullopt;
    const auto& index = indexOn(keyField);
    const auto found = index.find(key);
    if (found == index.end() || found->second.empty())
        return std::nullopt;
    return m_rows.text(found->second.front(), resultField);
}

// ---- the pending row --------------------------------------------------------------------

void Dataset::setState(DatasetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void Dataset::append()
{
    checkWritable();
    finishPending();
    for (int f = 0; f < fieldCount(); ++f)
        m_pending.setNull(0, f);
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_modified = false;
    if (m_calcFields)
        calculate(m_pending, 0);
    setState(DatasetState::Insert);
    emit rowsChanged();
    dataChanged(nullptr);
}

void Dataset::edit()
{
    checkWritable();
    if (m_state == DatasetState::Insert || m_state == DatasetState::Edit)
        return;
    if (visibleCount() == 0) {
        append();
        return;
    }
    m_pending.copyRow(0, m_rows, storeRow(m_cursor));
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_modified = false;
    setState(DatasetState::Edit);
    dataChanged(nullptr);
}

void Dataset::cancel()
{
    if (m_state != DatasetState::Insert && m_state != DatasetState::Edit)
        return;
    const bool inserting = m_state == DatasetState::Insert;
    m_modified = false;
    setState(DatasetState::Browse);
    if (inserting)
        emit rowsChanged();
    dataChanged(nullptr);
}

void Dataset::finishPending()
{
    if (m_state != DatasetState::Insert && m_state != DatasetState::Edit)
        return;
    if (!m_modified) {
        cancel();
        return;
    }
    if (m_state == DatasetState::Insert)
        writeInsert();
    else
        writeUpdate();
    m_modified = false;
    setState(DatasetState::Browse);
    emit rowsChanged();
    dataChanged(nullptr);
}

void Dataset::setFieldValue(int field, const std::function<void(RowStore&, int)>& write)
{
    if (m_calcStore) { // the calculated-fields handler writes into the row being read
        write(const_cast<RowStore&>(*m_calcStore), m_calcRow);
        return;
    }
    checkActive();
    const FieldDef& def = m_def.fields[field];
    if (def.calculated)
        fail(QStringLiteral("Field '%1' cannot be modified").arg(def.name));
    if (m_state != DatasetState::Insert && m_state != DatasetState::Edit)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    write(m_pending, 0);
    m_changed[field] = true;
    m_modified = true;
    if (m_calcFields)
        calculate(m_pending, 0);
    dataChanged(&m_fields[field]);
}

void Dataset::bindValue(SqliteStatement& statement, int parameter, const RowStore& store, int row,
                        int field) const
{
    if (store.isNull(row, field)) {
        statement.bindNull(parameter);
        return;
    }
    switch (m_def.fields[field].kind) {
    case FieldKind::Text:
    case FieldKind::Memo:
        statement.bindText(parameter, store.text(row, field));
        break;
    case FieldKind::DateTime:
        statement.bindText(parameter, DateTimeValue::toStorageText(store.number(row, field)));
        break;
    default:
        statement.bindInt(parameter, qint64(store.number(row, field)));
        break;
    }
}

void Dataset::writeInsert()
{
    std::vector<int> fields;
    QStringList names, marks;
    for (int f = 0; f < fieldCount(); ++f) {
        const FieldDef& def = m_def.fields[f];
        if (def.calculated || def.kind == FieldKind::AutoInc || m_pending.isNull(0, f))
            continue;
        fields.push_back(f);
        names << quoted(def.name);
        marks << QStringLiteral("?");
    }
    const QString sql =
        fields.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_def.table))
                       : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(quoted(m_def.table), names.join(QLatin1Char(',')),
                                  marks.join(QLatin1Char(',')));
    sqlite3* db = m_connection.handle();
    SqliteStatement statement(db, sql);
    for (size_t i = 0; i < fields.size(); ++i)
        bindValue(statement, int(i) + 1, m_pending, 0, fields[i]);
    statement.step();

    // The row is in the file: take it into memory with its new key.
    const int key = m_fieldIndex.value(m_def.keyField.toLower(), -1);
    const int row = m_rows.appendRow();
    m_rows.copyRow(row, m_pending, 0);
    if (key >= 0)
        m_rows.setNumber(row, key, double(sqlite3_last_insert_rowid(db)));
    if (m_calcFields)
        calculate(m_rows, row);
    for (auto& [field, index] : m_indexes)
        if (!m_rows.isNull(row, field))
            index[qint64(m_rows.number(row, field))].push_back(row);
    rebuildVisible();
    if (m_filtered) {
        const auto it = std::find(m_visible.begin(), m_visible.end(), row);
        m_cursor =
            it != m_visible.end() ? int(it - m_visible.begin()) : (m_visible.empty() ? -1 : 0);
    } else {
        m_cursor = row;
    }
    m_eof = false;
}

QString Dataset::whereOriginal(const std::vector<int>& fields, int firstParameter) const
{
    QStringList conditions;
    int parameter = firstParameter;
    for (int f : fields) {
        const QString column = quoted(m_def.fields[f].name);
        if (m_def.fields[f].kind == FieldKind::DateTime)
            conditions
                << QStringLiteral("julianday(%1) IS julianday(?%2)").arg(column).arg(parameter++);
        else
            conditions << QStringLiteral("%1 IS ?%2").arg(column).arg(parameter++);
    }
    return conditions.join(QStringLiteral(" AND "));
}

void Dataset::writeUpdate()
{
    const int row = storeRow(m_cursor);
    std::vector<int> fields;
    QStringList assignments;
    for (int f = 0; f < fieldCount(); ++f)
        if (m_changed[f] && !m_def.fields[f].calculated) {
            fields.push_back(f);
            assignments
                << QStringLiteral("%1 = ?%2").arg(quoted(m_def.fields[f].name)).arg(fields.size());
        }
    const int key = m_fieldIndex.value(m_def.keyField.toLower());
    std::vector<int> keyAndOriginals{key};
    keyAndOriginals.insert(keyAndOriginals.end(), fields.begin(), fields.end());
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(quoted(m_def.table), assignments.join(QStringLiteral(", ")),
                                 whereOriginal(keyAndOriginals, int(fields.size()) + 1));
    sqlite3* db = m_connection.handle();
    SqliteStatement statement(db, sql);
    int parameter = 1;
    for (int f : fields)
        bindValue(statement, parameter++, m_pending, 0, f);
    for (int f : keyAndOriginals)
        bindValue(statement, parameter++, m_rows, row, f);
    statement.step();
    if (sqlite3_changes(db) == 0)
        fail(QStringLiteral("The row was changed or deleted by another program since it was read; "
                            "refresh to see the current data"));

    bool indexedFieldChanged = false;
    for (int f : fields)
        indexedFieldChanged |= m_indexes.count(f) > 0;
    m_rows.copyRow(row, m_pending, 0);
    if (m_calcFields)
        calculate(m_rows, row);
    if (indexedFieldChanged)
        invalidateIndexes();
}

void Dataset::deleteRecord()
{
    checkWritable();
    if (m_state == DatasetState::Insert) {
        cancel();
        return;
    }
    if (visibleCount() == 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const int row = storeRow(m_cursor);
    std::vector<int> stored;
    for (int f = 0; f < fieldCount(); ++f)
        if (!m_def.fields[f].calculated)
            stored.push_back(f);
    sqlite3* db = m_connection.handle();
    SqliteStatement statement(db, QStringLiteral("DELETE FROM %1 WHERE %2")
                                      .arg(quoted(m_def.table), whereOriginal(stored, 1)));
    for (size_t i = 0; i < stored.size(); ++i)
        bindValue(statement, int(i) + 1, m_rows, row, stored[i]);
    statement.step();
    if (sqlite3_changes(db) == 0)
        fail(QStringLiteral("The row was changed or deleted by another program since it was read; "
                            "refresh to see the current data"));

    m_modified = false;
    setState(DatasetState::Browse);
    m_rows.removeRow(row);
    invalidateIndexes();
    rebuildVisible();
    const int count = visibleCount();
    m_cursor = count == 0 ? -1 : qMin(m_cursor, count - 1);
    m_eof = count == 0;
    emit rowsChanged();
    dataChanged(nullptr);
}

void Dataset::refresh()
{
    checkActive();
    finishPending();
    const int key = m_fieldIndex.value(m_def.keyField.toLower(), -1);
    const bool hasCurrent = m_cursor >= 0 && key >= 0;
    const qint64 currentKey = hasCurrent ? qint64(m_rows.number(storeRow(m_cursor), key)) : 0;
    const int oldCursor = m_cursor;

    RowStore rows(m_def.fields);
    rows.reserve(m_rows.rowCount());
    readAll(rows);
    m_rows = std::move(rows);
    invalidateIndexes();
    rebuildVisible();
    const int located = hasCurrent ? locate(key, currentKey) : -1;
    const int count = visibleCount();
    m_cursor = located >= 0 ? located : (count == 0 ? -1 : qBound(0, oldCursor, count - 1));
    m_eof = count == 0;
    emit rowsChanged();
    dataChanged(nullptr);
}
