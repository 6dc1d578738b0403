#include "UNewPerson.h"

TfmNewPerson::TfmNewPerson(DataSource& DataSource1, QWidget* parent)
    : QDialog(parent), m_contacts(DataSource1)
{
    setObjectName(QStringLiteral("fmNewPerson"));
    setWindowTitle(QStringLiteral("New Person"));
}
