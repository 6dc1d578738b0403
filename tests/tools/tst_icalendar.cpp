#include "ExchangeCommands.h"
#include "ICalendar.h"
#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "platform/Clock.h"

#include <QFile>
#include <QtTest>
#include <libical/ical.h>
#include <memory>

namespace {

struct ComponentDeleter {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

struct ParsedAlarm {
    QString action;
    int triggerSeconds;
    QString description;
};

struct ParsedEvent {
    QString uid;
    QString summary;
    icaltimetype start;
    icaltimetype end;
    QString rrule;
    QList<ParsedAlarm> alarms;
};

QString text(const char* value)
{
    return QString::fromUtf8(value ? value : "");
}

// Reads a calendar back with libical's own parser.
QList<ParsedEvent> parseCalendar(const QByteArray& data)
{
    Component calendar(icalparser_parse_string(data.constData()));
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        qFatal("libical could not read the calendar");
    QList<ParsedEvent> events;
    for (icalcomponent* event =
             icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
         event; event = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT)) {
        ParsedEvent parsed;
        parsed.uid = text(icalcomponent_get_uid(event));
        parsed.summary = text(icalcomponent_get_summary(event));
        parsed.start = icalcomponent_get_dtstart(event);
        parsed.end = icalcomponent_get_dtend(event);
        if (icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype recurrence = icalproperty_get_rrule(rrule);
            parsed.rrule = text(icalrecurrencetype_as_string(&recurrence));
        }
        for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
             alarm; alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
            icalproperty* action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
            icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
            icalproperty* description =
                icalcomponent_get_first_property(alarm, ICAL_DESCRIPTION_PROPERTY);
            parsed.alarms.append(
                {text(action ? icalproperty_get_value_as_string(action) : nullptr),
                 trigger ? icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration) : 0,
                 text(description ? icalproperty_get_description(description) : nullptr)});
        }
        events.append(parsed);
    }
    return events;
}

QString dateText(const icaltimetype& time)
{
    return QStringLiteral("%1%2%3%4")
        .arg(time.year, 4, 10, QLatin1Char('0'))
        .arg(time.month, 2, 10, QLatin1Char('0'))
        .arg(time.day, 2, 10, QLatin1Char('0'))
        .arg(time.is_date ? QString() : QStringLiteral("T"));
}

double date(int year, int month, int day, QTime time = QTime(0, 0))
{
    return DateTimeValue::fromDateTime(QDate(year, month, day), time);
}

ContactRecord ivan()
{
    ContactRecord contact;
    contact.id = 7;
    contact.first = QStringLiteral("Иван");
    contact.last = QStringLiteral("Петров");
    return contact;
}

const QDateTime kStamp(QDate(2026, 5, 4), QTime(12, 0), Qt::UTC);

QByteArray exportIcs(const TestDatabase& database, const QString& name)
{
    const QString file = database.directory() + QLatin1Char('/') + name;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    if (runExportIcs({database.path(), file}, outStream, errStream) != 0)
        qFatal("export-ics failed: %s", qPrintable(err));
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly))
        qFatal("export-ics wrote nothing");
    return written.readAll();
}

QStringList uids(const QList<ParsedEvent>& events)
{
    QStringList result;
    for (const ParsedEvent& event : events)
        result << event.uid;
    return result;
}

} // namespace

class TestICalendar : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Clock::setSource({}); }

    void shouldWriteOneAllDayEntryPerDate_data();
    void shouldWriteOneAllDayEntryPerDate();
    void shouldRemindTwoDaysAndOneDayBeforeAndOnTheDay();
    void shouldRepeatBirthdaysYearly_data();
    void shouldRepeatBirthdaysYearly();
    void shouldKeepUidsStableOverTwoExports();
};

void TestICalendar::shouldWriteOneAllDayEntryPerDate_data()
{
    QTest::addColumn<ContactRecord>("contact");
    QTest::addColumn<QStringList>("entries"); // uid | summary | start | end | rrule

    ContactRecord birthday = ivan();
    birthday.birthDate = date(1980, 3, 15, QTime(10, 30));
    QTest::newRow("birthday") << birthday
                              << QStringList{"tembrel-contact-7-birthday|Birth Day: Иван "
                                             "Петров|19800315|19800316|FREQ=YEARLY"};

    ContactRecord events = ivan();
    events.events[0] = {date(2026, 12, 31, QTime(18, 0)), QStringLiteral("Новый год; ёлка, \\")};
    events.events[1] = {0, QStringLiteral("no date, no entry")};
    events.events[3] = {date(2027, 2, 28), QString()};
    QTest::newRow("events with and without dates")
        << events
        << QStringList{"tembrel-contact-7-event-1|Новый год; ёлка, \\|20261231|20270101|",
                       "tembrel-contact-7-event-4|Event|20270228|20270301|"};

    ContactRecord longText = ivan();
    longText.events[2] = {date(2026, 6, 1), QStringLiteral("Ж").repeated(150)};
    QTest::newRow("long Cyrillic text folded")
        << longText
        << QStringList{"tembrel-contact-7-event-3|" + QStringLiteral("Ж").repeated(150) +
                       "|20260601|20260602|"};

    ContactRecord yearless = ivan();
    yearless.birthDate = date(kYearlessBirthYear, 2, 29);
    QTest::newRow("year-less birthday")
        << yearless
        << QStringList{"tembrel-contact-7-birthday|Birth Day: Иван Петров|16040229|16040301|"
                       "FREQ=YEARLY"};

    QTest::newRow("no dates at all") << ivan() << QStringList();
}

