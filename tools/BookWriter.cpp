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

void bindText(SqliteStatement& statement, int index, const QString& text)
{
    if (text.isNull())
        statement.bindNull(index);
    else
        statement.bindText(index, text);
}

void bindDate(SqliteStatement& statement, int index, const std::optional<double>& value)
{
    if (value)
        statement.bindText(index, DateTimeValue::toStorageText(*value));
    else
        statement.bindNull(index);
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
    SqliteStatement& s = *m_contact;
    s.reset();
    bindText(s, 1, contact.first);
    bindText(s, 2, contact.second);
    bindText(s, 3, contact.last);
    bindDate(s, 4, contact.birth);
    bindText(s, 5, contact.notes);
    bindText(s, 6, contact.address);
    bindText(s, 7, contact.tel);
    bindText(s, 8, contact.tel1);
    bindText(s, 9, contact.tel2);
    for (int i = 0; i < 4; ++i) {
        bindDate(s, 10 + i, contact.eventDates[i]);
        bindText(s, 14 + i, contact.eventTexts[i]);
    }
    s.step();
    return sqlite3_last_insert_rowid(m_db);
}

void BookWriter::addLoan(const BookLoan& loan)
{
    SqliteStatement& s = *m_loan;
    s.reset();
    bindText(s, 1, loan.what);
    bindDate(s, 2, loan.lent);
    bindDate(s, 3, loan.back);
    s.bindInt(4, loan.client);
    s.step();
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
