#pragma once

#include "data/Connection.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/MessageService.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QWidget;

// Records every beep and box instead of showing it; confirmations answer from a script.
// Installs itself while it lives.
class RecordingMessageService : public MessageService {
public:
    struct Call {
        QString kind; // "beep", "message", "confirm", "error", "fatal"
        QString text;
        bool operator==(const Call&) const = default;
    };

    RecordingMessageService();
    ~RecordingMessageService() override;

    void beep() override;
    void showMessage(const QString& text) override;
    bool confirm(const QString& text) override;
    void showError(const QString& text) override;
    void showFatalError(const QString& text) override;

    QList<Call> calls;
    QList<bool> answers; // answers to the next confirmations; an unscripted one answers No
    QStringList texts(const QString& kind) const;
    void clear() { calls.clear(); }
};

// A fresh database with both tables in its own temporary directory.
class TestDatabase {
public:
    TestDatabase();
    const QString& path() const { return m_path; }
    QString directory() const { return m_dir.path(); }
    // A connection string naming this file by its absolute path.
    QString connectionString() const;
    // Runs SQL on the file through a connection of its own.
    void execute(const QString& sql) const;
    qint64 scalar(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The connection, both tables and their data sources, as the main window holds them.
struct ContactBook {
    explicit ContactBook(const TestDatabase& database, bool open = true);
    Connection connection;
    Dataset contacts;
    Dataset loans;
    DataSource contactSource;
    DataSource loanSource;
};

// A fresh database, filled first by some SQL (rows, triggers) when given.
struct FilledDatabase {
    explicit FilledDatabase(const QString& sql);
    TestDatabase db;
};

// A fresh database filled by some SQL, and the book on it, open unless told otherwise.
struct TestBook : FilledDatabase, ContactBook {
    explicit TestBook(const QString& sql = {}, bool open = true);
};

// Types text into a widget key by key, any character (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget* widget, const QString& text);

// The message of the error an operation raises; empty when it raises none.
QString errorOf(const std::function<void()>& operation);
