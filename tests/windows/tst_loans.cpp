#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"
#include "widgets/DBText.h"
#include "widgets/DataGrid.h"
#include "windows/ULoans.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 12, 11), QTime(14, 30, 15));

const QString kContacts =
    QStringLiteral("INSERT INTO danni (id, ime, prezime, familia) VALUES"
                   " (1, 'Ivan', 'Petrov', 'Ivanov'), (2, 'Maria', 'Ilieva', 'Georgieva'),"
                   " (3, 'Petar', 'Stoyanov', 'Kolev');");

const QString kLoans =
    QStringLiteral("INSERT INTO zaemi (zaemi_ID, what, date_zaem, date_back, client_ID) VALUES"
                   " (1, 'book', '2026-01-02 10:00:00', NULL, 1),"
                   " (2, 'lamp', '2026-02-01 00:00:00', NULL, 2),"
                   " (3, 'drill', '2026-02-03 00:00:00', '2026-03-01 00:00:00', 1),"
                   " (4, 'pen', NULL, NULL, 9), (5, 'cup', NULL, NULL, 0);");

// Three contacts; Ivan has two loans, Maria one, Petar none, and one loan belongs to a contact
// that no longer exists.
struct LoansFixture : TestBook {
    explicit LoansFixture(bool withContacts = true)
        : TestBook((withContacts ? kContacts : QString()) + kLoans)
    {
    }

    void selectContact(qint64 id)
    {
        contacts.moveTo(contacts.locate(contacts.fieldByName("id").index(), id));
    }

    // The window for a contact, not yet shown.
    std::unique_ptr<TfmLoans> windowFor(qint64 contact)
    {
        selectContact(contact);
        return std::make_unique<TfmLoans>(contactSource, loanSource);
    }

    // The window for a contact, activated.
    std::unique_ptr<TfmLoans> openWindow(qint64 contact)
    {
        auto window = windowFor(contact);
        window->FormActivate();
        return window;
    }

    qint64 storedLoans() const { return db.scalar(QStringLiteral("SELECT COUNT(*) FROM zaemi")); }

    RecordingMessageService messages;
};

QStringList columnTexts(const TfmLoans& window, int column)
{
    const QAbstractItemModel* model = window.cxGrid1->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

// Types into the cell at the dataset's current row, as an in-place edit does.
void typeInCell(TfmLoans& window, int column, const QString& text)
{
    DataGridModel* model = window.cxGrid1->model();
    QVERIFY(model->setData(model->index(model->dataset().position(), column), text, Qt::EditRole));
}

// Opens the in-place editor of a cell and types over its text; false when no editor opens.
bool typeInEditor(QTableView* view, const QModelIndex& cell, const QString& text)
{
    view->setCurrentIndex(cell);
    view->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(cell));
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return true;
}

} // namespace

