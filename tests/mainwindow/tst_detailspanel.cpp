#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "mainwindow/DetailsPanel.h"
#include "mainwindow/Utembrel.h"
#include "platform/DateFormat.h"
#include "widgets/DataGrid.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

Q_DECLARE_METATYPE(ContactDetails)

namespace {

double date(int year, int month, int day, QTime time = QTime(0, 0))
{
    return DateTimeValue::fromDateTime(QDate(year, month, day), time);
}

const QString kEmptyPanel = QStringLiteral("Adress: \nphones: {} / {} / {}\nOther: ");

// A main window on a fresh database: contacts (first name, id) and loans by client_ID.
struct OpenWindow {
    OpenWindow(int contacts, const QList<int>& loanClients)
    {
        for (int i = 1; i <= contacts; ++i)
            database.execute(
                QStringLiteral("INSERT INTO danni (id, ime, adres) VALUES (%1, 'C%1', 'Street %1')")
                    .arg(i));
        for (int client : loanClients)
            database.execute(
                QStringLiteral("INSERT INTO zaemi (what, client_ID) VALUES ('x', %1)").arg(client));
        window.ADOConnection1.setConnectionString(database.connectionString());
        window.loadDatabase();
    }
    QString panel() const { return window.Memo1->toPlainText(); }
    TestDatabase database;
    RecordingMessageService messages;
    TFtembrel window;
};

} // namespace

class TestDetailsPanel : public QObject {
    Q_OBJECT
private slots:
    void panelText_data();
    void panelText();
    void readsTheCurrentRow();
    void eventDatesFollowTheShortDateFormat();
    void countsOnCursorMove_data();
    void countsOnCursorMove();
    void newUnsavedContactAndEmptyTable();
    void leavesTheLoanTableUnfilteredWithThePendingLoanSaved();
    void cellClickRestoresTypedOverPanel();
    void closedLoanTable();
};

void TestDetailsPanel::panelText_data()
{
    QTest::addColumn<ContactDetails>("contact");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every field empty") << ContactDetails{} << kEmptyPanel;

    ContactDetails full;
    full.born = date(1980, 3, 5, QTime(13, 45, 10));
    full.address = QStringLiteral("Sofia");
    full.phones = {QStringLiteral("0888"), QStringLiteral("02 123"), QStringLiteral("Тел. 3")};
    full.other = QStringLiteral("likes tea");
    full.eventDates = {date(2024, 1, 2), date(2024, 2, 3, QTime(8, 0)), date(2024, 3, 4),
                       date(2024, 4, 5)};
    full.eventTexts = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("три"),
                       QStringLiteral("four")};
    QTest::newRow("every field, birth date with a time")
        << full
        << "Born: 05.03.1980\nAdress: Sofia\nphones: {0888} / {02 123} / {Тел. 3}\n"
           "Other: likes tea\nTimer1: one - 02.01.2024\nTimer2: two - 03.02.2024\n"
           "Timer3: три - 04.03.2024\nTimer4: four - 05.04.2024";

    ContactDetails twoAndFour;
    twoAndFour.eventDates = {0, date(2025, 6, 7), 0, date(1999, 12, 31)};
    twoAndFour.eventTexts = {QStringLiteral("undated"), QStringLiteral("b"), QString(),
                             QStringLiteral("d")};
    QTest::newRow("events 2 and 4 only")
        << twoAndFour << kEmptyPanel + "\nTimer2: b - 07.06.2025\nTimer4: d - 31.12.1999";

    ContactDetails emptyText;
    emptyText.eventDates = {date(2024, 5, 6), 0, 0, 0};
    QTest::newRow("event with empty text") << emptyText << kEmptyPanel + "\nTimer1:  - 06.05.2024";

    ContactDetails zeroDates;
    zeroDates.born = date(1899, 12, 30);
    zeroDates.eventDates = {date(1899, 12, 30), 0, 0, 0};
    zeroDates.eventTexts = {QStringLiteral("at zero"), {}, {}, {}};
    QTest::newRow("30 December 1899 at midnight is no date") << zeroDates << kEmptyPanel;

    ContactDetails early;
    early.born = date(1899, 12, 29, QTime(6, 0));
    QTest::newRow("birth before 1899") << early << "Born: 29.12.1899\n" + kEmptyPanel;

    ContactDetails lines;
    lines.address = QStringLiteral("Line 1\r\nLine 2\r\nLine 3");
    lines.other = QStringLiteral("note\r\n");
    QTest::newRow("three-line address, notes ending with a break")
        << lines << "Adress: Line 1\nLine 2\nLine 3\nphones: {} / {} / {}\nOther: note\n";

    ContactDetails percent;
    percent.phones = {QStringLiteral("%1"), QStringLiteral("%2"), QString()};
    percent.eventDates = {date(2024, 1, 1), 0, 0, 0};
    percent.eventTexts = {QStringLiteral("100% %3"), {}, {}, {}};
    QTest::newRow("texts with per cent signs kept")
        << percent << "Adress: \nphones: {%1} / {%2} / {}\nOther: \nTimer1: 100% %3 - 01.01.2024";
}

void TestDetailsPanel::panelText()
{
    QFETCH(ContactDetails, contact);
    QFETCH(QString, expected);
    QCOMPARE(detailsPanelText(contact, QStringLiteral("dd.mm.yyyy")), expected);
}

