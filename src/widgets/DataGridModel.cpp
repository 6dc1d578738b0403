#include "DataGridModel.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/Guarded.h"

DataGridModel::DataGridModel(DataSource& source, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_source(source), m_columns(std::move(columns))
{
    for (const GridColumn& column : m_columns) {
        const Field* field = dataset().findField(column.fieldName);
        m_fieldIndexes.push_back(field ? field->index() : -1);
    }
    connect(&source, &DataSource::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&source, &DataSource::dataChange, this, [this](const Field* field) {
        if (field) {
            const int row = dataset().position();
            if (row >= 0)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            return;
        }
        emit cursorChanged();
    });
    connect(&source, &DataSource::stateChange, this, [this] {
        const int row = dataset().position();
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit cursorChanged();
    });
}

Dataset& DataGridModel::dataset() const
{
    return m_source.dataset();
}

int DataGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !dataset().isActive())
        return 0;
    return dataset().recordCount() + (dataset().state() == DatasetState::Insert ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

bool DataGridModel::isCurrentPendingRow(int row) const
{
    const DatasetState state = dataset().state();
    return (state == DatasetState::Insert || state == DatasetState::Edit) &&
           row == dataset().position();
}

QString DataGridModel::cellText(int row, int column) const
{
    const int field = fieldIndex(column);
    if (field < 0)
        return {};
    Dataset& data = dataset();
    const QString fieldText =
        isCurrentPendingRow(row) ? data.field(field).displayText() : data.displayTextAt(row, field);
    const GridColumn& spec = m_columns[column];
    return spec.display ? spec.display(row, fieldText) : fieldText;
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cellText(index.row(), index.column());
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < int(m_columns.size()))
        return m_columns[section].header;
    return {};
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && m_columns[index.column()].editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_columns[index.column()].editable)
        return false;
    bool written = false;
    guarded([&] {
        Dataset& data = dataset();
        if (index.row() != data.position())
            data.moveTo(index.row());
        if (!m_source.edit())
            return;
        const GridColumn& column = m_columns[index.column()];
        if (column.write)
            column.write(value.toString());
        else
            data.field(fieldIndex(index.column())).setAsString(value.toString());
        written = true;
    });
    return written;
}
