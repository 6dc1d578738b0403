#pragma once

#include "data/Connection.h"
#include "data/DataSource.h"
#include "data/Dataset.h"

#include <QMainWindow>
#include <functional>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QProgressBar;

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

    // Controls other parts of the program drive (the details panel, the reminder scan).
    QPlainTextEdit* Memo1;
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    QLabel* Label4;

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
    // The details panel and the Loans box.
    void DataSource1DataChange(const Field* field);

protected:
    bool event(QEvent* event) override;

private:
    // Creates a secondary window, shows it modally and destroys it, also after an error.
    template <class Window, class... Args> void showSecondaryWindow(Args&... args);

    bool Scanning = false;
    bool m_activatedOnce = false;
};
