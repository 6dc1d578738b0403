#pragma once

#include "data/Schema.h"

#include <QString>
#include <QStringList>
#include <vector>

// A column of a Jet table: its name and libmdb's type code (MDB_TEXT, MDB_DATETIME, ...).
struct JetColumn {
    QString name;
    int type = 0;
};

struct JetColumnMap {
    std::vector<int> columnOf;  // per stored field of the table, the index of its Jet column
    QStringList unknownColumns; // "table.column" of the Jet columns no field asks for
};

// Finds the stored fields of `def` among the columns of its Jet table by name, in any case, and
// checks that each column's type can hold the field. A missing column or one of another type is
// a DatabaseError naming the file at `path`.
JetColumnMap mapJetColumns(const QString& path, const TableDef& def,
                           const std::vector<JetColumn>& columns);
