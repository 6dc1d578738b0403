#include "BookWriter.h"

#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/SqliteStatement.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Binds a value to the parameter after `index`: a null text and an empty date as NULL.
void bindNext(SqliteStatement& statement, int& index, const QString& text)
{
    if (text.isNull())
        statement.bindNull(++index);
    else
        statement.bindText(++index, text);
}

void bindNext(SqliteStatement& statement, int& index, const std::optional<double>& date)
{
    if (date)
        statement.bindText(++index, DateTimeValue::toStorageText(*date));
    else
        statement.bindNull(++index);
}

void bindNext(SqliteStatement& statement, int& index, double date)
{
    bindNext(statement, index, std::optional<double>(date));
}

void bindNext(SqliteStatement& statement, int& index, qint64 number)
{
    statement.bindInt(++index, number);
}

template <class Value, std::size_t size>
void bindNext(SqliteStatement& statement, int& index, const std::array<Value, size>& values)
{
    for (const Value& value : values)
        bindNext(statement, index, value);
}

// Runs an insert with its parameters ?1, ?2, ... bound to the values in order.
template <class... Values> void insert(SqliteStatement& statement, const Values&... values)
{
    statement.reset();
    int index = 0;
    (bindNext(statement, index, values), ...);
    statement.step();
}

} // namespace

BookWriter::BookWriter(const QString& path, bool overwrite)
    : m_path(QFileInfo(path).absoluteFilePath()), m_overwrite(overwrite)
{
    if (!overwrite && QFileInfo::exists(m_path))
        throw DatabaseError(QStringLiteral("'%1' already exists").arg(m_path));
    m_partPath = m_path + QStringLiteral(".part-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(m_partPath);
    const int rc = sqlite3_open_v2(QFile::encodeName(m_partPath).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        fail(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                  : QString::fromUtf8(sqlite3_errstr(rc)));
    // The file is private until it is complete, so a crash can only lose the file itself.
    execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
    execute(Schema::createStatements().toUtf8().constData());
    execute("BEGIN");
    m_contact = std::make_unique<SqliteStatement>(
        m_db, QStringLiteral("INSERT INTO danni (ime, prezime, familia, rd, other, adres, tel, "
                             "tel1, tel2, timer1, timer2, timer3, timer4, ts1, ts2, ts3, ts4) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                             "?14, ?15, ?16, ?17)"));
    m_loan = std::make_unique<SqliteStatement>(
        m_db, QStringLiteral("INSERT INTO zaemi (what, date_zaem, date_back, client_ID) "
                             "VALUES (?1, ?2, ?3, ?4)"));
}

BookWriter::~BookWriter()
{
    m_contact.reset();
    m_loan.reset();
    if (m_db)
        sqlite3_close(m_db);
    if (!m_committed)
        QFile::remove(m_partPath);
}

void BookWriter::fail(const QString& message) const
{
    throw DatabaseError(QStringLiteral("Cannot write '%1': %2").arg(m_path, message));
}

void BookWriter::execute(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        fail(text);
    }
}

qint64 BookWriter::addContact(const BookContact& contact)
{
    insert(*m_contact, contact.first, contact.second, contact.last, contact.birth, contact.notes,
           contact.address, contact.tel, contact.tel1, contact.tel2, contact.eventDates,
           contact.eventTexts);
    return sqlite3_last_insert_rowid(m_db);
}

void BookWriter::addLoan(const BookLoan& loan)
{
    insert(*m_loan, loan.what, loan.lent, loan.back, loan.client);
}

void BookWriter::commit()
{
    execute("COMMIT");
    m_contact.reset();
    m_loan.reset();
    if (sqlite3_close(m_db) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    m_db = nullptr;
    const QByteArray part = QFile::encodeName(m_partPath);
    const QByteArray target = QFile::encodeName(m_path);
    // rename() replaces atomically; link() refuses a target that appeared meanwhile.
    const int rc = m_overwrite ? ::rename(part.constData(), target.constData())
                               : ::link(part.constData(), target.constData());
    if (rc != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!m_overwrite)
        QFile::remove(m_partPath);
    m_committed = true;
}