void TestICalendar::shouldWriteOneAllDayEntryPerDate()
{
    QFETCH(ContactRecord, contact);
    QFETCH(QStringList, entries);
    QStringList found;
    for (const ParsedEvent& event : parseCalendar(ICalendar::write({contact}, kStamp)))
        found << QStringList{event.uid, event.summary, dateText(event.start), dateText(event.end),
                             event.rrule}
                     .join(QLatin1Char('|'));
    QCOMPARE(found, entries);
}

void TestICalendar::shouldRemindTwoDaysAndOneDayBeforeAndOnTheDay()
{
    ContactRecord contact = ivan();
    contact.birthDate = date(1980, 3, 15);
    contact.events[1] = {date(2026, 7, 1), QStringLiteral("Отпуск")};
    const QList<ParsedEvent> events = parseCalendar(ICalendar::write({contact}, kStamp));
    QCOMPARE(events.size(), 2);

    // 09:00 two days before, the day before and on the day.
    const QList<int> triggers{-(24 + 15) * 3600, -15 * 3600, 9 * 3600};
    const QStringList birthdayTexts{"Иван Петров - Birth Day after 2 days !",
                                    "Иван Петров - Birth Day tomorrow !",
                                    "Иван Петров has a Birth Day.Send him/her greetings!"};
    const QStringList eventTexts{"Event    ** Отпуск **    - after 2 days !",
                                 "Event    ** Отпуск **    - Tomorrow !",
                                 "Event    ** Отпуск **    - is Today !"};
    for (int e = 0; e < 2; ++e) {
        const QList<ParsedAlarm>& alarms = events[e].alarms;
        QCOMPARE(alarms.size(), 3);
        for (int a = 0; a < 3; ++a) {
            QCOMPARE(alarms[a].action, QStringLiteral("DISPLAY"));
            QCOMPARE(alarms[a].triggerSeconds, triggers[a]);
            QCOMPARE(alarms[a].description, (e == 0 ? birthdayTexts : eventTexts)[a]);
        }
    }
}

void TestICalendar::shouldRepeatBirthdaysYearly_data()
{
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QStringList>("occurrences"); // the first three from 2025 on

    QTest::newRow("ordinary") << QDate(1980, 3, 15)
                              << QStringList{"20250315", "20260315", "20270315"};
    QTest::newRow("new year's eve")
        << QDate(1999, 12, 31) << QStringList{"20251231", "20261231", "20271231"};
    QTest::newRow("29 February: leap years only")
        << QDate(1992, 2, 29) << QStringList{"20280229", "20320229", "20360229"};
    QTest::newRow("year-less 29 February")
        << QDate(kYearlessBirthYear, 2, 29) << QStringList{"20280229", "20320229", "20360229"};
}

void TestICalendar::shouldRepeatBirthdaysYearly()
{
    QFETCH(QDate, birth);
    QFETCH(QStringList, occurrences);
    ContactRecord contact = ivan();
    contact.birthDate = DateTimeValue::fromDateTime(birth);
    const QByteArray data = ICalendar::write({contact}, kStamp);
    Component calendar(icalparser_parse_string(data.constData()));
    icalcomponent* event = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
    QVERIFY(event);
    icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    QVERIFY(rrule);
    icalrecur_iterator* iterator =
        icalrecur_iterator_new(icalproperty_get_rrule(rrule), icalcomponent_get_dtstart(event));
    QVERIFY(icalrecur_iterator_set_start(iterator, icaltime_from_string("20250101")));
    QStringList found;
    for (int i = 0; i < 3; ++i)
        found << dateText(icalrecur_iterator_next(iterator));
    icalrecur_iterator_free(iterator);
    QCOMPARE(found, occurrences);
}

void TestICalendar::shouldKeepUidsStableOverTwoExports()
{
    TestDatabase database;
    database.execute(QStringLiteral(
        "INSERT INTO danni (ime, familia, rd, timer1, ts1, timer3, ts3) VALUES "
        "('Ivan', 'Petrov', '1975-06-01 00:00:00', '2026-12-24 00:00:00', 'Party', NULL, NULL),"
        "('Ann', 'Lee', NULL, '2026-08-01 00:00:00', 'Trip', '2026-09-01 00:00:00', 'Back')"));
    Clock::setFixed(QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    const QList<ParsedEvent> first = parseCalendar(exportIcs(database, QStringLiteral("1.ics")));

    // Later: a date moves and a contact is added; the entries that were there keep their UIDs.
    database.execute(QStringLiteral("UPDATE danni SET timer1 = '2026-12-25 00:00:00' WHERE ime = "
                                    "'Ivan'; INSERT INTO danni (ime, rd) VALUES ('New', "
                                    "'2000-01-01 00:00:00')"));
    Clock::setFixed(QDateTime(QDate(2026, 6, 1), QTime(9, 0)));
    const QList<ParsedEvent> second = parseCalendar(exportIcs(database, QStringLiteral("2.ics")));

    const QStringList firstUids = uids(first);
    QCOMPARE(firstUids, (QStringList{"tembrel-contact-1-birthday", "tembrel-contact-1-event-1",
                                     "tembrel-contact-2-event-1", "tembrel-contact-2-event-3"}));
    QCOMPARE(uids(second), firstUids + QStringList{"tembrel-contact-3-birthday"});
    QCOMPARE(dateText(second[1].start), QStringLiteral("20261225"));
}

QTEST_GUILESS_MAIN(TestICalendar)
#include "tst_icalendar.moc"
