#include "platform/Clock.h"

#include <QtTest>

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Clock::setSource({}); }

    void todayFollowsTheSystemDate()
    {
        const QDate before = QDate::currentDate();
        const QDate today = Clock::today();
        const QDate after = QDate::currentDate();
        QVERIFY2(today == before || today == after, qPrintable(today.toString()));
    }

    void todayFollowsASetSourceAtOnce()
    {
        QDateTime now(QDate(2026, 12, 31), QTime(23, 59, 59));
        Clock::setSource([&] { return now; });
        QCOMPARE(Clock::today(), QDate(2026, 12, 31));
        now = now.addSecs(1);
        QCOMPARE(Clock::today(), QDate(2027, 1, 1));
        Clock::setFixed(QDateTime(QDate(2028, 2, 29), QTime(0, 0)));
        QCOMPARE(Clock::today(), QDate(2028, 2, 29));
    }
};

QTEST_MAIN(TestClock)
#include "tst_clock.moc"
