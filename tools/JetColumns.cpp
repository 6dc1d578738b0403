#include "JetColumns.h"

#include "data/Errors.h"

#include <algorithm>
#include <mdbtools.h>

namespace {

QString jetTypeName(int type)
{
    switch (type) {
    case MDB_BOOL:
        return QStringLiteral("Yes/No");
    case MDB_BYTE:
        return QStringLiteral("Byte");
    case MDB_INT:
        return QStringLiteral("Integer");
    case MDB_LONGINT:
        return QStringLiteral("Long Integer");
    case MDB_MONEY:
        return QStringLiteral("Currency");
    case MDB_FLOAT:
        return QStringLiteral("Single");
    case MDB_DOUBLE:
        return QStringLiteral("Double");
    case MDB_DATETIME:
        return QStringLiteral("Date/Time");
    case MDB_TEXT:
        return QStringLiteral("Text");
    case MDB_MEMO:
        return QStringLiteral("Memo");
    default:
        return QStringLiteral("type %1").arg(type);
    }
}

QString expectedJetTypeName(FieldKind kind)
{
    if (isTextKind(kind))
        return QStringLiteral("Text or Memo");
    return kind == FieldKind::DateTime ? QStringLiteral("Date/Time") : QStringLiteral("a number");
}

bool acceptsJetType(FieldKind kind, int type)
{
    if (isTextKind(kind))
        return type == MDB_TEXT || type == MDB_MEMO;
    if (kind == FieldKind::DateTime)
        return type == MDB_DATETIME;
    return type == MDB_LONGINT || type == MDB_INT || type == MDB_BYTE;
}

} // namespace

JetColumnMap mapJetColumns(const QString& path, const TableDef& def,
                           const std::vector<JetColumn>& columns)
{
    JetColumnMap map;
    std::vector<bool> used(columns.size(), false);
    for (const FieldDef& field : def.fields) {
        if (field.calculated)
            continue;
        const auto found = std::find_if(columns.begin(), columns.end(), [&](const JetColumn& c) {
            return c.name.compare(field.name, Qt::CaseInsensitive) == 0;
        });
        if (found == columns.end())
            throw DatabaseError(QStringLiteral("'%1' has no column '%2' in table '%3'")
                                    .arg(path, field.name, def.table));
        if (!acceptsJetType(field.kind, found->type))
            throw DatabaseError(
                QStringLiteral("'%1' has column '%2' of table '%3' as %4, expected %5")
                    .arg(path, field.name, def.table, jetTypeName(found->type),
                         expectedJetTypeName(field.kind)));
        const int index = int(found - columns.begin());
        map.columnOf.push_back(index);
        used[index] = true;
    }
    for (size_t index = 0; index < columns.size(); ++index)
        if (!used[index])
            map.unknownColumns << def.table + QLatin1Char('.') + columns[index].name;
    return map;
}
