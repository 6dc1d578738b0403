#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "mainwindow/StatusClock.h"
#include "mainwindow/Utembrel.h"
#include "platform/Clock.h"
#include "platform/Guarded.h"
#include "widgets/DataGrid.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

// A main window on a fresh database holding the given contacts (first names).
struct OpenWindow {
    explicit OpenWindow(const QStringList& firstNames = {})
    {
        for (const QString& name : firstNames)
            database.execute(QStringLiteral("INSERT INTO danni (ime) VALUES ('%1')").arg(name));
        window.ADOConnection1.setConnectionString(database.connectionString());
        window.loadDatabase();
    }
    TestDatabase database;
    RecordingMessageService messages;
    TFtembrel window;
};

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void windowCaptionAndPlace();
    void controlPositions_data();
    void controlPositions();
    void loansLabelsSizeToTheirText();
    void toolbarItems();
    void actionsRunTheirCommands();
    void imageListHoldsTwelveIcons();
    void logoDrawnAtItsOwnSizeFromTheCorner();
    void progressBarAndLoansBoxAtCreation();
    void contactListColumnsAndFooter();
    void clockText_data();
    void clockText();
    void clockFollowsTheClockEverySecond();
    void deleteAnswered_data();
    void deleteAnswered();
    void deleteOnEmptyListShowsTheError();
    void deletePendingNewContactDeletesNothingFromTheFile();
};

void TestMainWindow::windowCaptionAndPlace()
{
    OpenWindow open;
    QCOMPARE(open.window.windowTitle(), QStringLiteral("Tembrel"));
    QCOMPARE(open.window.pos(), QPoint(204, 123));
    QCOMPARE(open.window.size(), QSize(688, 446));
    QCOMPARE(open.window.font().pointSize(), 8);
}

void TestMainWindow::controlPositions_data()
{
    QTest::addColumn<QSize>("clientSize");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("expected");

    const struct {
        const char* name;
        QRect design;
        QRect grown; // at 800 x 600: 112 wider, 154 higher
    } controls[] = {
        {"ActionToolBar1", {0, 0, 688, 27}, {0, 0, 800, 27}},
        {"cxGrid1", {10, 28, 305, 393}, {10, 28, 305, 547}},
        {"Memo1", {352, 40, 313, 241}, {352, 40, 313, 241}},
        {"ProgressBar1", {352, 288, 313, 21}, {352, 288, 313, 21}},
        {"GroupBox1", {360, 320, 305, 65}, {360, 320, 305, 65}},
        {"LMDStatusBar1", {0, 427, 688, 19}, {0, 581, 800, 19}},
        {"Image1", {571, 392, 113, 35}, {683, 546, 113, 35}},
    };
    for (const auto& control : controls) {
        QTest::addRow("%s at design size", control.name)
            << QSize(688, 446) << QString::fromLatin1(control.name) << control.design;
        QTest::addRow("%s grown", control.name)
            << QSize(800, 600) << QString::fromLatin1(control.name) << control.grown;
    }
    QTest::addRow("cxGrid1 shrunk")
        << QSize(600, 300) << QStringLiteral("cxGrid1") << QRect(10, 28, 305, 247);
    QTest::addRow("Image1 shrunk")
        << QSize(600, 300) << QStringLiteral("Image1") << QRect(483, 246, 113, 35);
    QTest::addRow("clock in the status bar")
        << QSize(800, 600) << QStringLiteral("LMDInformationLabel1") << QRect(1, 1, 190, 17);
}

void TestMainWindow::controlPositions()
{
    QFETCH(QSize, clientSize);
    QFETCH(QString, control);
    QFETCH(QRect, expected);
    OpenWindow open;
    open.window.show();
    open.window.resize(clientSize);
    QTRY_COMPARE(open.window.centralWidget()->size(), clientSize);
    auto* widget = open.window.findChild<QWidget*>(control);
    QVERIFY(widget);
    QTRY_COMPARE(widget->geometry(), expected);
}

void TestMainWindow::loansLabelsSizeToTheirText()
{
    OpenWindow open;
    open.window.show();
    QTRY_COMPARE(open.window.Label2->pos(), QPoint(72, 24));
    const int narrow = open.window.Label2->width();
    open.window.Label2->setText(QStringLiteral("12345"));
    QTRY_VERIFY(open.window.Label2->width() > narrow);
    QCOMPARE(open.window.Label2->width(), open.window.Label2->sizeHint().width());
    QCOMPARE(open.window.Label4->pos(), QPoint(208, 24));
    // The captions end where their figures begin, whatever the font's width.
    auto* current = open.window.findChild<QLabel*>(QStringLiteral("Label1"));
    auto* total = open.window.findChild<QLabel*>(QStringLiteral("Label3"));
    QCOMPARE(current->text(), QStringLiteral("Current :"));
    QCOMPARE(total->text(), QStringLiteral("Total:"));
    QCOMPARE(current->geometry().right() + 1, 72);
    QCOMPARE(total->geometry().right() + 1, 207);
    QVERIFY(current->width() >= current->sizeHint().width());
}

