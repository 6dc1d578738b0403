#include "JetColumns.h"
#include "data/Errors.h"

#include <QTest>
#include <algorithm>
#include <mdbtools.h>

namespace {

std::vector<JetColumn> loanColumns()
{
    return {{QStringLiteral("zaemi_ID"), MDB_LONGINT},
            {QStringLiteral("what"), MDB_TEXT},
            {QStringLiteral("date_zaem"), MDB_DATETIME},
            {QStringLiteral("date_back"), MDB_DATETIME},
            {QStringLiteral("client_ID"), MDB_LONGINT}};
}

} // namespace

class TestJetColumns : public QObject {
    Q_OBJECT
private slots:
    void shouldFindColumnsByNameInAnyCaseAndOrder();
    void shouldNameColumnsThatAreNotImported();
    void shouldRefuseMissingOrUnfitColumns_data();
    void shouldRefuseMissingOrUnfitColumns();
};

void TestJetColumns::shouldFindColumnsByNameInAnyCaseAndOrder()
{
    std::vector<JetColumn> columns = loanColumns();
    std::reverse(columns.begin(), columns.end());
    columns[1].name = QStringLiteral("DATE_BACK");
    columns[3].type = MDB_MEMO; // `what` as a memo is still text
    const JetColumnMap map = mapJetColumns(QStringLiteral("old.mdb"), Schema::loans(), columns);
    QCOMPARE(map.columnOf, (std::vector<int>{4, 3, 2, 1, 0}));
    QCOMPARE(map.unknownColumns, QStringList());
}

void TestJetColumns::shouldNameColumnsThatAreNotImported()
{
    std::vector<JetColumn> columns = loanColumns();
    columns.insert(columns.begin() + 2, {QStringLiteral("note"), MDB_MEMO});
    const JetColumnMap map = mapJetColumns(QStringLiteral("old.mdb"), Schema::loans(), columns);
    QCOMPARE(map.columnOf, (std::vector<int>{0, 1, 3, 4, 5}));
    QCOMPARE(map.unknownColumns, QStringList{QStringLiteral("zaemi.note")});
}

void TestJetColumns::shouldRefuseMissingOrUnfitColumns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << 4 << "client" << int(MDB_LONGINT)
                             << "'old.mdb' has no column 'client_ID' in table 'zaemi'";
    QTest::newRow("date as text")
        << 2 << "date_zaem" << int(MDB_TEXT)
        << "'old.mdb' has column 'date_zaem' of table 'zaemi' as Text, expected Date/Time";
    QTest::newRow("number as double")
        << 4 << "client_ID" << int(MDB_DOUBLE)
        << "'old.mdb' has column 'client_ID' of table 'zaemi' as Double, expected a number";
    QTest::newRow("text as yes/no")
        << 1 << "what" << int(MDB_BOOL)
        << "'old.mdb' has column 'what' of table 'zaemi' as Yes/No, expected Text or Memo";
}

void TestJetColumns::shouldRefuseMissingOrUnfitColumns()
{
    QFETCH(int, column);
    QFETCH(QString, name);
    QFETCH(int, type);
    QFETCH(QString, message);
    std::vector<JetColumn> columns = loanColumns();
    columns[column] = {name, type};
    try {
        mapJetColumns(QStringLiteral("old.mdb"), Schema::loans(), columns);
        QFAIL("accepted");
    } catch (const DatabaseError& error) {
        QCOMPARE(error.message(), message);
    }
}

QTEST_GUILESS_MAIN(TestJetColumns)
#include "tst_jetcolumns.moc"
