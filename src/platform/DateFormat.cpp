#include "DateFormat.h"

#include "data/DateTimeValue.h"

FormatSettings FormatSettings::fromLocale(const QLocale& locale)
{
    FormatSettings settings;
    settings.locale = locale;
    const QString date = locale.toString(QDate(2001, 11, 22), QLocale::ShortFormat);
    for (QChar c : date)
        if (!c.isDigit()) {
            settings.dateSeparator = c;
            break;
        }
    const QString time = locale.toString(QTime(13, 44, 55), QLocale::ShortFormat);
    for (QChar c : time)
        if (!c.isDigit()) {
            settings.timeSeparator = c;
            break;
        }
    return settings;
}

namespace DateFormats {

static QString& shortFormat()
{
    static QString format = QStringLiteral("dd.mm.yyyy");
    return format;
}

static QString& longFormat()
{
    static QString format = QStringLiteral("dd.mm.yyyy");
    return format;
}

static FormatSettings& settings()
{
    static FormatSettings value = FormatSettings::fromLocale(QLocale::system());
    return value;
}

QString shortDateFormat()
{
    return shortFormat();
}

QString longDateFormat()
{
    return longFormat();
}

QString longTimeFormat()
{
    return QStringLiteral("hh:mm:ss");
}

void setShortDateFormat(const QString& pattern)
{
    shortFormat() = pattern;
}

void setLongDateFormat(const QString& pattern)
{
    longFormat() = pattern;
}

void setProgramFormats()
{
    setShortDateFormat(QStringLiteral("dd.mm.yyyy"));
    setLongDateFormat(QStringLiteral("dd.mm.yyyy"));
}

const FormatSettings& current()
{
    return settings();
}

void setCurrent(const FormatSettings& value)
{
    settings() = value;
}

} // namespace DateFormats

// How many times the letter at `i` stands there in a row, in either case.
static qsizetype runLength(const QString& pattern, qsizetype i)
{
    const QChar lower = pattern[i].toLower();
    qsizetype run = 1;
    while (i + run < pattern.size() && pattern[i + run].toLower() == lower)
        ++run;
    return run;
}

static bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// The text between the quote at `i` and its closing quote (or the end); moves `i` past it.
static QStringView quotedLiteral(const QString& pattern, qsizetype& i)
{
    const qsizetype end = pattern.indexOf(pattern[i], i + 1);
    const qsizetype stop = end < 0 ? pattern.size() : end;
    const QStringView literal = QStringView(pattern).mid(i + 1, stop - i - 1);
    i = stop + 1;
    return literal;
}

static QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString formatDateTime(const QString& pattern, double value, const FormatSettings& settings)
{
    const QDate date = DateTimeValue::toDate(value);
    const QTime time = DateTimeValue::toTime(value);
    QString out;
    bool afterHour = false; // "m" or "mm" right after an hour means minutes
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        const qsizetype run = runLength(pattern, i);
        if (isQuote(c)) {
            out += quotedLiteral(pattern, i);
            continue;
        }
        qsizetype used = qMin<qsizetype>(run, 2);
        bool hour = false;
        if (lower == QLatin1Char('d')) {
            used = qMin<qsizetype>(run, 4);
            if (used == 1)
                out += QString::number(date.day());
            else if (used == 2)
                out += twoDigits(date.day());
            else
                out += settings.locale.dayName(date.dayOfWeek(), used == 3 ? QLocale::ShortFormat
                                                                           : QLocale::LongFormat);
        } else if (lower == QLatin1Char('m')) {
            used = qMin<qsizetype>(run, 4);
            if (afterHour && used <= 2)
                out += used == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            else if (used <= 2)
                out += used == 1 ? QString::number(date.month()) : twoDigits(date.month());
            else
                out += settings.locale.monthName(date.month(), used == 3 ? QLocale::ShortFormat
                                                                         : QLocale::LongFormat);
        } else if (lower == QLatin1Char('y')) {
            used = run;
            out += run <= 2 ? twoDigits(date.year() % 100)
                            : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
        } else if (lower == QLatin1Char('h')) {
            out += used == 1 ? QString::number(time.hour()) : twoDigits(time.hour());
            hour = true;
        } else if (lower == QLatin1Char('n')) {
            out += used == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
        } else if (lower == QLatin1Char('s')) {
            out += used == 1 ? QString::number(time.second()) : twoDigits(time.second());
        } else {
            used = 1;
            if (c == QLatin1Char('/'))
                out += settings.dateSeparator;
            else if (c == QLatin1Char(':'))
                out += settings.timeSeparator;
            else
                out += c;
            i += used;
            continue; // separators and literals keep the hour context
        }
        afterHour = hour;
        i += used;
    }
    return out;
}

QString dateTimeToString(double value)
{
    QString text = formatDateTime(DateFormats::shortDateFormat(), value);
    if (DateTimeValue::secondOfDay(value) != 0)
        text += QLatin1Char(' ') + formatDateTime(DateFormats::longTimeFormat(), value);
    return text;
}

// Reads one to `maxDigits` digits at `pos`; -1 when there is none.
static int readNumber(QStringView text, qsizetype& pos, int maxDigits, int& digits)
{
    int value = 0;
    digits = 0;
    while (digits < maxDigits && pos < text.size() && text[pos].isDigit() &&
           text[pos].unicode() < 128) {
        value = value * 10 + text[pos].digitValue();
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

std::optional<QDate> parseDate(const QString& pattern, const QString& typed,
                               const FormatSettings& settings)
{
    const QString text = typed.trimmed();
    int day = -1, month = -1, year = -1;
    qsizetype pos = 0;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        const qsizetype run = runLength(pattern, i);
        int digits = 0;
        if (isQuote(c)) {
            const QStringView literal = quotedLiteral(pattern, i);
            if (!QStringView(text).mid(pos).startsWith(literal))
                return std::nullopt;
            pos += literal.size();
            continue;
        }
        if (lower == QLatin1Char('d') || lower == QLatin1Char('m')) {
            if (run > 2)
                return std::nullopt;
            (lower == QLatin1Char('d') ? day : month) = readNumber(text, pos, 2, digits);
        } else if (lower == QLatin1Char('y')) {
            year = readNumber(text, pos, 4, digits);
            if (digits != 4)
                return std::nullopt;
        } else if (lower == QLatin1Char('h') || lower == QLatin1Char('n') ||
                   lower == QLatin1Char('s')) {
            return std::nullopt;
        } else {
            const QChar expected = c == QLatin1Char('/') ? settings.dateSeparator : c;
            if (pos >= text.size() || text[pos] != expected)
                return std::nullopt;
            ++pos;
            ++i;
            continue;
        }
        if (digits == 0)
            return std::nullopt;
        i += run;
    }
    if (pos != text.size() || day < 0 || month < 0 || year < 0)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
