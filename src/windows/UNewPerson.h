#pragma once

#include <QDialog>

class DataSource;

// The contact editor: edits the current contact of the contact table.
class TfmNewPerson : public QDialog {
    Q_OBJECT
public:
    TfmNewPerson(DataSource& DataSource1, QWidget* parent = nullptr);

private:
    DataSource& m_contacts;
};