void TestDetailsPanel::readsTheCurrentRow()
{
    TestDatabase database;
    database.execute(QStringLiteral(
        "INSERT INTO danni (ime, rd, adres, tel, tel1, tel2, other, timer3, ts3) VALUES "
        "('A', '1980-03-05 13:45:10', 'Addr', 't0', 't1', 't2', 'oth', '2024-02-03 00:00:00', "
        "'ev')"));
    ContactBook book(database);
    const ContactDetails contact = readContactDetails(book.contacts);
    QCOMPARE(contact.born, date(1980, 3, 5, QTime(13, 45, 10)));
    QCOMPARE(contact.address, QStringLiteral("Addr"));
    QCOMPARE(contact.phones, (std::array<QString, 3>{"t0", "t1", "t2"}));
    QCOMPARE(contact.other, QStringLiteral("oth"));
    QCOMPARE(contact.eventDates, (std::array<double, 4>{0, 0, date(2024, 2, 3), 0}));
    QCOMPARE(contact.eventTexts[2], QStringLiteral("ev"));
}

void TestDetailsPanel::eventDatesFollowTheShortDateFormat()
{
    ContactDetails contact;
    contact.born = date(1970, 1, 2);
    contact.eventDates = {date(2024, 7, 8), 0, 0, 0};
    contact.eventTexts = {QStringLiteral("e"), {}, {}, {}};
    QCOMPARE(detailsPanelText(contact, QStringLiteral("yyyy-mm-dd")),
             "Born: 02.01.1970\n" + kEmptyPanel + "\nTimer1: e - 2024-07-08");
}

void TestDetailsPanel::countsOnCursorMove_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("total");
    QTest::newRow("contact with two loans") << 0 << "2"
                                            << "5";
    QTest::newRow("contact with three loans") << 1 << "3"
                                              << "5";
    QTest::newRow("contact without loans") << 2 << "0"
                                           << "5";
}

void TestDetailsPanel::countsOnCursorMove()
{
    QFETCH(int, row);
    QFETCH(QString, current);
    QFETCH(QString, total);
    OpenWindow open(3, {1, 2, 2, 1, 2});
    open.window.tbldanni.moveTo(row);
    open.window.tbldanni.moveTo(row == 0 ? 1 : 0); // a move away and back: the rebuild runs
    open.window.tbldanni.moveTo(row);
    QCOMPARE(open.window.Label2->text(), current);
    QCOMPARE(open.window.Label4->text(), total);
    QVERIFY(open.panel().startsWith(QStringLiteral("Adress: Street %1\n").arg(row + 1)));
}

void TestDetailsPanel::newUnsavedContactAndEmptyTable()
{
    OpenWindow open(2, {0, 1, 0});
    open.window.tbldanni.append();
    QCOMPARE(open.panel(), kEmptyPanel);
    QCOMPARE(open.window.Label2->text(), QStringLiteral("2")); // loans of client 0
    QCOMPARE(open.window.Label4->text(), QStringLiteral("3"));

    open.window.tbldanni.cancel();
    open.window.tbldanni.first();
    open.window.tbldanni.deleteRecord();
    open.window.tbldanni.deleteRecord();
    QCOMPARE(open.window.tbldanni.recordCount(), 0);
    QCOMPARE(open.panel(), kEmptyPanel);
    QCOMPARE(open.window.Label2->text(), QStringLiteral("2"));
    QCOMPARE(open.window.Label4->text(), QStringLiteral("3")); // the deleted contact's loan stays
}

void TestDetailsPanel::leavesTheLoanTableUnfilteredWithThePendingLoanSaved()
{
    OpenWindow open(2, {2, 1});
    Dataset& loans = open.window.tblzaemi;
    loans.append();
    loans.fieldByName(QStringLiteral("what")).setAsString(QStringLiteral("pending"));
    loans.fieldByName(QStringLiteral("client_ID")).setAsInteger(2);
    open.window.tbldanni.moveTo(1);
    QVERIFY(!loans.isFiltered());
    QCOMPARE(loans.filter(), QStringLiteral("client_ID=2"));
    QCOMPARE(loans.state(), DatasetState::Browse);
    QCOMPARE(loans.position(), 0);
    QCOMPARE(open.database.scalar(QStringLiteral("SELECT COUNT(*) FROM zaemi")), qint64(3));
    // The total is taken before the pending loan is saved; the contact's count after.
    QCOMPARE(open.window.Label4->text(), QStringLiteral("2"));
    QCOMPARE(open.window.Label2->text(), QStringLiteral("2"));
}

void TestDetailsPanel::cellClickRestoresTypedOverPanel()
{
    OpenWindow open(2, {1});
    open.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    QTableView* view = open.window.cxGrid1->view();
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    const QString shown = open.panel();
    QCOMPARE(shown, QStringLiteral("Adress: Street 1\nphones: {} / {} / {}\nOther: "));
    open.window.Memo1->setPlainText(QStringLiteral("typed over"));
    open.window.Label2->setText(QStringLiteral("9"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(open.panel(), shown);
    QCOMPARE(open.window.Label2->text(), QStringLiteral("1"));
    QVERIFY(open.messages.calls.isEmpty());
}

void TestDetailsPanel::closedLoanTable()
{
    OpenWindow open(2, {1});
    open.window.tblzaemi.close();
    open.window.Label2->setText(QStringLiteral("7"));
    open.window.tbldanni.moveTo(1);
    QVERIFY(open.panel().isEmpty()); // the data-change path does nothing
    open.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    QTableView* view = open.window.cxGrid1->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(1, 1)).center());
    QCOMPARE(open.panel(), QStringLiteral("Adress: Street 2\nphones: {} / {} / {}\nOther: "));
    QCOMPARE(open.messages.texts(QStringLiteral("error")),
             QStringList{
                 QStringLiteral("tblzaemi: Cannot perform this operation on a closed dataset.")});
    QCOMPARE(open.window.Label2->text(), QStringLiteral("7"));
    QCOMPARE(open.window.Label4->text(), QStringLiteral("0"));
}

QTEST_MAIN(TestDetailsPanel)
#include "tst_detailspanel.moc"
