#include "ImportJet.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "data/Field.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "data/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The fixture is a Jet 4 contact book of the older Windows program. Its values below were read
// from it once with libmdb's own row fetch and raw date doubles, and are written here as
// literals. Its layout, where a damaged copy needs it: the catalogue's rows on page 14, the
// definition of `danni` on page 24, its rows on page 31, the short memo on page 30, the long
// memo on pages 33..64, the rows of `zaemi` on page 65; 67 pages of 4096 bytes.
namespace {

constexpr qsizetype kPage = 4096;

QByteArray fixture()
{
    QFile file(QFINDTESTDATA("../data/old-format-contacts.mdb"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture old-format-contacts.mdb not found");
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// The fixture with one name in it replaced by another of the same length.
QByteArray renamed(const QString& from, const QString& to)
{
    QByteArray bytes = fixture();
    const qsizetype at = bytes.indexOf(utf16(from));
    Q_ASSERT(at >= 0 && bytes.indexOf(utf16(from), at + 1) < 0);
    return bytes.replace(at, from.size() * 2, utf16(to));
}

QByteArray withPageZeroed(int page)
{
    QByteArray bytes = fixture();
    bytes.replace(page * kPage, kPage, QByteArray(kPage, '\0'));
    return bytes;
}

QString longMemo()
{
    QString text;
    for (int line = 0; line < 3000; ++line)
        text += QStringLiteral("ред %1 дълъг текст; ").arg(line);
    return text;
}

// A row of the new file as stored: NULL as an invalid QVariant, everything else as text.
QVariantList storedRow(const QString& path, const QString& table, const QString& key, qint64 id)
{
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=%1").arg(path));
    connection.open();
    SqliteStatement statement(
        connection.handle(),
        QStringLiteral("SELECT * FROM \"%1\" WHERE \"%2\" = ?").arg(table, key));
    statement.bindInt(1, id);
    QVariantList values;
    if (!statement.step())
        return values;
    for (int column = 0; column < statement.columnCount(); ++column)
        values << (statement.isNull(column) ? QVariant() : QVariant(statement.columnText(column)));
    return values;
}

QVariant null()
{
    return QVariant();
}

} // namespace

class TestImportJet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void shouldImportEveryValue_data();
    void shouldImportEveryValue();
    void shouldContinueNumberingAfterTheLargestId();
    void shouldOpenInTheProgramsDataLayer();
    void shouldConvertJetDateValues_data();
    void shouldConvertJetDateValues();

    void shouldNeverOverwriteAnExistingFile();
    void shouldRefuseFilesItCannotImportCompletely_data();
    void shouldRefuseFilesItCannotImportCompletely();

    void shouldReportTheImportOnTheCommandLine();
    void shouldReportFailuresOnTheCommandLine_data();
    void shouldReportFailuresOnTheCommandLine();

private:
    QTemporaryDir m_dir;
    QString m_imported;
    ImportSummary m_summary;
};

void TestImportJet::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString old = m_dir.filePath(QStringLiteral("old.mdb"));
    writeFile(old, fixture());
    m_imported = m_dir.filePath(QStringLiteral("new.mdb"));
    m_summary = importJetFile(old, m_imported);
    QCOMPARE(m_summary.contacts, 3);
    QCOMPARE(m_summary.loans, 3);
    QCOMPARE(m_summary.unknownColumns, QStringList());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("new.mdb"), QStringLiteral("old.mdb")}));
}

