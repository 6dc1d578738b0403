#include "ImportJet.h"

#include "JetReader.h"
#include "data/Connection.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "data/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <sqlite3.h>

namespace {

// A file being built next to its final place: removed unless it was moved into place.
class PendingFile {
public:
    explicit PendingFile(const QString& finalPath)
        : m_finalPath(finalPath),
          m_path(QFileInfo(finalPath).dir().filePath(
              QStringLiteral(".%1.importing-%2")
                  .arg(QFileInfo(finalPath).fileName())
                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))))
    {
    }
    ~PendingFile()
    {
        if (!m_placed)
            QFile::remove(m_path);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const QString& path() const { return m_path; }

    // Moves the file into place; never replaces a file that appeared there meanwhile.
    void place()
    {
        if (!QFile::rename(m_path, m_finalPath))
            throw DatabaseError(
                QStringLiteral("'%1' cannot be written: the finished database could not be "
                               "moved into place")
                    .arg(m_finalPath));
        m_placed = true;
    }

private:
    QString m_finalPath;
    QString m_path;
    bool m_placed = false;
};

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

std::unique_ptr<sqlite3, SqliteCloser> openForWriting(const QString& path)
{
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> handle(db);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc);
    return handle;
}

void execute(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc);
}

void bindValue(SqliteStatement& statement, int parameter, const JetValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value))
        statement.bindInt(parameter, *number);
    else if (const auto* dateTime = std::get_if<double>(&value))
        statement.bindText(parameter, DateTimeValue::toStorageText(*dateTime));
    else if (const auto* text = std::get_if<QString>(&value))
        statement.bindText(parameter, *text);
    else
        statement.bindNull(parameter);
}

QString keyText(const JetValue& key)
{
    const auto* number = std::get_if<qint64>(&key);
    return number ? QString::number(*number) : QStringLiteral("(none)");
}

// Inserts the rows with their own keys; the table's auto-number then continues after the
// largest key.
void insertRows(sqlite3* db, const TableDef& table, const std::vector<JetRow>& rows)
{
    QStringList names, marks;
    for (const FieldDef& field : table.fields) {
        if (field.calculated)
            continue;
        names << QLatin1Char('"') + field.name + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    SqliteStatement statement(
        db, QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                .arg(table.table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (const JetRow& row : rows) {
        for (int i = 0; i < int(row.size()); ++i)
            bindValue(statement, i + 1, row[i]);
        try {
            statement.step();
        } catch (const DatabaseError& error) {
            throw DatabaseError(
                QStringLiteral("table '%1', %2 %3: %4")
                    .arg(table.table, table.keyField, keyText(row[0]), error.message()));
        }
        statement.reset();
    }
}

void writeDatabase(const QString& path, const JetContents& contents)
{
    Connection::createDatabase(path);
    const auto db = openForWriting(path);
    // The file is thrown away on failure, so a rollback journal would only cost time.
    execute(db.get(), "PRAGMA journal_mode=MEMORY");
    execute(db.get(), "BEGIN");
    insertRows(db.get(), Schema::contacts(), contents.contacts);
    insertRows(db.get(), Schema::loans(), contents.loans);
    execute(db.get(), "COMMIT");
}

} // namespace

ImportSummary importJetFile(const QString& oldPath, const QString& newPath)
{
    const QFileInfo target(newPath);
    if (target.exists() || target.isSymLink())
        throw DatabaseError(
            QStringLiteral("'%1' already exists: give a new file name for the import")
                .arg(newPath));
    if (!target.dir().exists())
        throw DatabaseError(QStringLiteral("'%1' cannot be written: the folder '%2' does not exist")
                                .arg(newPath, target.dir().path()));
    const JetContents contents = readJetFileSafely(oldPath);
    PendingFile pending(newPath);
    try {
        writeDatabase(pending.path(), contents);
    } catch (const TembrelError& error) {
        throw DatabaseError(
            QStringLiteral("'%1' cannot be written: %2").arg(newPath, error.message()));
    }
    pending.place();
    return {qsizetype(contents.contacts.size()), qsizetype(contents.loans.size()),
            contents.unknownColumns};
}

int runImportJet(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        err << "usage: tembrel-db import-jet OLD.mdb NEW.mdb\n";
        return 2;
    }
    try {
        const ImportSummary summary = importJetFile(arguments[0], arguments[1]);
        for (const QString& column : summary.unknownColumns)
            err << "tembrel-db: note: column '" << column
                << "' is not part of a contact book and was not imported\n";
        out << "Imported " << summary.contacts << " contacts and " << summary.loans
            << " loans into " << arguments[1] << "\n";
    } catch (const TembrelError& error) {
        err << "tembrel-db: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
