#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// The program-wide date formats and a formatter for date-time patterns of the form
// "dd.mm.yyyy hh:mm:ss": d/dd day, ddd/dddd weekday name, m/mm month (minutes right after an
// hour), mmm/mmmm month name, yy or a longer run of y, h/hh, n/nn minutes, s/ss, "/" the date
// separator, ":" the time separator, text in quotes taken literally.
struct FormatSettings {
    QLocale locale = QLocale::system();
    QChar dateSeparator = QLatin1Char('.');
    QChar timeSeparator = QLatin1Char(':');

    // The names and separators of a locale, as the user's settings give them.
    static FormatSettings fromLocale(const QLocale& locale);
};

namespace DateFormats {

// Start-up sets both to "dd.mm.yyyy"; dates turned into text without a pattern use them.
QString shortDateFormat();
QString longDateFormat();
QString longTimeFormat();
void setShortDateFormat(const QString& pattern);
void setLongDateFormat(const QString& pattern);
void setProgramFormats();

// The settings used by dates shown in the windows (separators of the user's locale).
const FormatSettings& current();
void setCurrent(const FormatSettings& settings);

} // namespace DateFormats

QString formatDateTime(const QString& pattern, double value,
                       const FormatSettings& settings = DateFormats::current());

// The default text of a date-time: the short date format, then a blank and the long time format
// when the time of day is not zero.
QString dateTimeToString(double value);

// Reads a date typed in the shape of a date pattern: d/dd and m/mm take one or two digits, a run
// of y four digits (a shorter year would be a guess, and a date typed digit by digit would pass
// through wrong years on its way), "/" the date separator, any other character itself. Blanks
// around the text are ignored. Nothing for text that is not a valid date or for a pattern with
// names or times in it.
std::optional<QDate> parseDate(const QString& pattern, const QString& text,
                               const FormatSettings& settings = DateFormats::current());
