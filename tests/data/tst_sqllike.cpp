#include "TestSupport.h"
#include "data/Errors.h"
#include "data/SqliteStatement.h"

#include <QTest>

namespace {

// Runs "text LIKE pattern [ESCAPE escape]" on the connection; -1 for NULL.
int like(Connection& connection, const QVariant& text, const QVariant& pattern,
         const QString& escape = {})
{
    const QString sql = escape.isNull() ? QStringLiteral("SELECT ?1 LIKE ?2")
                                        : QStringLiteral("SELECT ?1 LIKE ?2 ESCAPE ?3");
    SqliteStatement statement(connection.handle(), sql);
    const QVariantList values{text, pattern, escape};
    for (int i = 0; i < (escape.isNull() ? 2 : 3); ++i) {
        if (values[i].isNull())
            statement.bindNull(i + 1);
        else
            statement.bindText(i + 1, values[i].toString());
    }
    statement.step();
    return statement.isNull(0) ? -1 : int(statement.columnInt(0));
}

} // namespace

// The `like` every connection registers, as SQL statements call it.
class TestSqlLike : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_book = std::make_unique<ContactBook>(m_db, false);
        m_book->connection.open();
    }

    void likeMatches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("escape");
        QTest::addColumn<int>("result");
        const QString none;
        QTest::newRow("Cyrillic any case") << u"Иванов"_qs << u"%ива%"_qs << none << 1;
        QTest::newRow("Greek final sigma") << u"ΟΔΟΣ"_qs << u"%οδος%"_qs << none << 1;
        QTest::newRow("ASCII any case") << "John Smith"
                                        << "%SMI%" << none << 1;
        QTest::newRow("Kelvin sign folds to k") << u"\u212Aelvin"_qs << "k%" << none << 1;
        QTest::newRow("ASCII after a non-ASCII run") << u"ééé x"_qs << "%X" << none << 1;
        QTest::newRow("non-ASCII literal after %") << "plain ascii" << u"%é%"_qs << none << 0;
        QTest::newRow("backtracking") << "aXbYbZ"
                                      << "%a%b%Z" << none << 1;
        QTest::newRow("anchored start") << u"Сивов"_qs << u"ив%"_qs << none << 0;
        QTest::newRow("anchored end") << "abc"
                                      << "%b" << none << 0;
        QTest::newRow("underscore is one character") << u"é"_qs << "_" << none << 1;
        QTest::newRow("underscore outside the BMP") << u"😀"_qs << "_" << none << 1;
        QTest::newRow("empty pattern, empty text") << ""
                                                   << "" << none << 1;
        QTest::newRow("%% matches empty text") << ""
                                               << "%%" << none << 1;
        QTest::newRow("escaped percent") << "50% off"
                                         << "%0\\%%"
                                         << "\\" << 1;
        QTest::newRow("escaped percent is literal") << "50 off"
                                                    << "%0\\%%"
                                                    << "\\" << 0;
        QTest::newRow("escaped underscore") << "a_b"
                                            << "a\\_b"
                                            << "\\" << 1;
        QTest::newRow("escaped underscore is literal") << "axb"
                                                       << "a\\_b"
                                                       << "\\" << 0;
        QTest::newRow("escaped escape") << "a\\b"
                                        << "a\\\\b"
                                        << "\\" << 1;
        QTest::newRow("trailing escape matches nothing") << "a\\"
                                                         << "a\\"
                                                         << "\\" << 0;
        QTest::newRow("quote characters are plain") << "O'Brien \"Pub\""
                                                    << "%'%\"%" << none << 1;
        QTest::newRow("NULL text") << QString() << "%" << none << -1;
        QTest::newRow("NULL pattern") << "a" << QString() << none << -1;
    }

    void likeMatches()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, escape);
        QFETCH(int, result);
        QCOMPARE(like(m_book->connection, text.isNull() ? QVariant() : QVariant(text),
                      pattern.isNull() ? QVariant() : QVariant(pattern), escape),
                 result);
    }

    void escapeMustBeOneCharacter()
    {
        QVERIFY_THROWS_EXCEPTION(DatabaseError, like(m_book->connection, QStringLiteral("a"),
                                                     QStringLiteral("a"), QStringLiteral("ab")));
    }

    void oneBoundPatternServesEveryRow()
    {
        m_db.execute(QString::fromUtf8("INSERT INTO danni (ime) VALUES ('Иван'), ('ИВАНКА'),"
                                       " ('Anna'), (NULL), ('иванов')"));
        SqliteStatement statement(m_book->connection.handle(),
                                  QStringLiteral("SELECT count(*) FROM danni WHERE ime LIKE ?1"));
        statement.bindText(1, QString::fromUtf8("%иван%"));
        QVERIFY(statement.step());
        QCOMPARE(statement.columnInt(0), 3);
    }

private:
    TestDatabase m_db;
    std::unique_ptr<ContactBook> m_book;
};

QTEST_GUILESS_MAIN(TestSqlLike)
#include "tst_sqllike.moc"
