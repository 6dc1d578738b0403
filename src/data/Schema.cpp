#include "Schema.h"

#include <QStringList>

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::AutoInc:
        return QStringLiteral("AutoInc");
    case FieldKind::Integer:
        return QStringLiteral("Integer");
    case FieldKind::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldKind::Text:
        return QStringLiteral("WideString");
    case FieldKind::Memo:
        return QStringLiteral("WideMemo");
    case FieldKind::DateTime:
        return QStringLiteral("DateTime");
    }
    return {};
}

bool isTextKind(FieldKind kind)
{
    return kind == FieldKind::Text || kind == FieldKind::Memo;
}

bool isNumberKind(FieldKind kind)
{
    return !isTextKind(kind);
}

namespace Schema {

static FieldDef text(const char* name, int size)
{
    return {QString::fromLatin1(name), FieldKind::Text, size};
}

static FieldDef memo(const char* name)
{
    return {QString::fromLatin1(name), FieldKind::Memo};
}

static FieldDef dateTime(const char* name, const QString& displayFormat = {})
{
    return {QString::fromLatin1(name), FieldKind::DateTime, 0, false, false, displayFormat};
}

static FieldDef autoNumber(const char* name)
{
    return {QString::fromLatin1(name), FieldKind::AutoInc, 0, true};
}

const TableDef& contacts()
{
    static const TableDef def{
        QStringLiteral("danni"),
        QStringLiteral("tbldanni"),
        {autoNumber("id"),     text("ime", 200),
         text("prezime", 200), text("familia", 200),
         dateTime("rd"),       memo("other"),
         memo("adres"),        text("tel", 50),
         text("tel1", 50),     text("tel2", 50),
         dateTime("timer1"),   dateTime("timer2"),
         dateTime("timer3"),   dateTime("timer4"),
         text("ts1", 200),     text("ts2", 200),
         text("ts3", 200),     text("ts4", 200),
         text("status", 50),   {QStringLiteral("fullnames"), FieldKind::Text, 120, true, true}},
        QStringLiteral("id")};
    return def;
}

const TableDef& loans()
{
    static const TableDef def{QStringLiteral("zaemi"),
                              QStringLiteral("tblzaemi"),
                              {autoNumber("zaemi_ID"),
                               text("what", 200),
                               dateTime("date_zaem"),
                               dateTime("date_back", QStringLiteral("dd.mm.yyyy")),
                               {QStringLiteral("client_ID"), FieldKind::Integer}},
                              QStringLiteral("zaemi_ID")};
    return def;
}

static QString columnType(const FieldDef& field)
{
    switch (field.kind) {
    case FieldKind::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldKind::Integer:
        return QStringLiteral("INTEGER");
    case FieldKind::SmallInt:
        return QStringLiteral("SMALLINT");
    case FieldKind::Text:
        return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldKind::Memo:
        return QStringLiteral("TEXT");
    case FieldKind::DateTime:
        return QStringLiteral("DATETIME");
    }
    return {};
}

static QString createTable(const TableDef& def)
{
    QStringList columns;
    for (const FieldDef& field : def.fields)
        if (!field.calculated)
            columns << QStringLiteral("  \"%1\" %2").arg(field.name, columnType(field));
    return QStringLiteral("CREATE TABLE \"%1\" (\n%2\n);\n")
        .arg(def.table, columns.join(QStringLiteral(",\n")));
}

QString createStatements()
{
    return createTable(contacts()) + createTable(loans());
}

} // namespace Schema
