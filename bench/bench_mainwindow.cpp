// The main window over a generated book of 100 000 contacts and 300 000 loans: one cursor move
// with its details rebuild (panel text and both loan counts), and one incremental-search
// keystroke in the worst case (no name matches, so the search runs through every row), as
// medians of single operations.
#include "BenchSupport.h"
#include "mainwindow/Utembrel.h"
#include "platform/MessageService.h"
#include "widgets/DataGrid.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <cstdio>
#include <functional>

namespace {

constexpr int kContacts = 100000;
constexpr int kOperations = 2001;

constexpr double kLimitMs = 1;

// Prints the medians of single operations (`operation(i)` for each i) against the limit.
bool measure(const char* what, const std::function<void(int)>& operation)
{
    const bench::Timing timing = bench::timeRuns(kOperations, operation);
    const bool met = timing.cpuMs <= kLimitMs;
    std::printf("  %-44s %7.3f ms wall  %7.3f ms processor  (max %.3f ms wall): %s\n", what,
                timing.wallMs, timing.cpuMs, timing.maxWallMs, bench::verdict(met));
    return met;
}

void typeCharacter(QWidget* view, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(view, &press);
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Session session(argc, argv);
    const QString path = session.bookPath();
    bench::writeGeneratedBookFile(path, kContacts);

    bench::Messages messages;
    MessageService::setInstance(&messages);
    TFtembrel window;
    bench::openMainWindow(window, path);
    std::printf("%d contacts, %d loans; medians of %d operations, limit %.0f ms processor time:\n",
                window.tbldanni.recordCount(), window.tblzaemi.recordCount(), kOperations,
                kLimitMs);

    // Cursor moves spread over the book, each rebuilding the panel and counting the loans.
    const int contacts = window.tbldanni.recordCount();
    bool met = measure("cursor move with the details rebuild",
                       [&](int i) { window.tbldanni.moveTo(int((qint64(i) * 7919) % contacts)); });
    if (window.Label4->text() != QString::number(window.tblzaemi.recordCount()))
        return 1;

    QTableView* view = window.cxGrid1->view();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(contacts / 2, 1));
    typeCharacter(view, QLatin1Char('#')); // folds the names once, as after loading
    met &= measure("search keystroke, no match (full wrap)",
                   [&](int) { typeCharacter(view, QLatin1Char('#')); });
    met &= measure("search keystroke, match found and focused", [&](int i) {
        typeCharacter(view, QLatin1Char("ANM"[i % 3]));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &escape);
    });
    return met ? 0 : 1;
}
