#pragma once

#include "data/DataSource.h"
#include "data/Dataset.h"

#include <QDialog>
#include <QVariant>

class Connection;
class DataGrid;
class QComboBox;
class QLabel;
class QLineEdit;

// The filters window: contacts by birth month or by a typed text, chosen by SQL statements on
// a query of its own. It only reads: the contact table's cursor and rows stay as they are.
class TfmFilters : public QDialog {
    Q_OBJECT
public:
    TfmFilters(Connection& ADOConnection1, DataSource& DataSource1, QWidget* parent = nullptr);

    // The statements the query runs.
    static QString openingStatement();
    static QString monthStatement();
    static QString searchStatement();
    // The bound values: the month number of the combo box's text (NULL, so no row matches,
    // when the text is no number) and the search pattern, in which every typed character
    // stands for itself.
    static QVariant monthParameter(const QString& text);
    static QString searchPattern(const QString& text);

    Dataset qry;
    DataSource dsqry;
    QComboBox* cxComboBox1;
    QLabel* cxLabel1;
    QLineEdit* cxTextEdit1;
    DataGrid* cxGrid1;

    void cxComboBox1PropertiesChange();
    void cxTextEdit1PropertiesChange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildGrid();
    // The full name of the contact with the id at a position of the list.
    QString contactName(int position) const;

    DataSource& m_contacts;
    int m_queryId;
    int m_contactId;
    int m_contactName;
};
