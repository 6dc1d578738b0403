#include "Connection.h"

#include "Errors.h"
#include "Schema.h"
#include "SqlFunctions.h"
#include "SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

Connection::Connection(QObject* parent) : QObject(parent)
{
    setConnectionString(defaultConnectionString());
}

Connection::~Connection()
{
    close();
}

QString Connection::defaultConnectionString()
{
    return QStringLiteral(
        "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=4rd.mdb;Mode=Share Deny "
        "None;Extended Properties=\"\";Persist Security Info=False;Jet OLEDB:System "
        "database=\"\";Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=480759;Jet "
        "OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk "
        "Ops=2;Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";Jet "
        "OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't "
        "Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;Jet "
        "OLEDB:SFP=False");
}

namespace {

// The value quoted by the character at `at` (a doubled quote inside stands for one); `at`
// moves past the closing quote.
QString readQuoted(const QString& text, qsizetype& at)
{
    const QChar quote = text[at];
    QString value;
    for (++at; at < text.size(); ++at) {
        if (text[at] != quote) {
            value += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == quote) {
            value += quote;
            ++at;
        } else {
            ++at;
            break;
        }
    }
    return value;
}

// Splits "key=value;key=value" into lower-cased keys and values. A value quoted with " or '
// may hold ';'; its quotes are taken off. Parts without '=' are ignored.
QMap<QString, QString> parseConnectionString(const QString& text)
{
    QMap<QString, QString> parameters;
    qsizetype at = 0;
    const auto endOfPart = [&](qsizetype from) {
        const qsizetype end = text.indexOf(QLatin1Char(';'), from);
        return end < 0 ? text.size() : end;
    };
    while (at < text.size()) {
        const qsizetype end = endOfPart(at);
        const qsizetype eq = text.indexOf(QLatin1Char('='), at);
        if (eq < 0 || eq > end) {
            at = end + 1;
            continue;
        }
        QString& value = parameters[text.mid(at, eq - at).trimmed().toLower()];
        at = eq + 1;
        while (at < text.size() && text[at].isSpace())
            ++at;
        if (at < text.size() && (text[at] == QLatin1Char('"') || text[at] == QLatin1Char('\''))) {
            value = readQuoted(text, at);
            at = endOfPart(at) + 1; // anything between the closing quote and ';' is ignored
        } else {
            value = text.mid(at, end - at).trimmed();
            at = end + 1;
        }
    }
    return parameters;
}

} // namespace

void Connection::setConnectionString(const QString& connectionString)
{
    m_connectionString = connectionString;
    m_parameters = parseConnectionString(connectionString);
}

QString Connection::parameter(const QString& key) const
{
    return m_parameters.value(key.toLower());
}

QString Connection::filePath() const
{
    return QDir::current().absoluteFilePath(parameter(QStringLiteral("Data Source")));
}

bool Connection::isReadOnlyMode() const
{
    const QStringList modes = parameter(QStringLiteral("Mode")).split(QLatin1Char('|'));
    for (const QString& mode : modes)
        if (mode.trimmed().compare(QLatin1String("Read"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void checkDatabaseFileSignature(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw DatabaseError(QStringLiteral("Could not find file '%1'").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(
            QStringLiteral("Cannot open file '%1': %2").arg(path, file.errorString()));
    const QByteArray head = file.read(20);
    file.close();
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return;
    if (head.mid(4, 15) == QByteArrayLiteral("Standard Jet DB"))
        throw DatabaseError(
            QStringLiteral("'%1' is a contact book of the older Windows format (Microsoft Jet). "
                           "Convert it first with: tembrel-db import-jet OLD.mdb NEW.mdb")
                .arg(path));
    if (head.isEmpty())
        throw DatabaseError(
            QStringLiteral("'%1' is empty: it is not a contact database").arg(path));
    throw DatabaseError(QStringLiteral("'%1' is not a contact database").arg(path));
}

void Connection::open()
{
    if (m_db)
        return;
    const QString path = filePath();
    checkDatabaseFileSignature(path);
    sqlite3* db = nullptr;
    const int access = isReadOnlyMode() ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   access | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString text =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw DatabaseError(QStringLiteral("'%1': %2").arg(path, text));
    }
    sqlite3_busy_timeout(db, busyTimeoutMs());
    sqlite3_extended_result_codes(db, 1);
    registerSqlFunctions(db);
    // Reading the schema proves the file is a readable database before any table is opened.
    const int check =
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (check != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw DatabaseError(QStringLiteral("'%1': %2").arg(path, text));
    }
    m_db = db;
}

void Connection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

sqlite3* Connection::handle() const
{
    if (!m_db)
        throw DatabaseError(QStringLiteral("Connection to '%1' is not open").arg(filePath()));
    return m_db;
}

void Connection::execute(const QString& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errstr(rc));
        sqlite3_free(error);
        throw DatabaseError(text);
    }
}

void Connection::createDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("'%1' already exists").arg(path));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* error = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, Schema::createStatements().toUtf8().constData(), nullptr, nullptr,
                          &error);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        sqlite3_close(db);
        QFile::remove(path);
        throw DatabaseError(QStringLiteral("Cannot create '%1': %2").arg(path, text));
    }
    sqlite3_close(db);
}
