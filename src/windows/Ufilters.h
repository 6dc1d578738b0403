#pragma once

#include <QDialog>

class Connection;
class DataSource;

// The filters window: contacts by birth month or by a typed text.
class TfmFilters : public QDialog {
    Q_OBJECT
public:
    TfmFilters(Connection& ADOConnection1, DataSource& DataSource1, QWidget* parent = nullptr);

private:
    Connection& m_connection;
    DataSource& m_contacts;
};