void TestMainWindow::toolbarItems()
{
    OpenWindow open;
    const QList<QAction*> items = open.window.ActionToolBar1->actions();
    QCOMPARE(items.size(), 15);
    const QStringList names = {"Action1", "Action7", "Action6", "Action5",
                               "Action8", "Action3", "Action4", "Action2"};
    const QStringList toolbarCaptions = {"&New Contact", "E&dit",         "De&lete", "L&oans",
                                         "&Filters",     "&Check events", "&About",  "&Exit"};
    const QStringList captions = {"New Contact", "Edit",         "Delete", "Loans",
                                  "Filters",     "Check events", "About",  "Exit"};
    for (int i = 0; i < items.size(); ++i) {
        if (i % 2 == 1) {
            QVERIFY2(items[i]->isSeparator(), qPrintable(QString::number(i)));
            continue;
        }
        QAction* action = items[i];
        QCOMPARE(action->objectName(), names[i / 2]);
        QCOMPARE(action->iconText(), toolbarCaptions[i / 2]);
        QCOMPARE(action->text(), captions[i / 2]);
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->icon().isNull());
        auto* button =
            qobject_cast<QToolButton*>(open.window.ActionToolBar1->widgetForAction(action));
        QVERIFY(button);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }
    QCOMPARE(open.window.ActionToolBar1->iconSize(), QSize(16, 16));
}

void TestMainWindow::actionsRunTheirCommands()
{
    OpenWindow open({QStringLiteral("Ann")});
    open.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    open.messages.answers = {false};
    open.window.Action6->trigger();
    QCOMPARE(open.messages.texts(QStringLiteral("confirm")),
             QStringList{QStringLiteral("Deleting person,are you sure?")});
    open.window.Action2->trigger();
    QTRY_VERIFY(!open.window.isVisible());
}

void TestMainWindow::imageListHoldsTwelveIcons()
{
    OpenWindow open;
    QCOMPARE(open.window.ImageList1.count(), 12);
    for (int i = 0; i < 12; ++i) {
        const QIcon icon = open.window.ImageList1.icon(i);
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(i)));
        QCOMPARE(icon.availableSizes().value(0), QSize(16, 16));
    }
    const int usedIcons[] = {4, 6, 5, 1, 11, 2, 0, 3}; // in toolbar order
    const QList<QAction*> items = open.window.ActionToolBar1->actions();
    for (int i = 0; i < 8; ++i)
        QCOMPARE(items[i * 2]->icon().pixmap(16).toImage(),
                 open.window.ImageList1.icon(usedIcons[i]).pixmap(16).toImage());
}

void TestMainWindow::logoDrawnAtItsOwnSizeFromTheCorner()
{
    OpenWindow open;
    QCOMPARE(open.window.Image1->pixmap().size(), QSize(120, 33));
    QCOMPARE(open.window.Image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QVERIFY(!open.window.Image1->hasScaledContents());
}

void TestMainWindow::progressBarAndLoansBoxAtCreation()
{
    OpenWindow open;
    QProgressBar* bar = open.window.ProgressBar1;
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 50);
    QVERIFY(bar->isTextVisible());
    QCOMPARE(bar->text(), QStringLiteral("50%"));
    QCOMPARE(bar->palette().color(QPalette::Highlight), QColor(0, 128, 128));
    QCOMPARE(open.window.GroupBox1->title(), QStringLiteral("Loans"));
    QCOMPARE(open.window.Label2->text(), QStringLiteral("0"));
    QCOMPARE(open.window.Label4->text(), QStringLiteral("0"));
    QCOMPARE(open.window.Label2->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QCOMPARE(open.window.Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

void TestMainWindow::contactListColumnsAndFooter()
{
    OpenWindow open({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")});
    DataGrid* grid = open.window.cxGrid1;
    QTableView* view = grid->view();
    QCOMPARE(view->objectName(), QStringLiteral("cxGrid1DBTableView1"));
    QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(view->columnWidth(0), 30);
    QCOMPARE(view->columnWidth(1), 250);
    QCOMPARE(view->model()->index(1, 1).data().toString(), QStringLiteral("Bob    "));
    QVERIFY(!(view->model()->flags(view->model()->index(0, 1)) & Qt::ItemIsEditable));
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid->footerCount()->text(), QStringLiteral("3"));
    const QWidget* footer = grid->footerCount()->parentWidget();
    QCOMPARE(footer->palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(grid->footerCount()->palette().color(QPalette::WindowText), QColor(Qt::white));
    open.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.window));
    const QImage painted =
        open.window.grab(QRect(footer->mapTo(&open.window, QPoint(0, 0)), footer->size()))
            .toImage();
    QCOMPARE(painted.pixelColor(footer->width() - 2, footer->height() / 2), QColor(0, 128, 128));
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        QCOMPARE(view->palette().color(group, QPalette::Highlight), QColor(0, 128, 128));
        QCOMPARE(view->palette().color(group, QPalette::HighlightedText), QColor(Qt::white));
    }
}

void TestMainWindow::clockText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 3, 7));
    QTest::newRow("English") << "en_US" << afternoon << " Tuesday 05/Mar/2024   14:03:07 ";
    QTest::newRow("German") << "de_DE" << afternoon << " Dienstag 05.März.2024   14:03:07 ";
    QTest::newRow("Bulgarian, morning") << "bg_BG" << QDateTime(QDate(987, 12, 31), QTime(0, 0, 9))
                                        << " понеделник 31.дек.0987   00:00:09 ";
}

