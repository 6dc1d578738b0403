#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <vector>

class DataSource;
class Dataset;

// One column of a data-bound grid.
struct GridColumn {
    QString objectName;
    QString header;
    QString fieldName;
    int width = 64;
    bool editable = false;
    // Optional text of the cell in place of the field's display text (lookup columns): gets the
    // visible position and the field's text there.
    std::function<QString(int position, const QString& fieldText)> display = {};
    // Optional writer for edited text (masked date cells); default: Field::setAsString.
    std::function<void(const QString& text)> write = {};
    // Optional pattern for a date-time column in place of the field's own display (the full
    // display text is then the cell's tool tip).
    QString displayFormat = {};
};

// The rows of a data source's dataset as a table model: one row per visible row, plus the
// pending new row while inserting. Reads cells without moving the cursor; edits go through the
// data source (automatic editing) on the current row.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The stored value of a cell for editors: text, a number or a date-time; null when empty.
    static constexpr int ValueRole = Qt::UserRole;

    DataGridModel(DataSource& source, std::vector<GridColumn> columns, QObject* parent = nullptr);

    DataSource& source() const { return m_source; }
    Dataset& dataset() const;
    const std::vector<GridColumn>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The text a cell shows.
    QString cellText(int row, int column) const;
    QVariant cellValue(int row, int column) const;
    // True while the event in which a cell write failed is being handled: the grid then keeps
    // the row, whose unsaved changes stay pending.
    bool writeJustFailed() const { return m_writeFailed; }
    // The current row's values or state changed: views repaint it.
    void currentRowChanged();

private:
    int fieldIndex(int column) const { return m_fieldIndexes[column]; }
    bool isCurrentPendingRow(int row) const;
    QString fieldText(int row, int field) const;
    bool writeCell(const QModelIndex& index, const QString& text);
    void rememberFailedWrite();

    DataSource& m_source;
    std::vector<GridColumn> m_columns;
    std::vector<int> m_fieldIndexes;
    bool m_writeFailed = false;
};
