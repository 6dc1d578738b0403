#include "TestSupport.h"
#include "platform/DateFormat.h"
#include "widgets/DataGrid.h"
#include "widgets/MemoPopupDelegate.h"
#include "windows/Ufilters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// Five contacts: two born in February, one without a birth date, one with none of the eight
// searched columns filled in.
void addContacts(const TestDatabase& db)
{
    db.execute(QString::fromUtf8(
        "INSERT INTO danni (id, ime, prezime, familia, rd, other, adres, tel, tel1, tel2) VALUES"
        " (1, 'Иван', 'Петров', 'Иванов', '1980-02-14 00:00:00', 'likes chess',"
        "  'ул. Ленина 5', '555-1234', NULL, NULL),"
        " (2, 'Anna', NULL, 'Smith', '1990-02-01 00:00:00',"
        "  'first line' || char(10) || 'Notes: 50% off_sale', 'Baker Street', NULL, NULL, '0888'),"
        " (3, 'Bob', NULL, NULL, '1985-05-30 00:00:00', NULL, 'O''Brien \"Pub\"', NULL, NULL,"
        "  NULL),"
        " (4, NULL, NULL, 'Noday', NULL, 'February party', NULL, NULL, '77', NULL),"
        " (5, NULL, NULL, NULL, '2001-07-07 00:00:00', NULL, NULL, NULL, NULL, NULL);"));
}

using Ids = QList<qint64>;

Ids listedIds(TfmFilters& window)
{
    Ids ids;
    if (!window.qry.isActive())
        return ids;
    const int id = window.qry.fieldByName(QStringLiteral("id")).index();
    for (int row = 0; row < window.qry.recordCount(); ++row)
        ids << qint64(window.qry.numberAt(row, id));
    return ids;
}

int rowOf(TfmFilters& window, qint64 id)
{
    return int(listedIds(window).indexOf(id));
}

QString cell(TfmFilters& window, qint64 id, int column)
{
    return window.cxGrid1->model()->cellText(rowOf(window, id), column);
}

} // namespace

