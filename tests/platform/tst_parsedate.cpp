#include "platform/DateFormat.h"

#include <QTest>

class TestParseDate : public QObject {
    Q_OBJECT
private slots:
    void readsTypedDates_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected"); // invalid: not a date

        const QString dotted = QStringLiteral("dd.mm.yyyy");
        QTest::newRow("full") << dotted << "12.03.1985" << QDate(1985, 3, 12);
        QTest::newRow("single digits") << dotted << "1.3.1985" << QDate(1985, 3, 1);
        QTest::newRow("blanks around") << dotted << "  01.03.1985 " << QDate(1985, 3, 1);
        QTest::newRow("leap day") << dotted << "29.02.2024" << QDate(2024, 2, 29);
        QTest::newRow("two-digit year") << dotted << "12.03.85" << QDate();
        QTest::newRow("no leap day") << dotted << "29.02.2023" << QDate();
        QTest::newRow("day 32") << dotted << "32.01.2020" << QDate();
        QTest::newRow("month 13") << dotted << "01.13.2020" << QDate();
        QTest::newRow("year 0") << dotted << "01.01.0000" << QDate();
        QTest::newRow("three-digit year") << dotted << "01.01.202" << QDate();
        QTest::newRow("five-digit year") << dotted << "01.01.20201" << QDate();
        QTest::newRow("unfinished") << dotted << "12.03." << QDate();
        QTest::newRow("other separator") << dotted << "12-03-2020" << QDate();
        QTest::newRow("trailing text") << dotted << "12.03.2020x" << QDate();
        QTest::newRow("three-digit day") << dotted << "123.03.2020" << QDate();
        QTest::newRow("letters") << dotted << "abc" << QDate();
        QTest::newRow("empty") << dotted << "" << QDate();
        QTest::newRow("non-ASCII digits") << dotted << "١٢.03.2020" << QDate();
        QTest::newRow("other order") << "yyyy-mm-dd"
                                     << "2020-03-12" << QDate(2020, 3, 12);
        QTest::newRow("locale separator") << "dd/mm/yyyy"
                                          << "12.03.2020" << QDate(2020, 3, 12);
        QTest::newRow("quoted literal") << "dd'x'mm'x'yyyy"
                                        << "12x03x2020" << QDate(2020, 3, 12);
        QTest::newRow("month names") << "dd mmm yyyy"
                                     << "12 Mar 2020" << QDate();
        QTest::newRow("times") << "dd.mm.yyyy hh:nn"
                               << "12.03.2020 10:00" << QDate();
    }
    void readsTypedDates()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        FormatSettings settings;
        settings.dateSeparator = QLatin1Char('.');
        const std::optional<QDate> date = parseDate(pattern, text, settings);
        QCOMPARE(date.value_or(QDate()), expected);
    }
};

QTEST_GUILESS_MAIN(TestParseDate)
#include "tst_parsedate.moc"
