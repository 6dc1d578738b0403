#include "TestSupport.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/SqliteStatement.h"
#include "mainwindow/Utembrel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A few loans first, then enough contacts to fill many pages: the last pages of the file hold
// contacts only.
void fillManyPages(const TestDatabase& db)
{
    db.execute(QStringLiteral(
        "INSERT INTO zaemi (what, client_ID) VALUES ('book', 1), ('drill', 2);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
        "INSERT INTO danni (ime, familia, other) SELECT 'Name ' || i, 'Last', "
        "printf('%.300c', 'x') FROM n;"));
}

// Puts the kind of fault named by `fault` into the database file at `path`.
void makeFault(const QString& fault, const QString& path)
{
    if (fault == QLatin1String("missing file"))
        return;
    if (fault == QLatin1String("random bytes")) {
        QByteArray bytes(4096, '\0');
        QRandomGenerator generator(7);
        for (char& byte : bytes)
            byte = char(generator.bounded(256));
        writeFile(path, bytes);
        return;
    }
    if (fault == QLatin1String("empty file")) {
        writeFile(path, {});
        return;
    }
    if (fault == QLatin1String("old Jet file")) {
        writeFile(path,
                  QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2028, '\x11'));
        return;
    }
    if (fault == QLatin1String("damaged header")) {
        writeFile(path, QByteArray("SQLite format 3\x00", 16) + QByteArray(4080, '\x7f'));
        return;
    }
    TestDatabase db;
    if (fault == QLatin1String("truncated") || fault == QLatin1String("damaged page")) {
        fillManyPages(db);
        QByteArray bytes = readFile(db.path());
        if (fault == QLatin1String("truncated"))
            bytes.truncate(bytes.size() / 2);
        else // the page header of the last page, a page of contacts
            bytes.replace(bytes.size() - 4096, 16, QByteArray(16, '\xff'));
        writeFile(path, bytes);
        return;
    }
    if (fault == QLatin1String("missing table"))
        db.execute(QStringLiteral("DROP TABLE zaemi"));
    else if (fault == QLatin1String("missing column"))
        db.execute(QStringLiteral("ALTER TABLE danni DROP COLUMN status"));
    else if (fault == QLatin1String("wrong kind"))
        db.execute(QStringLiteral("DROP TABLE zaemi; CREATE TABLE zaemi (zaemi_ID INTEGER "
                                  "PRIMARY KEY, what VARCHAR(200), date_zaem DATETIME, date_back "
                                  "DATETIME, client_ID VARCHAR(20))"));
    else
        QFAIL(qPrintable(QStringLiteral("unknown fault ") + fault));
    QVERIFY(QFile::copy(db.path(), path));
}

const char kClosed[] = "%1: Cannot perform this operation on a closed dataset";

} // namespace

// Bad database files at start-up, and writes that fail: a clear error naming the file, nothing
// lost, never a partly read table.
class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() { m_previousDirectory = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_previousDirectory); }

    void startUpReportsEachFaultAndKeepsTheTableClosed_data();
    void startUpReportsEachFaultAndKeepsTheTableClosed();
    void failedWriteKeepsThePendingRowAndChangesNothing_data();
    void failedWriteKeepsThePendingRowAndChangesNothing();
    void rowChangedByAnotherProgramIsNeverOverwritten_data();
    void rowChangedByAnotherProgramIsNeverOverwritten();

private:
    QString m_previousDirectory;
};

void TestFaults::startUpReportsEachFaultAndKeepsTheTableClosed_data()
{
    QTest::addColumn<QStringList>("boxes"); // %1 stands for the file's path
    QTest::addColumn<bool>("contactsOpen");
    QTest::addColumn<bool>("loansOpen");

    const QString missing = QStringLiteral("Could not find file '%1'");
    QTest::newRow("missing file") << QStringList{missing, missing, missing} << false << false;
    const QString notDatabase = QStringLiteral("'%1' is not a contact database.");
    QTest::newRow("random bytes") << QStringList{notDatabase, notDatabase, notDatabase} << false
                                  << false;
    const QString empty = QStringLiteral("'%1' is empty: it is not a contact database.");
    QTest::newRow("empty file") << QStringList{empty, empty, empty} << false << false;
    const QString jet = QStringLiteral(
        "'%1' is a contact book of the older Windows format (Microsoft Jet). Convert it first "
        "with: tembrel-db import-jet OLD.mdb NEW.mdb.");
    QTest::newRow("old Jet file") << QStringList{jet, jet, jet} << false << false;
    const QString header = QStringLiteral("'%1': file is not a database.");
    QTest::newRow("damaged header") << QStringList{header, header, header} << false << false;
    const QString malformed = QStringLiteral("'%1': database disk image is malformed.");
    // SQLite sees at once that a truncated file is shorter than its header says.
    QTest::newRow("truncated") << QStringList{malformed, malformed, malformed} << false << false;
    QTest::newRow("damaged page") << QStringList{malformed} << false << true;
    QTest::newRow("missing table")
        << QStringList{QStringLiteral("tblzaemi: Table 'zaemi' not found in '%1'")} << true
        << false;
    QTest::newRow("missing column")
        << QStringList{QStringLiteral("tbldanni: Field 'status' not found.")} << false << true;
    QTest::newRow("wrong kind")
        << QStringList{QStringLiteral(
               "tblzaemi: Type mismatch for field 'client_ID', expecting: Integer actual: "
               "WideString.")}
        << true << false;
}

