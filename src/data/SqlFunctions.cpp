#include "SqlFunctions.h"

#include "DateTimeValue.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

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

namespace {

// The wildcards of a compiled pattern, beyond the range of Unicode code points.
constexpr char32_t kAnyOne = 0x110000;
constexpr char32_t kAnyRun = 0x110001;
constexpr char32_t kReplacement = 0xFFFD;

// A `like` pattern read once per statement: case-folded literals and wildcards, so that each
// row only folds its own text, one code point at a time, without allocating.
struct LikePattern {
    std::vector<char32_t> items;
    std::optional<char32_t> escape;
    bool matchesNothing = false; // the pattern ends with a lone escape character
};

inline char32_t foldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? char32_t(c + ('a' - 'A')) : char32_t(c);
}

inline char32_t fold(char32_t c)
{
    return c < 0x80 ? foldAscii(static_cast<unsigned char>(c)) : QChar::toCaseFolded(c);
}

// Decodes the UTF-8 sequence at `pos` and moves past it; a malformed byte reads as U+FFFD
// and moves one byte on.
char32_t readCodePoint(const unsigned char* text, size_t size, size_t& pos)
{
    const unsigned char lead = text[pos];
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        c = lead & 0x07;
    }
    if (length == 0 || pos + length > size) {
        ++pos;
        return kReplacement;
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = text[pos + i];
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    pos += length;
    return c;
}

inline char32_t readFolded(const unsigned char* text, size_t size, size_t& pos)
{
    const unsigned char lead = text[pos];
    if (lead < 0x80) {
        ++pos;
        return foldAscii(lead);
    }
    return fold(readCodePoint(text, size, pos));
}

LikePattern compileLike(const unsigned char* pattern, size_t size, std::optional<char32_t> escape)
{
    LikePattern compiled;
    compiled.escape = escape;
    size_t pos = 0;
    while (pos < size) {
        const char32_t c = readCodePoint(pattern, size, pos);
        if (escape && c == *escape) {
            if (pos == size) {
                compiled.matchesNothing = true;
                break;
            }
            compiled.items.push_back(fold(readCodePoint(pattern, size, pos)));
        } else if (c == '%') {
            if (compiled.items.empty() || compiled.items.back() != kAnyRun)
                compiled.items.push_back(kAnyRun);
        } else if (c == '_') {
            compiled.items.push_back(kAnyOne);
        } else {
            compiled.items.push_back(fold(c));
        }
    }
    return compiled;
}

// From `pos`, skips the ASCII bytes that cannot start a match of `item`. Bytes beyond ASCII
// are not skipped for an ASCII item, because some fold to ASCII (the Kelvin sign to 'k').
size_t skipToCandidate(char32_t item, const unsigned char* text, size_t size, size_t pos)
{
    if (item == kAnyOne || item == kAnyRun)
        return pos;
    if (item >= 0x80) {
        while (pos < size && text[pos] < 0x80)
            ++pos;
        return pos;
    }
    const unsigned char lower = static_cast<unsigned char>(item);
    const unsigned char upper =
        lower >= 'a' && lower <= 'z' ? static_cast<unsigned char>(lower - ('a' - 'A')) : lower;
    while (pos < size && text[pos] < 0x80 && text[pos] != lower && text[pos] != upper)
        ++pos;
    return pos;
}

// Wildcard matching with one backtracking point: the last '%' seen is stretched by one code
// point whenever what follows it fails. Linear in practice, never exponential.
bool matchLike(const LikePattern& pattern, const unsigned char* text, size_t size)
{
    if (pattern.matchesNothing)
        return false;
    const std::vector<char32_t>& items = pattern.items;
    size_t p = 0;
    size_t t = 0;
    bool backtrack = false;
    size_t runP = 0;
    size_t runT = 0;
    while (t < size) {
        if (p < items.size()) {
            const char32_t item = items[p];
            if (item == kAnyRun) {
                if (++p == items.size())
                    return true;
                backtrack = true;
                runP = p;
                runT = t = skipToCandidate(items[p], text, size, t);
                continue;
            }
            size_t next = t;
            const char32_t c = readFolded(text, size, next);
            if (item == kAnyOne || item == c) {
                ++p;
                t = next;
                continue;
            }
        }
        if (!backtrack)
            return false;
        p = runP;
        readCodePoint(text, size, runT);
        runT = t = skipToCandidate(items[p], text, size, runT);
    }
    while (p < items.size() && items[p] == kAnyRun)
        ++p;
    return p == items.size();
}

void deleteLikePattern(void* pattern)
{
    delete static_cast<LikePattern*>(pattern);
}

// like(pattern, text[, escape]), as SQLite calls it for `text LIKE pattern [ESCAPE escape]`.
// The compiled pattern is kept with the statement while the pattern stays the same.
void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    std::optional<char32_t> escape;
    if (argc == 3) {
        const unsigned char* escapeText = sqlite3_value_text(argv[2]);
        if (!escapeText) {
            sqlite3_result_null(context);
            return;
        }
        const auto escapeSize = size_t(sqlite3_value_bytes(argv[2]));
        size_t pos = 0;
        if (escapeSize > 0)
            escape = readCodePoint(escapeText, escapeSize, pos);
        if (escapeSize == 0 || pos != escapeSize) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const unsigned char* patternText = sqlite3_value_text(argv[0]);
    const auto patternSize = size_t(sqlite3_value_bytes(argv[0]));
    const unsigned char* text = sqlite3_value_text(argv[1]);
    const auto textSize = size_t(sqlite3_value_bytes(argv[1]));
    if (!patternText || !text) {
        sqlite3_result_null(context);
        return;
    }
    const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (cached && cached->escape == escape) {
        sqlite3_result_int(context, matchLike(*cached, text, textSize));
        return;
    }
    auto compiled = std::make_unique<LikePattern>(compileLike(patternText, patternSize, escape));
    sqlite3_result_int(context, matchLike(*compiled, text, textSize));
    // SQLite may free the pattern at once, so it is handed over last.
    sqlite3_set_auxdata(context, 0, compiled.release(), deleteLikePattern);
}

} // namespace

bool likeMatches(QStringView pattern, QStringView text, QChar escape)
{
    const QByteArray patternUtf8 = pattern.toUtf8();
    const QByteArray textUtf8 = text.toUtf8();
    std::optional<char32_t> escapeCode;
    if (!escape.isNull())
        escapeCode = escape.unicode();
    const LikePattern compiled =
        compileLike(reinterpret_cast<const unsigned char*>(patternUtf8.constData()),
                    size_t(patternUtf8.size()), escapeCode);
    return matchLike(compiled, reinterpret_cast<const unsigned char*>(textUtf8.constData()),
                     size_t(textUtf8.size()));
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
