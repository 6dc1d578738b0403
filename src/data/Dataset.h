#pragma once

#include "Field.h"
#include "ObserverList.h"
#include "RowStore.h"
#include "Schema.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class Connection;
class DataSource;
struct sqlite3;

enum class DatasetState { Inactive, Browse, Insert, Edit };

// A table or query result held in memory with a cursor and at most one pending row.
// Table datasets write each finished row and each delete to the file at once; a query dataset
// runs a statement and holds its result read-only. Errors are DatasetError ("<name>: ...") for
// the layer and DatabaseError with the engine's text.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class Kind { Table, Query };

    Dataset(Connection& connection, const TableDef& def, Kind kind = Kind::Table,
            QObject* parent = nullptr);
    ~Dataset() override;

    const QString& name() const { return m_def.datasetName; }
    const TableDef& def() const { return m_def; }
    Connection& connection() const { return m_connection; }

    // Called for every row read and after each change of a stored field of the pending row.
    void setCalcFieldsHandler(std::function<void(Dataset&)> handler)
    {
        m_calcFields = std::move(handler);
    }

    // Opening and closing.
    void open();
    void close();
    void setActive(bool active);
    bool isActive() const { return m_state != DatasetState::Inactive; }
    DatasetState state() const { return m_state; }

    // Query datasets: the statement and its bound parameters. Changing it closes the query.
    void setSql(const QString& sql, const QVariantList& parameters = {});
    const QString& sql() const { return m_sql; }
    void execSql();

    // Cursor.
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int position);
    bool eof() const;
    // Position of the cursor among the visible rows; -1 when there is none. While inserting,
    // the pending row stands after the last visible row.
    int position() const;
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }

    // Filtering: the form "<field>=<integer>" (for example "client_ID=12").
    void setFilter(const QString& filter);
    const QString& filter() const { return m_filter; }
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered; }

    // The pending row.
    void append();
    void edit();
    // Writes the pending row when a stored field changed, drops it otherwise.
    void finishPending();
    void cancel();
    bool isModified() const { return m_modified; }

    void deleteRecord();
    void refresh();

    // Fields of the current row.
    Field& fieldByName(const QString& name);
    Field* findField(const QString& name);
    int fieldCount() const { return int(m_fields.size()); }
    Field& field(int index) { return m_fields[index]; }

    // Values of any visible row, without moving the cursor (for grids and lookups).
    bool isNullAt(int position, int field) const;
    QString textAt(int position, int field) const;
    double numberAt(int position, int field) const;
    QString displayTextAt(int position, int field) const;
    // The visible position of the saved row whose field holds the given number; -1 for none.
    int locate(int field, qint64 value) const;
    // The text of `resultField` in the row (visible or not) whose `keyField` holds `key`.
    std::optional<QString> lookup(int keyField, qint64 key, int resultField) const;

signals:
    // The set of visible rows or their saved values changed (grids reload then).
    void rowsChanged();
    void stateChanged();

private:
    friend class Field;
    friend class DataSource;

    // The data-change notification, passed to the data sources by direct calls (a scan moves
    // the cursor once per row; a signal per move would cost more than the scan's own work):
    // `field` is set when one field of the pending row changed, null for every other change
    // (open, cursor move, append, write, drop, delete, refresh, filter switch, start of an edit).
    void dataChanged(const Field* field);

    void checkActive() const;
    void checkWritable() const;
    [[noreturn]] void fail(const QString& message) const;
    int storeRow(int position) const { return m_filtered ? m_visible[position] : position; }
    int visibleCount() const;
    // Where a field of the current row is read from: the pending row, the calc target or a row.
    const RowStore* currentStore(int& row) const
    {
        if (m_calcStore) {
            row = m_calcRow;
            return m_calcStore;
        }
        if (m_state == DatasetState::Insert || m_state == DatasetState::Edit) {
            row = 0;
            return &m_pending;
        }
        if (m_state == DatasetState::Inactive || m_cursor < 0)
            return nullptr;
        row = storeRow(m_cursor);
        return &m_rows;
    }
    void checkTableExists(sqlite3* db) const;
    void readAll(RowStore& store);
    void bindParameters(class SqliteStatement& statement) const;
    void calculate(RowStore& store, int row);
    void rebuildVisible();
    void invalidateIndexes();
    const std::unordered_map<qint64, std::vector<int>>& indexOn(int field) const;
    void setFieldValue(int field, const std::function<void(RowStore&, int)>& write);
    void writeInsert();
    void writeUpdate();
    void bindValue(class SqliteStatement& statement, int parameter, const RowStore& store, int row,
                   int field) const;
    QString whereOriginal(const std::vector<int>& fields, int firstParameter) const;
    void setState(DatasetState state);

    Connection& m_connection;
    TableDef m_def;
    Kind m_kind;
    std::deque<Field> m_fields;
    QHash<QString, int> m_fieldIndex; // lower-cased names
    QHash<QString, int> m_exactFieldIndex;
    std::function<void(Dataset&)> m_calcFields;

    RowStore m_rows;
    RowStore m_pending;
    std::vector<bool> m_changed; // stored fields set on the pending row
    bool m_modified = false;
    DatasetState m_state = DatasetState::Inactive;
    int m_cursor = -1; // visible position; kept while inserting for the return on a drop
    bool m_eof = true;

    QString m_filter;
    bool m_filtered = false;
    int m_filterField = -1;
    qint64 m_filterValue = 0;
    std::vector<int> m_visible; // store rows while filtered

    mutable std::unordered_map<int, std::unordered_map<qint64, std::vector<int>>> m_indexes;

    const RowStore* m_calcStore = nullptr;
    int m_calcRow = -1;

    QString m_sql;
    QVariantList m_parameters;

    ObserverList<DataSource> m_sources;
};
