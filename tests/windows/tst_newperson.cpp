#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "data/SqliteStatement.h"
#include "mainwindow/Utembrel.h"
#include "platform/DateFormat.h"
#include "platform/ModalRunner.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBMemo.h"
#include "widgets/DBTextEdit.h"
#include "windows/UNewPerson.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

const QString kContacts = QStringLiteral("INSERT INTO danni (ime, familia, rd, tel) VALUES "
                                         "('Anna', 'Petrova', '1985-03-12 00:00:00', '0888'),"
                                         "('Boris', 'Ivanov', '1990-07-01 00:00:00', NULL),"
                                         "('Vera', 'Koleva', NULL, NULL);");

// Counts every row written to the contact table from now on.
const QString kLogWrites = QStringLiteral(
    "CREATE TABLE writes (what TEXT);"
    "CREATE TRIGGER logInsert AFTER INSERT ON danni BEGIN INSERT INTO writes VALUES ('i'); END;"
    "CREATE TRIGGER logUpdate AFTER UPDATE ON danni BEGIN INSERT INTO writes VALUES ('u'); END;");

template <class Widget> Widget* child(QWidget& window, const QString& name)
{
    auto* widget = window.findChild<Widget*>(name);
    if (!widget)
        qFatal("no %s", qPrintable(name));
    return widget;
}

void clearText(QLineEdit* editor)
{
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
}

QString text(const TestDatabase& database, const QString& column, const QString& where)
{
    Connection connection;
    connection.setConnectionString(database.connectionString());
    connection.open();
    SqliteStatement statement(connection.handle(),
                              QStringLiteral("SELECT %1 FROM danni WHERE %2").arg(column, where));
    return statement.step() ? statement.columnText(0) : QStringLiteral("<no row>");
}

} // namespace

class TestNewPerson : public QObject {
    Q_OBJECT
private slots:
    void init() { DateFormats::setProgramFormats(); }
    void cleanup() { ModalRunner::setRunner({}); }

