#include "SqlFunctions.h"

#include "DateTimeValue.h"

#include <sqlite3.h>

static QString argumentText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

// day() and month() of a stored date-time; NULL when the value is NULL or not a date.
template <int (QDate::*part)() const>
static void datePart(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto value = DateTimeValue::fromStorageText(argumentText(argv[0]));
    if (!value) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, (DateTimeValue::toDate(*value).*part)());
}

static bool matchFolded(QStringView pattern, QStringView text, QChar escape)
{
    qsizetype p = 0, t = 0;
    qsizetype starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            QChar pc = pattern[p];
            if (!escape.isNull() && pc == escape && p + 1 < pattern.size()) {
                if (pattern[p + 1] == text[t]) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (pc == QLatin1Char('%')) {
                starP = ++p;
                starT = t;
                continue;
            } else if (pc == QLatin1Char('_') || pc == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP < 0)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('%'))
        ++p;
    return p == pattern.size();
}

bool likeMatches(QStringView pattern, QStringView text, QChar escape)
{
    return matchFolded(pattern.toString().toCaseFolded(), text.toString().toCaseFolded(),
                       escape.isNull() ? escape : escape.toCaseFolded());
}

static void deleteFoldedPattern(void* pattern)
{
    delete static_cast<QString*>(pattern);
}

// like(pattern, text[, escape]); the folded pattern is cached for the statement's run.
static void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QChar escape;
    if (argc == 3) {
        const QString escapeText = argumentText(argv[2]);
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText[0].toCaseFolded();
    }
    auto* pattern = static_cast<QString*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        pattern = new QString(argumentText(argv[0]).toCaseFolded());
        sqlite3_set_auxdata(context, 0, pattern, deleteFoldedPattern);
        pattern = static_cast<QString*>(sqlite3_get_auxdata(context, 0));
        if (!pattern) { // SQLite may drop auxiliary data at once; fold again then
            const QString folded = argumentText(argv[0]).toCaseFolded();
            sqlite3_result_int(context,
                               matchFolded(folded, argumentText(argv[1]).toCaseFolded(), escape));
            return;
        }
    }
    sqlite3_result_int(context,
                       matchFolded(*pattern, argumentText(argv[1]).toCaseFolded(), escape));
}

void registerSqlFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "day", 1, flags, nullptr, datePart<&QDate::day>, nullptr, nullptr);
    sqlite3_create_function(db, "month", 1, flags, nullptr, datePart<&QDate::month>, nullptr,
                            nullptr);
    sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
}
