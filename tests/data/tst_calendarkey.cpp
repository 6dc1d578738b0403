#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"

#include <QtTest>

using DateTimeValue::CalendarKey;

class TestCalendarKey : public QObject {
    Q_OBJECT
private slots:
    void keyOfAValue_data();
    void keyOfAValue();
    void fieldKeyFollowsEveryChange();
};

void TestCalendarKey::keyOfAValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("day");
    QTest::addColumn<int>("dayMonth");
    QTest::addColumn<bool>("dated");
    const auto value = [](int y, int m, int d, int h = 0, int min = 0, int s = 0) {
        return DateTimeValue::fromDateTime(QDate(y, m, d), QTime(h, min, s));
    };
    QTest::newRow("midnight") << value(2026, 3, 10) << qint64(46091) << 1003 << true;
    QTest::newRow("last second of a day")
        << value(2026, 3, 10, 23, 59, 59) << qint64(46091) << 1003 << true;
    QTest::newRow("29 February") << value(2028, 2, 29, 12) << qint64(46812) << 2902 << true;
    QTest::newRow("31 December") << value(1999, 12, 31, 6) << qint64(36525) << 3112 << true;
    QTest::newRow("zero is no date") << 0.0 << qint64(0) << 3012 << false;
    QTest::newRow("noon of the epoch day") << 0.5 << qint64(0) << 3012 << true;
    QTest::newRow("too far off to be due") << 1e12 << qint64(0) << 0 << false;
    QTest::newRow("before the epoch, with a time") << -1.25 << qint64(-1) << 2912 << true;
}

void TestCalendarKey::keyOfAValue()
{
    QFETCH(double, value);
    QFETCH(qint64, day);
    QFETCH(int, dayMonth);
    QFETCH(bool, dated);
    const CalendarKey key = DateTimeValue::calendarKey(value);
    QCOMPARE(qint64(key.day), day);
    QCOMPARE(int(key.dayMonth), dayMonth);
    QCOMPARE(key.dated, dated);
    QCOMPARE(qint64(DateTimeValue::calendarKey(DateTimeValue::toDate(value)).day), day);
}

// The key kept per row matches the value after reading, editing, writing, clearing and
// deleting rows.
void TestCalendarKey::fieldKeyFollowsEveryChange()
{
    TestDatabase db;
    db.execute(QStringLiteral("INSERT INTO danni (ime, rd) VALUES ('A', '1980-05-17 10:00:00'), "
                              "('B', NULL), ('C', '2001-02-03 00:00:00')"));
    ContactBook book(db);
    Field& birth = book.contacts.fieldByName(QStringLiteral("rd"));
    // 0 for no date.
    const auto dayMonthAt = [&](int position) {
        book.contacts.moveTo(position);
        const CalendarKey key = birth.calendarKey();
        return key.dated ? key.dayMonth : 0;
    };
    QCOMPARE(dayMonthAt(0), 1705);
    QCOMPARE(dayMonthAt(1), 0);
    QCOMPARE(dayMonthAt(2), 302);

    book.contacts.edit();
    birth.setAsDateTime(DateTimeValue::fromDateTime(QDate(1990, 12, 24)));
    QCOMPARE(int(birth.calendarKey().dayMonth), 2412);
    book.contacts.finishPending();
    QCOMPARE(dayMonthAt(2), 2412);

    book.contacts.edit();
    birth.clear();
    QVERIFY(!birth.calendarKey().dated);
    book.contacts.finishPending();
    QCOMPARE(dayMonthAt(2), 0);

    book.contacts.moveTo(1);
    book.contacts.deleteRecord();
    QCOMPARE(dayMonthAt(1), 0); // C, now second, has no birth date any more
    QCOMPARE(dayMonthAt(0), 1705);

    book.contacts.append();
    birth.setAsDateTime(DateTimeValue::fromDateTime(QDate(2000, 1, 9)));
    book.contacts.finishPending();
    QCOMPARE(book.contacts.position(), 2);
    QCOMPARE(qint64(birth.calendarKey().day), DateTimeValue::dayNumber(birth.asDateTime()));
    QCOMPARE(birth.calendarKey().dayMonth, 901);

    book.contacts.refresh();
    QCOMPARE(dayMonthAt(2), 901);
    QVERIFY_THROWS_EXCEPTION(DatasetError,
                             book.contacts.fieldByName(QStringLiteral("ime")).calendarKey());
}

QTEST_MAIN(TestCalendarKey)
#include "tst_calendarkey.moc"
