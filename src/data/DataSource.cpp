#include "DataSource.h"

#include "Dataset.h"

DataSource::DataSource(Dataset& dataset, QObject* parent) : QObject(parent), m_dataset(&dataset)
{
    qRegisterMetaType<const Field*>();
    connect(&dataset, &Dataset::dataChanged, this, &DataSource::dataChange);
    connect(&dataset, &Dataset::rowsChanged, this, &DataSource::rowsChanged);
    connect(&dataset, &Dataset::stateChanged, this, &DataSource::stateChange);
}

bool DataSource::edit()
{
    const DatasetState state = m_dataset->state();
    if (state == DatasetState::Insert || state == DatasetState::Edit)
        return true;
    if (!m_autoEdit || state != DatasetState::Browse)
        return false;
    m_dataset->edit();
    return true;
}
