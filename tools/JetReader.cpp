#include "JetReader.h"

#include "JetColumns.h"
#include "JetText.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <functional>
#include <mdbtools.h>
#include <memory>

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
    if (size < 3 * kJetPageSize)
        fail(path, QStringLiteral("is truncated: it holds only %1 bytes").arg(size));
    if (size % kJetPageSize != 0)
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

using RowVisitor = std::function<void(int start, size_t size, qsizetype number)>;

// Hands every live row of a table to `visit`, page by page, with its place on the current page
// and its number. libmdb's own row fetch skips rows it cannot place and stops quietly at a page
// it cannot read, so the rows are walked here and their number checked against the table
// definition: a truncated or damaged file never passes for a shorter table.
void walkRows(const QString& path, const QString& tableName, MdbTableDef* table,
              const RowVisitor& visit)
{
    MdbHandle* mdb = table->entry->mdb;
    qsizetype number = 0;
    mdb_rewind_table(table);
    while (mdb_read_next_dpg(table)) {
        const int count = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
        for (int row = 0; row < count; ++row) {
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, row, &start, &size) != 0)
                fail(path, QStringLiteral("is damaged: table '%1' has a record out of place on "
                                          "page %2")
                               .arg(tableName)
                               .arg(table->cur_phys_pg));
            // A deleted row, or the old place of a row that grew and moved: the moved row is
            // read where it now lives.
            if ((start & kRowDeleted) || size == 0)
                continue;
            visit(start & kRowOffsetMask, size, ++number);
        }
    }
    if (number != qsizetype(table->num_rows))
        fail(path, QStringLiteral("is damaged or truncated: table '%1' should hold %2 records "
                                  "but %3 could be read")
                       .arg(tableName)
                       .arg(table->num_rows)
                       .arg(number));
}

// The list of tables itself is a table (on page 2): a file cut short inside it would otherwise
// look like a file without the contact tables.
void checkCatalog(const QString& path, MdbHandle* mdb)
{
    MdbCatalogEntry entry{};
    entry.mdb = mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = 2;
    qstrcpy(entry.object_name, "MSysObjects");
    TablePointer table(mdb_read_table(&entry));
    if (!table)
        fail(path, QStringLiteral("is damaged or truncated: its list of tables cannot be read"));
    walkRows(path, QStringLiteral("MSysObjects"), table.get(), [](int, size_t, qsizetype) {});
}

// Reads one table of the contact book: finds its columns by name, then reads its rows.
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
    JetRow readRow(int start, size_t size);
    JetValue readValue(const MdbColumn* column, const MdbField& field, int rowEnd);
    QByteArray memoBytes(const MdbField& field);
    bool isLongValuePage(const uchar* page, int row) const;
    [[noreturn]] void damaged(const QString& problem) const;

    QString m_path;
    MdbHandle* m_mdb;
    const TableDef& m_def;
    TablePointer m_table;
    std::vector<int> m_columnOf; // per stored field, its Jet column
    qsizetype m_rowNumber = 0;   // of the row being read, for messages
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
    walkRows(m_path, m_def.table, m_table.get(), [&](int start, size_t size, qsizetype number) {
        m_rowNumber = number;
        rows.push_back(readRow(start, size));
    });
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
             QStringLiteral("is damaged or truncated: the definition of table '%1' cannot be read")
                 .arg(m_def.table));
}

void TableReader::mapColumns(QStringList& unknownColumns)
{
    std::vector<JetColumn> columns;
    for (unsigned index = 0; index < m_table->num_cols; ++index) {
        const MdbColumn* column = columnAt(m_table.get(), index);
        columns.push_back({QString::fromUtf8(column->name), column->col_type});
    }
    JetColumnMap map = mapJetColumns(m_path, m_def, columns);
    m_columnOf = std::move(map.columnOf);
    unknownColumns += map.unknownColumns;
}

JetRow TableReader::readRow(int start, size_t size)
{
    std::vector<MdbField> cracked(m_table->num_cols);
    if (mdb_crack_row(m_table.get(), start, size, cracked.data()) < 0)
        damaged(QStringLiteral("its columns cannot be found"));
    JetRow row;
    row.reserve(m_columnOf.size());
    for (const int index : m_columnOf)
        row.push_back(
            readValue(columnAt(m_table.get(), unsigned(index)), cracked[index], start + int(size)));
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
        const QDate date =
            std::isfinite(value) && std::fabs(value) < 3e6 ? DateTimeValue::toDate(value) : QDate();
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

// A page of memo pieces: a data page marked "LVAL" that holds the row asked for.
bool TableReader::isLongValuePage(const uchar* page, int row) const
{
    return page[0] == MDB_PAGE_DATA && memcmp(page + 4, "LVAL", 4) == 0 &&
           row < qFromLittleEndian<quint16>(page + m_mdb->fmt->row_count_offset);
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
        if (place == 0 || mdb_find_pg_row(m_mdb, place, &page, &start, &size) != 0 ||
            !isLongValuePage(static_cast<const uchar*>(page), place & 0xff))
            damaged(QStringLiteral("a memo continues on a missing or damaged page"));
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

JetContents readJetFile(const QString& path)
{
    checkJetHeader(path);
    MdbPointer mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!mdb)
        fail(path, QStringLiteral("cannot be opened as a Jet database"));
    if (mdb->f->jet_version != MDB_VER_JET4)
        fail(path, QStringLiteral("is not a Jet 4 database"));
    checkCatalog(path, mdb.get());
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        fail(path, QStringLiteral("is damaged or truncated: its list of tables cannot be read"));
    JetContents contents;
    contents.contacts =
        TableReader(path, mdb.get(), Schema::contacts()).read(contents.unknownColumns);
    contents.loans = TableReader(path, mdb.get(), Schema::loans()).read(contents.unknownColumns);
    return contents;
}
