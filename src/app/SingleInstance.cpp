#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QWidget>

// Off by default; QT_LOGGING_RULES="tembrel.singleinstance.info=true" shows the requests.
Q_LOGGING_CATEGORY(lcSingleInstance, "tembrel.singleinstance", QtWarningMsg)

SingleInstance::SingleInstance(const QString& lockName, const QString& directory)
{
    QString dir = directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_socketPath = QDir(dir).absoluteFilePath(lockName + QStringLiteral(".socket"));
    m_lock =
        std::make_unique<QLockFile>(QDir(dir).absoluteFilePath(lockName + QStringLiteral(".lock")));
    // A lock left by a copy that died is taken over: QLockFile checks whether its process lives.
    m_owner = m_lock->tryLock(0);
    if (m_owner)
        serveRaiseRequests();
    else
        notifyRunningCopy();
}

SingleInstance::~SingleInstance()
{
    m_server.close();
    if (m_owner)
        m_lock->unlock();
}

void SingleInstance::serveRaiseRequests()
{
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(m_socketPath);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            qCInfo(lcSingleInstance, "raise request from another copy");
            raiseWindow(m_window);
        }
    });
}

void SingleInstance::notifyRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (socket.waitForConnected(1000)) {
        socket.write("raise\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        qCInfo(lcSingleInstance, "asked the running copy to show its window");
    }
}

void SingleInstance::raiseWindow(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}
