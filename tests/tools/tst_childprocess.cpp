#include "ChildProcess.h"

#include <QTest>
#include <csignal>
#include <unistd.h>

class TestChildProcess : public QObject {
    Q_OBJECT
private slots:
    void shouldReturnWhatTheChildProduced();
    void shouldPassTheChildsErrorOn();
    void shouldReportAChildThatDies_data();
    void shouldReportAChildThatDies();
};

void TestChildProcess::shouldReturnWhatTheChildProduced()
{
    // Larger than a pipe's buffer, so the parent must read while the child writes.
    QByteArray expected(3 * 1024 * 1024, 'x');
    expected[12345] = '\0';
    QCOMPARE(runInChildProcess([&expected] { return expected; }), expected);
    QCOMPARE(runInChildProcess([] { return QByteArray(); }), QByteArray());
}

void TestChildProcess::shouldPassTheChildsErrorOn()
{
    try {
        runInChildProcess([]() -> QByteArray { throw DatabaseError(QStringLiteral("Ошибка")); });
        QFAIL("no error");
    } catch (const DatabaseError& error) {
        QCOMPARE(error.message(), QStringLiteral("Ошибка"));
    }
}

void TestChildProcess::shouldReportAChildThatDies_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("segmentation fault") << 0 << QStringLiteral("killed by signal %1").arg(SIGSEGV);
    QTest::newRow("abort") << 1 << QStringLiteral("killed by signal %1").arg(SIGABRT);
    QTest::newRow("exit without answer")
        << 2 << QStringLiteral("ended with exit status 3 without an answer");
}

void TestChildProcess::shouldReportAChildThatDies()
{
    QFETCH(int, how);
    QFETCH(QString, message);
    const auto die = [how]() -> QByteArray {
        if (how == 0)
            std::raise(SIGSEGV);
        if (how == 1)
            std::abort();
        _exit(3);
    };
    try {
        runInChildProcess(die);
        QFAIL("no error");
    } catch (const ChildProcessError& error) {
        QVERIFY2(error.message().startsWith(message), qPrintable(error.message()));
    }
}

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