void TestImportJet::shouldImportEveryValue_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QVariantList>("values");
    // Contacts, columns in table order: id, ime, prezime, familia, rd, other, adres, tel, tel1,
    // tel2, timer1..timer4, ts1..ts4, status.
    QTest::newRow("Cyrillic, memo with CR/LF and quotes, NULL beside empty text")
        << "danni" << qint64(1)
        << QVariantList{QStringLiteral("1"),
                        QStringLiteral("Иван"),
                        QStringLiteral("Петров"),
                        QStringLiteral("Иванов"),
                        QStringLiteral("1975-03-14 00:00:00"),
                        QStringLiteral("Бележка\r\nна два реда, \"кавички\", запетая"),
                        QStringLiteral("ул. Шипка 5, София"),
                        QStringLiteral("+359 2 123 456"),
                        null(),
                        QStringLiteral(""),
                        QStringLiteral("2024-01-15 09:30:00"),
                        null(),
                        null(),
                        null(),
                        QStringLiteral("ts1 текст"),
                        null(),
                        null(),
                        null(),
                        QStringLiteral("активен")};
    QTest::newRow("date before 1899, times of day, 64 890-character memo")
        << "danni" << qint64(3)
        << QVariantList{QStringLiteral("3"),
                        QStringLiteral("John"),
                        QStringLiteral("Q"),
                        QStringLiteral("Public"),
                        QStringLiteral("1890-05-06 00:00:00"),
                        longMemo(),
                        null(),
                        QStringLiteral("555-0100"),
                        QStringLiteral("555-0101"),
                        QStringLiteral("555-0102"),
                        QStringLiteral("1899-12-30 14:45:30"),
                        QStringLiteral("2030-12-31 23:59:59"),
                        QStringLiteral("2000-02-29 12:00:00"),
                        QStringLiteral("1900-01-01 00:00:00"),
                        QStringLiteral("a"),
                        QStringLiteral("b"),
                        QStringLiteral("c"),
                        QStringLiteral("d"),
                        null()};
    QTest::newRow("Latin accents, empty memo, everything else NULL")
        << "danni" << qint64(4)
        << QVariantList{QStringLiteral("4"),
                        QStringLiteral("Zoë"),
                        QStringLiteral("Ñúñez"),
                        QStringLiteral("Müller"),
                        null(),
                        QStringLiteral("")} +
               QVariantList(13);
    // Loans: zaemi_ID, what, date_zaem, date_back, client_ID.
    QTest::newRow("returned, Cyrillic and typographic quotes")
        << "zaemi" << qint64(1)
        << QVariantList{QStringLiteral("1"), QStringLiteral("Книга „Под игото“"),
                        QStringLiteral("2023-06-01 00:00:00"),
                        QStringLiteral("2023-07-01 00:00:00"), QStringLiteral("1")};
    QTest::newRow("lent with a time, not back")
        << "zaemi" << qint64(2)
        << QVariantList{QStringLiteral("2"), QStringLiteral("Drill"),
                        QStringLiteral("2024-02-29 18:05:00"), null(), QStringLiteral("3")};
    QTest::newRow("of a contact that no longer exists")
        << "zaemi" << qint64(3)
        << QVariantList{QStringLiteral("3"), QStringLiteral("Orphan loan"), null(), null(),
                        QStringLiteral("99")};
}

void TestImportJet::shouldImportEveryValue()
{
    QFETCH(QString, table);
    QFETCH(qint64, id);
    QFETCH(QVariantList, values);
    const TableDef& def = table == Schema::contacts().table ? Schema::contacts() : Schema::loans();
    const QVariantList stored = storedRow(m_imported, table, def.keyField, id);
    QCOMPARE(stored.size(), values.size());
    for (int column = 0; column < values.size(); ++column) {
        QVERIFY2(stored[column].isNull() == values[column].isNull(),
                 qPrintable(QStringLiteral("NULL differs in column %1").arg(column)));
        QCOMPARE(stored[column].toString(), values[column].toString());
    }
}

void TestImportJet::shouldContinueNumberingAfterTheLargestId()
{
    // A copy, so that the rows added here do not disturb the other tests.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("4rd.mdb"));
    QVERIFY(QFile::copy(m_imported, path));
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=%1").arg(path));
    Dataset contacts(connection, Schema::contacts());
    Dataset loans(connection, Schema::loans());
    contacts.open();
    loans.open();
    QVERIFY(storedRow(path, QStringLiteral("danni"), QStringLiteral("id"), 2).isEmpty());

    contacts.append();
    contacts.fieldByName(QStringLiteral("ime")).setAsString(QStringLiteral("New"));
    contacts.finishPending();
    QCOMPARE(contacts.fieldByName(QStringLiteral("id")).asInteger(), 5);
    loans.append();
    loans.fieldByName(QStringLiteral("what")).setAsString(QStringLiteral("Pen"));
    loans.finishPending();
    QCOMPARE(loans.fieldByName(QStringLiteral("zaemi_ID")).asInteger(), 4);
}

