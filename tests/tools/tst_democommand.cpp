#include "DemoCommands.h"
#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "platform/Clock.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <array>

namespace {

struct RunResult {
    int status;
    QString out;
    QString err;
};

RunResult runDemoCommand(const QStringList& arguments)
{
    RunResult result{0, {}, {}};
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = runDemo(arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

// Both tables of a book, opened the way the program opens them.
struct OpenedBook {
    explicit OpenedBook(const QString& path)
        : contacts(connection, Schema::contacts()), loans(connection, Schema::loans())
    {
        connection.setConnectionString(QStringLiteral("Data Source=%1").arg(path));
        contacts.setCalcFieldsHandler(tbldanniCalcFields);
        contacts.open();
        loans.open();
    }
    Connection connection;
    Dataset contacts;
    Dataset loans;
};

QString key(const QDate& date, const char* format)
{
    return date.toString(QString::fromLatin1(format));
}

} // namespace

class TestDemoCommand : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Clock::setSource({}); }

    void shouldWriteRemindersDueTodayTomorrowAndInTwoDays_data();
    void shouldWriteRemindersDueTodayTomorrowAndInTwoDays();
    void shouldWriteVariedContactsAndLoans();
    void shouldGenerateLargeBookWithThreeLoansPerContact();
    void shouldNeverOverwriteWithoutForce();
    void shouldReplaceWithForce();
    void shouldRejectBadArguments_data();
    void shouldRejectBadArguments();
    void shouldFailClearlyAndLeaveNothingWhenFileCannotBeWritten();

private:
    QTemporaryDir m_dir;
};

void TestDemoCommand::shouldWriteRemindersDueTodayTomorrowAndInTwoDays_data()
{
    QTest::addColumn<QDate>("today");
    QTest::newRow("ordinary day") << QDate(2026, 6, 10);
    QTest::newRow("year end") << QDate(2026, 12, 30);
    QTest::newRow("leap day in two days") << QDate(2028, 2, 27);
    QTest::newRow("end of February, no leap year") << QDate(2027, 2, 28);
}

void TestDemoCommand::shouldWriteRemindersDueTodayTomorrowAndInTwoDays()
{
    QFETCH(QDate, today);
    Clock::setFixed(QDateTime(today, QTime(9, 0)));
    const QString path = m_dir.filePath(QStringLiteral("due-%1.mdb").arg(today.toJulianDay()));
    QCOMPARE(runDemoCommand({path}).status, 0);

    OpenedBook book(path);
    std::array<int, 3> birthdays{}, events{}; // due today, tomorrow, in two days
    int otherBirthdays = 0, otherEvents = 0;
    for (book.contacts.first(); !book.contacts.eof(); book.contacts.next()) {
        const Field& birth = book.contacts.fieldByName(QStringLiteral("rd"));
        if (!birth.isNull()) {
            const QString birthKey = key(DateTimeValue::toDate(birth.asDateTime()), "ddMM");
            bool due = false;
            for (int ahead = 0; ahead <= 2; ++ahead)
                if (birthKey == key(today.addDays(ahead), "ddMM")) {
                    ++birthdays[ahead];
                    due = true;
                }
            otherBirthdays += due ? 0 : 1;
        }
        for (int n = 1; n <= 4; ++n) {
            const Field& date = book.contacts.fieldByName(QStringLiteral("timer%1").arg(n));
            if (date.isNull())
                continue;
            const QString eventKey = key(DateTimeValue::toDate(date.asDateTime()), "ddMMyyyy");
            bool due = false;
            for (int ahead = 0; ahead <= 2; ++ahead)
                if (eventKey == key(today.addDays(ahead), "ddMMyyyy")) {
                    ++events[ahead];
                    due = true;
                }
            otherEvents += due ? 0 : 1;
        }
    }
    for (int ahead = 0; ahead <= 2; ++ahead) {
        QVERIFY2(birthdays[ahead] > 0, qPrintable(QString::number(ahead)));
        QVERIFY2(events[ahead] > 0, qPrintable(QString::number(ahead)));
    }
    QVERIFY(otherBirthdays > 0);
    QVERIFY(otherEvents > 0);
}

void TestDemoCommand::shouldWriteVariedContactsAndLoans()
{
    const QString path = m_dir.filePath(QStringLiteral("varied.mdb"));
    const RunResult result = runDemoCommand({path});
    QCOMPARE(result.status, 0);
    QVERIFY(result.out.contains(path));

    OpenedBook book(path);
    QVERIFY(book.contacts.recordCount() >= 24);
    QVERIFY(book.loans.recordCount() > 0);
    int cyrillic = 0, latin = 0, withoutBirth = 0, multiLineAddress = 0, multiLineNotes = 0;
    QSet<qint64> ids;
    for (book.contacts.first(); !book.contacts.eof(); book.contacts.next()) {
        const QString name = book.contacts.fieldByName(QStringLiteral("fullnames")).asString();
        const QChar initial = name.front();
        cyrillic += initial.script() == QChar::Script_Cyrillic ? 1 : 0;
        latin += initial.script() == QChar::Script_Latin ? 1 : 0;
        withoutBirth += book.contacts.fieldByName(QStringLiteral("rd")).isNull() ? 1 : 0;
        multiLineAddress +=
            book.contacts.fieldByName(QStringLiteral("adres")).asString().contains(u'\n') ? 1 : 0;
        multiLineNotes +=
            book.contacts.fieldByName(QStringLiteral("other")).asString().contains(u'\n') ? 1 : 0;
        QVERIFY(book.contacts.fieldByName(QStringLiteral("status")).isNull());
        ids.insert(book.contacts.fieldByName(QStringLiteral("id")).asInteger());
    }
    QVERIFY(cyrillic > 0);
    QVERIFY(latin > 0);
    QVERIFY(withoutBirth > 0);
    QVERIFY(multiLineAddress > 0);
    QVERIFY(multiLineNotes > 0);
    int returned = 0;
    for (book.loans.first(); !book.loans.eof(); book.loans.next()) {
        QVERIFY(ids.contains(book.loans.fieldByName(QStringLiteral("client_ID")).asInteger()));
        QVERIFY(!book.loans.fieldByName(QStringLiteral("what")).asString().isEmpty());
        QVERIFY(book.loans.fieldByName(QStringLiteral("date_zaem")).asDateTime() != 0);
        returned += book.loans.fieldByName(QStringLiteral("date_back")).isNull() ? 0 : 1;
    }
    QVERIFY(returned > 0);
    QVERIFY(returned < book.loans.recordCount());
}

