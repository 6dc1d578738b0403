#include "Ufilters.h"

TfmFilters::TfmFilters(Connection& ADOConnection1, DataSource& DataSource1, QWidget* parent)
    : QDialog(parent), m_connection(ADOConnection1), m_contacts(DataSource1)
{
    setObjectName(QStringLiteral("fmFilters"));
    setWindowTitle(QStringLiteral("Filters"));
}
