#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "mainwindow/Utembrel.h"
#include "platform/Clock.h"
#include "platform/Guarded.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>
#include <memory>

// Lets a failed comparison print the calls.
char* toString(const RecordingMessageService::Call& call)
{
    return QTest::toString(call.kind + QLatin1Char(' ') + call.text);
}

namespace {

using Calls = QList<RecordingMessageService::Call>;

QString sqlValue(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

struct Contact {
    QString first = QStringLiteral("Ann");
    QString birth;
    QStringList eventDates; // up to four, "" for none
    QStringList eventTexts;
};

void insertContact(const TestDatabase& db, const Contact& contact)
{
    QStringList columns{QStringLiteral("ime"), QStringLiteral("prezime"), QStringLiteral("familia"),
                        QStringLiteral("rd")};
    QStringList values{sqlValue(contact.first), sqlValue(QStringLiteral("B")),
                       sqlValue(QStringLiteral("Lee")), sqlValue(contact.birth)};
    for (int n = 0; n < 4; ++n) {
        columns << QStringLiteral("timer%1").arg(n + 1) << QStringLiteral("ts%1").arg(n + 1);
        values << sqlValue(contact.eventDates.value(n)) << sqlValue(contact.eventTexts.value(n));
    }
    db.execute(QStringLiteral("INSERT INTO danni (%1) VALUES (%2)")
                   .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}

void insertLoans(const TestDatabase& db, int count)
{
    for (int i = 0; i < count; ++i)
        db.execute(QStringLiteral("INSERT INTO zaemi (what, client_ID) VALUES ('book', 1)"));
}

std::unique_ptr<TFtembrel> openWindow(const TestDatabase& db)
{
    auto window = std::make_unique<TFtembrel>();
    window->ADOConnection1.setConnectionString(db.connectionString());
    window->loadDatabase();
    return window;
}

// Each reminder is a beep immediately followed by its box.
Calls reminders(const QStringList& texts)
{
    Calls calls;
    for (const QString& text : texts)
        calls << RecordingMessageService::Call{QStringLiteral("beep"), QString()}
              << RecordingMessageService::Call{QStringLiteral("message"), text};
    return calls;
}

QDateTime at(int year, int month, int day, int hour = 9, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

// A message service whose boxes stay open for a while: the clock moves on as each one closes.
class SlowReader : public RecordingMessageService {
public:
    SlowReader(QDateTime start, int secondsPerBox) : m_now(start), m_secondsPerBox(secondsPerBox)
    {
        Clock::setSource([this] { return m_now; });
    }
    void showMessage(const QString& text) override
    {
        RecordingMessageService::showMessage(text);
        m_now = m_now.addSecs(m_secondsPerBox);
    }

private:
    QDateTime m_now;
    int m_secondsPerBox;
};

} // namespace

class TestReminderScan : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Clock::setSource({}); }

    void remindsWhatIsDue_data();
    void remindsWhatIsDue();
    void walksContactsInTableOrder();
    void emptyTableShowsNoReminder();
    void checksMadeAfterMidnightUseTheNewDate();
    void midnightBetweenTwoComparisons();
    void checkEventsTwiceRemindsTwice();
    void runsOnFirstActivationOnly();
    void leavesDetailsPanelAsItWas();
    void savesPendingRowFirst();
    void errorEndsScanAndClearsScanning_data();
    void errorEndsScanAndClearsScanning();
};

void TestReminderScan::remindsWhatIsDue_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QStringList>("eventDates");
    QTest::addColumn<QStringList>("eventTexts");
    QTest::addColumn<QStringList>("expected");

    const QString name = QStringLiteral("Ann B Lee");
    const QDateTime march10 = at(2026, 3, 10);
    auto event = [](const QString& text, const char* when) {
        return QStringLiteral("Event    ** %1 **    - %2").arg(text, QLatin1String(when));
    };

