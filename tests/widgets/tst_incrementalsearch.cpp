#include "TestSupport.h"
#include "mainwindow/Utembrel.h"
#include "widgets/DataGrid.h"
#include "widgets/IncrementalSearch.h"

#include <QTableView>
#include <QTest>

namespace {

std::vector<QString> folded(const QStringList& texts)
{
    std::vector<QString> result;
    for (const QString& text : texts)
        result.push_back(foldForSearch(text));
    return result;
}

// Contacts by first name; the list's Name column shows them at the start of the full name.
const QStringList kNames = {"Ivan", "Stefan", "smaragda", "Sm ith",
                            "Жана", "жОра",   "Maria",    "SMOKY"};

// A shown main window over contacts with the given first names, the list focused.
struct SearchWindow {
    explicit SearchWindow(const QStringList& names)
    {
        for (const QString& name : names)
            database.execute(QStringLiteral("INSERT INTO danni (ime) VALUES ('%1')").arg(name));
        window.ADOConnection1.setConnectionString(database.connectionString());
        window.loadDatabase();
        window.show();
        view = window.cxGrid1->view();
        view->setFocus();
    }
    TestDatabase database;
    RecordingMessageService messages;
    TFtembrel window;
    QTableView* view = nullptr;
};

} // namespace

class TestIncrementalSearch : public QObject {
    Q_OBJECT
private slots:
    void findPrefixRow_data();
    void findPrefixRow();
    void matchedLength_data();
    void matchedLength();
    void typing_data();
    void typing();
    void matchedPartDrawnRed();
    void clickOnAnotherRowEndsTheSearch();
};

void TestIncrementalSearch::findPrefixRow_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("from");
    QTest::addColumn<SearchDirection>("direction");
    QTest::addColumn<int>("expected");
    const QStringList texts = {"anna", "bob", "anton", "bea", "ann"};
    QTest::newRow("from the focused row itself")
        << texts << "an" << 2 << SearchDirection::Wrap << 2;
    QTest::newRow("onwards") << texts << "b" << 2 << SearchDirection::Wrap << 3;
    QTest::newRow("wraps to the top") << texts << "bo" << 3 << SearchDirection::Wrap << 1;
    QTest::newRow("no match anywhere") << texts << "c" << 1 << SearchDirection::Wrap << -1;
    QTest::newRow("down skips the focused row") << texts << "an" << 0 << SearchDirection::Down << 2;
    QTest::newRow("down does not wrap") << texts << "bo" << 3 << SearchDirection::Down << -1;
    QTest::newRow("up, nearest first") << texts << "an" << 4 << SearchDirection::Up << 2;
    QTest::newRow("up does not wrap") << texts << "ann" << 0 << SearchDirection::Up << -1;
    QTest::newRow("empty list") << QStringList{} << "a" << 0 << SearchDirection::Wrap << -1;
    QTest::newRow("longer than every text")
        << texts << "annabel" << 0 << SearchDirection::Wrap << -1;
}

void TestIncrementalSearch::findPrefixRow()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, prefix);
    QFETCH(int, from);
    QFETCH(SearchDirection, direction);
    QFETCH(int, expected);
    QCOMPARE(::findPrefixRow(folded(texts), foldForSearch(prefix), from, direction), expected);
}

void TestIncrementalSearch::matchedLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::newRow("latin mixed case") << "SMOKY"
                                      << "smo" << 3;
    QTest::newRow("cyrillic mixed case") << "жОра"
                                         << "ЖО" << 2;
    QTest::newRow("greek final sigma") << "ΣΟΦΙΑ"
                                       << "σο" << 2;
    QTest::newRow("no match") << "Ivan"
                              << "x" << 0;
}

void TestIncrementalSearch::matchedLength()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QCOMPARE(::matchedLength(text, foldForSearch(typed)), expected);
}

