#pragma once

#include "data/Connection.h"
#include "data/DataLink.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "widgets/ImageList.h"

#include <QMainWindow>
#include <functional>

class DataGrid;
class QAction;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QToolBar;

// The main window. It owns the connection, both tables and their data sources for its whole
// life; the secondary windows get them by reference.
class TFtembrel : public QMainWindow {
    Q_OBJECT
public:
    explicit TFtembrel(QWidget* parent = nullptr);
    ~TFtembrel() override;

    // Opens the connection, the contact table, runs `betweenTables` (the single-instance
    // check's place in the start-up order) and opens the loan table. Each failure is shown in
    // the error box and loading goes on.
    void loadDatabase(const std::function<void()>& betweenTables = {});

    // The data objects, named as the rest of the program addresses them.
    Connection ADOConnection1;
    Dataset tbldanni;
    Dataset tblzaemi;
    DataSource DataSource1;
    DataSource dsZaemi;

    // The toolbar's icons, by index.
    ImageList ImageList1;
    QAction* Action1; // New Contact
    QAction* Action2; // Exit
    QAction* Action3; // Check events
    QAction* Action4; // About
    QAction* Action5; // Loans
    QAction* Action6; // Delete
    QAction* Action7; // Edit
    QAction* Action8; // Filters

    // The controls of the window's face.
    QToolBar* ActionToolBar1;
    DataGrid* cxGrid1;     // the contact list; its table view is cxGrid1DBTableView1
    QPlainTextEdit* Memo1; // the details panel
    QProgressBar* ProgressBar1;
    QGroupBox* GroupBox1; // the Loans box
    QLabel* Label1;
    QLabel* Label2; // the current contact's loans
    QLabel* Label3;
    QLabel* Label4; // all loans
    QFrame* LMDStatusBar1;
    QLabel* LMDInformationLabel1; // the clock
    QLabel* Image1;               // the logo

    bool isScanning() const { return Scanning; }

    // Commands.
    void Action1Execute(); // New Contact
    void Action2Execute(); // Exit
    void Action3Execute(); // Check events
    void Action4Execute(); // About
    void Action5Execute(); // Loans
    void Action6Execute(); // Delete
    void Action7Execute(); // Edit
    void Action8Execute(); // Filters

    // The activation handler: the reminder scan.
    void FormActivate();
    // The details panel and the Loans box: on a change of the contact data source (not while
    // the loan table is closed or the reminder scan runs) and on a click on a contact cell.
    void DataSource1DataChange(const Field* field);
    void cxGrid1DBTableView1CellClick();

protected:
    bool event(QEvent* event) override;

private:
    void createControls(QWidget* face);
    void createToolBar();
    void createContactList(QWidget* face);
    void createLoansBox(QWidget* face);
    void createStatusBar(QWidget* face);
    // Every control's design position and anchors.
    void layOutControls(QWidget* face);
    // Fills the details panel with the current contact and counts the loans.
    void rebuildDetails();

    // Creates a secondary window, shows it modally and destroys it, also after an error.
    template <class Window, class... Args> void showSecondaryWindow(Args&... args);

    bool Scanning = false;
    bool m_activatedOnce = false;
    // Calls DataSource1DataChange on every change of the contact data source.
    DataLink m_contactChanges;
};
