#include "JetText.h"

#include <QTest>

class TestJetText : public QObject {
    Q_OBJECT
private slots:
    void shouldDecodeJetText_data();
    void shouldDecodeJetText();
    void shouldRefuseBytesThatAreNoText_data();
    void shouldRefuseBytesThatAreNoText();
};

void TestJetText::shouldDecodeJetText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("utf-16") << QByteArray("Z\0o\0\xeb\0", 6) << QStringLiteral("Zoë");
    QTest::newRow("cyrillic utf-16") << QByteArray("\x18\x04\x32\x04", 4) << QStringLiteral("Ив");
    QTest::newRow("surrogate pair")
        << QByteArray("\x3d\xd8\x00\xde", 4) << QString::fromUtf8("\xf0\x9f\x98\x80");
    QTest::newRow("compressed") << QByteArray("\xff\xfe"
                                              "a\tb\r\n\xeb")
                                << QStringLiteral("a\tb\r\në");
    QTest::newRow("compressed, empty") << QByteArray("\xff\xfe") << QString();
    QTest::newRow("compressed then two-byte then compressed")
        << QByteArray("\xff\xfe"
                      "ab\0\x18\x04\x32\x04\0c",
                      11)
        << QStringLiteral("abИвc");
}

void TestJetText::shouldDecodeJetText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const auto decoded = decodeJetText(bytes);
    QVERIFY(decoded.has_value());
    QCOMPARE(*decoded, text);
}

void TestJetText::shouldRefuseBytesThatAreNoText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("odd utf-16") << QByteArray("a\0b", 3);
    QTest::newRow("odd two-byte segment") << QByteArray("\xff\xfe"
                                                        "a\0\x18\x04\x32",
                                                        7);
}

void TestJetText::shouldRefuseBytesThatAreNoText()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!decodeJetText(bytes).has_value());
}

QTEST_GUILESS_MAIN(TestJetText)
#include "tst_jettext.moc"
