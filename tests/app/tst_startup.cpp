#include "TestSupport.h"
#include "app/Startup.h"
#include "data/Errors.h"
#include "platform/ApplicationTitle.h"
#include "platform/Guarded.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <stdexcept>

// Start-up: the application title and lock name, the error box text, the fatal box and the
// version the program carries.
class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void applicationTitleComesFromTheProgramFileName_data();
    void applicationTitleComesFromTheProgramFileName();
    void lockNameIsTheUpperCasedFileName_data();
    void lockNameIsTheUpperCasedFileName();
    void errorBoxAddsAFullStopAfterCharactersSortingAfterIt_data();
    void errorBoxAddsAFullStopAfterCharactersSortingAfterIt();
    void fatalErrorTextNamesKindModuleAddressAndMessage_data();
    void fatalErrorTextNamesKindModuleAddressAndMessage();
    void errorEscapingStartUpIsFatalWithStatusOne_data();
    void errorEscapingStartUpIsFatalWithStatusOne();
    void normalEndKeepsTheStatusAndShowsNothing();
    void applicationCarriesTitleAndFileVersion();
    void desktopEntryCarriesBothVersions();
};

void TestStartup::applicationTitleComesFromTheProgramFileName_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("title");
    QTest::newRow("Linux program") << "/usr/bin/tembrel"
                                   << "tembrel";
    QTest::newRow("relative path") << "./build/src/tembrel"
                                   << "tembrel";
    QTest::newRow("Windows name") << "Tembrel.exe"
                                  << "Tembrel";
    QTest::newRow("upper case") << "TEMBREL.EXE"
                                << "Tembrel";
    QTest::newRow("mixed case") << "/opt/TeMbReL"
                                << "Tembrel";
    QTest::newRow("cut at first full stop") << "/opt/tembrel.new.bin"
                                            << "tembrel";
    QTest::newRow("non-ASCII") << "/opt/ТЕМБРЕЛ"
                               << "Тембрел";
    QTest::newRow("nothing before the full stop") << "/opt/.tembrel"
                                                  << "";
}

void TestStartup::applicationTitleComesFromTheProgramFileName()
{
    QFETCH(QString, program);
    QFETCH(QString, title);
    QCOMPARE(applicationTitleFor(program), title);
}

void TestStartup::lockNameIsTheUpperCasedFileName_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("lock");
    QTest::newRow("Linux program") << "/usr/bin/tembrel"
                                   << "TEMBREL";
    QTest::newRow("extension kept") << "Tembrel.exe"
                                    << "TEMBREL.EXE";
    QTest::newRow("other name") << "/tmp/tembrel-copy2"
                                << "TEMBREL-COPY2";
    QTest::newRow("only a to z") << "/opt/tembrelé"
                                 << "TEMBRELé";
}

void TestStartup::lockNameIsTheUpperCasedFileName()
{
    QFETCH(QString, program);
    QFETCH(QString, lock);
    QCOMPARE(instanceLockNameFor(program), lock);
}

void TestStartup::errorBoxAddsAFullStopAfterCharactersSortingAfterIt_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("box");
    QTest::newRow("letter") << "tbldanni: Field 'status' not found"
                            << "tbldanni: Field 'status' not found.";
    QTest::newRow("full stop") << "Already ends."
                               << "Already ends.";
    QTest::newRow("quote sorts before") << "Could not find file '4rd.mdb'"
                                        << "Could not find file '4rd.mdb'";
    QTest::newRow("closing bracket sorts before") << "(none)"
                                                  << "(none)";
    QTest::newRow("exclamation sorts before") << "Stop!"
                                              << "Stop!";
    QTest::newRow("slash sorts after") << "/home/user/"
                                       << "/home/user/.";
    QTest::newRow("digit") << "Error 42"
                           << "Error 42.";
    QTest::newRow("Cyrillic") << "Грешка"
                              << "Грешка.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestStartup::errorBoxAddsAFullStopAfterCharactersSortingAfterIt()
{
    QFETCH(QString, message);
    QFETCH(QString, box);
    QCOMPARE(errorBoxText(message), box);
    RecordingMessageService messages;
    guarded([&] { throw DatasetError(QStringLiteral("x"), message); });
    QCOMPARE(messages.calls,
             (QList<RecordingMessageService::Call>{
                 {QStringLiteral("error"), errorBoxText(QStringLiteral("x: ") + message)}}));
}