    QTest::newRow("birthday in two days")
        << march10 << "1980-03-12" << QStringList() << QStringList()
        << QStringList{name + " - Birth Day after 2 days !"};
    QTest::newRow("birthday tomorrow") << march10 << "1980-03-11" << QStringList() << QStringList()
                                       << QStringList{name + " - Birth Day tomorrow !"};
    QTest::newRow("birthday today")
        << march10 << "1980-03-10" << QStringList() << QStringList()
        << QStringList{name + " has a Birth Day.Send him/her greetings!"};
    QTest::newRow("birthday in three days")
        << march10 << "1980-03-13" << QStringList() << QStringList() << QStringList();
    QTest::newRow("birthday yesterday")
        << march10 << "1980-03-09" << QStringList() << QStringList() << QStringList();
    QTest::newRow("birth date in a later year")
        << march10 << "2031-03-10" << QStringList() << QStringList()
        << QStringList{name + " has a Birth Day.Send him/her greetings!"};
    QTest::newRow("birth date with a time of day")
        << at(2026, 3, 10, 23, 59) << "1980-03-11 23:30:00" << QStringList() << QStringList()
        << QStringList{name + " - Birth Day tomorrow !"};
    QTest::newRow("birth date zero counts as none")
        << at(2026, 12, 30) << "1899-12-30 00:00:00" << QStringList() << QStringList()
        << QStringList();
    QTest::newRow("29 February, leap year, 27th")
        << at(2028, 2, 27) << "2000-02-29" << QStringList() << QStringList()
        << QStringList{name + " - Birth Day after 2 days !"};
    QTest::newRow("29 February, leap year, 28th")
        << at(2028, 2, 28) << "2000-02-29" << QStringList() << QStringList()
        << QStringList{name + " - Birth Day tomorrow !"};
    QTest::newRow("29 February, leap year, 29th")
        << at(2028, 2, 29) << "2000-02-29" << QStringList() << QStringList()
        << QStringList{name + " has a Birth Day.Send him/her greetings!"};
    QTest::newRow("29 February, common year, 27th")
        << at(2027, 2, 27) << "2000-02-29" << QStringList() << QStringList() << QStringList();
    QTest::newRow("29 February, common year, 28th")
        << at(2027, 2, 28) << "2000-02-29" << QStringList() << QStringList() << QStringList();
    QTest::newRow("29 February, common year, 1 March")
        << at(2027, 3, 1) << "2000-02-29" << QStringList() << QStringList() << QStringList();
    QTest::newRow("birthday 1 January on 30 December")
        << at(2026, 12, 30) << "1990-01-01" << QStringList() << QStringList()
        << QStringList{name + " - Birth Day after 2 days !"};
    QTest::newRow("event 1 January on 30 December")
        << at(2026, 12, 30) << "" << QStringList{"2027-01-01"} << QStringList{"New year"}
        << QStringList{event("New year", "after 2 days !")};
    QTest::newRow("event 1 January on 31 December")
        << at(2026, 12, 31) << "" << QStringList{"2027-01-01"} << QStringList{"New year"}
        << QStringList{event("New year", "Tomorrow !")};
    QTest::newRow("event in two days")
        << march10 << "" << QStringList{"2026-03-12"} << QStringList{"Dentist"}
        << QStringList{event("Dentist", "after 2 days !")};
    QTest::newRow("event today") << march10 << "" << QStringList{"2026-03-10"}
                                 << QStringList{"Dentist"}
                                 << QStringList{event("Dentist", "is Today !")};
    QTest::newRow("event a year ago today")
        << march10 << "" << QStringList{"2025-03-10"} << QStringList{"Dentist"} << QStringList();
    QTest::newRow("event yesterday")
        << march10 << "" << QStringList{"2026-03-09"} << QStringList{"Dentist"} << QStringList();
    QTest::newRow("event with a time of day")
        << march10 << "" << QStringList{"2026-03-11 18:45:00"} << QStringList{"Dentist"}
        << QStringList{event("Dentist", "Tomorrow !")};
    QTest::newRow("event with empty text")
        << march10 << "" << QStringList{"2026-03-10"} << QStringList{""}
        << QStringList{"Event    **  **    - is Today !"};
    QTest::newRow("event text without a date")
        << march10 << "" << QStringList{""} << QStringList{"Dentist"} << QStringList();
    QTest::newRow("event text outside Latin-1")
        << march10 << "" << QStringList{"2026-03-12"} << QStringList{"Рождество ✓"}
        << QStringList{event("Рождество ✓", "after 2 days !")};
    QTest::newRow("no birth date, event 4 still checked")
        << march10 << "" << QStringList{"", "", "", "2026-03-10"}
        << QStringList{"", "", "", "Fourth"} << QStringList{event("Fourth", "is Today !")};
    QTest::newRow("five reminders of one contact")
        << march10 << "1970-03-10"
        << QStringList{"2026-03-12", "2026-03-11", "2026-03-10", "2026-03-12"}
        << QStringList{"One", "Two", "Three", "Four"}
        << QStringList{name + " has a Birth Day.Send him/her greetings!",
                       event("One", "after 2 days !"), event("Two", "Tomorrow !"),
                       event("Three", "is Today !"), event("Four", "after 2 days !")};
    QTest::newRow("two events on one day")
        << march10 << "" << QStringList{"", "2026-03-11", "2026-03-11"}
        << QStringList{"", "Lunch", "Cinema"}
        << QStringList{event("Lunch", "Tomorrow !"), event("Cinema", "Tomorrow !")};
}

