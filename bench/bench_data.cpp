// Opening the contact book against a plain SQLite read, and counting loans the way the details
// panel does. Each opening runs in a fresh process of its own so its time and peak memory stand
// alone; times are processor time, the figures medians over several runs.
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "data/FullName.h"
#include "data/Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int contacts = 100000;
    int runs = 5;
};

struct Sample {
    double seconds = 0; // processor time: steady while other programs share the machine
    double peakMb = 0;  // growth of the peak resident size while the body ran
};

// The peak resident size of this process image (VmHWM; unlike ru_maxrss it starts afresh at
// exec).
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// Runs `body` and reports its processor time and the growth of the peak memory on stdout;
// called in a fresh process (see measureInFreshProcess).
int measure(const std::function<void()>& body)
{
    const long before = peakKb();
    const double start = bench::processorSeconds(CLOCK_PROCESS_CPUTIME_ID);
    body();
    std::printf("%.6f %.3f\n", bench::processorSeconds(CLOCK_PROCESS_CPUTIME_ID) - start,
                double(peakKb() - before) / 1024.0);
    std::fflush(stdout);
    _exit(0); // what was read is left to the end of the process
}

// Runs this program again as `bench_data --measure WHAT FILE`: a fresh process whose heap holds
// nothing of the parent's.
Sample measureInFreshProcess(const char* what, const QString& path)
{
    QProcess child;
    child.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral("--measure"), QString::fromLatin1(what), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_data: the measuring process failed: %s\n",
                     child.readAllStandardError().constData());
        std::exit(2);
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 2) {
        std::fprintf(stderr, "bench_data: unexpected output of the measuring process\n");
        std::exit(2);
    }
    return {figures[0].toDouble(), figures[1].toDouble()};
}

// ---- the plain read: the same rows into typed structs, straight from the C API -----------

struct PlainLoan {
    qint64 id;
    QString what;
    double lent, back;
    qint64 client;
};

// Rows are counted first and room made for them, as the record-set layer does.
size_t rowCount(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = bench::prepare(db, sql);
    const size_t count =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    return count;
}

struct PlainBook {
    std::vector<bench::PlainContact> contacts;
    std::vector<PlainLoan> loans;
};

void plainRead(const QString& path, PlainBook& book)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<bench::PlainContact>& contacts = book.contacts;
    contacts.reserve(rowCount(db, "SELECT count(*) FROM danni"));
    sqlite3_stmt* statement =
        bench::prepare(db, "SELECT id, ime, prezime, familia, rd, other, adres, "
                           "tel, tel1, tel2, timer1, timer2, timer3, timer4, ts1, "
                           "ts2, ts3, ts4, status FROM danni");
    while (sqlite3_step(statement) == SQLITE_ROW)
        bench::readPlainContact(statement, contacts.emplace_back());
    sqlite3_finalize(statement);
    std::vector<PlainLoan>& loans = book.loans;
    loans.reserve(rowCount(db, "SELECT count(*) FROM zaemi"));
    statement =
        bench::prepare(db, "SELECT zaemi_ID, what, date_zaem, date_back, client_ID FROM zaemi");
    while (sqlite3_step(statement) == SQLITE_ROW)
        loans.push_back({sqlite3_column_int64(statement, 0), bench::textColumn(statement, 1),
                         bench::dateColumn(statement, 2), bench::dateColumn(statement, 3),
                         sqlite3_column_int64(statement, 4)});
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (contacts.empty() || loans.empty())
        std::exit(3);
}

// ---- the record-set layer -----------------------------------------------------------------

struct OpenBook {
    explicit OpenBook(const QString& path)
        : contacts(connection, Schema::contacts()), loans(connection, Schema::loans())
    {
        connection.setConnectionString(QStringLiteral("Data Source=%1").arg(path));
        contacts.setCalcFieldsHandler(tbldanniCalcFields);
    }
    void open()
    {
        contacts.open();
        loans.open();
    }
    Connection connection;
    Dataset contacts;
    Dataset loans;
};