void TestStartup::fatalErrorTextNamesKindModuleAddressAndMessage_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::newRow("full stop added") << "Cannot create the database layer"
                                     << "Exception DatabaseError in module tembrel at 0000BEEF.\n"
                                        "Cannot create the database layer.";
    QTest::newRow("full stop kept") << "Out of memory."
                                    << "Exception DatabaseError in module tembrel at 0000BEEF.\n"
                                       "Out of memory.";
    QTest::newRow("quote still gets one") << "No file 'x'"
                                          << "Exception DatabaseError in module tembrel at "
                                             "0000BEEF.\nNo file 'x'.";
}

void TestStartup::fatalErrorTextNamesKindModuleAddressAndMessage()
{
    QFETCH(QString, message);
    QFETCH(QString, text);
    QCOMPARE(fatalErrorText(QStringLiteral("DatabaseError"), QStringLiteral("/usr/bin/tembrel"),
                            reinterpret_cast<const void*>(0xBEEF), message),
             text);
}

void TestStartup::errorEscapingStartUpIsFatalWithStatusOne_data()
{
    QTest::addColumn<bool>("ours");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("error of the program")
        << true
        << "^Exception DatabaseError in module tembrel at [0-9A-F]{8,}\\.\\n"
           "Cannot create the database layer\\.$";
    QTest::newRow("other C++ error")
        << false
        << "^Exception std::runtime_error in module tembrel at [0-9A-F]{8,}\\.\\n"
           "bad thing\\.$";
}

void TestStartup::errorEscapingStartUpIsFatalWithStatusOne()
{
    QFETCH(bool, ours);
    QFETCH(QString, pattern);
    RecordingMessageService messages;
    const int status = runGuardedStartup(QStringLiteral("/usr/bin/tembrel"), [&]() -> int {
        if (ours)
            throw DatabaseError(QStringLiteral("Cannot create the database layer"));
        throw std::runtime_error("bad thing");
    });
    QCOMPARE(status, 1);
    QCOMPARE(messages.calls.size(), 1);
    QCOMPARE(messages.calls.front().kind, QStringLiteral("fatal"));
    QVERIFY2(QRegularExpression(pattern).match(messages.calls.front().text).hasMatch(),
             qPrintable(messages.calls.front().text));
}

void TestStartup::normalEndKeepsTheStatusAndShowsNothing()
{
    RecordingMessageService messages;
    QCOMPARE(runGuardedStartup(QStringLiteral("tembrel"), [] { return 0; }), 0);
    QVERIFY(messages.calls.isEmpty());
}

void TestStartup::applicationCarriesTitleAndFileVersion()
{
    setUpApplication(QStringLiteral("/usr/local/bin/tembrel"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("tembrel"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.10"));
}

void TestStartup::desktopEntryCarriesBothVersions()
{
    const QString path = qEnvironmentVariable("TEMBREL_BINARY_DIR") + "/tembrel.desktop";
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QSettings entry(path, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(entry.value("Type").toString(), QStringLiteral("Application"));
    QCOMPARE(entry.value("Name").toString(), QStringLiteral("Tembrel"));
    QCOMPARE(entry.value("Exec").toString(), QStringLiteral("tembrel"));
    QCOMPARE(entry.value("X-Tembrel-FileVersion").toString(), QStringLiteral("1.0.0.10"));
    QCOMPARE(entry.value("X-Tembrel-ProductVersion").toString(), QStringLiteral("1.1"));
    QCOMPARE(QStringLiteral(TEMBREL_PRODUCT_VERSION), QStringLiteral("1.1"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
