#pragma once

#include "platform/MessageService.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <ctime>
#include <functional>
#include <sqlite3.h>
#include <vector>

class TFtembrel;

// What the benchmarks share: clocks, medians, verdicts, a message service that never blocks,
// generated books and plain SQLite reads to compare with.
namespace bench {

// Seconds of processor time on `clock` (the process's or this thread's).
double processorSeconds(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID);
double median(std::vector<double> values);
const char* verdict(bool met);

// Medians over repeated runs of the wall time and of this thread's processor time (which
// leaves out the time the thread waited for a processor on a busy machine), in milliseconds.
struct Timing {
    double wallMs;
    double cpuMs;
    double maxWallMs;
};
Timing timeRuns(int runs, const std::function<void(int run)>& body);

// No box may block a benchmark: messages are counted, an error or a question ends the program.
class Messages : public MessageService {
public:
    int shown = 0;
    void beep() override {}
    void showMessage(const QString&) override { ++shown; }
    bool confirm(const QString& text) override { fail(text); }
    void showError(const QString& text) override { fail(text); }
    void showFatalError(const QString& text) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString& text);
};

// A benchmark's application, drawing offscreen unless QT_QPA_PLATFORM names a platform, and a
// temporary directory for its book.
class Session {
public:
    Session(int& argc, char** argv);
    QString bookPath() const;

private:
    QApplication m_application;
    QTemporaryDir m_directory;
};

// Writes the generator's book of `contacts` contacts (about three loans each) to `path`.
void writeGeneratedBookFile(const QString& path, int contacts);
// Opens the main window on the book at `path` and shows it; its first activation's scan runs.
void openMainWindow(TFtembrel& window, const QString& path);

// Plain SQLite reads: a column's text (null for NULL), a date column's value (NaN for NULL)
// and a prepared statement (the program ends with status 2 when the engine refuses it).
QString textColumn(sqlite3_stmt* statement, int column);
double dateColumn(sqlite3_stmt* statement, int column);
sqlite3_stmt* prepare(sqlite3* db, const QByteArray& sql);

// A contact row in typed fields, read from the statement's first 19 columns in the table's
// order: id, ime, prezime, familia, rd, other, adres, tel, tel1, tel2, timer1-4, ts1-4, status.
struct PlainContact {
    qint64 id;
    QString first, second, last;
    double birth;
    QString notes, address, tel, tel1, tel2;
    std::array<double, 4> eventDates;
    std::array<QString, 4> eventTexts;
    QString status;
};
void readPlainContact(sqlite3_stmt* statement, PlainContact& contact);

} // namespace bench
