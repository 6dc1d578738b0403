#include "JetReader.h"

#include "JetText.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <mdbtools.h>

namespace {

constexpr qint64 kJetPageSize = 4096;
constexpr int kRowOffsetMask = 0x1fff;
constexpr int kRowDeleted = 0x4000;
constexpr quint32 kMemoInline = 0x80000000;
constexpr quint32 kMemoSinglePage = 0x40000000;
constexpr quint32 kMemoLengthMask = 0x3fffffff;

[[noreturn]] void fail(const QString& path, const QString& problem)
{
    throw DatabaseError(QStringLiteral("'%1' %2").arg(path, problem));
}

// Recognises the file by its header before libmdb sees it.
void checkJetHeader(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        fail(path, QStringLiteral("does not exist"));
    if (!file.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("cannot be read: %1").arg(file.errorString()));
    const QByteArray head = file.read(0x15);
    const qint64 size = file.size();
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        fail(path, QStringLiteral("is already a Tembrel contact database: there is nothing to "
                                  "import"));
    if (head.mid(4, 15) == QByteArrayLiteral("Standard ACE DB"))
        fail(path, QStringLiteral("is an Access 2007 or later database; only Jet 4 (Access "
                                  "2000) contact books can be imported"));
    if (head.size() < 0x15 || head.mid(4, 15) != QByteArrayLiteral("Standard Jet DB"))
        fail(path, QStringLiteral("is not a Microsoft Jet database"));
    if (head[0x14] == MDB_VER_JET3)
        fail(path, QStringLiteral("is a Jet 3 (Access 97) database; only Jet 4 (Access 2000) "
                                  "contact books can be imported"));
    if (head[0x14] != MDB_VER_JET4)
        fail(path, QStringLiteral("is not a Jet 4 database (format %1)").arg(int(head[0x14])));
    if (size % kJetPageSize != 0 || size < 2 * kJetPageSize)
        fail(path, QStringLiteral("is truncated or damaged: its %1 bytes are not whole pages of "
                                  "%2 bytes")
                       .arg(size)
                       .arg(kJetPageSize));
}

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using MdbPointer = std::unique_ptr<MdbHandle, MdbCloser>;
using TablePointer = std::unique_ptr<MdbTableDef, TableFreer>;

MdbColumn* columnAt(MdbTableDef* table, unsigned index)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

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

bool acceptsJetType(FieldKind kind, int type)
{
    switch (kind) {
    case FieldKind::AutoInc:
    case FieldKind::Integer:
    case FieldKind::SmallInt:
        return type == MDB_LONGINT || type == MDB_INT || type == MDB_BYTE;
    case FieldKind::Text:
    case FieldKind::Memo:
        return type == MDB_TEXT || type == MDB_MEMO;
    case FieldKind::DateTime:
        return type == MDB_DATETIME;
    }
    return false;
}

// Reads one table: finds its columns, then walks its data pages row by row. libmdb's own row
// fetch skips rows it cannot read and stops quietly at a page it cannot read, so the rows are
// cracked here and their number checked against the table definition.
class TableReader {
public:
    TableReader(const QString& path, MdbHandle* mdb, const TableDef& def)
        : m_path(path), m_mdb(mdb), m_def(def)
    {
    }

    std::vector<JetRow> read(QStringList& unknownColumns);

private:
    void open();
    void mapColumns(QStringList& unknownColumns);
    void readPage(std::vector<JetRow>& rows);
    JetRow readRow(int start, size_t size);
    JetValue readValue(const MdbColumn* column, const MdbField& field, int rowEnd);
    QByteArray memoBytes(const MdbField& field);
    [[noreturn]] void damaged(const QString& problem) const;