void TestReminderScan::remindsWhatIsDue()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, birth);
    QFETCH(QStringList, eventDates);
    QFETCH(QStringList, eventTexts);
    QFETCH(QStringList, expected);

    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), birth, eventDates, eventTexts});
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(now);

    window->FormActivate();

    QCOMPARE(messages.calls, reminders(expected));
    QVERIFY(!window->isScanning());
}

void TestReminderScan::walksContactsInTableOrder()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Cid"), "1980-03-11", {}, {}});
    insertContact(db, {QStringLiteral("Ann"), "", {"2026-03-10"}, {"Meeting"}});
    insertContact(db, {QStringLiteral("Bob"), "1980-05-01", {}, {}});
    insertContact(db, {QStringLiteral("Dan"), "1980-03-12", {}, {}});
    insertLoans(db, 3);
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));

    window->FormActivate();

    QCOMPARE(messages.calls, reminders({"Cid B Lee - Birth Day tomorrow !",
                                        "Event    ** Meeting **    - is Today !",
                                        "Dan B Lee - Birth Day after 2 days !"}));
    QCOMPARE(window->ProgressBar1->maximum(), 4);
    QCOMPARE(window->ProgressBar1->value(), 4);
    QCOMPARE(window->Label4->text(), QStringLiteral("3"));
    QCOMPARE(window->tbldanni.position(), 3);
    QVERIFY(!window->isScanning());
}

void TestReminderScan::emptyTableShowsNoReminder()
{
    TestDatabase db;
    insertLoans(db, 2);
    auto window = openWindow(db);
    RecordingMessageService messages;

    window->FormActivate();

    QVERIFY(messages.calls.isEmpty());
    QCOMPARE(window->ProgressBar1->maximum(), 0);
    QCOMPARE(window->ProgressBar1->value(), 0);
    QCOMPARE(window->Label4->text(), QStringLiteral("2"));
    QVERIFY(!window->isScanning());
}

// The user leaves each box open for two minutes from 23:59: the checks after midnight compare
// with 11 March, so a birthday due tomorrow is then also due today.
void TestReminderScan::checksMadeAfterMidnightUseTheNewDate()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-11", {"2026-03-12"}, {"Party"}});
    insertContact(db, {QStringLiteral("Bob"), "", {"2026-03-13"}, {"Trip"}});
    auto window = openWindow(db);
    SlowReader messages(at(2026, 3, 10, 23, 59), 120);

    window->FormActivate();

    QCOMPARE(messages.calls, reminders({"Ann B Lee - Birth Day tomorrow !",
                                        "Ann B Lee has a Birth Day.Send him/her greetings!",
                                        "Event    ** Party **    - Tomorrow !",
                                        "Event    ** Trip **    - after 2 days !"}));
}

// Midnight passes right after the first comparison (the birthday against the day after
// tomorrow): the next two compare with 11 March, so the birthday is due today, not tomorrow.
void TestReminderScan::midnightBetweenTwoComparisons()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-11", {}, {}});
    auto window = openWindow(db);
    RecordingMessageService messages;
    int reads = 0;
    Clock::setSource(
        [&] { return ++reads == 1 ? at(2026, 3, 10, 23, 59) : at(2026, 3, 11, 0, 0); });

    window->FormActivate();

    QCOMPARE(messages.calls, reminders({"Ann B Lee has a Birth Day.Send him/her greetings!"}));
}

void TestReminderScan::checkEventsTwiceRemindsTwice()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-10", {"2026-03-11"}, {"Call"}});
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));
    const QStringList once{"Ann B Lee has a Birth Day.Send him/her greetings!",
                           "Event    ** Call **    - Tomorrow !"};

    window->Action3Execute();
    window->Action3Execute();

    QCOMPARE(messages.calls, reminders(once + once));
}