void TestIncrementalSearch::typing_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("expectedRow");
    QTest::addColumn<QString>("expectedText");

    const int name = 1;
    QTest::newRow("s m: first match from the top")
        << 0 << name << QStringList{"s", "m"} << 2 << "sm";
    QTest::newRow("the focused row matches") << 3 << name << QStringList{"S", "M"} << 3 << "SM";
    QTest::newRow("wraps around") << 7 << name << QStringList{"s", "t"} << 1 << "st";
    QTest::newRow("dropped character") << 0 << name << QStringList{"s", "m", "x"} << 2 << "sm";
    QTest::newRow("no match at all") << 4 << name << QStringList{"q"} << 4 << "";
    QTest::newRow("cyrillic mixed case") << 0 << name << QStringList{"Ж", "о"} << 5 << "Жо";
    QTest::newRow("cyrillic upper to lower") << 6 << name << QStringList{"Ж", "А"} << 4 << "ЖА";
    QTest::newRow("backspace keeps the row")
        << 0 << name << QStringList{"s", "m", "o", "<BS>"} << 7 << "sm";
    QTest::newRow("backspace to empty ends") << 0 << name << QStringList{"m", "<BS>"} << 6 << "";
    QTest::newRow("escape ends") << 0 << name << QStringList{"s", "m", "<ESC>"} << 2 << "";
    QTest::newRow("ctrl+down to the next matches")
        << 0 << name << QStringList{"s", "m", "<C-DOWN>", "<C-DOWN>"} << 7 << "sm";
    QTest::newRow("ctrl+down does not wrap")
        << 0 << name << QStringList{"s", "m", "<C-DOWN>", "<C-DOWN>", "<C-DOWN>"} << 7 << "sm";
    QTest::newRow("ctrl+up to the previous matches")
        << 7 << name << QStringList{"s", "m", "<C-UP>", "<C-UP>"} << 2 << "sm";
    QTest::newRow("ctrl+up does not wrap")
        << 7 << name << QStringList{"s", "m", "<C-UP>", "<C-UP>", "<C-UP>"} << 2 << "sm";
    QTest::newRow("another key ends the search")
        << 0 << name << QStringList{"s", "m", "<DOWN>"} << 3 << "";
    QTest::newRow("nothing in the ID column") << 0 << 0 << QStringList{"s", "m", "5"} << 0 << "";
}

void TestIncrementalSearch::typing()
{
    QFETCH(int, startRow);
    QFETCH(int, column);
    QFETCH(QStringList, keys);
    QFETCH(int, expectedRow);
    QFETCH(QString, expectedText);

    SearchWindow open(kNames);
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    TFtembrel& window = open.window;
    QTableView* view = open.view;
    view->setCurrentIndex(view->model()->index(startRow, column));
    QCOMPARE(window.tbldanni.position(), startRow);

    for (const QString& key : keys) {
        if (key == QLatin1String("<BS>"))
            QTest::keyClick(view, Qt::Key_Backspace);
        else if (key == QLatin1String("<ESC>"))
            QTest::keyClick(view, Qt::Key_Escape);
        else if (key == QLatin1String("<DOWN>"))
            QTest::keyClick(view, Qt::Key_Down);
        else if (key == QLatin1String("<C-DOWN>"))
            QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
        else if (key == QLatin1String("<C-UP>"))
            QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier);
        else
            QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, key, {});
    }
    auto* search = window.findChild<IncrementalSearch*>();
    QVERIFY(search);
    QCOMPARE(search->text(), expectedText);
    QCOMPARE(view->currentIndex().row(), expectedRow);
    QCOMPARE(window.tbldanni.position(), expectedRow);
    QCOMPARE(search->highlightedLength(expectedRow), int(expectedText.size()));
}

void TestIncrementalSearch::matchedPartDrawnRed()
{
    SearchWindow open({QStringLiteral("Ann"), QStringLiteral("Smaragda")});
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    QTableView* view = open.view;
    const auto redIn = [&](const QRect& rect) {
        const QImage image = view->viewport()->grab(rect).toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(Qt::red))
                    return true;
        return false;
    };
    QTest::keyClicks(view, QStringLiteral("sma"));
    const QRect cell = view->visualRect(view->model()->index(1, 1));
    QVERIFY(redIn(cell));
    QVERIFY(!redIn(cell.adjusted(cell.width() / 2, 0, 0, 0)));
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!redIn(cell));
}

void TestIncrementalSearch::clickOnAnotherRowEndsTheSearch()
{
    SearchWindow open({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Abe")});
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    TFtembrel& window = open.window;
    QTableView* view = open.view;
    QTest::keyClicks(view, QStringLiteral("b"));
    auto* search = window.findChild<IncrementalSearch*>();
    QCOMPARE(search->text(), QStringLiteral("b"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(2, 1)).center());
    QCOMPARE(search->text(), QString());
    QCOMPARE(window.tbldanni.position(), 2);
    // A new search starts from the clicked row.
    QTest::keyClicks(view, QStringLiteral("a"));
    QCOMPARE(window.tbldanni.position(), 2);
}

QTEST_MAIN(TestIncrementalSearch)
#include "tst_incrementalsearch.moc"
