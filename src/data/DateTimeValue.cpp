#include "DateTimeValue.h"

#include <cmath>

namespace DateTimeValue {

QDate epoch()
{
    return QDate(1899, 12, 30);
}

double fromDateTime(const QDate& date, const QTime& time)
{
    const qint64 days = epoch().daysTo(date);
    const double fraction = double(time.msecsSinceStartOfDay() / 1000) / kSecondsPerDay;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

double fromQDateTime(const QDateTime& dateTime)
{
    return fromDateTime(dateTime.date(), dateTime.time());
}

// Splits a value into its calendar day and second of day, rounding to whole seconds. A time
// that rounds up to midnight belongs to the next calendar day, before 1899 as after.
static void split(double value, qint64& day, int& second)
{
    const double whole = std::trunc(value);
    qint64 seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
    day = qint64(whole);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        day += 1;
    }
    second = int(seconds);
}

qint64 dayNumber(double value)
{
    qint64 day;
    int second;
    split(value, day, second);
    return day;
}

int secondOfDay(double value)
{
    qint64 day;
    int second;
    split(value, day, second);
    return second;
}

QDate toDate(double value)
{
    return epoch().addDays(dayNumber(value));
}

QTime toTime(double value)
{
    return QTime(0, 0).addSecs(secondOfDay(value));
}

QDateTime toQDateTime(double value)
{
    return QDateTime(toDate(value), toTime(value));
}

CalendarKey calendarKey(const QDate& date)
{
    const qint64 days = epoch().daysTo(date);
    if (!date.isValid() || days != qint32(days))
        return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    return {qint32(days), qint16(day * 100 + month), true};
}

CalendarKey calendarKey(double value)
{
    CalendarKey key = calendarKey(toDate(value));
    key.dated = key.dated && value != 0;
    return key;
}

QString toStorageText(double value)
{
    const QDate date = toDate(value);
    const int second = secondOfDay(value);
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(second / 3600, 2, 10, QLatin1Char('0'))
        .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(second % 60, 2, 10, QLatin1Char('0'));
}

// Reads exactly `count` digits at `pos`; -1 when they are not all digits.
static int digits(QStringView text, qsizetype pos, int count)
{
    if (pos + count > text.size())
        return -1;
    int result = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        result = result * 10 + (c.unicode() - '0');
    }
    return result;
}

std::optional<double> fromStorageText(QStringView text)
{
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || text.size() < 10 || text[4] != QLatin1Char('-') ||
        text[7] != QLatin1Char('-'))
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (text.size() == 10)
        return fromDateTime(date);
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    const QChar sep = text.size() > 10 ? text[10] : QChar();
    if ((sep != QLatin1Char(' ') && sep != QLatin1Char('T')) || hour < 0 || minute < 0 ||
        second < 0 || text.size() < 19 || text[13] != QLatin1Char(':') ||
        text[16] != QLatin1Char(':') || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    double fraction = 0;
    if (text.size() > 19) {
        if (text[19] != QLatin1Char('.') || text.size() == 20)
            return std::nullopt;
        const QStringView rest = text.mid(20);
        bool ok = false;
        fraction = (QStringLiteral("0.") + rest.toString()).toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    const int totalSeconds = hour * 3600 + minute * 60 + second + int(std::lround(fraction));
    return fromDateTime(date.addDays(totalSeconds / kSecondsPerDay),
                        QTime(0, 0).addSecs(totalSeconds % kSecondsPerDay));
}

} // namespace DateTimeValue
