#pragma once

#include <QString>
#include <vector>

// The kinds of field the program knows, with the names used in type-mismatch errors.
enum class FieldKind { AutoInc, Integer, SmallInt, Text, Memo, DateTime };

QString fieldKindName(FieldKind kind);
bool isTextKind(FieldKind kind);
bool isNumberKind(FieldKind kind);

struct FieldDef {
    QString name;
    FieldKind kind;
    int size = 0; // characters, for text fields
    bool readOnly = false;
    bool calculated = false;
    QString displayFormat = {};
};

struct TableDef {
    QString table;
    QString datasetName;
    std::vector<FieldDef> fields; // stored fields first, in column order, then calculated ones
    QString keyField;             // the auto-number key
};

namespace Schema {

// The contact table `danni` as `tbldanni` sees it, with the calculated `fullnames`.
const TableDef& contacts();
// The loan table `zaemi` as `tblzaemi` sees it.
const TableDef& loans();

// Creates both tables in an open, empty SQLite database (the program itself never does this).
QString createStatements();

} // namespace Schema
