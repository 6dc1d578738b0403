#pragma once

#include <QDialog>

class DataSource;

// The loans window: the things lent to the current contact.
class TfmLoans : public QDialog {
    Q_OBJECT
public:
    TfmLoans(DataSource& DataSource1, DataSource& dsZaemi, QWidget* parent = nullptr);

private:
    DataSource& m_contacts;
    DataSource& m_loans;
};
