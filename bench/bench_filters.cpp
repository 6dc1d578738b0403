// The filters window over a generated book of 100 000 contacts: one search keystroke and one
// month change through the window, each against the same statement read through the plain
// SQLite C API into typed rows; and our case-folding `like` against the engine's ASCII-only
// one on the same conditions. Times are processor time, medians of repeated runs.
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "data/SqlFunctions.h"
#include "widgets/DataGrid.h"
#include "windows/Ufilters.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kContacts = 100000;
constexpr int kRuns = 9;

// The median processor time of `body`; `prepare` runs before each run, untimed.
double medianSeconds(const std::function<void()>& body, const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        if (prepare)
            prepare();
        const double start = bench::processorSeconds();
        body();
        times.push_back(bench::processorSeconds() - start);
    }
    return bench::median(times);
}

[[noreturn]] void fail(const char* what, sqlite3* db)
{
    std::fprintf(stderr, "bench_filters: %s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    std::exit(2);
}

// ---- the plain read: the statement's rows into typed structs, straight from the C API -----

struct PlainRow {
    bench::PlainContact contact;
    int day;
};

void bind(sqlite3_stmt* statement, const QVariant& value)
{
    if (value.isNull()) {
        sqlite3_bind_null(statement, 1);
    } else if (value.typeId() == QMetaType::Int) {
        sqlite3_bind_int(statement, 1, value.toInt());
    } else {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(statement, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

// Columns of `select *, day(rd) as bday from danni`: the table's, then bday.
std::vector<PlainRow> readPlain(sqlite3* db, const QString& sql, const QVariant& parameter)
{
    sqlite3_stmt* statement = bench::prepare(db, sql.toUtf8());
    bind(statement, parameter);
    std::vector<PlainRow> rows;
    int code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        PlainRow row;
        bench::readPlainContact(statement, row.contact);
        row.day = sqlite3_column_int(statement, 19);
        rows.push_back(std::move(row));
    }
    if (code != SQLITE_DONE)
        fail("step", db);
    sqlite3_finalize(statement);
    return rows;
}

qint64 countRows(sqlite3* db, const QString& sql, const QVariant& parameter)
{
    sqlite3_stmt* statement = bench::prepare(db, sql.toUtf8());
    bind(statement, parameter);
    if (sqlite3_step(statement) != SQLITE_ROW)
        fail("count", db);
    const qint64 count = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return count;
}

sqlite3* openPlain(const QString& path, bool ourFunctions)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        fail("open", db);
    if (ourFunctions)
        registerSqlFunctions(db);
    return db;
}

void report(const char* what, double ours, double plain, int rows)
{
    std::printf("%-34s %6d rows  window %8.2f ms  plain %8.2f ms  ratio %.2f\n", what, rows,
                ours * 1e3, plain * 1e3, ours / plain);
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Session session(argc, argv);
    const QString path = session.bookPath();
    bench::writeGeneratedBookFile(path, kContacts);

    Connection connection;
    connection.setConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(path));
    Dataset contacts(connection, Schema::contacts());
    contacts.setCalcFieldsHandler(tbldanniCalcFields);
    DataSource contactSource(contacts);
    contacts.open();
    TfmFilters window(connection, contactSource);
    sqlite3* plain = openPlain(path, true);
    sqlite3* engine = openPlain(path, false);

    std::printf("Filters window, %d contacts, medians of %d runs (processor time)\n", kContacts,
                kRuns);
    const QStringList searches{QStringLiteral("a"),     QStringLiteral("an"),
                               QStringLiteral("ann"),   QString::fromUtf8("и"),
                               QString::fromUtf8("ив"), QString::fromUtf8("ива")};
    for (const QString& text : searches) {
        const double ours =
            medianSeconds([&] { window.cxTextEdit1->setText(text); },
                          [&] { window.cxTextEdit1->setText(QStringLiteral("#")); });
        int rows = 0;
        const double base = medianSeconds([&] {
            rows =
                int(readPlain(plain, TfmFilters::searchStatement(), TfmFilters::searchPattern(text))
                        .size());
        });
        if (rows != window.qry.recordCount())
            fail("search rows differ", nullptr);
        report(qPrintable(QStringLiteral("search keystroke \"%1\"").arg(text)), ours, base, rows);
    }
    for (const QString& month : {QStringLiteral("2"), QStringLiteral("11")}) {
        const double ours = medianSeconds([&] { window.cxComboBox1->setEditText(month); },
                                          [&] { window.cxComboBox1->setEditText(QString()); });
        int rows = 0;
        const double base = medianSeconds([&] {
            rows = int(
                readPlain(plain, TfmFilters::monthStatement(), TfmFilters::monthParameter(month))
                    .size());
        });
        if (rows != window.qry.recordCount())
            fail("month rows differ", nullptr);
        report(qPrintable(QStringLiteral("month change \"%1\"").arg(month)), ours, base, rows);
    }

    // The eight conditions alone: our Unicode `like` against the engine's ASCII-only one.
    const QString conditions = TfmFilters::searchStatement().section(QStringLiteral(" where "), 1);
    const QString count = QStringLiteral("select count(*) from danni where ") + conditions;
    for (const QString& text : {QStringLiteral("a"), QStringLiteral("an"), QStringLiteral("ann"),
                                QStringLiteral("zzz")}) {
        const QString pattern = TfmFilters::searchPattern(text);
        qint64 ourCount = 0;
        qint64 engineCount = 0;
        const double ours = medianSeconds([&] { ourCount = countRows(plain, count, pattern); });
        const double base = medianSeconds([&] { engineCount = countRows(engine, count, pattern); });
        if (ourCount != engineCount)
            fail("like counts differ", nullptr);
        std::printf("%-34s %6lld rows  ours   %8.2f ms  engine %7.2f ms  ratio %.2f\n",
                    qPrintable(QStringLiteral("like \"%1\"").arg(text)), ourCount, ours * 1e3,
                    base * 1e3, ours / base);
    }
    sqlite3_close(plain);
    sqlite3_close(engine);
    return 0;
}
