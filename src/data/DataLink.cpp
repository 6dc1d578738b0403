#include "DataLink.h"

#include "DataSource.h"

DataLink::DataLink(DataSource& source, Handler handler)
    : m_source(&source), m_handler(std::move(handler))
{
    source.m_links.attach(this);
}

DataLink::~DataLink()
{
    if (m_source)
        m_source->m_links.detach(this);
}