    void windowShape()
    {
        TestBook book;
        TfmNewPerson window(book.contactSource, nullptr);
        QCOMPARE(window.objectName(), QStringLiteral("fmNewPerson"));
        QCOMPARE(window.windowTitle(), QStringLiteral("New Person"));
        QCOMPARE(window.minimumSize(), QSize(512, 370));
        QCOMPARE(window.maximumSize(), QSize(512, 370));
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                      Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint})
            QVERIFY(!(flags & button));

        auto* pages = child<QTabWidget>(window, QStringLiteral("PageControl1"));
        QCOMPARE(pages->geometry(), QRect(8, 8, 497, 321));
        QCOMPARE(pages->tabPosition(), QTabWidget::South);
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->currentIndex(), 0);
        const QStringList captions{"Private info", "Add Info", "Timers"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pages->tabText(i), captions[i]);
            QCOMPARE(pages->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
        }
        auto* ok = child<QPushButton>(window, QStringLiteral("cxButton1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(430, 340, 75, 25));
        QVERIFY(!ok->isDefault());
        QVERIFY(!ok->autoDefault());
    }

    void controlsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("field"); // empty for separator lines

        const auto row = [](const char* name, const char* page, QRect geometry, QString field) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(page)
                                << geometry << field;
        };
        row("cxDBTextEdit1", "TabSheet1", {80, 15, 121, 24}, "ime");
        row("cxDBTextEdit2", "TabSheet1", {80, 40, 121, 24}, "prezime");
        row("cxDBTextEdit3", "TabSheet1", {80, 65, 121, 24}, "familia");
        row("cxDBDateEdit1", "TabSheet1", {320, 32, 121, 21}, "rd");
        row("Bevel1", "TabSheet1", {10, 96, 465, 2}, {});
        row("cxDBMemo2", "TabSheet1", {80, 105, 361, 56}, "adres");
        row("cxDBTextEdit4", "TabSheet1", {80, 176, 121, 24}, "tel");
        row("cxDBTextEdit5", "TabSheet1", {80, 200, 121, 24}, "tel1");
        row("cxDBTextEdit6", "TabSheet1", {80, 224, 121, 24}, "tel2");
        row("cxDBMemo1", "TabSheet2", {8, 26, 473, 257}, "other");
        row("Bevel6", "TabSheet3", {32, 48, 409, 2}, {});
        row("Bevel7", "TabSheet3", {196, 24, 2, 177}, {});
        row("cxDBDateEdit2", "TabSheet3", {40, 56, 121, 24}, "timer1");
        row("cxDBTextEdit7", "TabSheet3", {232, 56, 193, 24}, "ts1");
        row("Bevel2", "TabSheet3", {32, 83, 410, 1}, {});
        row("cxDBDateEdit3", "TabSheet3", {40, 88, 121, 24}, "timer2");
        row("cxDBTextEdit8", "TabSheet3", {232, 88, 193, 24}, "ts2");
        row("Bevel8", "TabSheet3", {32, 115, 410, 1}, {});
        row("cxDBDateEdit4", "TabSheet3", {40, 120, 121, 24}, "timer3");
        row("cxDBTextEdit9", "TabSheet3", {232, 120, 193, 24}, "ts3");
        row("Bevel9", "TabSheet3", {32, 147, 410, 1}, {});
        row("cxDBDateEdit5", "TabSheet3", {40, 152, 121, 24}, "timer4");
        row("cxDBTextEdit10", "TabSheet3", {232, 152, 193, 24}, "ts4");
        row("Bevel3", "TabSheet3", {32, 179, 410, 1}, {});
    }
    void controlsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(QRect, geometry);
        QFETCH(QString, field);
        TestBook book;
        TfmNewPerson window(book.contactSource, nullptr);
        auto* control = child<QWidget>(window, name);
        QCOMPARE(control->parentWidget()->objectName(), page);
        QCOMPARE(control->geometry(), geometry);
        const FieldBinding* binding = control->findChild<FieldBinding*>();
        QCOMPARE(binding ? binding->fieldName() : QString(), field);
        if (binding)
            QCOMPARE(binding->dataSource(), &book.contactSource);
    }

    void labelsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("captionOfEditor"); // keeps its right edge, else its left edge

        const auto row = [](const char* name, const char* text, QRect geometry, bool caption) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text) << geometry
                                << caption;
        };
        row("cxLabel1", "First Name", {21, 16, 54, 17}, true);
        row("cxLabel2", "Second Name", {3, 42, 72, 17}, true);
        row("cxLabel3", "Last Name", {20, 67, 55, 17}, true);
        row("cxLabel4", "Birth Day", {268, 35, 47, 17}, true);
        row("cxLabel5", "Adress", {39, 106, 36, 17}, true);
        row("cxLabel6", "Phone", {40, 178, 35, 17}, true);
        row("cxLabel7", "Phone", {40, 202, 35, 17}, true);
        row("cxLabel8", "Phone", {40, 226, 35, 17}, true);
        row("cxLabel9", "Other Info :", {8, 8, 61, 17}, false);
        row("Label1", "When", {64, 32, 29, 13}, false);
        row("Label2", "What", {240, 32, 26, 13}, false);
    }
    void labelsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QFETCH(bool, captionOfEditor);
        TestBook book;
        TfmNewPerson window(book.contactSource, nullptr);
        auto* label = child<QLabel>(window, name);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->y(), geometry.y());
        QCOMPARE(label->height(), geometry.height());
        if (captionOfEditor) {
            QCOMPARE(label->geometry().right(), geometry.right());
            QVERIFY(label->alignment() & Qt::AlignRight);
        } else {
            QCOMPARE(label->x(), geometry.x());
        }
        QVERIFY(label->width() >= qMin(geometry.width(), label->sizeHint().width()));
    }

    void focusRunsThroughThePageInOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Private info")
            << 0 << QStringList{"cxDBTextEdit1", "cxDBTextEdit2", "cxDBTextEdit3", "cxDBMemo2",
                                "cxDBTextEdit4", "cxDBTextEdit5", "cxDBTextEdit6", "cxDBDateEdit1"};
        QTest::newRow("Add Info") << 1 << QStringList{"cxDBMemo1"};
        QTest::newRow("Timers") << 2
                                << QStringList{"cxDBDateEdit2", "cxDBDateEdit3", "cxDBDateEdit4",
                                               "cxDBDateEdit5", "cxDBTextEdit7", "cxDBTextEdit8",
                                               "cxDBTextEdit9", "cxDBTextEdit10"};
    }
    void focusRunsThroughThePageInOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        TestBook book(kContacts);
        TfmNewPerson window(book.contactSource, nullptr);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTabBar* tabs = window.PageControl1->tabBar();
        QCOMPARE(QApplication::focusWidget(), tabs); // no editor focused at opening
        window.PageControl1->setCurrentIndex(page);
        QStringList visited;
        for (int i = 0; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order + QStringList{"cxButton1"});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tabs);
    }

    void showsTheCurrentContact_data()
    {
        QTest::addColumn<bool>("newContact");
        QTest::addColumn<QStringList>("texts"); // first name, phone, birth day
        QTest::newRow("Edit") << false << QStringList{"Boris", "", "01.07.1990"};
        QTest::newRow("New Contact") << true << QStringList{"", "", ""};
    }
    void showsTheCurrentContact()
    {
        QFETCH(bool, newContact);
        QFETCH(QStringList, texts);
        TestBook book(kContacts);
        book.contacts.next();
        if (newContact)
            book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        QCOMPARE((QStringList{window.cxDBTextEdit1->text(), window.cxDBTextEdit4->text(),
                              window.cxDBDateEdit1->text()}),
                 texts);
        QCOMPARE(window.windowTitle(), QStringLiteral("New Person"));
    }

    void dateEditorsTakeTheDateFormatAtCreation()
    {
        TestBook book(kContacts);
        DateFormats::setShortDateFormat(QStringLiteral("yyyy-mm-dd"));
        TfmNewPerson window(book.contactSource, nullptr);
        DateFormats::setProgramFormats();
        QCOMPARE(window.cxDBDateEdit1->dateFormat(), QStringLiteral("yyyy-mm-dd"));
        QCOMPARE(window.cxDBDateEdit1->text(), QStringLiteral("1985-03-12"));
        window.FormCreate();
        QCOMPARE(window.cxDBDateEdit5->dateFormat(), QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(window.cxDBDateEdit1->text(), QStringLiteral("12.03.1985"));
    }

    void newContactThenOkWithoutTypingAddsNothing()
    {
        TestBook book(kContacts + kLogWrites);
        book.contacts.next();
        book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        window.cxButton1->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
        QCOMPARE(book.contacts.recordCount(), 3);
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT count(*) FROM writes")), 0);
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("ime")).asString(),
                 QStringLiteral("Boris"));
    }

    void editThenOkWithoutChangeWritesNothing()
    {
        TestBook book(kContacts + kLogWrites);
        book.contacts.next();
        const qint64 id = book.contacts.fieldByName(QStringLiteral("id")).asInteger();
        TfmNewPerson window(book.contactSource, nullptr);
        window.cxButton1->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT count(*) FROM writes")), 0);
        QCOMPARE(book.contacts.position(), 1);
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("id")).asInteger(), id);
    }

    void okRereadsTheRowsAndKeepsTheContact()
    {
        TestBook book(kContacts);
        book.contacts.last();
        TfmNewPerson window(book.contactSource, nullptr);
        typeText(window.cxDBTextEdit2, QStringLiteral("Mitkova"));
        // Another program changes a contact meanwhile: OK shows the rows as stored.
        book.db.execute(QStringLiteral("UPDATE danni SET ime = 'Anka' WHERE ime = 'Anna'"));
        window.cxButton1->click();
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("ime")).asString(),
                 QStringLiteral("Vera"));
        QCOMPARE(text(book.db, QStringLiteral("prezime"), QStringLiteral("ime = 'Vera'")),
                 QStringLiteral("Mitkova"));
        QCOMPARE(book.contacts.lookup(0, 1, 1).value_or(QString()), QStringLiteral("Anka"));
    }

    void editOnAnEmptyListStartsAContact()
    {
        TestBook book;
        TfmNewPerson window(book.contactSource, nullptr);
        typeText(window.cxDBTextEdit3, QStringLiteral("Georgieva"));
        QCOMPARE(book.contacts.state(), DatasetState::Insert);
        window.cxButton1->click();
        QCOMPARE(book.contacts.recordCount(), 1);
        QCOMPARE(book.contacts.position(), 0);
        QVERIFY(book.contacts.fieldByName(QStringLiteral("id")).asInteger() > 0);
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("familia")).asString(),
                 QStringLiteral("Georgieva"));
    }

    void contactWithOnlyAnEventDateIsSaved()
    {
        TestBook book(kContacts);
        book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        typeText(window.cxDBDateEdit3, QStringLiteral("15.06.2026"));
        window.cxButton1->click();
        QCOMPARE(book.contacts.recordCount(), 4);
        QCOMPARE(text(book.db, QStringLiteral("timer2"), QStringLiteral("ime IS NULL")),
                 QStringLiteral("2026-06-15 00:00:00"));
        const qint64 id = book.contacts.fieldByName(QStringLiteral("id")).asInteger();
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT id FROM danni WHERE ime IS NULL")), id);
    }

    void clearingADateStoresItEmpty_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("column");
        QTest::newRow("Birth Day") << "cxDBDateEdit1"
                                   << "rd";
        QTest::newRow("event 4") << "cxDBDateEdit5"
                                 << "timer4";
    }
    void clearingADateStoresItEmpty()
    {
        QFETCH(QString, editor);
        QFETCH(QString, column);
        TestBook book(kContacts +
                      QStringLiteral("UPDATE danni SET timer4 = '2026-01-01 00:00:00'"));
        TfmNewPerson window(book.contactSource, nullptr);
        clearText(child<DBDateEdit>(window, editor));
        window.cxButton1->click();
        QCOMPARE(book.db.scalar(
                     QStringLiteral("SELECT count(*) FROM danni WHERE ime = 'Anna' AND %1 IS NULL")
                         .arg(column)),
                 1);
    }

    void namesAreStoredAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QString cyrillic = QStringLiteral("Йордан");
        const QString long200 = QString(200, QChar(0x0416)); // Ж
        QTest::newRow("Cyrillic") << cyrillic << cyrillic;
        QTest::newRow("200 characters") << long200 << long200;
        QTest::newRow("201 characters") << long200 + QStringLiteral("Ю") << long200;
    }
    void namesAreStoredAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TestBook book;
        book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        for (DBTextEdit* editor :
             {window.cxDBTextEdit1, window.cxDBTextEdit2, window.cxDBTextEdit3})
            typeText(editor, typed);
        window.cxButton1->click();
        for (const QString column : {"ime", "prezime", "familia"})
            QCOMPARE(text(book.db, column, QStringLiteral("1")), stored);
        const QString fullName = stored + QLatin1Char(' ') + stored + QLatin1Char(' ') + stored;
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("fullnames")).asString(),
                 fullName.left(120));
    }

    void threeLineAddressIsStored()
    {
        TestBook book(kContacts);
        TfmNewPerson window(book.contactSource, nullptr);
        window.cxDBMemo2->moveCursor(QTextCursor::End);
        for (const QString line : {"ul. Rakovski 12", "1000 Sofia", "Bulgaria"}) {
            typeText(window.cxDBMemo2, line);
            QTest::keyClick(window.cxDBMemo2, Qt::Key_Return);
        }
        QTest::keyClick(window.cxDBMemo2, Qt::Key_Backspace);
        window.cxButton1->click();
        QCOMPARE(text(book.db, QStringLiteral("adres"), QStringLiteral("ime = 'Anna'")),
                 QStringLiteral("ul. Rakovski 12\n1000 Sofia\nBulgaria"));
    }

    void keysThatDoNotCloseTheWindow_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text"); // the editor's text afterwards
        QTest::newRow("Enter in a text editor") << "cxDBTextEdit2" << int(Qt::Key_Return) << "Ivo";
        QTest::newRow("keypad Enter in a date editor")
            << "cxDBDateEdit2" << int(Qt::Key_Enter) << "Ivo";
        QTest::newRow("Escape in a text editor") << "cxDBTextEdit2" << int(Qt::Key_Escape) << "Ivo";
        QTest::newRow("Enter in a memo") << "cxDBMemo1" << int(Qt::Key_Return) << "Ivo\n";
    }
    void keysThatDoNotCloseTheWindow()
    {
        QFETCH(QString, editor);
        QFETCH(int, key);
        QFETCH(QString, text);
        TestBook book;
        book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* target = child<QWidget>(window, editor);
        target->setFocus();
        typeText(target, QStringLiteral("Ivo"));
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected)); // nothing has closed it yet
        QCOMPARE(book.contacts.state(), DatasetState::Insert);
        const auto* memo = qobject_cast<QPlainTextEdit*>(target);
        const auto* line = qobject_cast<QLineEdit*>(target);
        QCOMPARE(memo ? memo->toPlainText() : line->text(), text);
    }

    void theDetailsBehindFollowTheTypedValue()
    {
        TestBook book(kContacts);
        TfmNewPerson window(book.contactSource, nullptr);
        QStringList fullNames; // what the details panel reads at each change
        connect(&book.contactSource, &DataSource::dataChange, this, [&](const Field*) {
            fullNames << book.contacts.fieldByName(QStringLiteral("fullnames")).asString();
        });
        window.cxDBTextEdit1->setCursorPosition(4);
        typeText(window.cxDBTextEdit1, QStringLiteral("-Maria"));
        QCOMPARE(fullNames.last(), QStringLiteral("Anna-Maria   Petrova"));
        QVERIFY(fullNames.contains(QStringLiteral("Anna-M   Petrova")));
    }

    void closingByTheWindowManagerWorksAsOk()
    {
        TestBook book;
        book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        typeText(window.cxDBTextEdit1, QStringLiteral("Petar"));
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE ime = 'Petar'")),
                 1);
    }

    void refusedSaveKeepsThePendingRecord_data()
    {
        QTest::addColumn<bool>("newContact");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("new contact") << true << "BEFORE INSERT";
        QTest::newRow("changed contact") << false << "BEFORE UPDATE";
    }
    void refusedSaveKeepsThePendingRecord()
    {
        QFETCH(bool, newContact);
        QFETCH(QString, trigger);
        RecordingMessageService messages;
        TestBook book(kContacts + QStringLiteral("CREATE TRIGGER refuse %1 ON danni BEGIN "
                                                 "SELECT RAISE(ABORT, 'The disk is full'); END;")
                                      .arg(trigger));
        if (newContact)
            book.contacts.append();
        TfmNewPerson window(book.contactSource, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        typeText(window.cxDBTextEdit6, QStringLiteral("0700 1234"));
        typeText(window.cxDBDateEdit4, QStringLiteral("01.12.2026"));
        window.cxButton1->click();

        QCOMPARE(messages.texts(QStringLiteral("error")), QStringList{"The disk is full."});
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(book.contacts.state(), newContact ? DatasetState::Insert : DatasetState::Edit);
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("tel2")).asString(),
                 QStringLiteral("0700 1234"));
        QCOMPARE(
            DateTimeValue::toDate(book.contacts.fieldByName(QStringLiteral("timer3")).asDateTime()),
            QDate(2026, 12, 1));
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE tel2 IS NOT NULL "
                                               "OR timer3 IS NOT NULL")),
                 0);
        QCOMPARE(book.contacts.recordCount(), 3);
    }

    void centredOverTheMainWindow()
    {
        TestBook book;
        QWidget mainWindow;
        mainWindow.setGeometry(60, 40, 680, 500); // inside the 800 x 600 test screen
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        TfmNewPerson window(book.contactSource, &mainWindow);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint offset = window.geometry().center() - mainWindow.geometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
    }

    void newContactAndEditFromTheMainWindow()
    {
        RecordingMessageService messages;
        TestDatabase database;
        database.execute(kContacts);
        TFtembrel mainWindow;
        mainWindow.ADOConnection1.setConnectionString(database.connectionString());
        mainWindow.loadDatabase();
        QString typed;
        ModalRunner::setRunner([&](QDialog& dialog) {
            auto* window = qobject_cast<TfmNewPerson*>(&dialog);
            QVERIFY(window);
            clearText(window->cxDBTextEdit1);
            typeText(window->cxDBTextEdit1, typed);
            window->cxButton1->click();
        });
        typed = QStringLiteral("Dimitar");
        mainWindow.Action1Execute();
        QCOMPARE(mainWindow.tbldanni.recordCount(), 4);
        QCOMPARE(mainWindow.tbldanni.fieldByName(QStringLiteral("fullnames")).asString(),
                 QStringLiteral("Dimitar    "));
        typed = QStringLiteral("Dimo");
        mainWindow.Action7Execute();
        QCOMPARE(database.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE ime = 'Dimo'")),
                 1);
        QCOMPARE(database.scalar(QStringLiteral("SELECT count(*) FROM danni")), 4);
        QVERIFY(messages.calls.isEmpty());
    }
};

QTEST_MAIN(TestNewPerson)
#include "tst_newperson.moc"
