#include "BenchSupport.h"

#include "BookWriter.h"
#include "DemoBook.h"
#include "data/DateTimeValue.h"
#include "mainwindow/Utembrel.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bench {

double processorSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

Timing timeRuns(int runs, const std::function<void(int run)>& body)
{
    std::vector<double> walls, cpus;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = processorSeconds(CLOCK_THREAD_CPUTIME_ID);
        body(run);
        cpus.push_back((processorSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart) * 1e3);
        walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return {median(walls), median(cpus), *std::max_element(walls.begin(), walls.end())};
}

void Messages::fail(const QString& text)
{
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
    std::exit(1);
}

namespace {

int& offscreenUnlessSet(int& argc)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

Session::Session(int& argc, char** argv) : m_application(offscreenUnlessSet(argc), argv) {}

QString Session::bookPath() const
{
    return m_directory.filePath(QStringLiteral("4rd.mdb"));
}

void writeGeneratedBookFile(const QString& path, int contacts)
{
    BookWriter writer(path, false);
    writeGeneratedBook(writer, contacts);
    writer.commit();
}

void openMainWindow(TFtembrel& window, const QString& path)
{
    window.ADOConnection1.setConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(path));
    window.loadDatabase();
    window.show();
    QCoreApplication::processEvents(); // the first activation's scan runs here
}

QString textColumn(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return QString();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

double dateColumn(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nan("");
    return DateTimeValue::fromStorageText(textColumn(statement, column)).value_or(std::nan(""));
}

sqlite3_stmt* prepare(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "prepare: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
    return statement;
}

void readPlainContact(sqlite3_stmt* statement, PlainContact& contact)
{
    contact.id = sqlite3_column_int64(statement, 0);
    contact.first = textColumn(statement, 1);
    contact.second = textColumn(statement, 2);
    contact.last = textColumn(statement, 3);
    contact.birth = dateColumn(statement, 4);
    contact.notes = textColumn(statement, 5);
    contact.address = textColumn(statement, 6);
    contact.tel = textColumn(statement, 7);
    contact.tel1 = textColumn(statement, 8);
    contact.tel2 = textColumn(statement, 9);
    for (int n = 0; n < 4; ++n) {
        contact.eventDates[n] = dateColumn(statement, 10 + n);
        contact.eventTexts[n] = textColumn(statement, 14 + n);
    }
    contact.status = textColumn(statement, 18);
}

} // namespace bench