void TestDemoCommand::shouldGenerateLargeBookWithThreeLoansPerContact()
{
    const QString path = m_dir.filePath(QStringLiteral("generated.mdb"));
    const RunResult result =
        runDemoCommand({path, QStringLiteral("--contacts"), QStringLiteral("500")});
    QCOMPARE(result.status, 0);
    QVERIFY(result.out.contains(QStringLiteral("500 contacts and 1500 loans")));

    OpenedBook book(path);
    QCOMPARE(book.contacts.recordCount(), 500);
    QCOMPARE(book.loans.recordCount(), 1500);
    int withoutBirth = 0;
    for (book.contacts.first(); !book.contacts.eof(); book.contacts.next())
        withoutBirth += book.contacts.fieldByName(QStringLiteral("rd")).isNull() ? 1 : 0;
    QVERIFY(withoutBirth > 0 && withoutBirth < 500);
    QSet<qint64> clients;
    for (book.loans.first(); !book.loans.eof(); book.loans.next()) {
        const qint64 client = book.loans.fieldByName(QStringLiteral("client_ID")).asInteger();
        QVERIFY(client >= 1 && client <= 500);
        clients.insert(client);
    }
    // Spread unevenly: most contacts have loans, some have none.
    QVERIFY(clients.size() > 400 && clients.size() < 500);
}

void TestDemoCommand::shouldNeverOverwriteWithoutForce()
{
    const QString path = m_dir.filePath(QStringLiteral("existing.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();

    const RunResult result = runDemoCommand({path});
    QCOMPARE(result.status, 1);
    QVERIFY(result.err.contains(path));
    QVERIFY(result.err.contains(QStringLiteral("--force")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("precious"));
}

void TestDemoCommand::shouldReplaceWithForce()
{
    const QString path = m_dir.filePath(QStringLiteral("replaced.mdb"));
    QVERIFY(runDemoCommand({path, QStringLiteral("--contacts"), QStringLiteral("3")}).status == 0);
    QCOMPARE(runDemoCommand({path, QStringLiteral("--force")}).status, 0);
    OpenedBook book(path);
    QVERIFY(book.contacts.recordCount() > 3);
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("replaced.mdb*")}, QDir::Files),
             QStringList{QStringLiteral("replaced.mdb")});
}

void TestDemoCommand::shouldRejectBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no file") << QStringList{} << QStringLiteral("FILE is missing");
    QTest::newRow("two files") << QStringList{"bad.mdb", "other.mdb"}
                               << QStringLiteral("unexpected argument 'other.mdb'");
    QTest::newRow("unknown option")
        << QStringList{"bad.mdb", "--fast"} << QStringLiteral("unknown option '--fast'");
    QTest::newRow("count missing")
        << QStringList{"bad.mdb", "--contacts"} << QStringLiteral("--contacts needs a number");
    QTest::newRow("count zero") << QStringList{"bad.mdb", "--contacts", "0"}
                                << QStringLiteral("not '0'");
    QTest::newRow("count negative")
        << QStringList{"bad.mdb", "--contacts", "-5"} << QStringLiteral("not '-5'");
    QTest::newRow("count not a number")
        << QStringList{"bad.mdb", "--contacts", "many"} << QStringLiteral("not 'many'");
    QTest::newRow("count too large") << QStringList{"bad.mdb", "--contacts", "999999999999"}
                                     << QStringLiteral("not '999999999999'");
}

void TestDemoCommand::shouldRejectBadArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const RunResult result = runDemoCommand(arguments);
    const bool created = QFile::exists(QStringLiteral("bad.mdb"));
    QDir::setCurrent(previous);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(problem), qPrintable(result.err));
    QVERIFY(result.err.contains(QStringLiteral("usage: tembrel-db demo FILE")));
    QVERIFY(!created);
}

void TestDemoCommand::shouldFailClearlyAndLeaveNothingWhenFileCannotBeWritten()
{
    const QString path = m_dir.filePath(QStringLiteral("missing-folder/book.mdb"));
    const RunResult result = runDemoCommand({path});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(path), qPrintable(result.err));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QDir(m_dir.filePath(QStringLiteral("missing-folder"))).exists());
}

QTEST_GUILESS_MAIN(TestDemoCommand)
#include "tst_democommand.moc"