void TestMainWindow::clockText()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);
    QCOMPARE(statusClockText(moment, FormatSettings::fromLocale(QLocale(locale))), expected);
}

void TestMainWindow::clockFollowsTheClockEverySecond()
{
    const QDateTime first(QDate(2024, 3, 5), QTime(14, 3, 7));
    Clock::setFixed(first);
    OpenWindow open;
    QLabel* label = open.window.findChild<QLabel*>(QStringLiteral("LMDInformationLabel1"));
    auto* clock = open.window.findChild<StatusClock*>();
    QVERIFY(clock);
    QCOMPARE(clock->timer().interval(), 1000);
    QVERIFY(clock->timer().isActive());
    const FormatSettings settings = FormatSettings::fromLocale(QLocale::system());
    QCOMPARE(label->text(), statusClockText(first, settings));
    Clock::setFixed(first.addSecs(61));
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), statusClockText(first.addSecs(61), settings), 2500);
    Clock::setSource({});
}

void TestMainWindow::deleteAnswered_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("expectedNames");
    QTest::addColumn<QString>("expectedCurrent");
    QTest::newRow("yes: the next becomes current")
        << true << 1 << QStringList{"Ann", "Cid"} << "Cid";
    QTest::newRow("yes on the last: the previous")
        << true << 2 << QStringList{"Ann", "Bob"} << "Bob";
    QTest::newRow("no changes nothing") << false << 1 << QStringList{"Ann", "Bob", "Cid"} << "Bob";
}

void TestMainWindow::deleteAnswered()
{
    QFETCH(bool, yes);
    QFETCH(int, currentRow);
    QFETCH(QStringList, expectedNames);
    QFETCH(QString, expectedCurrent);
    OpenWindow open({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")});
    open.database.execute(QStringLiteral("INSERT INTO zaemi (what, client_ID) VALUES ('x', 2)"));
    open.window.tblzaemi.refresh();
    open.window.tbldanni.moveTo(currentRow);
    open.messages.answers = {yes};
    open.window.Action6Execute();
    QCOMPARE(open.messages.calls,
             (QList<RecordingMessageService::Call>{
                 {QStringLiteral("confirm"), QStringLiteral("Deleting person,are you sure?")}}));
    QStringList names;
    for (int row = 0; row < open.window.tbldanni.recordCount(); ++row)
        names << open.window.tbldanni.textAt(row, 1);
    QCOMPARE(names, expectedNames);
    QCOMPARE(open.database.scalar(QStringLiteral("SELECT COUNT(*) FROM danni")),
             qint64(expectedNames.size()));
    QCOMPARE(open.window.tbldanni.fieldByName(QStringLiteral("ime")).asString(), expectedCurrent);
    // The panel follows; the deleted contact's loan still counts in the total.
    QVERIFY(open.window.Memo1->toPlainText().startsWith(QStringLiteral("Adress: ")));
    QCOMPARE(open.window.Label4->text(), QStringLiteral("1"));
}

void TestMainWindow::deleteOnEmptyListShowsTheError()
{
    OpenWindow open;
    open.messages.answers = {true};
    guarded([&] { open.window.Action6Execute(); });
    QCOMPARE(open.messages.texts(QStringLiteral("error")),
             QStringList{
                 QStringLiteral("tbldanni: Cannot perform this operation on an empty dataset.")});
    QCOMPARE(open.window.tbldanni.recordCount(), 0);
}

void TestMainWindow::deletePendingNewContactDeletesNothingFromTheFile()
{
    OpenWindow open({QStringLiteral("Ann")});
    open.window.tbldanni.append();
    open.window.tbldanni.fieldByName(QStringLiteral("ime")).setAsString(QStringLiteral("New"));
    open.messages.answers = {true};
    open.window.Action6Execute();
    QCOMPARE(open.window.tbldanni.state(), DatasetState::Browse);
    QCOMPARE(open.window.tbldanni.recordCount(), 1);
    QCOMPARE(open.database.scalar(QStringLiteral("SELECT COUNT(*) FROM danni")), qint64(1));
    QCOMPARE(open.window.tbldanni.fieldByName(QStringLiteral("ime")).asString(),
             QStringLiteral("Ann"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
