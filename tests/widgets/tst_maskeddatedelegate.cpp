#include "TestSupport.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "widgets/DataGrid.h"
#include "widgets/MaskedDateDelegate.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

// Masked date cells: the text shape, its conversion into a day-month-year date, and the
// editor's round trip through a grid.
class TestMaskedDateDelegate : public QObject {
    Q_OBJECT
private slots:
    void convertsTypedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QDate>("date"); // null: nothing typed

        const QChar dot(u'.');
        QTest::newRow("full") << "05.03.2026" << dot << QDate(2026, 3, 5);
        QTest::newRow("one-digit day and month, trailing gap")
            << "5_.3_.2026" << dot << QDate(2026, 3, 5);
        QTest::newRow("leading gap") << "_5._3.2026" << dot << QDate(2026, 3, 5);
        QTest::newRow("leading blank") << " 5. 3.2026" << dot << QDate(2026, 3, 5);
        QTest::newRow("day before month") << "12.01.2026" << dot << QDate(2026, 1, 12);
        QTest::newRow("leap day") << "29.02.2024" << dot << QDate(2024, 2, 29);
        QTest::newRow("before 1900") << "01.01.1850" << dot << QDate(1850, 1, 1);
        QTest::newRow("slash separator") << "31/12/1999" << QChar(u'/') << QDate(1999, 12, 31);
        QTest::newRow("nothing typed") << "__.__.____" << dot << QDate();
    }
    void convertsTypedText()
    {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(QDate, date);
        const std::optional<QDate> result = MaskedDate::toDate(text, separator);
        QCOMPARE(result.has_value(), date.isValid());
        if (result)
            QCOMPARE(*result, date);
    }

    void rejectsTextThatIsNoDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no such day") << "31.02.2026";
        QTest::newRow("not a leap year") << "29.02.2025";
        QTest::newRow("month 13") << "01.13.2026";
        QTest::newRow("day zero") << "00.01.2026";
        QTest::newRow("year of two digits") << "01.01.26__";
        QTest::newRow("year of three digits") << "01.01.202_";
        QTest::newRow("day missing") << "__.01.2026";
        QTest::newRow("year missing") << "01.01.____";
        QTest::newRow("year zero") << "01.01.0000";
        QTest::newRow("wrong separator") << "01/01/2026";
    }
    void rejectsTextThatIsNoDate()
    {
        QFETCH(QString, text);
        try {
            MaskedDate::toDate(text, u'.');
            QFAIL("no error");
        } catch (const TembrelError& error) {
            QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid date").arg(text));
        }
    }

    void textShowsTheDatePartWithTheSeparator()
    {
        const double value = DateTimeValue::fromDateTime(QDate(2026, 3, 5), QTime(14, 30));
        QCOMPARE(MaskedDate::text(value, u'.'), QStringLiteral("05.03.2026"));
        QCOMPARE(MaskedDate::text(value, u'/'), QStringLiteral("05/03/2026"));
        QCOMPARE(MaskedDate::text(DateTimeValue::fromDateTime(QDate(987, 1, 2)), u'-'),
                 QStringLiteral("02-01-0987"));
    }

    void writeKeepsTheTimeOfDayAndClearsOnBlank()
    {
        TestDatabase db;
        ContactBook book(db);
        book.loans.append();
        Field& lent = book.loans.fieldByName("date_zaem");
        lent.setAsDateTime(DateTimeValue::fromDateTime(QDate(2026, 12, 11), QTime(14, 30, 15)));
        MaskedDate::write(lent, QStringLiteral("01.02.2025"), u'.');
        QCOMPARE(DateTimeValue::toQDateTime(lent.asDateTime()),
                 QDateTime(QDate(2025, 2, 1), QTime(14, 30, 15)));
        MaskedDate::write(lent, QStringLiteral("__.__.____"), u'.');
        QVERIFY(lent.isNull());
        MaskedDate::write(lent, QStringLiteral("7_.6_.2024"), u'.');
        QCOMPARE(DateTimeValue::toQDateTime(lent.asDateTime()),
                 QDateTime(QDate(2024, 6, 7), QTime(0, 0)));
    }

    // The editor shows the cell's date in the mask, writes only what the user changed, and
    // turns the typed text into the field's date.
    void editorRoundTrip()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO zaemi (what, date_zaem, client_ID) VALUES"
                                  " ('book', '2026-12-11 14:30:15', 1), ('pen', NULL, 1)"));
        ContactBook book(db);
        Field& lent = book.loans.fieldByName("date_zaem");
        DataGrid grid(book.loanSource,
                      {{"what", "What", "what", 100, true},
                       {"when", "When", "date_zaem", 100, true, {}, [&lent](const QString& text) {
                            MaskedDate::write(lent, text, u'.');
                        }}});
        grid.view()->setItemDelegateForColumn(1, new MaskedDateDelegate(u'.', &grid));
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTableView* view = grid.view();
        const QModelIndex first = view->model()->index(0, 1);

        view->setCurrentIndex(first);
        view->edit(first);
        auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(first));
        QVERIFY(editor);
        QCOMPARE(editor->displayText(), QStringLiteral("11.12.2026"));
        QCOMPARE(editor->inputMask(), QStringLiteral("99\\.99\\.9999;_"));
        grid.commitEditor(); // untouched: nothing written, the time of day stays
        QCOMPARE(book.loans.state(), DatasetState::Browse);

        view->edit(first);
        editor = qobject_cast<QLineEdit*>(view->indexWidget(first));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("0302"));
        QCOMPARE(editor->displayText(), QStringLiteral("03.02.____"));
        QTest::keyClicks(editor, QStringLiteral("2025"));
        grid.commitEditor();
        QCOMPARE(book.loans.state(), DatasetState::Edit);
        QCOMPARE(DateTimeValue::toQDateTime(lent.asDateTime()),
                 QDateTime(QDate(2025, 2, 3), QTime(14, 30, 15)));
        QCOMPARE(view->model()->index(0, 1).data().toString(), lent.displayText());
    }
};

QTEST_MAIN(TestMaskedDateDelegate)
#include "tst_maskeddatedelegate.moc"
