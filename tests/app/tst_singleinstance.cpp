#include "app/SingleInstance.h"
#include "data/Connection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

// Generous: copies start slowly on a loaded machine, and a passing test never waits this long.
constexpr int kStartTimeoutMs = 60000;

QString programPath()
{
    return qEnvironmentVariable("TEMBREL_BINARY_DIR") + QStringLiteral("/src/tembrel");
}

} // namespace

// One copy per program file name, checked with real copies of the program: each runs offscreen
// in a working directory with an empty, valid contact book, so it never shows a box.
class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondCopyRaisesTheFirstAndEnds();
    void secondCopyRestoresAMinimisedWindow();
    void copyUnderAnotherNameRunsBeside();
    void lockOfACopyThatDiedIsTakenOver();

private:
    // Starts `program` (the built program or a link to it) and, given a `lockName`, waits until
    // it serves raise requests under that name.
    QProcess* start(const QString& program, const QString& lockName = {});
    bool serves(const QString& lockName) const;
    // The process id written in the lock file; 0 when there is none.
    qint64 lockOwner(const QString& lockName) const;
    static QString errorOutput(QProcess& process);
    static QString describe(QProcess& process);
    static bool hasEnded(QProcess& process);

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_work;
    QList<QProcess*> m_processes;
};

void TestSingleInstance::init()
{
    QVERIFY2(QFile::exists(programPath()), qPrintable(programPath()));
    m_runtime = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    Connection::createDatabase(m_work->filePath(QStringLiteral("4rd.mdb")));
}

void TestSingleInstance::cleanup()
{
    for (QProcess* process : std::as_const(m_processes)) {
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
    m_processes.clear();
}

QProcess* TestSingleInstance::start(const QString& program, const QString& lockName)
{
    auto* process = new QProcess;
    m_processes << process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("tembrel.singleinstance.info=true"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_work->path());
    process->start(program, {});
    if (!process->waitForStarted(kStartTimeoutMs))
        return process;
    if (!lockName.isEmpty()) {
        QDeadlineTimer deadline(kStartTimeoutMs);
        while (!serves(lockName) && !deadline.hasExpired() && process->state() == QProcess::Running)
            QTest::qWait(50);
    }
    return process;
}

qint64 TestSingleInstance::lockOwner(const QString& lockName) const
{
    QFile lock(m_runtime->filePath(lockName + QStringLiteral(".lock")));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readLine().trimmed().toLongLong();
}

bool TestSingleInstance::serves(const QString& lockName) const
{
    return QFile::exists(m_runtime->filePath(lockName + QStringLiteral(".socket")));
}

bool TestSingleInstance::hasEnded(QProcess& process)
{
    // waitForFinished() is false for a process whose end was already seen in the event loop.
    return process.state() == QProcess::NotRunning || process.waitForFinished(kStartTimeoutMs);
}

QString TestSingleInstance::describe(QProcess& process)
{
    return QStringLiteral("%1: state %2, exit status %3, exit code %4, error %5")
        .arg(process.program())
        .arg(int(process.state()))
        .arg(int(process.exitStatus()))
        .arg(process.exitCode())
        .arg(process.errorString());
}

QString TestSingleInstance::errorOutput(QProcess& process)
{
    return QString::fromLocal8Bit(process.readAllStandardError());
}

void TestSingleInstance::secondCopyRaisesTheFirstAndEnds()
{
    QProcess* first = start(programPath(), QStringLiteral("TEMBREL"));
    QVERIFY2(serves(QStringLiteral("TEMBREL")), qPrintable(describe(*first)));

    QProcess* second = start(programPath());
    QVERIFY2(hasEnded(*second), qPrintable(describe(*second)));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    const QString secondOutput = errorOutput(*second);
    QVERIFY2(secondOutput.contains(QLatin1String("asked the running copy")),
             qPrintable(secondOutput));

    QString firstOutput;
    QTRY_VERIFY_WITH_TIMEOUT(
        (firstOutput += errorOutput(*first)).contains(QLatin1String("raise request")),
        kStartTimeoutMs);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::secondCopyRestoresAMinimisedWindow()
{
    // This test process plays the running copy, so its window can be looked at.
    SingleInstance running(QStringLiteral("TEMBREL"), m_runtime->path());
    QVERIFY(!running.anotherCopyRunning());
    QWidget window;
    running.setWindow(&window);
    window.showMinimized();
    QVERIFY(window.isMinimized());

    QProcess* second = start(programPath());
    QTRY_VERIFY_WITH_TIMEOUT(!window.isMinimized(), kStartTimeoutMs);
    QVERIFY(hasEnded(*second));
    QCOMPARE(second->exitCode(), 0);
}

void TestSingleInstance::copyUnderAnotherNameRunsBeside()
{
    QProcess* first = start(programPath(), QStringLiteral("TEMBREL"));
    QVERIFY(serves(QStringLiteral("TEMBREL")));
    const QString other = m_work->filePath(QStringLiteral("tembrel-other"));
    QVERIFY(QFile::link(programPath(), other));

    QProcess* beside = start(other, QStringLiteral("TEMBREL-OTHER"));
    QVERIFY(serves(QStringLiteral("TEMBREL-OTHER")));
    QCOMPARE(beside->state(), QProcess::Running);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(!errorOutput(*first).contains(QLatin1String("raise request")));
    QVERIFY(!errorOutput(*beside).contains(QLatin1String("asked the running copy")));
}

void TestSingleInstance::lockOfACopyThatDiedIsTakenOver()
{
    QProcess* died = start(programPath(), QStringLiteral("TEMBREL"));
    QVERIFY(serves(QStringLiteral("TEMBREL")));
    died->kill(); // no chance to release the lock or remove its socket
    QVERIFY(hasEnded(*died));
    QVERIFY(QFile::exists(m_runtime->filePath(QStringLiteral("TEMBREL.lock"))));

    QProcess* next = start(programPath());
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(QStringLiteral("TEMBREL")), next->processId(),
                              kStartTimeoutMs);
    QProcess* second = start(programPath());
    QVERIFY(hasEnded(*second));
    QCOMPARE(second->exitCode(), 0);
    QString nextOutput;
    QTRY_VERIFY_WITH_TIMEOUT(
        (nextOutput += errorOutput(*next)).contains(QLatin1String("raise request")),
        kStartTimeoutMs);
    QCOMPARE(next->state(), QProcess::Running);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