void TestImportJet::shouldOpenInTheProgramsDataLayer()
{
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=%1").arg(m_imported));
    Dataset contacts(connection, Schema::contacts());
    contacts.setCalcFieldsHandler(tbldanniCalcFields);
    Dataset loans(connection, Schema::loans());
    contacts.open();
    loans.open();
    QCOMPARE(contacts.recordCount(), 3);
    QCOMPARE(loans.recordCount(), 3);
    contacts.moveTo(1);
    QCOMPARE(contacts.fieldByName(QStringLiteral("fullnames")).asString(),
             QStringLiteral("John Q Public"));
    QCOMPARE(contacts.fieldByName(QStringLiteral("rd")).asDateTime(), -3525.0);
    QCOMPARE(contacts.fieldByName(QStringLiteral("timer1")).asDateTime(),
             DateTimeValue::fromDateTime(QDate(1899, 12, 30), QTime(14, 45, 30)));
    QCOMPARE(contacts.fieldByName(QStringLiteral("other")).asString().size(), 64890);
    contacts.moveTo(2);
    QCOMPARE(contacts.fieldByName(QStringLiteral("fullnames")).asString(),
             QStringLiteral("Zoë Ñúñez Müller"));
}

void TestImportJet::shouldConvertJetDateValues_data()
{
    QTest::addColumn<double>("raw");
    QTest::addColumn<QString>("stored");
    QTest::newRow("day zero") << 0.0 << QStringLiteral("1899-12-30 00:00:00");
    QTest::newRow("time on day zero")
        << 0.6149305555555555 << QStringLiteral("1899-12-30 14:45:30");
    QTest::newRow("before 1899") << -3525.0 << QStringLiteral("1890-05-06 00:00:00");
    QTest::newRow("before 1899, time counts forward")
        << -1.25 << QStringLiteral("1899-12-29 06:00:00");
    QTest::newRow("before 1899, time rounds up to the next day")
        << -1.9999999999 << QStringLiteral("1899-12-30 00:00:00");
    QTest::newRow("last second of a day")
        << 47848.999988425923 << QStringLiteral("2030-12-31 23:59:59");
    QTest::newRow("leap day at noon") << 36585.5 << QStringLiteral("2000-02-29 12:00:00");
    QTest::newRow("earliest Jet date") << -657434.0 << QStringLiteral("0100-01-01 00:00:00");
}

void TestImportJet::shouldConvertJetDateValues()
{
    QFETCH(double, raw);
    QFETCH(QString, stored);
    QCOMPARE(DateTimeValue::toStorageText(raw), stored);
    const auto back = DateTimeValue::fromStorageText(stored);
    QVERIFY(back.has_value());
    QCOMPARE(DateTimeValue::toStorageText(*back), stored);
}

