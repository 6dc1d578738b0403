#pragma once

#include <QMap>
#include <QObject>
#include <QString>

struct sqlite3;

// The one connection to the contact database. It takes a connection string of "key=value" pairs
// joined by ";", opens its `Data Source` relative to the working directory, and never creates
// the file. Keys that have no meaning for SQLite are kept but not used.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    static QString defaultConnectionString();
    static int busyTimeoutMs() { return 2000; }

    void setConnectionString(const QString& connectionString);
    const QString& connectionString() const { return m_connectionString; }
    QString parameter(const QString& key) const;
    // The database file as named by `Data Source`, resolved against the working directory.
    QString filePath() const;
    // True when `Mode` asks for reading only ("Read", alone or among "|"-joined modes).
    bool isReadOnlyMode() const;

    void open();
    void close();
    bool isConnected() const { return m_db != nullptr; }
    sqlite3* handle() const;

    // Runs statements that return no rows.
    void execute(const QString& sql);

    // Creates a new database file with both tables; fails when the file exists.
    static void createDatabase(const QString& path);

private:
    QString m_connectionString;
    QMap<QString, QString> m_parameters; // keys lower-cased
    sqlite3* m_db = nullptr;
};

// Checks the first bytes of a file: throws DatabaseError naming the file when it is not an
// SQLite database (with its own message for a file of the old Windows program).
void checkDatabaseFileSignature(const QString& path);