    QString m_path;
    MdbHandle* m_mdb;
    const TableDef& m_def;
    std::vector<FieldDef> m_fields;
    TablePointer m_table;
    std::vector<unsigned> m_columnOf; // per stored field, its Jet column
    qsizetype m_rowNumber = 0;        // of the row being read, for messages
};

void TableReader::damaged(const QString& problem) const
{
    fail(m_path, QStringLiteral("is damaged: table '%1', record %2: %3")
                     .arg(m_def.table)
                     .arg(m_rowNumber)
                     .arg(problem));
}

std::vector<JetRow> TableReader::read(QStringList& unknownColumns)
{
    open();
    mapColumns(unknownColumns);
    std::vector<JetRow> rows;
    mdb_rewind_table(m_table.get());
    while (mdb_read_next_dpg(m_table.get()))
        readPage(rows);
    if (rows.size() != m_table->num_rows)
        fail(m_path, QStringLiteral("is damaged or truncated: table '%1' should hold %2 records "
                                    "but %3 could be read")
                         .arg(m_def.table)
                         .arg(m_table->num_rows)
                         .arg(rows.size()));
    return rows;
}

void TableReader::open()
{
    const QByteArray name = m_def.table.toUtf8();
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(m_mdb, name.constData());
    if (!entry || entry->object_type != MDB_TABLE)
        fail(m_path, QStringLiteral("has no table '%1': it is not a contact book of the older "
                                    "Windows program")
                         .arg(m_def.table));
    m_table.reset(mdb_read_table(entry));
    if (!m_table || !mdb_read_columns(m_table.get()))
        fail(m_path,
             QStringLiteral("is damaged: the definition of table '%1' cannot be read")
                 .arg(m_def.table));
}

void TableReader::mapColumns(QStringList& unknownColumns)
{
    m_fields = storedFields(m_def);
    std::vector<bool> used(m_table->num_cols, false);
    for (const FieldDef& field : m_fields) {
        unsigned index = 0;
        while (index < m_table->num_cols &&
               QString::fromUtf8(columnAt(m_table.get(), index)->name)
                       .compare(field.name, Qt::CaseInsensitive) != 0)
            ++index;
        if (index == m_table->num_cols)
            fail(m_path, QStringLiteral("has no column '%1' in table '%2'")
                             .arg(field.name, m_def.table));
        const int type = columnAt(m_table.get(), index)->col_type;
        if (!acceptsJetType(field.kind, type))
            fail(m_path, QStringLiteral("has column '%1' of table '%2' as %3, expected %4")
                             .arg(field.name, m_def.table, jetTypeName(type),
                                  fieldKindName(field.kind)));
        m_columnOf.push_back(index);
        used[index] = true;
    }
    for (unsigned index = 0; index < m_table->num_cols; ++index)
        if (!used[index])
            unknownColumns << m_def.table + QLatin1Char('.') +
                                  QString::fromUtf8(columnAt(m_table.get(), index)->name);
}

void TableReader::readPage(std::vector<JetRow>& rows)
{
    const int count = mdb_get_int16(m_mdb->pg_buf, m_mdb->fmt->row_count_offset);
    for (int row = 0; row < count; ++row) {
        m_rowNumber = qsizetype(rows.size()) + 1;
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(m_mdb, row, &start, &size) != 0)
            damaged(QStringLiteral("its place on page %1 is invalid").arg(m_table->cur_phys_pg));
        // A deleted row, or the old place of a row that grew and moved: the moved row is read
        // where it now lives.
        if ((start & kRowDeleted) || size == 0)
            continue;
        rows.push_back(readRow(start & kRowOffsetMask, size));
    }
}

JetRow TableReader::readRow(int start, size_t size)
{
    std::vector<MdbField> cracked(m_table->num_cols);
    if (mdb_crack_row(m_table.get(), start, size, cracked.data()) < 0)
        damaged(QStringLiteral("its columns cannot be found"));
    JetRow row;
    row.reserve(m_fields.size());
    for (const unsigned index : m_columnOf)
        row.push_back(readValue(columnAt(m_table.get(), index), cracked[index],
                                start + int(size)));
    return row;
}