void TestImportJet::shouldNeverOverwriteAnExistingFile()
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.mdb"));
    const QString target = dir.filePath(QStringLiteral("4rd.mdb"));
    writeFile(old, fixture());
    writeFile(target, QByteArrayLiteral("keep me"));
    try {
        importJetFile(old, target);
        QFAIL("the import went ahead");
    } catch (const DatabaseError& error) {
        QCOMPARE(
            error.message(),
            QStringLiteral("'%1' already exists: give a new file name for the import").arg(target));
    }
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArrayLiteral("keep me"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestImportJet::shouldRefuseFilesItCannotImportCompletely_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    QTemporaryDir dir;
    const QString tembrel = dir.filePath(QStringLiteral("t.mdb"));
    Connection::createDatabase(tembrel);
    QFile database(tembrel);
    QVERIFY(database.open(QIODevice::ReadOnly));

    QByteArray jet3 = fixture();
    jet3[0x14] = 0;
    QByteArray ace = fixture();
    ace.replace(4, 15, "Standard ACE DB");

    QTest::newRow("text file") << QByteArray("name,phone\n") << "is not a Microsoft Jet database";
    QTest::newRow("empty file") << QByteArray() << "is not a Microsoft Jet database";
    QTest::newRow("already a Tembrel database")
        << database.readAll() << "is already a Tembrel contact database";
    QTest::newRow("Jet 3") << jet3 << "is a Jet 3 (Access 97) database";
    QTest::newRow("Access 2007") << ace << "is an Access 2007 or later database";
    QTest::newRow("header page only") << fixture().left(kPage) << "is truncated";
    QTest::newRow("cut inside a page")
        << fixture().left(100000) << "is truncated or damaged: its 100000 bytes are not whole";
    QTest::newRow("cut inside the list of tables")
        << fixture().left(10 * kPage)
        << "table 'MSysObjects' should hold 20 records but 0 could be read";
    QTest::newRow("cut before the definition of the contacts")
        << fixture().left(20 * kPage) << "the definition of table 'danni' cannot be read";
    QTest::newRow("cut before the contacts' rows")
        << fixture().left(25 * kPage) << "table 'danni' should hold 3 records but 0 could be read";
    QTest::newRow("cut inside a long memo")
        << fixture().left(40 * kPage)
        << "table 'danni', record 2: a memo continues on a missing or damaged page";
    QTest::newRow("cut before the loans' rows")
        << fixture().left(65 * kPage) << "table 'zaemi' should hold 3 records but 0 could be read";
    QTest::newRow("memo page wiped")
        << withPageZeroed(30)
        << "table 'danni', record 1: a memo continues on a missing or damaged page";
    QTest::newRow("no contact table")
        << renamed(QStringLiteral("danni"), QStringLiteral("danny")) << "has no table 'danni'";
    QTest::newRow("no status column") << renamed(QStringLiteral("status"), QStringLiteral("statux"))
                                      << "has no column 'status' in table 'danni'";
}

void TestImportJet::shouldRefuseFilesItCannotImportCompletely()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.mdb"));
    writeFile(old, bytes);
    try {
        importJetFile(old, dir.filePath(QStringLiteral("new.mdb")));
        QFAIL("the import went ahead");
    } catch (const DatabaseError& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("'%1' ").arg(old)),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(problem), qPrintable(error.message()));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("old.mdb")});
}

void TestImportJet::shouldReportTheImportOnTheCommandLine()
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.mdb"));
    const QString target = dir.filePath(QStringLiteral("4rd.mdb"));
    writeFile(old, fixture());
    QString output, errors;
    QTextStream out(&output), err(&errors);
    QCOMPARE(runImportJet({old, target}, out, err), 0);
    out.flush();
    err.flush();
    QCOMPARE(output, QStringLiteral("Imported 3 contacts and 3 loans into %1\n").arg(target));
    QCOMPARE(errors, QString());
    // The program itself opens the result.
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=%1").arg(target));
    connection.open();
}

void TestImportJet::shouldReportFailuresOnTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QStringList{QStringLiteral("missing.mdb"),
                                                 QStringLiteral("new.mdb")}
                                  << 1 << "tembrel-db: 'missing.mdb' does not exist\n";
    QTest::newRow("folder of the new file missing")
        << QStringList{QStringLiteral("old.mdb"), QStringLiteral("no/such/new.mdb")} << 1
        << "tembrel-db: 'no/such/new.mdb' cannot be written: the folder 'no/such' does not exist\n";
    QTest::newRow("one argument") << QStringList{QStringLiteral("old.mdb")} << 2
                                  << "usage: tembrel-db import-jet OLD.mdb NEW.mdb\n";
}

void TestImportJet::shouldReportFailuresOnTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString output, errors;
    QTextStream out(&output), err(&errors);
    const int result = runImportJet(arguments, out, err);
    QDir::setCurrent(current);
    out.flush();
    err.flush();
    QCOMPARE(result, status);
    QCOMPARE(errors, message);
    QCOMPARE(output, QString());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestImportJet)
#include "tst_importjet.moc"
