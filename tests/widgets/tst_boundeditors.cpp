#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "platform/DateFormat.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBMemo.h"
#include "widgets/DBText.h"
#include "widgets/DBTextEdit.h"

#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kContacts = QStringLiteral("INSERT INTO danni (ime, familia, rd, adres) VALUES "
                                         "('Anna', 'Petrova', '1985-03-12 00:00:00', 'Sofia'),"
                                         "('Boris', 'Ivanov', '1990-07-01 10:30:00', 'Varna')");

QDate dateOf(const Field& field)
{
    return DateTimeValue::toDate(field.asDateTime());
}

void leave(QWidget* editor)
{
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(editor, &focusOut);
}

// The rows above (or the given ones) in a fresh database, the book on it, and an editor bound to
// one of its fields.
template <class Editor> struct BoundEditor : TestBook {
    explicit BoundEditor(const QString& fieldName, const QString& sql = kContacts, bool open = true)
        : TestBook(sql, open)
    {
        editor.bind(&contactSource, fieldName);
    }
    Editor editor;
};

} // namespace

class TestBoundEditors : public QObject {
    Q_OBJECT
private slots:
    void init() { DateFormats::setProgramFormats(); }

    void textEditShowsTheCurrentRecord()
    {
        BoundEditor<DBTextEdit> book(QStringLiteral("ime"));
        QCOMPARE(book.editor.text(), QStringLiteral("Anna"));
        QVERIFY(!book.editor.isReadOnly());
        book.contacts.next();
        QCOMPARE(book.editor.text(), QStringLiteral("Boris"));
        book.contacts.append();
        QCOMPARE(book.editor.text(), QString());
    }

    void typingStartsAnEditAndReachesTheFieldAtOnce_data()
    {
        QTest::addColumn<bool>("withRows");
        QTest::addColumn<DatasetState>("state");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("current contact")
            << true << DatasetState::Edit << QStringList{"Annax", "Annaxy"};
        QTest::newRow("empty table") << false << DatasetState::Insert << QStringList{"x", "xy"};
    }
    void typingStartsAnEditAndReachesTheFieldAtOnce()
    {
        QFETCH(bool, withRows);
        QFETCH(DatasetState, state);
        QFETCH(QStringList, values);
        BoundEditor<DBTextEdit> book(QStringLiteral("ime"), withRows ? kContacts : QString());
        QStringList seen; // the field's value at each notification, as the details panel reads it
        connect(&book.contactSource, &DataSource::dataChange, this, [&](const Field* field) {
            if (field)
                seen << field->asString();
        });
        QTest::keyClicks(&book.editor, QStringLiteral("xy"));
        QCOMPARE(book.contacts.state(), state);
        QCOMPARE(seen, values);
        QCOMPARE(book.editor.text(), values.last());
        book.contacts.finishPending();
        QCOMPARE(
            book.db.scalar(
                QStringLiteral("SELECT count(*) FROM danni WHERE ime = '%1'").arg(values.last())),
            1);
    }

