#include "ULoans.h"

TfmLoans::TfmLoans(DataSource& DataSource1, DataSource& dsZaemi, QWidget* parent)
    : QDialog(parent), m_contacts(DataSource1), m_loans(dsZaemi)
{
    setObjectName(QStringLiteral("fmLoans"));
    setWindowTitle(QStringLiteral("Loans"));
}