void TestReminderScan::runsOnFirstActivationOnly()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-10", {}, {}});
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));
    const Calls once = reminders({"Ann B Lee has a Birth Day.Send him/her greetings!"});

    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTRY_COMPARE(messages.calls, once);

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    QCOMPARE(messages.calls, once);

    window->Action3Execute();
    QCOMPARE(messages.calls, once + once);
}

void TestReminderScan::leavesDetailsPanelAsItWas()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-10", {}, {}});
    insertContact(db, {QStringLiteral("Bob"), "", {}, {}});
    insertLoans(db, 1);
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));
    window->Memo1->setPlainText(QStringLiteral("shown before"));
    window->Label2->setText(QStringLiteral("7"));
    QList<bool> scanningAtChange;
    connect(&window->DataSource1, &DataSource::dataChange, window.get(),
            [&] { scanningAtChange << window->isScanning(); });

    window->FormActivate();

    QVERIFY(!scanningAtChange.isEmpty());
    QVERIFY(!scanningAtChange.contains(false));
    QCOMPARE(window->Memo1->toPlainText(), QStringLiteral("shown before"));
    QCOMPARE(window->Label2->text(), QStringLiteral("7"));
    QCOMPARE(window->Label4->text(), QStringLiteral("1"));
}

void TestReminderScan::savesPendingRowFirst()
{
    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "", {}, {}});
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));
    window->tbldanni.edit();
    window->tbldanni.fieldByName(QStringLiteral("rd"))
        .setAsDateTime(DateTimeValue::fromDateTime(QDate(1981, 3, 12)));

    window->FormActivate();

    QCOMPARE(messages.calls, reminders({"Ann B Lee - Birth Day after 2 days !"}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE rd LIKE '1981-03-12%'")),
             1);
}

void TestReminderScan::errorEndsScanAndClearsScanning_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("shownFirst");
    QTest::addColumn<int>("position");

    QTest::newRow("pending row cannot be written")
        << "pending"
        << "tbldanni: The row was changed or deleted by another program since it "
           "was read; refresh to see the current data."
        << QStringList() << 0;
    QTest::newRow("contact table closed")
        << "contacts closed"
        << "tbldanni: Cannot perform this operation on a closed dataset." << QStringList() << 50;
    QTest::newRow("loan table closed")
        << "loans closed"
        << "tblzaemi: Cannot perform this operation on a closed dataset."
        << QStringList{"Ann B Lee has a Birth Day.Send him/her greetings!"} << 2;
}

void TestReminderScan::errorEndsScanAndClearsScanning()
{
    QFETCH(QString, failure);
    QFETCH(QString, error);
    QFETCH(QStringList, shownFirst);
    QFETCH(int, position);

    TestDatabase db;
    insertContact(db, {QStringLiteral("Ann"), "1980-03-10", {}, {}});
    insertContact(db, {QStringLiteral("Bob"), "", {}, {}});
    insertLoans(db, 4);
    auto window = openWindow(db);
    RecordingMessageService messages;
    Clock::setFixed(at(2026, 3, 10));
    if (failure == QLatin1String("pending")) {
        // Another program deletes the row being edited: writing it back must fail.
        window->tbldanni.last();
        window->tbldanni.edit();
        window->tbldanni.fieldByName(QStringLiteral("ime")).setAsString(QStringLiteral("Bo"));
        db.execute(QStringLiteral("DELETE FROM danni WHERE ime = 'Bob'"));
    } else if (failure == QLatin1String("contacts closed")) {
        window->tbldanni.close();
    } else {
        window->tblzaemi.close();
    }

    // The details panel may already show a total; a failed scan leaves it as it was.
    const QString totalBefore = window->Label4->text();
    guarded([&] { window->FormActivate(); });

    Calls expected = reminders(shownFirst);
    expected << RecordingMessageService::Call{QStringLiteral("error"), error};
    QCOMPARE(messages.calls, expected);
    QVERIFY(!window->isScanning());
    QCOMPARE(window->Label4->text(), totalBefore);
    QCOMPARE(window->ProgressBar1->value(), position);
}

QTEST_MAIN(TestReminderScan)
#include "tst_reminderscan.moc"
