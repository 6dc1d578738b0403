#pragma once

#include <QString>
#include <array>
#include <memory>
#include <optional>

struct sqlite3;
class SqliteStatement;

// One contact as it is written to `danni`. A null text and an empty date are written as NULL.
struct BookContact {
    QString first;
    QString second;
    QString last;
    std::optional<double> birth;
    QString notes;
    QString address;
    QString tel;
    QString tel1;
    QString tel2;
    std::array<std::optional<double>, 4> eventDates;
    std::array<QString, 4> eventTexts;
};

// One loan as it is written to `zaemi`.
struct BookLoan {
    QString what;
    double lent = 0;
    std::optional<double> back;
    qint64 client = 0;
};

// Writes a new contact book. The rows go into a file of its own next to the target, in one
// transaction through prepared statements; `commit` moves the finished file into place. A run
// that fails or is abandoned leaves no file behind and never touches an existing one.
class BookWriter {
public:
    // Throws DatabaseError when `path` exists and `overwrite` is false, or when the file
    // cannot be created.
    BookWriter(const QString& path, bool overwrite);
    ~BookWriter();
    BookWriter(const BookWriter&) = delete;
    BookWriter& operator=(const BookWriter&) = delete;

    // Returns the new contact's `id`.
    qint64 addContact(const BookContact& contact);
    void addLoan(const BookLoan& loan);
    void commit();

private:
    void execute(const char* sql);
    [[noreturn]] void fail(const QString& message) const;

    QString m_path;
    QString m_partPath;
    bool m_overwrite;
    sqlite3* m_db = nullptr;
    std::unique_ptr<SqliteStatement> m_contact;
    std::unique_ptr<SqliteStatement> m_loan;
    bool m_committed = false;
};
