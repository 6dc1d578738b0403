#include "DataGridModel.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"

#include <QTimer>

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
}

void DataGridModel::currentRowChanged()
{
    const int row = dataset().position();
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
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

QString DataGridModel::fieldText(int row, int field) const
{
    Dataset& data = dataset();
    return isCurrentPendingRow(row) ? data.field(field).displayText()
                                    : data.displayTextAt(row, field);
}

QVariant DataGridModel::cellValue(int row, int column) const
{
    const int field = fieldIndex(column);
    if (field < 0)
        return {};
    Dataset& data = dataset();
    const bool text = isTextKind(data.def().fields[field].kind);
    if (isCurrentPendingRow(row)) {
        const Field& current = data.field(field);
        if (current.isNull())
            return {};
        return text ? QVariant(current.asString()) : QVariant(current.asDateTime());
    }
    if (data.isNullAt(row, field))
        return {};
    return text ? QVariant(data.textAt(row, field)) : QVariant(data.numberAt(row, field));
}

QString DataGridModel::cellText(int row, int column) const
{
    const int field = fieldIndex(column);
    if (field < 0)
        return {};
    const GridColumn& columnDef = m_columns[column];
    QString text;
    if (columnDef.displayFormat.isEmpty()) {
        text = fieldText(row, field);
    } else {
        const QVariant value = cellValue(row, column);
        if (!value.isNull())
            text = formatDateTime(columnDef.displayFormat, value.toDouble());
    }
    return columnDef.display ? columnDef.display(row, text) : text;
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), index.column());
    case ValueRole:
        return cellValue(index.row(), index.column());
    case Qt::ToolTipRole:
        if (!m_columns[index.column()].displayFormat.isEmpty() && fieldIndex(index.column()) >= 0)
            return fieldText(index.row(), fieldIndex(index.column()));
        return {};
    default:
        return {};
    }
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
    bool failed = true;
    guarded([&] {
        written = writeCell(index, value.toString());
        failed = false;
    });
    if (failed)
        rememberFailedWrite();
    return written;
}

bool DataGridModel::writeCell(const QModelIndex& index, const QString& text)
{
    Dataset& data = dataset();
    if (index.row() != data.position())
        data.moveTo(index.row());
    if (!m_source.edit())
        return false;
    const GridColumn& column = m_columns[index.column()];
    if (column.write)
        column.write(text);
    else
        data.field(fieldIndex(index.column())).setAsString(text);
    return true;
}

void DataGridModel::rememberFailedWrite()
{
    m_writeFailed = true;
    QTimer::singleShot(0, this, [this] { m_writeFailed = false; });
}