void TestFaults::startUpReportsEachFaultAndKeepsTheTableClosed()
{
    QFETCH(QStringList, boxes);
    QFETCH(bool, contactsOpen);
    QFETCH(bool, loansOpen);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("4rd.mdb"));
    makeFault(QString::fromLatin1(QTest::currentDataTag()), path);
    const bool existed = QFile::exists(path);
    const QByteArray before = readFile(path);
    QDir::setCurrent(directory.path());

    RecordingMessageService messages;
    TFtembrel window;
    window.loadDatabase();

    for (QString& box : boxes)
        if (box.contains(QLatin1String("%1")))
            box = box.arg(path);
    QCOMPARE(messages.texts(QStringLiteral("error")), boxes);

    QCOMPARE(window.tbldanni.isActive(), contactsOpen);
    QCOMPARE(window.tblzaemi.isActive(), loansOpen);
    for (Dataset* table : {&window.tbldanni, &window.tblzaemi})
        if (!table->isActive())
            QCOMPARE(errorOf([&] { table->recordCount(); }),
                     QString::fromLatin1(kClosed).arg(table->name()));
    QCOMPARE(QFile::exists(path), existed);
    QCOMPARE(readFile(path), before);
}

namespace {

enum class Cause { ReadOnly, DiskFull, Locked };
enum class Operation { Insert, Update, Delete };

} // namespace

void TestFaults::failedWriteKeepsThePendingRowAndChangesNothing_data()
{
    QTest::addColumn<int>("cause");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("engineText");
    const QString readOnly = QStringLiteral("attempt to write a readonly database");
    const QString full = QStringLiteral("database or disk is full");
    const QString locked = QStringLiteral("database is locked");
    QTest::newRow("read-only insert") << int(Cause::ReadOnly) << int(Operation::Insert) << readOnly;
    QTest::newRow("read-only update") << int(Cause::ReadOnly) << int(Operation::Update) << readOnly;
    QTest::newRow("read-only delete") << int(Cause::ReadOnly) << int(Operation::Delete) << readOnly;
    QTest::newRow("disk full insert") << int(Cause::DiskFull) << int(Operation::Insert) << full;
    QTest::newRow("disk full update") << int(Cause::DiskFull) << int(Operation::Update) << full;
    QTest::newRow("locked insert") << int(Cause::Locked) << int(Operation::Insert) << locked;
    QTest::newRow("locked update") << int(Cause::Locked) << int(Operation::Update) << locked;
    QTest::newRow("locked delete") << int(Cause::Locked) << int(Operation::Delete) << locked;
}

