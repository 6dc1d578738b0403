#include "DataSource.h"

#include "DataLink.h"
#include "Dataset.h"

DataSource::DataSource(Dataset& dataset, QObject* parent) : QObject(parent), m_dataset(&dataset)
{
    qRegisterMetaType<const Field*>();
    dataset.m_sources.attach(this);
    connect(&dataset, &Dataset::rowsChanged, this, &DataSource::rowsChanged);
    connect(&dataset, &Dataset::stateChanged, this, &DataSource::stateChange);
}

DataSource::~DataSource()
{
    if (m_dataset)
        m_dataset->m_sources.detach(this);
    m_links.forEach([](DataLink& link) { link.m_source = nullptr; });
}

void DataSource::notifyDataChange(const Field* field)
{
    m_links.forEach([field](DataLink& link) { link.m_handler(field); });
    emit dataChange(field);
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
