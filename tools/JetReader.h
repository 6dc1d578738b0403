#pragma once

#include "data/Schema.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

// One value of a row: null, a whole number, a date-time (the raw Jet value: days since
// 30 December 1899, the time of day as the fraction) or text.
using JetValue = std::variant<std::monostate, qint64, double, QString>;
using JetRow = std::vector<JetValue>;

// What a contact book of the older Windows program holds: the rows of `danni` and `zaemi`,
// each with its values in the order of the stored fields of Schema::contacts() and
// Schema::loans(), and the columns of those tables that the contact book does not know.
struct JetContents {
    std::vector<JetRow> contacts;
    std::vector<JetRow> loans;
    QStringList unknownColumns; // "table.column"
};

// Reads both tables of a Jet 4 file with libmdb in this process. Anything that is not a
// complete, readable Jet 4 contact book is a DatabaseError naming the file and the problem.
JetContents readJetFile(const QString& path);

// The same, read in a child process, so that a damaged file that crashes libmdb becomes a
// DatabaseError too.
JetContents readJetFileSafely(const QString& path);
