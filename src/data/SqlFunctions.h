#pragma once

#include <QString>

struct sqlite3;

// Registers the SQL functions the filter statements rely on: day(d) and month(d) of a stored
// date-time (NULL for NULL), and a `like` that ignores letter case for every script.
void registerSqlFunctions(sqlite3* db);

// The `like` match: '%' any run, '_' one character, case folded for all of Unicode.
bool likeMatches(QStringView pattern, QStringView text, QChar escape = QChar());
