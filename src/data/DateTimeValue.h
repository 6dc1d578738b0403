#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// The date-time value: days since 30 December 1899, the time of day as the fraction.
// Before that day the value is negative and the fraction still counts forward from midnight
// (-1.25 is 29 December 1899, 06:00). All conversions of the program go through here.
namespace DateTimeValue {

inline constexpr int kSecondsPerDay = 86400;

QDate epoch();
double fromDateTime(const QDate& date, const QTime& time = QTime(0, 0));
double fromQDateTime(const QDateTime& dateTime);
QDate toDate(double value);
QTime toTime(double value);
QDateTime toQDateTime(double value);

// Whole days (the calendar day of the value) and the seconds since that day's midnight.
qint64 dayNumber(double value);
int secondOfDay(double value);

// A date reduced to what comparisons of dates need, as integers: `day`, the calendar day (equal
// "ddmmyyyy" texts), and `dayMonth`, day * 100 + month (equal "ddmm" texts, in any year).
// `dated` is false for an empty date, for the value 0, which counts as no date, and for a date
// too far off to be counted in `day`. Eight bytes: a book keeps one per date of every row.
struct CalendarKey {
    qint32 day = 0;
    qint16 dayMonth = 0;
    bool dated = false;
};
CalendarKey calendarKey(const QDate& date);
CalendarKey calendarKey(double value);

// Storage text: "YYYY-MM-DD HH:MM:SS", whole seconds. Parsing also accepts "YYYY-MM-DD",
// "YYYY-MM-DDTHH:MM:SS" and fractional seconds (rounded), as other SQLite tools may write them.
QString toStorageText(double value);
std::optional<double> fromStorageText(QStringView text);

} // namespace DateTimeValue
