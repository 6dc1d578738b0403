#include "ICalendar.h"

#include "data/DateTimeValue.h"

#include <libical/ical.h>
#include <memory>

namespace ICalendar {

namespace {

struct ComponentDeleter {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

// The alarms of every entry: when, relative to the start of the day, and the reminder text
// that follows the subject.
struct Alarm {
    const char* trigger;
    const char* birthdaySuffix;
    const char* eventSuffix;
};
const Alarm kAlarms[] = {
    {"-P1DT15H", " - Birth Day after 2 days !", " **    - after 2 days !"},
    {"-PT15H", " - Birth Day tomorrow !", " **    - Tomorrow !"},
    {"PT9H", " has a Birth Day.Send him/her greetings!", " **    - is Today !"},
};

icaltimetype icalDate(const QDate& date)
{
    icaltimetype time = icaltime_null_date();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    return time;
}

void addDateProperty(icalcomponent* event, icalproperty* property)
{
    icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATE));
    icalcomponent_add_property(event, property);
}

void addAlarm(icalcomponent* event, const char* trigger, const QString& text)
{
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(text.toUtf8().constData()));
    icaltriggertype when = icaltriggertype_from_int(0);
    when.duration = icaldurationtype_from_string(trigger);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(when));
    icalcomponent_add_component(event, alarm);
}

// An all-day event on `date` with the shared properties.
icalcomponent* newEvent(const QString& uid, const QDate& date, const QString& summary,
                        const icaltimetype& stamp)
{
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    addDateProperty(event, icalproperty_new_dtstart(icalDate(date)));
    addDateProperty(event, icalproperty_new_dtend(icalDate(date.addDays(1))));
    icalcomponent_add_property(event, icalproperty_new_summary(summary.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    return event;
}

Component birthday(const ContactRecord& contact, const icaltimetype& stamp)
{
    const QString name = displayName(contact);
    icalcomponent* event =
        newEvent(birthdayUid(contact.id), DateTimeValue::toDate(contact.birthDate),
                 QStringLiteral("Birth Day: ") + name, stamp);
    icalcomponent_add_property(
        event, icalproperty_new_rrule(icalrecurrencetype_from_string("FREQ=YEARLY")));
    for (const Alarm& alarm : kAlarms)
        addAlarm(event, alarm.trigger, name + QLatin1String(alarm.birthdaySuffix));
    return Component(event);
}

Component datedEvent(const ContactRecord& contact, int number, const icaltimetype& stamp)
{
    const ContactEvent& dated = contact.events[size_t(number - 1)];
    const QString summary = dated.text.trimmed().isEmpty() ? QStringLiteral("Event") : dated.text;
    icalcomponent* event =
        newEvent(eventUid(contact.id, number), DateTimeValue::toDate(dated.date), summary, stamp);
    for (const Alarm& alarm : kAlarms)
        addAlarm(event, alarm.trigger,
                 QStringLiteral("Event    ** ") + dated.text + QLatin1String(alarm.eventSuffix));
    return Component(event);
}

QByteArray serialised(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    const QByteArray result(text);
    icalmemory_free_buffer(text);
    return result;
}

} // namespace

QString birthdayUid(qint64 contactId)
{
    return QStringLiteral("tembrel-contact-%1-birthday").arg(contactId);
}

QString eventUid(qint64 contactId, int eventNumber)
{
    return QStringLiteral("tembrel-contact-%1-event-%2").arg(contactId).arg(eventNumber);
}

QByteArray write(const std::vector<ContactRecord>& contacts, const QDateTime& stamp)
{
    const icaltimetype dtstamp =
        icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Tembrel//Tembrel contact book//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    // Each event is written and freed on its own: a tree of every event of a large book would
    // take many times the size of the file.
    static const QByteArray end = QByteArrayLiteral("END:VCALENDAR\r\n");
    QByteArray text = serialised(calendar.get());
    Q_ASSERT(text.endsWith(end));
    text.chop(end.size());
    for (const ContactRecord& contact : contacts) {
        if (contact.birthDate != 0)
            text += serialised(birthday(contact, dtstamp).get());
        for (int number = 1; number <= int(contact.events.size()); ++number)
            if (contact.events[size_t(number - 1)].date != 0)
                text += serialised(datedEvent(contact, number, dtstamp).get());
    }
    text += end;
    return text;
}

} // namespace ICalendar
