#pragma once

#include <QString>
#include <sqlite3.h>

// A prepared statement that finalises itself; errors become DatabaseError with the engine's text.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* handle() const { return m_stmt; }

    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString& text);

    // Steps once: true while a row is ready, false when done; throws on any error.
    bool step();
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    qint64 columnInt(int column) const;
    QString columnText(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Throws DatabaseError with the engine's message for the given result code.
[[noreturn]] void throwSqliteError(sqlite3* db, int code, const QString& context = {});