void TestFaults::failedWriteKeepsThePendingRowAndChangesNothing()
{
    QFETCH(int, cause);
    QFETCH(int, operation);
    QFETCH(QString, engineText);
    TestDatabase db;
    db.execute(QStringLiteral("INSERT INTO danni (ime, familia) VALUES ('Ana', 'Cole')"));
    ContactBook book(db, false);
    if (Cause(cause) == Cause::ReadOnly)
        book.connection.setConnectionString(db.connectionString() + QStringLiteral(";Mode=Read"));
    book.contacts.open();
    Dataset& contacts = book.contacts;
    const int name = contacts.fieldByName(QStringLiteral("ime")).index();
    // Large enough to need new pages of the file.
    const QString notes(200000, QLatin1Char('n'));

    Connection other;
    other.setConnectionString(db.connectionString());
    if (Cause(cause) == Cause::DiskFull)
        book.connection.execute(QStringLiteral("PRAGMA max_page_count = 8"));
    if (Cause(cause) == Cause::Locked) {
        other.open();
        other.execute(QStringLiteral("BEGIN EXCLUSIVE"));
    }

    const auto write = [&] {
        if (Operation(operation) == Operation::Delete)
            contacts.deleteRecord();
        else
            contacts.finishPending();
    };
    if (Operation(operation) == Operation::Insert)
        contacts.append();
    else if (Operation(operation) == Operation::Update)
        contacts.edit();
    if (Operation(operation) != Operation::Delete) {
        contacts.fieldByName(QStringLiteral("ime")).setAsString(QStringLiteral("Boris"));
        contacts.fieldByName(QStringLiteral("other")).setAsString(notes);
    }

    QElapsedTimer timer;
    timer.start();
    const QString error = errorOf(write);
    const qint64 waited = timer.elapsed();
    QCOMPARE(error, QStringLiteral("'%1': %2").arg(db.path(), engineText));
    if (Cause(cause) == Cause::Locked)
        QVERIFY2(waited >= 1500, qPrintable(QString::number(waited)));

    // Nothing changed in memory; the pending row keeps its values.
    QCOMPARE(contacts.recordCount(), 1);
    QCOMPARE(contacts.textAt(0, name), QStringLiteral("Ana"));
    const DatasetState pending = Operation(operation) == Operation::Insert   ? DatasetState::Insert
                                 : Operation(operation) == Operation::Update ? DatasetState::Edit
                                                                             : DatasetState::Browse;
    QCOMPARE(contacts.state(), pending);
    if (pending != DatasetState::Browse) {
        QVERIFY(contacts.isModified());
        QCOMPARE(contacts.fieldByName(QStringLiteral("ime")).asString(), QStringLiteral("Boris"));
        QCOMPARE(contacts.fieldByName(QStringLiteral("other")).asString(), notes);
    }

    if (Cause(cause) == Cause::ReadOnly)
        return; // the cause stays for the life of the connection
    if (Cause(cause) == Cause::Locked)
        other.execute(QStringLiteral("COMMIT"));
    else
        book.connection.execute(QStringLiteral("PRAGMA max_page_count = 1000000"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE ime = 'Ana'")), 1);

    // Once the cause is gone the same write succeeds.
    write();
    QCOMPARE(contacts.state(), DatasetState::Browse);
    const qint64 expected = Operation(operation) == Operation::Delete ? 0 : 1;
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM danni")),
             Operation(operation) == Operation::Insert ? 2 : expected);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE ime = 'Boris'")), expected);
    QCOMPARE(contacts.recordCount(), int(db.scalar(QStringLiteral("SELECT count(*) FROM danni"))));
}

void TestFaults::rowChangedByAnotherProgramIsNeverOverwritten_data()
{
    QTest::addColumn<QString>("theirs");
    QTest::addColumn<bool>("weDelete");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("expected"); // the row in the file afterwards, or empty
    const QString changeName = QStringLiteral("UPDATE danni SET ime = 'Theirs'");
    const QString changePhone = QStringLiteral("UPDATE danni SET tel = '555'");
    const QString remove = QStringLiteral("DELETE FROM danni");
    QTest::newRow("same field changed, we update")
        << changeName << false << true << QStringLiteral("Theirs|");
    QTest::newRow("other field changed, we update")
        << changePhone << false << false << QStringLiteral("Ours|555");
    QTest::newRow("row deleted, we update") << remove << false << true << QString();
    QTest::newRow("row changed, we delete")
        << changeName << true << true << QStringLiteral("Theirs|");
    QTest::newRow("row deleted, we delete") << remove << true << true << QString();
}

void TestFaults::rowChangedByAnotherProgramIsNeverOverwritten()
{
    QFETCH(QString, theirs);
    QFETCH(bool, weDelete);
    QFETCH(bool, refused);
    QFETCH(QString, expected);
    TestDatabase db;
    db.execute(QStringLiteral("INSERT INTO danni (ime, familia) VALUES ('Ana', 'Cole')"));
    ContactBook book(db);
    db.execute(theirs);

    const QString error = errorOf([&] {
        if (weDelete) {
            book.contacts.deleteRecord();
        } else {
            book.contacts.edit();
            book.contacts.fieldByName(QStringLiteral("ime")).setAsString(QStringLiteral("Ours"));
            book.contacts.finishPending();
        }
    });
    if (refused) {
        QCOMPARE(error, QStringLiteral("tbldanni: The row was changed or deleted by another "
                                       "program since it was read; refresh to see the current "
                                       "data"));
        QCOMPARE(book.contacts.recordCount(), 1);
    } else {
        QCOMPARE(error, QString());
    }

    Connection connection;
    connection.setConnectionString(db.connectionString());
    connection.open();
    SqliteStatement statement(connection.handle(),
                              QStringLiteral("SELECT ime || '|' || ifnull(tel, '') FROM danni"));
    QCOMPARE(statement.step() ? statement.columnText(0) : QString(), expected);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