JetValue TableReader::readValue(const MdbColumn* column, const MdbField& field, int rowEnd)
{
    if (field.is_null)
        return {};
    const QString name = QString::fromUtf8(column->name);
    const int width = column->is_fixed ? column->col_size : field.siz;
    if (field.start < 0 || width < 0 || field.start + width > rowEnd)
        damaged(QStringLiteral("column '%1' lies outside the record").arg(name));
    const uchar* data = m_mdb->pg_buf + field.start;
    switch (column->col_type) {
    case MDB_BYTE:
        return qint64(data[0]);
    case MDB_INT:
        return qint64(qFromLittleEndian<qint16>(data));
    case MDB_LONGINT:
        return qint64(qFromLittleEndian<qint32>(data));
    case MDB_DATETIME: {
        const double value = qFromLittleEndian<double>(data);
        const QDate date = std::isfinite(value) && std::fabs(value) < 3e6
                               ? DateTimeValue::toDate(value)
                               : QDate();
        if (!date.isValid() || date.year() < 100 || date.year() > 9999)
            damaged(QStringLiteral("column '%1' holds no valid date (%2)").arg(name).arg(value));
        return value;
    }
    case MDB_TEXT: {
        const auto text = decodeJetText(QByteArrayView(data, field.siz));
        if (!text)
            damaged(QStringLiteral("column '%1' holds no valid text").arg(name));
        return *text;
    }
    case MDB_MEMO: {
        const auto text = decodeJetText(memoBytes(field));
        if (!text)
            damaged(QStringLiteral("column '%1' holds no valid text").arg(name));
        return *text;
    }
    }
    damaged(QStringLiteral("column '%1' has an unexpected type").arg(name));
}

// A memo value is a 12-byte header on the row: its length and flags, and the place of its
// data, which lies after the header, alone in a row of another page, or in a chain of such rows
// each starting with the place of the next. Only a complete value is accepted.
QByteArray TableReader::memoBytes(const MdbField& field)
{
    if (field.siz == 0)
        return {};
    if (field.siz < MDB_MEMO_OVERHEAD)
        damaged(QStringLiteral("a memo header is cut short"));
    const uchar* header = m_mdb->pg_buf + field.start;
    const quint32 flags = qFromLittleEndian<quint32>(header);
    const qsizetype length = flags & kMemoLengthMask;
    if (flags & kMemoInline) {
        if (field.siz - MDB_MEMO_OVERHEAD != length)
            damaged(QStringLiteral("a memo is shorter than its stated length"));
        return QByteArray(reinterpret_cast<const char*>(header) + MDB_MEMO_OVERHEAD, length);
    }
    qint32 place = qFromLittleEndian<qint32>(header + 4);
    const bool chained = !(flags & kMemoSinglePage);
    QByteArray bytes;
    while (bytes.size() < length) {
        void* page = nullptr;
        int start = 0;
        size_t size = 0;
        if (place == 0 || mdb_find_pg_row(m_mdb, place, &page, &start, &size) != 0)
            damaged(QStringLiteral("a memo continues on a page that cannot be read"));
        const char* row = static_cast<const char*>(page) + start;
        if (!chained) {
            bytes = QByteArray(row, qsizetype(size));
            break;
        }
        if (size <= 4)
            damaged(QStringLiteral("a memo continues in an empty piece"));
        place = qFromLittleEndian<qint32>(row);
        bytes.append(row + 4, qsizetype(size) - 4);
    }
    if (bytes.size() < length)
        damaged(QStringLiteral("a memo is shorter than its stated length"));
    bytes.truncate(length);
    return bytes;
}

} // namespace

std::vector<FieldDef> storedFields(const TableDef& table)
{
    std::vector<FieldDef> fields;
    for (const FieldDef& field : table.fields)
        if (!field.calculated)
            fields.push_back(field);
    return fields;
}

JetContents readJetFile(const QString& path)
{
    checkJetHeader(path);
    MdbPointer mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!mdb)
        fail(path, QStringLiteral("cannot be opened as a Jet database"));
    if (mdb->f->jet_version != MDB_VER_JET4)
        fail(path, QStringLiteral("is not a Jet 4 database"));
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        fail(path, QStringLiteral("is damaged: its list of tables cannot be read"));
    JetContents contents;
    contents.contacts = TableReader(path, mdb.get(), Schema::contacts()).read(contents.unknownColumns);
    contents.loans = TableReader(path, mdb.get(), Schema::loans()).read(contents.unknownColumns);
    return contents;
}
