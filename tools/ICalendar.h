#pragma once

#include "ContactRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <vector>

// The calendar of a contact book, built and written with libical:
//   - a yearly all-day event per birthday ("Birth Day: <name>"; on 29 February it falls only
//     in leap years, as the program's own reminder does),
//   - an all-day event per dated event (its text as the summary),
//   - on each, display alarms at 09:00 two days before, the day before and on the day, with
//     the texts of the program's own reminders.
// UIDs are made of the contact's id and what the event is, so a calendar that imports a later
// export updates its entries instead of adding them again.
namespace ICalendar {

QString birthdayUid(qint64 contactId);
QString eventUid(qint64 contactId, int eventNumber);

// `stamp` is the moment of the export (DTSTAMP).
QByteArray write(const std::vector<ContactRecord>& contacts, const QDateTime& stamp);

} // namespace ICalendar
