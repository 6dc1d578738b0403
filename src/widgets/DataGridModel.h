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
};

// The rows of a data source's dataset as a table model: one row per visible row, plus the
// pending new row while inserting. Reads cells without moving the cursor; edits go through the
// data source (automatic editing) on the current row.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
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

signals:
    // The cursor of the dataset moved or its state changed (the view follows).
    void cursorChanged();

private:
    int fieldIndex(int column) const { return m_fieldIndexes[column]; }
    bool isCurrentPendingRow(int row) const;

    DataSource& m_source;
    std::vector<GridColumn> m_columns;
    std::vector<int> m_fieldIndexes;
};