    void textEditStopsAtTheFieldSize_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("size");
        QTest::newRow("name") << "ime" << 200;
        QTest::newRow("phone") << "tel" << 50;
    }
    void textEditStopsAtTheFieldSize()
    {
        QFETCH(QString, fieldName);
        QFETCH(int, size);
        BoundEditor<DBTextEdit> book(fieldName, {});
        QCOMPARE(book.editor.maxLength(), size);
        QTest::keyClicks(&book.editor, QString(size + 5, QLatin1Char('7')));
        QCOMPARE(book.editor.text().size(), size);
        QCOMPARE(book.contacts.fieldByName(fieldName).asString(), QString(size, QLatin1Char('7')));
    }

    void editorsOfOneSourceFollowEachOther()
    {
        TestBook book(kContacts);
        DBTextEdit typing, sameField, otherField;
        typing.bind(&book.contactSource, QStringLiteral("ime"));
        sameField.bind(&book.contactSource, QStringLiteral("ime"));
        otherField.bind(&book.contactSource, QStringLiteral("familia"));
        typing.setCursorPosition(0);
        QTest::keyClicks(&typing, QStringLiteral("Z"));
        QCOMPARE(typing.text(), QStringLiteral("ZAnna"));
        QCOMPARE(typing.cursorPosition(), 1); // the editor's own change is not reloaded
        QCOMPARE(sameField.text(), QStringLiteral("ZAnna"));
        QCOMPARE(otherField.text(), QStringLiteral("Petrova"));
    }

    void editorIsReadOnlyWhenTheFieldCannotChange_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("autoEdit");
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("closed table") << false << true << "ime";
        QTest::newRow("automatic editing off") << true << false << "ime";
        QTest::newRow("calculated field") << true << true << "fullnames";
        QTest::newRow("unknown field") << true << true << "nosuch";
    }
    void editorIsReadOnlyWhenTheFieldCannotChange()
    {
        QFETCH(bool, open);
        QFETCH(bool, autoEdit);
        QFETCH(QString, fieldName);
        RecordingMessageService messages;
        TestBook book(kContacts, open);
        book.contactSource.setAutoEdit(autoEdit);
        DBTextEdit editor;
        editor.bind(&book.contactSource, fieldName);
        const QString shown = editor.text();
        QVERIFY(editor.isReadOnly());
        QTest::keyClicks(&editor, QStringLiteral("x"));
        QCOMPARE(editor.text(), shown);
        QVERIFY(book.contacts.state() != DatasetState::Edit);
        QVERIFY(messages.calls.isEmpty());
    }

    void editorFollowsTheDatasetOpeningAndClosing()
    {
        BoundEditor<DBTextEdit> book(QStringLiteral("ime"), kContacts, false);
        QVERIFY(book.editor.isReadOnly());
        book.contacts.open();
        QCOMPARE(book.editor.text(), QStringLiteral("Anna"));
        QVERIFY(!book.editor.isReadOnly());
        book.contacts.close();
        QCOMPARE(book.editor.text(), QString());
        QVERIFY(book.editor.isReadOnly());
    }

    void memoEnterStartsANewLine()
    {
        BoundEditor<DBMemo> book(QStringLiteral("adres"));
        QCOMPARE(book.editor.toPlainText(), QStringLiteral("Sofia"));
        QVERIFY(book.editor.tabChangesFocus());
        book.editor.moveCursor(QTextCursor::End);
        QTest::keyClick(&book.editor, Qt::Key_Return);
        QTest::keyClicks(&book.editor, QStringLiteral("Mladost 1"));
        QTest::keyClick(&book.editor, Qt::Key_Enter);
        QTest::keyClicks(&book.editor, QStringLiteral("bl. 5"));
        const QString expected = QStringLiteral("Sofia\nMladost 1\nbl. 5");
        QCOMPARE(book.contacts.fieldByName(QStringLiteral("adres")).asString(), expected);
        QCOMPARE(book.contacts.state(), DatasetState::Edit);
        book.contacts.next();
        QCOMPARE(book.editor.toPlainText(), QStringLiteral("Varna"));
        QCOMPARE(book.db.scalar(
                     QStringLiteral("SELECT count(*) FROM danni WHERE adres = '%1'").arg(expected)),
                 1);
    }

    void dateEditShowsItsFormat()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        QCOMPARE(book.editor.text(), QStringLiteral("12.03.1985"));
        book.contacts.next(); // the time of day is not shown
        QCOMPARE(book.editor.text(), QStringLiteral("01.07.1990"));
        book.editor.setDateFormat(QStringLiteral("yyyy-mm-dd"));
        QCOMPARE(book.editor.text(), QStringLiteral("1990-07-01"));
        book.contacts.append();
        QCOMPARE(book.editor.text(), QString());
    }

    void dateEditTakesOnlyDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");
        QTest::addColumn<bool>("valid");
        QTest::newRow("date") << "01.04.1990" << QDate(1990, 4, 1) << true;
        QTest::newRow("short date") << "1.4.1990" << QDate(1990, 4, 1) << true;
        QTest::newRow("no such day") << "31.04.1990" << QDate(1985, 3, 12) << false;
        QTest::newRow("unfinished") << "01.04." << QDate(1985, 3, 12) << false;
        QTest::newRow("letters") << "soon" << QDate(1985, 3, 12) << false;
    }
    void dateEditTakesOnlyDates()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        QFETCH(bool, valid);
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        book.editor.selectAll();
        QTest::keyClicks(&book.editor, typed);
        const Field& rd = book.contacts.fieldByName(QStringLiteral("rd"));
        QCOMPARE(dateOf(rd), stored);
        QCOMPARE(book.editor.isTextValid(), valid);
        QCOMPARE(book.editor.text(), typed);
        QCOMPARE(book.editor.palette().color(QPalette::Text) == Qt::red, !valid);
        leave(&book.editor); // leaving shows the field's date in full
        QCOMPARE(book.editor.text(),
                 formatDateTime(QStringLiteral("dd.mm.yyyy"), DateTimeValue::fromDateTime(stored)));
        QVERIFY(book.editor.isTextValid());
        QCOMPARE(dateOf(rd), stored);
    }

    void dateEditRetypingTheSameDateChangesNothing()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        book.editor.selectAll();
        QTest::keyClicks(&book.editor, QStringLiteral("12.3.1985"));
        QCOMPARE(book.contacts.state(), DatasetState::Browse);
    }

    void dateEditKeepsTheTimeOfDay()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        book.contacts.next();
        book.editor.selectAll();
        QTest::keyClicks(&book.editor, QStringLiteral("02.07.1990"));
        const double value = book.contacts.fieldByName(QStringLiteral("rd")).asDateTime();
        QCOMPARE(DateTimeValue::toQDateTime(value), QDateTime(QDate(1990, 7, 2), QTime(10, 30)));
    }

    void dateEditClearsToAnEmptyDate()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        book.editor.selectAll();
        QTest::keyClick(&book.editor, Qt::Key_Backspace);
        QVERIFY(book.editor.isTextValid());
        QVERIFY(book.contacts.fieldByName(QStringLiteral("rd")).isNull());
        book.contacts.finishPending();
        QCOMPARE(book.db.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE rd IS NULL")), 1);
    }

    void dateEditCalendarPicksADate()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("rd"));
        book.editor.show();
        QTest::keyClick(&book.editor, Qt::Key_F4);
        QCalendarWidget* calendar = book.editor.calendar();
        QVERIFY(calendar);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(1985, 3, 12));
        emit calendar->clicked(QDate(2001, 2, 3));
        QCOMPARE(dateOf(book.contacts.fieldByName(QStringLiteral("rd"))), QDate(2001, 2, 3));
        QCOMPARE(book.editor.text(), QStringLiteral("03.02.2001"));
        QTRY_VERIFY(!book.editor.calendar());
    }

    void dateEditCalendarOnAnEmptyTableStartsAContact()
    {
        BoundEditor<DBDateEdit> book(QStringLiteral("timer1"), {});
        book.editor.show();
        QTest::keyClick(&book.editor, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(book.editor.calendar());
        emit book.editor.calendar()->activated(QDate(2026, 6, 15));
        QCOMPARE(book.contacts.state(), DatasetState::Insert);
        QCOMPARE(dateOf(book.contacts.fieldByName(QStringLiteral("timer1"))), QDate(2026, 6, 15));
    }

    void labelShowsAndFollowsItsField()
    {
        TestBook book(kContacts);
        DBText fullName, birthDay;
        fullName.bind(&book.contactSource, QStringLiteral("fullnames"));
        birthDay.bind(&book.contactSource, QStringLiteral("rd"));
        QCOMPARE(fullName.text(), QStringLiteral("Anna   Petrova"));
        QCOMPARE(birthDay.text(), QStringLiteral("12.03.1985"));
        DBTextEdit firstName;
        firstName.bind(&book.contactSource, QStringLiteral("ime"));
        QTest::keyClicks(&firstName, QStringLiteral("s"));
        QCOMPARE(fullName.text(), QStringLiteral("Annas   Petrova"));
        book.contacts.next();
        QCOMPARE(fullName.text(), QStringLiteral("Boris   Ivanov"));
        QCOMPARE(birthDay.text(), QStringLiteral("01.07.1990 10:30:00"));
        book.contacts.close();
        QCOMPARE(fullName.text(), QString());
    }
};

QTEST_MAIN(TestBoundEditors)
#include "tst_boundeditors.moc"
