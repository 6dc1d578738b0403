#include "data/Connection.h"
#include "data/DateTimeValue.h"
#include "data/FullName.h"
#include "data/SqlFunctions.h"
#include "platform/DateFormat.h"

#include <QTest>

// Full names, date-time values and their texts, the case-folding `like` and the parts of a
// connection string.
class TestValues : public QObject {
    Q_OBJECT
private slots:
    void connectionStringParameters_data()
    {
        QTest::addColumn<QString>("connectionString");
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("mode");
        QTest::newRow("plain") << "Provider=X;Data Source=4rd.mdb;Mode=Read"
                               << "4rd.mdb"
                               << "Read";
        QTest::newRow("key case and blanks")
            << " data source =  /a b/4rd.mdb ; MODE=Share Deny None"
            << "/a b/4rd.mdb"
            << "Share Deny None";
        QTest::newRow("double quotes hold ';'") << "Data Source=\"/x;y/4rd.mdb\";Mode=Read"
                                                << "/x;y/4rd.mdb"
                                                << "Read";
        QTest::newRow("single quotes, doubled quote inside") << "Data Source='/it''s;here.mdb'"
                                                             << "/it's;here.mdb"
                                                             << "";
        QTest::newRow("empty quoted value") << "Extended Properties=\"\";Data Source=a.mdb"
                                            << "a.mdb"
                                            << "";
        QTest::newRow("part without a value") << "junk;Data Source=a.mdb;;"
                                              << "a.mdb"
                                              << "";
        QTest::newRow("unclosed quote takes the rest") << "Mode=Read;Data Source=\"a;b"
                                                       << "a;b"
                                                       << "Read";
    }

    void connectionStringParameters()
    {
        QFETCH(QString, connectionString);
        QFETCH(QString, dataSource);
        QFETCH(QString, mode);
        Connection connection;
        connection.setConnectionString(connectionString);
        QCOMPARE(connection.parameter(QStringLiteral("Data Source")), dataSource);
        QCOMPARE(connection.parameter(QStringLiteral("Mode")), mode);
    }

    void fullNameJoinsThreeParts_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all three") << "Ivan"
                                   << "Petrov"
                                   << "Ivanov"
                                   << "Ivan Petrov Ivanov";
        QTest::newRow("no second name") << "Ivan"
                                        << ""
                                        << "Ivanov"
                                        << "Ivan   Ivanov";
        QTest::newRow("all empty") << ""
                                   << ""
                                   << ""
                                   << "     ";
        QTest::newRow("blank-only part kept") << "  "
                                              << "x"
                                              << ""
                                              << "   x  ";
        QTest::newRow("cut at 120")
            << QString(200, 'a') << QString(200, 'b') << QString(200, 'c') << QString(120, 'a');
        QTest::newRow("Cyrillic") << "Мария"
                                  << ""
                                  << "Петрова"
                                  << "Мария   Петрова";
    }
    void fullNameJoinsThreeParts()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, last);
        QFETCH(QString, expected);
        QCOMPARE(fullName(first, second, last), expected);
    }

    void dateTimeValueRoundTrips_data()
    {
        QTest::addColumn<QString>("storage");
        QTest::addColumn<double>("value");
        QTest::newRow("epoch is zero") << "1899-12-30 00:00:00" << 0.0;
        QTest::newRow("1 January 1900") << "1900-01-01 00:00:00" << 2.0;
        QTest::newRow("noon") << "2024-02-29 12:00:00" << 45351.5;
        QTest::newRow("before the epoch, with time") << "1899-12-29 06:00:00" << -1.25;
        QTest::newRow("long before the epoch") << "1800-01-01 00:00:00" << -36522.0;
        QTest::newRow("one second before midnight")
            << "2026-12-11 23:59:59" << 46367.0 + 86399.0 / 86400;
    }
    void dateTimeValueRoundTrips()
    {
        QFETCH(QString, storage);
        QFETCH(double, value);
        const auto parsed = DateTimeValue::fromStorageText(storage);
        QVERIFY(parsed);
        QCOMPARE(*parsed, value);
        QCOMPARE(DateTimeValue::toStorageText(value), storage);
    }

    void storageTextAcceptsOtherToolsForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised"); // empty: rejected
        QTest::newRow("date only") << "2024-03-05"
                                   << "2024-03-05 00:00:00";
        QTest::newRow("T separator") << "2024-03-05T14:03:07"
                                     << "2024-03-05 14:03:07";
        QTest::newRow("fraction rounds") << "2024-03-05 14:03:07.6"
                                         << "2024-03-05 14:03:08";
        QTest::newRow("no such day") << "2023-02-29 00:00:00"
                                     << "";
        QTest::newRow("garbage") << "yesterday"
                                 << "";
        QTest::newRow("bad hour") << "2024-03-05 24:00:00"
                                  << "";
    }
    void storageTextAcceptsOtherToolsForms()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        const auto parsed = DateTimeValue::fromStorageText(text);
        QCOMPARE(bool(parsed), !normalised.isEmpty());
        if (parsed)
            QCOMPARE(DateTimeValue::toStorageText(*parsed), normalised);
    }

    void formatDateTimePatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short date") << "dd.mm.yyyy"
                                    << "05.03.2024";
        QTest::newRow("time after hour is minutes") << "hh:mm:ss"
                                                    << "14:03:07";
        QTest::newRow("five y give four digits") << "yyyyy"
                                                 << "2024";
        QTest::newRow("names and separators") << " dddd dd/mmm/yyyyy   hh:mm:ss "
                                              << " Tuesday 05.Mar.2024   14:03:07 ";
        QTest::newRow("quoted literal") << "'mm' mm"
                                        << "mm 03";
    }
    void formatDateTimePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        FormatSettings english;
        english.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        english.dateSeparator = QLatin1Char('.');
        english.timeSeparator = QLatin1Char(':');
        const double value = DateTimeValue::fromDateTime(QDate(2024, 3, 5), QTime(14, 3, 7));
        QCOMPARE(formatDateTime(pattern, value, english), expected);
    }

    void likeFoldsCaseForEveryScript_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("Cyrillic lower finds upper") << "%ива%"
                                                    << "Иванов" << true;
        QTest::newRow("ASCII") << "%SMI%"
                               << "John Smith" << true;
        QTest::newRow("Greek") << "%σοφ%"
                               << "ΣΟΦΙΑ" << true;
        QTest::newRow("no match") << "%xyz%"
                                  << "Иванов" << false;
        QTest::newRow("underscore one char") << "a_c"
                                             << "abc" << true;
        QTest::newRow("quote is plain text") << "%O'Brien%"
                                             << "Mary O'Brien" << true;
        QTest::newRow("anchored start") << "ив%"
                                        << "Сивов" << false;
    }
    void likeFoldsCaseForEveryScript()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(likeMatches(pattern, text), matches);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