void layerOpen(OpenBook& book)
{
    book.open();
    if (book.contacts.recordCount() == 0 || book.loans.recordCount() == 0)
        std::exit(3);
}

// Nanoseconds per call of `body`, the median of several batches.
double nanosecondsPerCall(int calls, const std::function<void(int)>& body)
{
    std::vector<double> batches;
    for (int batch = 0; batch < 7; ++batch) {
        const double start = bench::processorSeconds(CLOCK_THREAD_CPUTIME_ID);
        for (int i = 0; i < calls; ++i)
            body(i);
        batches.push_back((bench::processorSeconds(CLOCK_THREAD_CPUTIME_ID) - start) * 1e9 / calls);
    }
    return bench::median(batches);
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--contacts") == 0 && hasValue)
            options.contacts = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--runs") == 0 && hasValue)
            options.runs = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.contacts > 0 && options.runs > 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        const QString path = QString::fromLocal8Bit(argv[3]);
        if (std::strcmp(argv[2], "layer") == 0)
            return measure([&] { layerOpen(*new OpenBook(path)); });
        return measure([&] { plainRead(path, *new PlainBook); });
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_data [--contacts N] [--runs R]\n");
        return 2;
    }
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("4rd.mdb"));
    QElapsedTimer timer;
    timer.start();
    bench::writeGeneratedBookFile(path, options.contacts);
    std::printf("book: %d contacts, %lld loans, %.1f MB, generated in %.2f s\n", options.contacts,
                qint64(options.contacts) * 3, double(QFile(path).size()) / (1024 * 1024),
                double(timer.elapsed()) / 1000);

    {
        PlainBook warm; // brings the file into the page cache
        plainRead(path, warm);
    }
    std::vector<double> layerSeconds, plainSeconds, layerMb, plainMb;
    for (int run = 0; run < options.runs; ++run) {
        const Sample layer = measureInFreshProcess("layer", path);
        const Sample plain = measureInFreshProcess("plain", path);
        layerSeconds.push_back(layer.seconds);
        layerMb.push_back(layer.peakMb);
        plainSeconds.push_back(plain.seconds);
        plainMb.push_back(plain.peakMb);
    }
    const double timeRatio = bench::median(layerSeconds) / bench::median(plainSeconds);
    const double memoryRatio = bench::median(layerMb) / bench::median(plainMb);
    std::printf("open both tables, final form with full names: %.3f s, peak +%.1f MB\n",
                bench::median(layerSeconds), bench::median(layerMb));
    std::printf("plain C API read into typed structs:          %.3f s, peak +%.1f MB\n",
                bench::median(plainSeconds), bench::median(plainMb));
    std::printf("time ratio   %.2f (limit 1.5, goal 1.2): %s\n", timeRatio,
                bench::verdict(timeRatio <= 1.5));
    std::printf("memory ratio %.2f (limit 1.3): %s\n", memoryRatio,
                bench::verdict(memoryRatio <= 1.3));

    OpenBook book(path);
    book.open();
    Dataset& loans = book.loans;
    const int contacts = options.contacts;
    int sink = 0;
    const double oneContact = nanosecondsPerCall(100000, [&](int i) {
        loans.setFilter(QString());
        loans.setFilter(QStringLiteral("client_ID=") + QString::number(1 + i % contacts));
        loans.setFiltered(true);
        sink += loans.recordCount();
        loans.setFiltered(false);
    });
    const double allLoans = nanosecondsPerCall(1000000, [&](int) { sink += loans.recordCount(); });
    std::printf("count one contact's loans (filter text, filter on, count, filter off): %.2f us: "
                "%s\n",
                oneContact / 1000, bench::verdict(oneContact <= 5000));
    std::printf("count all loans: %.3f us: %s\n", allLoans / 1000,
                bench::verdict(allLoans <= 5000));
    std::printf("(checksum %d)\n", sink);
    const bool met =
        timeRatio <= 1.5 && memoryRatio <= 1.3 && oneContact <= 5000 && allLoans <= 5000;
    return met ? 0 : 1;
}