class TestFilters : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        DateFormats::setProgramFormats();
        addContacts(m_db);
        m_book = std::make_unique<ContactBook>(m_db);
        m_messages = std::make_unique<RecordingMessageService>();
        m_window = std::make_unique<TfmFilters>(m_book->connection, m_book->contactSource);
    }

    void cleanup()
    {
        m_window.reset();
        m_messages.reset();
        m_book.reset();
        m_db.execute(QStringLiteral("DELETE FROM danni"));
    }

    void opensWithEveryContactAndTheInitialTexts()
    {
        TfmFilters& window = *m_window;
        QCOMPARE(listedIds(window), Ids({1, 2, 3, 4, 5}));
        QCOMPARE(window.qry.sql(), TfmFilters::openingStatement());
        QCOMPARE(window.cxGrid1->footerCount()->text(), QStringLiteral("5"));
        QCOMPARE(window.cxComboBox1->currentText(), QStringLiteral("BirthDay Month Filtering"));
        QCOMPARE(window.cxComboBox1->count(), 12);
        QCOMPARE(window.cxComboBox1->itemText(0), QStringLiteral("1"));
        QCOMPARE(window.cxComboBox1->itemText(11), QStringLiteral("12"));
        QCOMPARE(window.cxComboBox1->maxVisibleItems(), 8);
        QVERIFY(window.cxTextEdit1->text().isEmpty());
        QVERIFY(m_messages->calls.isEmpty());
        QCOMPARE(window.focusWidget(), window.cxGrid1->view());
    }

    void gridShowsTheColumnsOfTheList()
    {
        TfmFilters& window = *m_window;
        const DataGridModel* model = window.cxGrid1->model();
        const QStringList headers{"ID", "Name", "Day", "Birth Day", "Other", "Adress"};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
        QCOMPARE(cell(window, 1, 0), QStringLiteral("1"));
        QCOMPARE(cell(window, 1, 1), QStringLiteral("Иван Петров Иванов"));
        QCOMPARE(cell(window, 1, 2), QStringLiteral("14"));
        QCOMPARE(cell(window, 1, 3), QStringLiteral("14.02.1980"));
        QCOMPARE(cell(window, 2, 1), QStringLiteral("Anna   Smith"));
        QCOMPARE(cell(window, 3, 5), QStringLiteral("O'Brien \"Pub\""));
        QCOMPARE(cell(window, 4, 2), QString()); // no birth date, no day
        QCOMPARE(cell(window, 4, 3), QString());
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                QVERIFY(!(model->flags(model->index(row, column)) & Qt::ItemIsEditable));
    }

    void monthListsThatMonthsBirths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ids>("ids");
        QTest::newRow("February") << "2" << Ids{1, 2};
        QTest::newRow("May") << "5" << Ids{3};
        QTest::newRow("July") << "7" << Ids{5};
        QTest::newRow("December, nobody") << "12" << Ids{};
        QTest::newRow("leading zero") << "02" << Ids{1, 2};
        QTest::newRow("no month 13") << "13" << Ids{};
        QTest::newRow("no month 0") << "0" << Ids{};
        QTest::newRow("initial text edited") << "BirthDay Month Filtering!" << Ids{};
        QTest::newRow("single quote") << "'" << Ids{};
        QTest::newRow("injection") << "2' or '1'='1" << Ids{};
        QTest::newRow("empty") << "" << Ids{};
    }

    void monthListsThatMonthsBirths()
    {
        QFETCH(QString, text);
        QFETCH(Ids, ids);
        m_window->cxComboBox1->setEditText(text);
        QCOMPARE(listedIds(*m_window), ids);
        QCOMPARE(m_window->qry.sql(), TfmFilters::monthStatement());
        QCOMPARE(m_window->cxGrid1->footerCount()->text(), QString::number(ids.size()));
        QVERIFY(m_messages->calls.isEmpty());
    }

    void choosingAnItemRunsTheMonthStatement()
    {
        m_window->cxComboBox1->setCurrentIndex(1);
        QCOMPARE(m_window->cxComboBox1->currentText(), QStringLiteral("2"));
        QCOMPARE(listedIds(*m_window), Ids({1, 2}));
        QCOMPARE(cell(*m_window, 2, 2), QStringLiteral("1"));
    }

    void searchListsContactsContainingTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ids>("ids");
        QTest::newRow("Cyrillic lower case") << QString::fromUtf8("ива") << Ids{1};
        QTest::newRow("Cyrillic upper case") << QString::fromUtf8("ИВАН") << Ids{1};
        QTest::newRow("Latin any case") << "sMiTh" << Ids{2};
        QTest::newRow("inside the notes") << "chess" << Ids{1};
        QTest::newRow("notes, second line") << "notes:" << Ids{2};
        QTest::newRow("address") << "baker" << Ids{2};
        QTest::newRow("Cyrillic address") << QString::fromUtf8("ленина") << Ids{1};
        QTest::newRow("phone") << "-12" << Ids{1};
        QTest::newRow("third phone") << "0888" << Ids{2};
        QTest::newRow("second phone") << "77" << Ids{4};
        QTest::newRow("one letter in many") << "n" << Ids{2, 3, 4};
        QTest::newRow("nowhere") << "zzz" << Ids{};
        QTest::newRow("single quote") << "O'Brien" << Ids{3};
        QTest::newRow("double quotes") << "\"Pub\"" << Ids{3};
        QTest::newRow("lone double quote") << "\"" << Ids{3};
        QTest::newRow("percent is searched for") << "%" << Ids{2};
        QTest::newRow("percent with text") << "50%" << Ids{2};
        QTest::newRow("underscore is searched for") << "_" << Ids{2};
        QTest::newRow("underscore is no wildcard") << "5_%" << Ids{};
        QTest::newRow("backslash") << "\\" << Ids{};
        QTest::newRow("quote injection") << "' or 1=1 --" << Ids{};
        QTest::newRow("double quote injection") << "\" or \"\"=\"" << Ids{};
    }

    void searchListsContactsContainingTheText()
    {
        QFETCH(QString, text);
        QFETCH(Ids, ids);
        m_window->cxTextEdit1->setText(text);
        QCOMPARE(listedIds(*m_window), ids);
        // The typed text is bound, never part of the statement.
        QCOMPARE(m_window->qry.sql(), TfmFilters::searchStatement());
        QCOMPARE(m_window->cxGrid1->footerCount()->text(), QString::number(ids.size()));
        QVERIFY(m_messages->calls.isEmpty());
    }

    void eachKeystrokeRunsANewSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<Ids>("ids");
        QTest::newRow("Latin") << "smi" << QList<int>{2, 1, 1} << Ids{2};
        QTest::newRow("Cyrillic") << QString::fromUtf8("ИВа") << QList<int>{1, 1, 1} << Ids{1};
    }

    void eachKeystrokeRunsANewSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, counts);
        QFETCH(Ids, ids);
        QList<int> seen;
        connect(&m_window->qry, &Dataset::stateChanged, this, [&] {
            if (m_window->qry.isActive())
                seen << m_window->qry.recordCount();
        });
        typeText(m_window->cxTextEdit1, typed);
        QCOMPARE(seen, counts);
        QCOMPARE(listedIds(*m_window), ids);
    }

    void emptySearchListsContactsWithAnySearchedValue()
    {
        QTest::keyClicks(m_window->cxTextEdit1, "x");
        QCOMPARE(listedIds(*m_window), Ids{});
        QTest::keyClick(m_window->cxTextEdit1, Qt::Key_Backspace);
        QVERIFY(m_window->cxTextEdit1->text().isEmpty());
        QCOMPARE(listedIds(*m_window), Ids({1, 2, 3, 4}));
    }

    void searchAndMonthDoNotResetEachOther()
    {
        TfmFilters& window = *m_window;
        QTest::keyClicks(window.cxTextEdit1, "a");
        QCOMPARE(listedIds(window), Ids({2, 4}));
        window.cxComboBox1->setCurrentIndex(4);
        QCOMPARE(listedIds(window), Ids({3}));
        QCOMPARE(window.cxTextEdit1->text(), QStringLiteral("a"));
        QTest::keyClicks(window.cxTextEdit1, "n");
        QCOMPARE(listedIds(window), Ids({2}));
        QCOMPARE(window.cxComboBox1->currentText(), QStringLiteral("5"));
    }

    void nameLookupLeavesTheContactCursor()
    {
        Dataset& contacts = m_book->contacts;
        contacts.moveTo(2);
        QSignalSpy changes(&m_book->contactSource, &DataSource::dataChange);
        QTest::keyClicks(m_window->cxTextEdit1, "n");
        for (qint64 id : listedIds(*m_window))
            QVERIFY(!cell(*m_window, id, 1).isEmpty());
        QCOMPARE(contacts.position(), 2);
        QCOMPARE(changes.count(), 0);
    }

    void nameIsEmptyForAContactNotInTheTable()
    {
        // Another program added a contact after the contact table was read.
        m_db.execute(QStringLiteral("INSERT INTO danni (id, ime) VALUES (6, 'Late')"));
        m_window->cxTextEdit1->setText(QStringLiteral("late"));
        QCOMPARE(listedIds(*m_window), Ids{6});
        QCOMPARE(cell(*m_window, 6, 1), QString());
    }

    void otherOpensTheNotesReadOnlyInAPopup()
    {
        TfmFilters& window = *m_window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableView* view = window.cxGrid1->view();
        const QModelIndex index = window.cxGrid1->model()->index(rowOf(window, 2), 4);
        QCOMPARE(index.data().toString(), QStringLiteral("first line\nNotes: 50% off_sale"));
        const QRect button = MemoPopupDelegate::buttonRect(view->visualRect(index));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, button.center());
        auto* popup = view->findChild<QPlainTextEdit*>(QStringLiteral("memoPopup"));
        QVERIFY(popup);
        QVERIFY(popup->isVisible());
        QVERIFY(popup->isReadOnly());
        QCOMPARE(popup->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(popup->toPlainText(), QStringLiteral("first line\nNotes: 50% off_sale"));
        QVERIFY(listedIds(window).contains(2)); // nothing changed in the list
        QTest::keyClick(popup, Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        QTRY_VERIFY(!view->findChild<QPlainTextEdit*>(QStringLiteral("memoPopup")));
    }

    void layoutPlacesTheControls()
    {
        TfmFilters& window = *m_window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Filters"));
        QCOMPARE(window.size(), QSize(645, 331));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.cxComboBox1->geometry().topLeft(), QPoint(8, 1));
        QCOMPARE(window.cxComboBox1->width(), 158);
        QCOMPARE(window.cxLabel1->text(), QStringLiteral("Look for:"));
        QCOMPARE(window.cxLabel1->pos(), QPoint(200, 3));
        QCOMPARE(window.cxTextEdit1->geometry().topLeft(), QPoint(251, 1));
        QCOMPARE(window.cxTextEdit1->width(), 121);
        QCOMPARE(window.cxGrid1->geometry(), QRect(0, 24, 645, 308));
        const QTableView* view = window.cxGrid1->view();
        QCOMPARE(view->columnWidth(0), 40);
        QCOMPARE(view->columnWidth(1), 216);
        QCOMPARE(view->columnWidth(2), 43);
        QCOMPARE(view->columnWidth(4), 107);
        QCOMPARE(view->columnWidth(5), 116);
    }

    void aRejectedStatementLeavesTheListEmptyUntilOneRuns()
    {
        TfmFilters& window = *m_window;
        m_db.execute(QStringLiteral("ALTER TABLE danni RENAME COLUMN tel2 TO phone2"));
        QTest::keyClicks(window.cxTextEdit1, "a");
        QCOMPARE(m_messages->texts(QStringLiteral("error")).size(), 1);
        QVERIFY(m_messages->texts(QStringLiteral("error")).first().contains("tel2"));
        QVERIFY(!window.qry.isActive());
        QCOMPARE(window.cxGrid1->model()->rowCount(), 0);
        QVERIFY(window.cxGrid1->footerCount()->text().isEmpty());

        m_db.execute(QStringLiteral("ALTER TABLE danni RENAME COLUMN phone2 TO tel2"));
        QTest::keyClicks(window.cxTextEdit1, "n");
        QCOMPARE(listedIds(window), Ids({2}));
        QCOMPARE(m_messages->texts(QStringLiteral("error")).size(), 1);
    }

private:
    TestDatabase m_db;
    std::unique_ptr<ContactBook> m_book;
    std::unique_ptr<RecordingMessageService> m_messages;
    std::unique_ptr<TfmFilters> m_window;
};

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