// The loans window: its handlers on the shared loan table, the grid's cells and the layout.
class TestLoans : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        DateFormats::setProgramFormats();
        Clock::setFixed(kNow);
    }

    void activationFiltersToTheContact_data()
    {
        QTest::addColumn<bool>("withContacts");
        QTest::addColumn<qint64>("contact");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("what");

        QTest::newRow("contact with loans")
            << true << qint64(1) << "client_ID=1"
            << "Loans - Ivan Petrov Ivanov" << QStringList{"book", "drill"};
        QTest::newRow("contact without loans") << true << qint64(3) << "client_ID=3"
                                               << "Loans - Petar Stoyanov Kolev" << QStringList{};
        QTest::newRow("empty contact table") << false << qint64(0) << "client_ID=0"
                                             << "Loans - " << QStringList{"cup"};
    }
    void activationFiltersToTheContact()
    {
        QFETCH(bool, withContacts);
        QFETCH(qint64, contact);
        QFETCH(QString, filter);
        QFETCH(QString, caption);
        QFETCH(QStringList, what);
        LoansFixture f(withContacts);
        if (withContacts)
            f.selectContact(contact);
        TfmLoans window(f.contactSource, f.loanSource);
        QCOMPARE(window.windowTitle(), QStringLiteral("Loans"));

        window.show(); // activation runs once, however often the window is shown
        window.hide();
        window.show();
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(f.loans.filter(), filter);
        QVERIFY(f.loans.isFiltered());
        QCOMPARE(columnTexts(window, 0), what);
        QCOMPARE(window.Label2->text(), QString::number(what.size()));
        QCOMPARE(window.DBText1->text(), caption.mid(QStringLiteral("Loans - ").size()));
        QCOMPARE(window.cxButton4->text(), QStringLiteral("Show All"));
        QVERIFY(f.messages.calls.isEmpty());
    }

    void newStartsAnUncountedRowForTheContact()
    {
        LoansFixture f;
        auto window = f.openWindow(1);
        window->cxButton2Click();

        Dataset& loans = f.loans;
        QCOMPARE(loans.state(), DatasetState::Insert);
        QCOMPARE(loans.fieldByName("client_ID").asInteger(), 1);
        QCOMPARE(DateTimeValue::toQDateTime(loans.fieldByName("date_zaem").asDateTime()), kNow);
        QVERIFY(loans.fieldByName("what").isNull());
        QVERIFY(loans.fieldByName("date_back").isNull());
        QCOMPARE(window->Label2->text(), QStringLiteral("2"));
        QCOMPARE(columnTexts(*window, 0), (QStringList{"book", "drill", ""}));
        QCOMPARE(columnTexts(*window, 3).last(), QStringLiteral("Ivan Petrov Ivanov"));
        QCOMPARE(f.storedLoans(), 5);

        // Moving to another row saves it; the count waits for the next button.
        window->cxGrid1->view()->setCurrentIndex(window->cxGrid1->model()->index(0, 0));
        QCOMPARE(loans.state(), DatasetState::Browse);
        QCOMPARE(f.storedLoans(), 6);
        QCOMPARE(f.db.scalar("SELECT client_ID FROM zaemi WHERE date_zaem = '2026-12-11 14:30:15'"),
                 1);
        QCOMPARE(window->Label2->text(), QStringLiteral("2"));
        window->cxButton3Click(); // answered No
        QCOMPARE(window->Label2->text(), QStringLiteral("3"));
        QCOMPARE(f.storedLoans(), 6);
    }

    void newWhileAllLoansAreShownBelongsToTheWindowsContact()
    {
        LoansFixture f;
        auto window = f.openWindow(1);
        window->cxButton4Click();
        window->cxGrid1->view()->setCurrentIndex(window->cxGrid1->model()->index(1, 0));
        QCOMPARE(f.loans.fieldByName("client_ID").asInteger(), 2); // Maria's lamp

        window->cxButton2Click();
        QCOMPARE(f.loans.fieldByName("client_ID").asInteger(), 1);
        QCOMPARE(window->Label2->text(), QStringLiteral("5"));
        QCOMPARE(f.contacts.fieldByName("id").asInteger(), 1);
        window.reset();
        QCOMPARE(f.db.scalar("SELECT client_ID FROM zaemi ORDER BY zaemi_ID DESC LIMIT 1"), 1);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("onNewRow");
        QTest::addColumn<QStringList>("what");
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<QString>("count");

        QTest::newRow("yes") << true << false << QStringList{"drill"} << qint64(4) << "1";
        QTest::newRow("no") << false << false << QStringList{"book", "drill"} << qint64(5) << "2";
        QTest::newRow("yes on a new row")
            << true << true << QStringList{"book", "drill"} << qint64(5) << "2";
        QTest::newRow("no on a new row")
            << false << true << QStringList{"book", "drill", ""} << qint64(5) << "2";
    }
    void deleteAsksFirst()
    {
        QFETCH(bool, answer);
        QFETCH(bool, onNewRow);
        QFETCH(QStringList, what);
        QFETCH(qint64, stored);
        QFETCH(QString, count);
        LoansFixture f;
        auto window = f.openWindow(1);
        if (onNewRow)
            window->cxButton2Click();
        window->Label2->setText(QStringLiteral("stale"));
        f.messages.answers = {answer};

        window->cxButton3Click();
        QCOMPARE(f.messages.calls, (QList<RecordingMessageService::Call>{
                                       {"confirm", "You're about DELETING current row?"}}));
        QCOMPARE(columnTexts(*window, 0), what);
        QCOMPARE(f.storedLoans(), stored);
        QCOMPARE(window->Label2->text(), count);
    }

    void deleteOnAnEmptyViewIsAnError()
    {
        LoansFixture f;
        auto window = f.openWindow(3);
        window->Label2->setText(QStringLiteral("stale"));
        f.messages.answers = {true};
        guarded([&] { window->cxButton3Click(); });
        QCOMPARE(f.messages.texts("error"),
                 QStringList{"tblzaemi: Cannot perform this operation on an empty dataset."});
        QCOMPARE(window->Label2->text(), QStringLiteral("stale"));
        QCOMPARE(f.storedLoans(), 5);
    }

    void showAllAndFilteredSwitchTheView()
    {
        LoansFixture f;
        auto window = f.openWindow(1);

        window->cxButton4Click();
        QVERIFY(!f.loans.isFiltered());
        QCOMPARE(window->cxButton4->text(), QStringLiteral("Filtered"));
        QCOMPARE(window->Label2->text(), QStringLiteral("5"));
        QCOMPARE(columnTexts(*window, 3),
                 (QStringList{"Ivan Petrov Ivanov", "Maria Ilieva Georgieva", "Ivan Petrov Ivanov",
                              "", ""}));
        QCOMPARE(f.contacts.fieldByName("id").asInteger(), 1); // the lookup moves nothing

        window->cxButton4Click();
        QVERIFY(f.loans.isFiltered());
        QCOMPARE(f.loans.filter(), QStringLiteral("client_ID=1"));
        QCOMPARE(window->cxButton4->text(), QStringLiteral("Show All"));
        QCOMPARE(window->Label2->text(), QStringLiteral("2"));
        QCOMPARE(columnTexts(*window, 0), (QStringList{"book", "drill"}));
        QCOMPARE(f.loans.position(), 0);
    }

    void gridShowsTheColumnsAndEditsAllButPerson()
    {
        LoansFixture f;
        auto window = f.openWindow(1);
        const QAbstractItemModel* model = window->cxGrid1->model();
        const QTableView* view = window->cxGrid1->view();
        const QStringList headers{"What", "When", "Date Back", "person"};
        const QList<int> widths{340, 72, 71, 170};
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), headers[column]);
            QCOMPARE(view->columnWidth(column), widths[column]);
            QCOMPARE(bool(model->flags(model->index(0, column)) & Qt::ItemIsEditable), column < 3);
        }
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("03.02.2026"));
        QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("01.03.2026"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("02.01.2026"));
        QCOMPARE(model->index(0, 1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("02.01.2026 10:00:00"));
    }

    void closingSavesAModifiedRow_data()
    {
        QTest::addColumn<bool>("allLoans");
        QTest::addColumn<bool>("newRow");
        QTest::addColumn<qint64>("stored");

        QTest::newRow("filtered, new row") << false << true << qint64(6);
        QTest::newRow("filtered, changed row") << false << false << qint64(5);
        QTest::newRow("all loans, new row") << true << true << qint64(6);
        QTest::newRow("all loans, changed row") << true << false << qint64(5);
    }
    void closingSavesAModifiedRow()
    {
        QFETCH(bool, allLoans);
        QFETCH(bool, newRow);
        QFETCH(qint64, stored);
        LoansFixture f;
        auto window = f.openWindow(1);
        if (allLoans)
            window->cxButton4Click();
        if (newRow)
            window->cxButton2Click();
        typeInCell(*window, 0, QStringLiteral("umbrella"));

        window.reset();
        QVERIFY(f.messages.calls.isEmpty());
        QCOMPARE(f.loans.state(), DatasetState::Browse);
        QVERIFY(!f.loans.isFiltered());
        QCOMPARE(f.storedLoans(), stored);
        QCOMPARE(f.db.scalar("SELECT client_ID FROM zaemi WHERE what = 'umbrella'"), 1);
    }

    void closingKeepsTheTextOfAnOpenEditor()
    {
        LoansFixture f;
        auto window = f.windowFor(1);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTableView* view = window->cxGrid1->view();
        QVERIFY(typeInEditor(view, view->model()->index(1, 0), QStringLiteral("hammer drill")));

        window->reject(); // the caption's close button and Escape
        window.reset();
        QVERIFY(f.messages.calls.isEmpty());
        QCOMPARE(f.db.scalar("SELECT zaemi_ID FROM zaemi WHERE what = 'hammer drill'"), 3);
    }

    void aRefusedSaveStopsTheStepThatNeedsIt_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("new") << "new";
        QTest::newRow("show all") << "show all";
        QTest::newRow("close") << "close";
    }
    void aRefusedSaveStopsTheStepThatNeedsIt()
    {
        QFETCH(QString, step);
        LoansFixture f;
        auto window = f.openWindow(1);
        window->cxButton2Click();
        typeInCell(*window, 0, QStringLiteral("umbrella"));
        f.connection.execute(QStringLiteral("PRAGMA query_only = 1"));

        if (step == "new")
            guarded([&] { window->cxButton2Click(); });
        else if (step == "show all")
            guarded([&] { window->cxButton4Click(); });
        else
            window.reset();
        QCOMPARE(f.messages.texts("error").size(), 1);
        QVERIFY(f.messages.texts("error").first().contains("readonly"));
        Dataset& loans = f.loans;
        QCOMPARE(loans.state(), DatasetState::Insert);
        QCOMPARE(loans.fieldByName("what").asString(), QStringLiteral("umbrella"));
        QVERIFY(loans.isFiltered());
        if (window) {
            QCOMPARE(window->cxButton4->text(), QStringLiteral("Show All"));
            QCOMPARE(columnTexts(*window, 0), (QStringList{"book", "drill", "umbrella"}));
        }
        QCOMPARE(f.storedLoans(), 5);
    }

    void anInvalidDateKeepsTheRowAndItsChanges()
    {
        LoansFixture f;
        auto window = f.windowFor(1);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->cxButton2Click();
        typeInCell(*window, 0, QStringLiteral("umbrella"));
        QTableView* view = window->cxGrid1->view();
        const QModelIndex cell = view->model()->index(2, 2);
        QVERIFY(typeInEditor(view, cell, QStringLiteral("31022026")));

        view->setCurrentIndex(view->model()->index(0, 0)); // leaving the row writes the cell
        QCOMPARE(f.messages.texts("error"), QStringList{"'31.02.2026' is not a valid date."});
        Dataset& loans = f.loans;
        QCOMPARE(loans.state(), DatasetState::Insert);
        QCOMPARE(loans.fieldByName("what").asString(), QStringLiteral("umbrella"));
        QVERIFY(loans.fieldByName("date_back").isNull());
        QTRY_COMPARE(view->currentIndex().row(), 2);
        QCOMPARE(f.storedLoans(), 5);

        // A valid date goes through, and leaving the row then saves it.
        QVERIFY(typeInEditor(view, cell, QStringLiteral("28022026")));
        view->setCurrentIndex(view->model()->index(0, 0));
        QCOMPARE(f.messages.texts("error").size(), 1);
        QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM zaemi WHERE what = 'umbrella'"
                             " AND date_back = '2026-02-28 00:00:00'"),
                 1);
    }

    void gridKeysForInsertingAndDeletingAreOff()
    {
        LoansFixture f;
        auto window = f.windowFor(1);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTableView* view = window->cxGrid1->view();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Insert);
        QTest::keyClick(view, Qt::Key_Delete);
        QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.loans.state(), DatasetState::Browse);
        QCOMPARE(columnTexts(*window, 0), (QStringList{"book", "drill"}));
        QVERIFY(f.messages.calls.isEmpty());
        QCOMPARE(f.storedLoans(), 5);
    }

    void layoutTabOrderAndAnchors()
    {
        LoansFixture f;
        f.selectContact(1);
        QWidget mainWindow;
        mainWindow.setGeometry(40, 60, 688, 446); // the dialog must fit on the small test screen
        mainWindow.show();
        TfmLoans window(f.contactSource, f.loanSource, &mainWindow);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.size(), QSize(666, 368));
        QVERIFY((window.geometry().center() - mainWindow.geometry().center()).manhattanLength() <=
                2);
        QCOMPARE(QApplication::focusWidget(), window.cxButton1);
        for (QWidget* next :
             {static_cast<QWidget*>(window.cxButton2), static_cast<QWidget*>(window.cxButton3),
              static_cast<QWidget*>(window.cxGrid1->view()),
              static_cast<QWidget*>(window.cxButton4), static_cast<QWidget*>(window.cxButton1)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(window.DBText1->font().bold());
        QCOMPARE(window.DBText1->geometry(), QRect(8, 8, 273, 17));
        QCOMPARE(window.Label1->text(), QStringLiteral("Total :"));
        QCOMPARE(window.Label2->pos(), QPoint(592, 8));

        window.resize(766, 418);
        QCOMPARE(window.cxGrid1->geometry(), QRect(0, 31, 767, 353));
        QCOMPARE(window.cxButton1->geometry(), QRect(680, 388, 75, 25));
        QCOMPARE(window.cxButton2->geometry(), QRect(9, 388, 75, 25));
        QCOMPARE(window.cxButton3->geometry(), QRect(89, 388, 75, 25));
        QCOMPARE(window.cxButton4->geometry(), QRect(321, 388, 75, 25));
        QCOMPARE(window.DBText1->geometry(), QRect(8, 8, 273, 17));

        QTest::mouseClick(window.cxButton1, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestLoans)
#include "tst_loans.moc"
