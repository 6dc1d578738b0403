#include "TestSupport.h"

#include "data/Errors.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "data/SqliteStatement.h"

#include <QTest>
#include <sqlite3.h>

RecordingMessageService::RecordingMessageService()
{
    MessageService::setInstance(this);
}

RecordingMessageService::~RecordingMessageService()
{
    MessageService::setInstance(nullptr);
}

void RecordingMessageService::beep()
{
    calls.append({QStringLiteral("beep"), QString()});
}

void RecordingMessageService::showMessage(const QString& text)
{
    calls.append({QStringLiteral("message"), text});
}

bool RecordingMessageService::confirm(const QString& text)
{
    calls.append({QStringLiteral("confirm"), text});
    return answers.isEmpty() ? false : answers.takeFirst();
}

void RecordingMessageService::showError(const QString& text)
{
    calls.append({QStringLiteral("error"), text});
}

void RecordingMessageService::showFatalError(const QString& text)
{
    calls.append({QStringLiteral("fatal"), text});
}

QStringList RecordingMessageService::texts(const QString& kind) const
{
    QStringList result;
    for (const Call& call : calls)
        if (call.kind == kind)
            result << call.text;
    return result;
}

TestDatabase::TestDatabase() : m_path(m_dir.filePath(QStringLiteral("4rd.mdb")))
{
    Connection::createDatabase(m_path);
}

QString TestDatabase::connectionString() const
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Mode=Share Deny None")
        .arg(m_path);
}

void TestDatabase::execute(const QString& sql) const
{
    Connection connection;
    connection.setConnectionString(connectionString());
    connection.open();
    connection.execute(sql);
}

qint64 TestDatabase::scalar(const QString& sql) const
{
    Connection connection;
    connection.setConnectionString(connectionString());
    connection.open();
    SqliteStatement statement(connection.handle(), sql);
    return statement.step() ? statement.columnInt(0) : 0;
}

ContactBook::ContactBook(const TestDatabase& database, bool open)
    : contacts(connection, Schema::contacts()), loans(connection, Schema::loans()),
      contactSource(contacts), loanSource(loans)
{
    connection.setConnectionString(database.connectionString());
    contacts.setCalcFieldsHandler(tbldanniCalcFields);
    if (open) {
        contacts.open();
        loans.open();
    }
}

FilledDatabase::FilledDatabase(const QString& sql)
{
    if (!sql.isEmpty())
        db.execute(sql);
}

TestBook::TestBook(const QString& sql, bool open) : FilledDatabase(sql), ContactBook(db, open) {}

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString errorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const TembrelError& error) {
        return error.message();
    }
    return QString();
}
