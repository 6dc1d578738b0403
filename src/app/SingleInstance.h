#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

// Lets one copy per program file name run for this user: a lock file in the user's runtime
// directory plus a local socket of the same name, through which a second copy asks the running
// one to show its main window.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `lockName` is the upper-cased program file name; `directory` defaults to the runtime
    // directory.
    explicit SingleInstance(const QString& lockName, const QString& directory = {});
    ~SingleInstance() override;

    // True when another copy holds the lock; that copy has then been asked to raise its window.
    bool anotherCopyRunning() const { return !m_owner; }
    // The window raised (and restored when minimised) when another copy starts.
    void setWindow(QWidget* window) { m_window = window; }

    static void raiseWindow(QWidget* window);

private:
    void notifyRunningCopy();
    void serveRaiseRequests();

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    QPointer<QWidget> m_window;
    bool m_owner = false;
};
