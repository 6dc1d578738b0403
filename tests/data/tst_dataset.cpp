#include "TestSupport.h"
#include "data/DataLink.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "platform/DateFormat.h"

#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QString kContacts =
    QStringLiteral("INSERT INTO danni (id, ime, prezime, familia, rd) VALUES"
                   " (1, 'Ana', 'B', 'Cole', '1990-05-17 00:00:00'),"
                   " (2, 'Boris', '', 'Dimov', NULL),"
                   " (5, 'Вера', 'Иванова', 'Петрова', '1985-12-31 08:30:00');"
                   "INSERT INTO zaemi (zaemi_ID, what, date_zaem, client_ID) VALUES"
                   " (1, 'book', '2024-01-02 10:00:00', 1), (2, 'drill', NULL, 5),"
                   " (3, 'pen', NULL, 1), (4, 'lamp', NULL, 9);");

// Shows the loans of one contact and starts a new loan for them.
void appendLoanFor(ContactBook& book, qint64 contact)
{
    book.loans.setFilter(QStringLiteral("client_ID=%1").arg(contact));
    book.loans.setFiltered(true);
    book.loans.append();
    book.loans.fieldByName("client_ID").setAsInteger(contact);
}

} // namespace

// The record-set layer: every operation the windows rely on, its effects and its errors.
class TestDataset : public QObject {
    Q_OBJECT
private slots:
    void openReadsAllRowsWithFullNames()
    {
        TestBook book(kContacts);
        QCOMPARE(book.contacts.recordCount(), 3);
        QCOMPARE(book.contacts.position(), 0);
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(), QStringLiteral("Ana B Cole"));
        book.contacts.last();
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(),
                 QStringLiteral("Вера Иванова Петрова"));
        QCOMPARE(book.contacts.fieldByName("id").asInteger(), 5);
        QCOMPARE(DateTimeValue::toQDateTime(book.contacts.fieldByName("rd").asDateTime()),
                 QDateTime(QDate(1985, 12, 31), QTime(8, 30)));
    }

    void nullFieldsReadAsEmptyZeroAndDateZero()
    {
        TestBook book(kContacts);
        book.contacts.next(); // Boris: no birth date, empty second name
        QVERIFY(book.contacts.fieldByName("rd").isNull());
        QCOMPARE(book.contacts.fieldByName("rd").asDateTime(), 0.0);
        QCOMPARE(book.contacts.fieldByName("other").asString(), QString());
        QCOMPARE(book.contacts.fieldByName("prezime").asString(), QString());
        QVERIFY(!book.contacts.fieldByName("prezime").isNull()); // empty text is not NULL
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(),
                 QStringLiteral("Boris   Dimov"));
    }

    void closedDatasetRefusesEveryOperation_data()
    {
        QTest::addColumn<std::function<void(Dataset&)>>("operation");
        QTest::newRow("First") << std::function<void(Dataset&)>([](Dataset& d) { d.first(); });
        QTest::newRow("Next") << std::function<void(Dataset&)>([](Dataset& d) { d.next(); });
        QTest::newRow("Eof") << std::function<void(Dataset&)>([](Dataset& d) { d.eof(); });
        QTest::newRow("RecordCount")
            << std::function<void(Dataset&)>([](Dataset& d) { d.recordCount(); });
        QTest::newRow("Append") << std::function<void(Dataset&)>([](Dataset& d) { d.append(); });
        QTest::newRow("Edit") << std::function<void(Dataset&)>([](Dataset& d) { d.edit(); });
        QTest::newRow("Delete") << std::function<void(Dataset&)>(
            [](Dataset& d) { d.deleteRecord(); });
        QTest::newRow("Refresh") << std::function<void(Dataset&)>([](Dataset& d) { d.refresh(); });
        QTest::newRow("write a field") << std::function<void(Dataset&)>(
            [](Dataset& d) { d.fieldByName("ime").setAsString("x"); });
    }
    void closedDatasetRefusesEveryOperation()
    {
        QFETCH(std::function<void(Dataset&)>, operation);
        TestBook book({}, false);
        QCOMPARE(errorOf([&] { operation(book.contacts); }),
                 QStringLiteral("tbldanni: Cannot perform this operation on a closed dataset"));
    }

    void readingAClosedDatasetGivesEmptyValues()
    {
        TestBook book({}, false);
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(), QString());
        QCOMPARE(book.contacts.fieldByName("id").asInteger(), 0);
    }

    void eofOnEmptySetAndAfterNextOnLastRow()
    {
        TestDatabase db;
        ContactBook empty(db);
        QVERIFY(empty.contacts.eof());
        empty.contacts.first();
        QVERIFY(empty.contacts.eof());

        db.execute(kContacts);
        ContactBook book(db);
        QVERIFY(!book.contacts.eof());
        int visited = 0;
        for (book.contacts.first(); !book.contacts.eof(); book.contacts.next())
            ++visited;
        QCOMPARE(visited, 3);
        QCOMPARE(book.contacts.position(), 2); // the cursor stays on the last row
    }

    void deleteOnEmptySetFails()
    {
        TestBook book;
        QCOMPARE(errorOf([&] { book.contacts.deleteRecord(); }),
                 QStringLiteral("tbldanni: Cannot perform this operation on an empty dataset"));
    }

    void appendWritesNothingUntilAFieldChanges()
    {
        TestBook book(kContacts);
        book.contacts.append();
        QCOMPARE(book.contacts.state(), DatasetState::Insert);
        QCOMPARE(book.contacts.recordCount(), 3); // a pending insert is not counted
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(), QStringLiteral("     "));
        book.contacts.first(); // finishing an unmodified insert drops it
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
        QCOMPARE(book.db.scalar("SELECT count(*) FROM danni"), 3);
    }

    void finishingAModifiedInsertWritesItWithItsNewKey()
    {
        TestBook book(kContacts);
        book.contacts.append();
        book.contacts.fieldByName("ime").setAsString("Zoe");
        QCOMPARE(book.contacts.fieldByName("fullnames").asString(), QStringLiteral("Zoe    "));
        book.contacts.finishPending();
        QCOMPARE(book.contacts.recordCount(), 4);
        QCOMPARE(book.contacts.position(), 3);
        QCOMPARE(book.contacts.fieldByName("id").asInteger(), 6);
        QCOMPARE(book.db.scalar(
                     "SELECT count(*) FROM danni WHERE id = 6 AND ime = 'Zoe' AND status IS NULL"),
                 1);
    }

    void editWithoutChangeWritesNothing()
    {
        TestBook book(kContacts);
        book.db.execute(
            "CREATE TABLE log (n); CREATE TRIGGER t AFTER UPDATE ON danni BEGIN INSERT INTO "
            "log VALUES (1); END;");
        book.contacts.edit();
        book.contacts.next();
        QCOMPARE(book.db.scalar("SELECT count(*) FROM log"), 0);
        QCOMPARE(book.contacts.position(), 1);
    }

    void editedRowIsWrittenByTheNextCursorMove()
    {
        TestBook book(kContacts);
        book.contacts.edit();
        book.contacts.fieldByName("tel").setAsString("+359 2 123");
        book.contacts.fieldByName("timer2").setAsDateTime(
            DateTimeValue::fromDateTime(QDate(2026, 12, 13), QTime(9, 15, 0)));
        book.contacts.next();
        QCOMPARE(
            book.db.scalar("SELECT count(*) FROM danni WHERE id = 1 AND tel = '+359 2 123' AND "
                           "timer2 = '2026-12-13 09:15:00'"),
            1);
        book.contacts.first();
        QCOMPARE(book.contacts.fieldByName("tel").asString(), QStringLiteral("+359 2 123"));
    }

    void editOnAnEmptyTableStartsAnInsert()
    {
        TestBook book;
        book.contacts.edit();
        QCOMPARE(book.contacts.state(), DatasetState::Insert);
    }

    void textIsCutAtTheFieldSize()
    {
        TestBook book;
        book.contacts.append();
        book.contacts.fieldByName("tel").setAsString(QString(60, '7'));
        QCOMPARE(book.contacts.fieldByName("tel").asString(), QString(50, '7'));
    }

    void deleteMovesToTheNextRowOrThePreviousAtTheEnd()
    {
        TestBook book(kContacts);
        book.contacts.deleteRecord(); // Ana
        QCOMPARE(book.contacts.fieldByName("ime").asString(), QStringLiteral("Boris"));
        book.contacts.last();
        book.contacts.deleteRecord(); // Вера, the last row
        QCOMPARE(book.contacts.fieldByName("ime").asString(), QStringLiteral("Boris"));
        QCOMPARE(book.db.scalar("SELECT count(*) FROM danni"), 1);
        QCOMPARE(book.db.scalar("SELECT count(*) FROM zaemi"), 4); // loans are not touched
    }

    void deleteDropsAPendingInsertAndDeletesNothing()
    {
        TestBook book(kContacts);
        book.contacts.append();
        book.contacts.fieldByName("ime").setAsString("Temp");
        book.contacts.deleteRecord();
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
        QCOMPARE(book.db.scalar("SELECT count(*) FROM danni"), 3);
    }

    void filterKeepsTheRowsOfOneContact_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("count");
        QTest::newRow("two loans") << "client_ID=1" << 2;
        QTest::newRow("one loan") << "client_ID=5" << 1;
        QTest::newRow("contact without loans") << "client_ID=2" << 0;
        QTest::newRow("no id yet") << "client_ID=0" << 0;
        QTest::newRow("empty filter shows all") << "" << 4;
    }
    void filterKeepsTheRowsOfOneContact()
    {
        QFETCH(QString, filter);
        QFETCH(int, count);
        TestBook book(kContacts);
        book.loans.next();
        book.loans.setFilter(filter);
        QCOMPARE(book.loans.recordCount(), 4); // recorded only while filtering is off
        book.loans.setFiltered(true);
        QCOMPARE(book.loans.recordCount(), count);
        QCOMPARE(book.loans.position(), count > 0 ? 0 : -1);
        book.loans.setFiltered(false);
        QCOMPARE(book.loans.recordCount(), 4);
        QCOMPARE(book.loans.position(), 0);
    }

    void invalidFilterIsAnError()
    {
        TestBook book;
        QCOMPARE(errorOf([&] { book.loans.setFilter("what=book"); }),
                 QStringLiteral("tblzaemi: Invalid filter expression 'what=book'"));
    }

    void filterSwitchFinishesThePendingRow()
    {
        TestBook book(kContacts);
        appendLoanFor(book, 1);
        book.loans.fieldByName("what").setAsString("umbrella");
        QCOMPARE(book.loans.recordCount(), 2);
        book.loans.setFilter("client_ID=5"); // changing the filter while filtered writes first
        QCOMPARE(
            book.db.scalar("SELECT count(*) FROM zaemi WHERE what = 'umbrella' AND client_ID = 1"),
            1);
        QCOMPARE(book.loans.recordCount(), 1);
        book.loans.setFilter("client_ID=1");
        QCOMPARE(book.loans.recordCount(), 3);
    }

    void newRowInFilteredViewStaysCurrent()
    {
        TestBook book(kContacts);
        appendLoanFor(book, 5);
        book.loans.finishPending();
        QCOMPARE(book.loans.recordCount(), 2);
        QCOMPARE(book.loans.position(), 1);
        QCOMPARE(book.loans.fieldByName("zaemi_ID").asInteger(), 5);
    }

    void refreshKeepsTheCurrentRowAndRereads()
    {
        TestBook book(kContacts);
        book.contacts.next();
        book.db.execute(
            "INSERT INTO danni (id, ime) VALUES (0, 'Aaron'); UPDATE danni SET tel = '555' "
            "WHERE id = 2");
        book.contacts.refresh();
        QCOMPARE(book.contacts.recordCount(), 4);
        QCOMPARE(book.contacts.fieldByName("ime").asString(), QStringLiteral("Boris"));
        QCOMPARE(book.contacts.fieldByName("tel").asString(), QStringLiteral("555"));
    }

    void refreshFinishesThePendingRowFirst()
    {
        TestBook book(kContacts);
        book.contacts.append();
        book.contacts.fieldByName("familia").setAsString("New");
        book.contacts.refresh();
        QCOMPARE(book.contacts.fieldByName("familia").asString(), QStringLiteral("New"));
        QVERIFY(book.contacts.fieldByName("id").asInteger() > 5);
    }

    void dataChangeSignalsWithAndWithoutField()
    {
        TestBook book(kContacts);
        QSignalSpy spy(&book.contactSource, &DataSource::dataChange);
        const auto fieldOf = [&](int i) { return spy.at(i).at(0).value<const Field*>(); };
        book.contacts.next();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fieldOf(0), nullptr);
        QVERIFY(book.contactSource.edit()); // start of an edit
        QCOMPARE(spy.count(), 2);
        book.contacts.fieldByName("ime").setAsString("Bob");
        QCOMPARE(spy.count(), 3);
        QCOMPARE(fieldOf(2), &book.contacts.fieldByName("ime"));
        book.contacts.finishPending(); // write
        QCOMPARE(spy.count(), 4);
        book.contacts.next();
        book.contacts.next(); // already on the last row: no move, no signal
        QCOMPARE(spy.count(), 5);
        book.loans.setFiltered(true); // the loan table signals through its own source only
        QCOMPARE(spy.count(), 5);
    }

    // Links are told directly, before the signal, and may come and go in any order.
    void dataLinksAreToldAndMayGoAwayAtAnyTime()
    {
        TestBook book(kContacts);
        QStringList told;
        connect(&book.contactSource, &DataSource::dataChange, this, [&] { told << "signal"; });
        std::unique_ptr<DataLink> second;
        // The first link removes the second before its turn.
        DataLink first(book.contactSource, [&](const Field*) {
            told << "first";
            second.reset();
        });
        second =
            std::make_unique<DataLink>(book.contactSource, [&](const Field*) { told << "second"; });
        book.contacts.next();
        QCOMPARE(told, QStringList({"first", "signal"}));
        told.clear();
        DataLink third(book.contactSource, [&](const Field*) { told << "third"; });
        book.contacts.next();
        QCOMPARE(told, QStringList({"first", "third", "signal"}));

        // A data source or dataset that goes first leaves the links and sources behind unharmed.
        auto source = std::make_unique<DataSource>(book.contacts);
        auto link = std::make_unique<DataLink>(*source, [&](const Field*) { told << "late"; });
        source.reset();
        book.contacts.prior();
        QVERIFY(!told.contains("late"));
        link.reset();
        auto loans = std::make_unique<Dataset>(book.connection, Schema::loans());
        auto loanSource = std::make_unique<DataSource>(*loans);
        loans.reset();
        loanSource.reset();
    }

    void writingWhileBrowsingIsRefused()
    {
        TestBook book(kContacts);
        QCOMPARE(errorOf([&] { book.contacts.fieldByName("ime").setAsString("x"); }),
                 QStringLiteral("tbldanni: Dataset not in edit or insert mode"));
        QCOMPARE(errorOf([&] { book.contacts.fieldByName("nosuch"); }),
                 QStringLiteral("tbldanni: Field 'nosuch' not found"));
    }

    void dateDisplayTexts()
    {
        TestDatabase db;
        db.execute("INSERT INTO zaemi (what, date_zaem, date_back, client_ID) VALUES"
                   " ('a', '2024-03-05 14:03:07', '2024-04-01 10:00:00', 1), ('b', '2024-03-05 "
                   "00:00:00', NULL, 1)");
        FormatSettings settings = DateFormats::current();
        settings.dateSeparator = QLatin1Char('-');
        settings.timeSeparator = QLatin1Char('.');
        DateFormats::setCurrent(settings);
        DateFormats::setShortDateFormat("yyyy/mm/dd");
        ContactBook book(db);
        // date_back has its own display format; others follow the program's formats
        QCOMPARE(book.loans.fieldByName("date_back").displayText(), QStringLiteral("01.04.2024"));
        QCOMPARE(book.loans.fieldByName("date_zaem").displayText(),
                 QStringLiteral("2024-03-05 14.03.07"));
        DateFormats::setProgramFormats();
        book.loans.next();
        QCOMPARE(book.loans.fieldByName("date_zaem").displayText(), QStringLiteral("05.03.2024"));
        QCOMPARE(book.loans.fieldByName("date_back").displayText(), QString());
    }

    void lookupFindsARowWithoutMovingTheCursor()
    {
        TestBook book(kContacts);
        const int id = book.contacts.fieldByName("id").index();
        const int name = book.contacts.fieldByName("fullnames").index();
        QCOMPARE(book.contacts.lookup(id, 5, name).value_or("?"),
                 QStringLiteral("Вера Иванова Петрова"));
        QVERIFY(!book.contacts.lookup(id, 9, name));
        QCOMPARE(book.contacts.position(), 0);
        QCOMPARE(book.contacts.locate(id, 2), 1);
    }

    void missingColumnAndWrongKindRefuseTheTable_data()
    {
        QTest::addColumn<QString>("danni");
        QTest::addColumn<QString>("error");
        QTest::newRow("no status")
            << "CREATE TABLE danni (id INTEGER PRIMARY KEY, ime VARCHAR(200), prezime VARCHAR(200),"
               " familia VARCHAR(200), rd DATETIME, other TEXT, adres TEXT, tel VARCHAR(50),"
               " tel1 VARCHAR(50), tel2 VARCHAR(50), timer1 DATETIME, timer2 DATETIME,"
               " timer3 DATETIME, timer4 DATETIME, ts1 VARCHAR(200), ts2 VARCHAR(200),"
               " ts3 VARCHAR(200), ts4 VARCHAR(200))"
            << "tbldanni: Field 'status' not found";
        QTest::newRow("rd as text")
            << "CREATE TABLE danni (id INTEGER PRIMARY KEY, ime VARCHAR(200), prezime VARCHAR(200),"
               " familia VARCHAR(200), rd VARCHAR(20), other TEXT, adres TEXT, tel VARCHAR(50),"
               " tel1 VARCHAR(50), tel2 VARCHAR(50), timer1 DATETIME, timer2 DATETIME,"
               " timer3 DATETIME, timer4 DATETIME, ts1 VARCHAR(200), ts2 VARCHAR(200),"
               " ts3 VARCHAR(200), ts4 VARCHAR(200), status VARCHAR(50))"
            << "tbldanni: Type mismatch for field 'rd', expecting: DateTime actual: WideString";
    }
    void missingColumnAndWrongKindRefuseTheTable()
    {
        QFETCH(QString, danni);
        QFETCH(QString, error);
        TestBook book("DROP TABLE danni; " + danni, false);
        QCOMPARE(errorOf([&] { book.contacts.open(); }), error);
        QVERIFY(!book.contacts.isActive());
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
