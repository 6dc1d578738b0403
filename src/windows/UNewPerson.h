#pragma once

#include <QDialog>

class DataSource;
class DBDateEdit;
class DBMemo;
class DBTextEdit;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;

// The contact editor: its editors are bound to the contact table's data source, so they show
// and change the current contact (or the new one being inserted) shared with the main window.
// OK settles the record and re-reads the table; there is no cancel path.
class TfmNewPerson : public QDialog {
    Q_OBJECT
public:
    TfmNewPerson(DataSource& DataSource1, QWidget* parent = nullptr);

    // Takes the program's date format into the date editors.
    void FormCreate();
    // OK: the result becomes OK, then the contact table is refreshed (the pending record saved
    // when modified, dropped otherwise, the rows re-read, the cursor kept on the contact).
    void cxButton1Click();

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QPushButton* cxButton1;

    // Private info
    QLabel* cxLabel1;
    QLabel* cxLabel2;
    QLabel* cxLabel3;
    QLabel* cxLabel4;
    QLabel* cxLabel5;
    QLabel* cxLabel6;
    QLabel* cxLabel7;
    QLabel* cxLabel8;
    DBTextEdit* cxDBTextEdit1;
    DBTextEdit* cxDBTextEdit2;
    DBTextEdit* cxDBTextEdit3;
    DBDateEdit* cxDBDateEdit1;
    QFrame* Bevel1;
    DBMemo* cxDBMemo2;
    DBTextEdit* cxDBTextEdit4;
    DBTextEdit* cxDBTextEdit5;
    DBTextEdit* cxDBTextEdit6;

    // Add Info
    QLabel* cxLabel9;
    DBMemo* cxDBMemo1;

    // Timers
    QLabel* Label1;
    QLabel* Label2;
    QFrame* Bevel6;
    QFrame* Bevel7;
    DBDateEdit* cxDBDateEdit2;
    DBDateEdit* cxDBDateEdit3;
    DBDateEdit* cxDBDateEdit4;
    DBDateEdit* cxDBDateEdit5;
    DBTextEdit* cxDBTextEdit7;
    DBTextEdit* cxDBTextEdit8;
    DBTextEdit* cxDBTextEdit9;
    DBTextEdit* cxDBTextEdit10;
    QFrame* Bevel2;
    QFrame* Bevel8;
    QFrame* Bevel9;
    QFrame* Bevel3;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPrivateInfo();
    void buildAddInfo();
    void buildTimers();
    void setFocusOrder();
    void okClicked();
    template <class Editor>
    Editor* editor(QWidget* page, const char* name, const char* field, const QRect& geometry);

    DataSource& m_contacts;
};
