// The main window over a generated book of 100 000 contacts and 300 000 loans: one cursor move
// with its details rebuild (panel text and both loan counts), and one incremental-search
// keystroke in the worst case (no name matches, so the search runs through every row), as
// medians of single operations.
#include "BookWriter.h"
#include "DemoBook.h"
#include "mainwindow/Utembrel.h"
#include "platform/MessageService.h"
#include "widgets/DataGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kContacts = 100000;
constexpr int kOperations = 2001;

// Any box would block a benchmark: it stops instead.
class FailingMessages : public MessageService {
public:
    void beep() override {}
    void showMessage(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    void showError(const QString& text) override { fail(text); }
    void showFatalError(const QString& text) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString& text)
    {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        std::exit(1);
    }
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Medians of the wall and processor time of single operations (`operation(i)` for each i).
template <class Operation> void measure(const char* what, Operation operation)
{
    std::vector<double> walls, cpus;
    for (int i = 0; i < kOperations; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMs();
        operation(i);
        cpus.push_back(threadCpuMs() - cpuStart);
        walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    std::printf("  %-44s %7.3f ms wall  %7.3f ms processor  (max %.3f ms wall)\n", what,
                walls[walls.size() / 2], cpus[cpus.size() / 2], walls.back());
}

void typeCharacter(QWidget* view, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(view, &press);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("4rd.mdb"));
    {
        BookWriter writer(path, false);
        writeGeneratedBook(writer, kContacts);
        writer.commit();
    }

    FailingMessages messages;
    MessageService::setInstance(&messages);
    TFtembrel window;
    window.ADOConnection1.setConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(path));
    window.loadDatabase();
    window.show();
    QCoreApplication::processEvents(); // the first activation's scan
    std::printf("%d contacts, %d loans; medians of %d operations:\n", window.tbldanni.recordCount(),
                window.tblzaemi.recordCount(), kOperations);

    // Cursor moves spread over the book, each rebuilding the panel and counting the loans.
    const int contacts = window.tbldanni.recordCount();
    measure("cursor move with the details rebuild",
            [&](int i) { window.tbldanni.moveTo(int((qint64(i) * 7919) % contacts)); });
    if (window.Label4->text() != QString::number(window.tblzaemi.recordCount()))
        return 1;

    QTableView* view = window.cxGrid1->view();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(contacts / 2, 1));
    typeCharacter(view, QLatin1Char('#')); // folds the names once, as after loading
    measure("search keystroke, no match (full wrap)",
            [&](int) { typeCharacter(view, QLatin1Char('#')); });
    measure("search keystroke, match found and focused", [&](int i) {
        typeCharacter(view, QLatin1Char("ANM"[i % 3]));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &escape);
    });
    return 0;
}
