#pragma once

#include <QDialog>

class DBText;
class DataGrid;
class DataSource;
class QLabel;
class QPushButton;

// The loans window: the things lent to the current contact, or to all contacts. It owns no
// dataset: the grid works on the main window's loan table, whose cursor, filter and pending
// row it shares.
class TfmLoans : public QDialog {
    Q_OBJECT
public:
    TfmLoans(DataSource& DataSource1, DataSource& dsZaemi, QWidget* parent = nullptr);
    ~TfmLoans() override;

    DBText* DBText1;
    QLabel* Label1;
    QLabel* Label2;
    DataGrid* cxGrid1;
    QPushButton* cxButton1; // Close
    QPushButton* cxButton2; // New
    QPushButton* cxButton3; // Delete
    QPushButton* cxButton4; // Show All / Filtered

    // Handlers.
    void FormActivate();
    void cxButton2Click();
    void cxButton3Click();
    void cxButton4Click();
    void FormDestroy();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DataGrid* createGrid();
    qint64 contactId() const;
    QString contactName() const;
    QString personName(const QString& clientId) const;
    void showCount();

    DataSource& m_contacts;
    DataSource& m_loans;
    bool m_activated = false;
};
