#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kAnswer = 'A';
constexpr char kError = 'E';

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

QByteArray readAll(int fd)
{
    QByteArray result;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return result;
        result.append(buffer, count);
    }
}

// The child: crash handlers inherited from the parent (a test framework's, for instance) are
// dropped so that a crash ends the child at once, and the answer goes down the pipe.
[[noreturn]] void runChild(int fd, const std::function<QByteArray()>& work)
{
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(signal, SIG_DFL);
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0)
        ::dup2(devNull, STDERR_FILENO);
    QByteArray message(1, kAnswer);
    try {
        message += work();
    } catch (const TembrelError& error) {
        message = QByteArray(1, kError) + error.message().toUtf8();
    } catch (const std::exception& error) {
        message = QByteArray(1, kError) + QByteArray(error.what());
    }
    _exit(writeAll(fd, message.constData(), message.size()) ? 0 : 1);
}

int waitForChild(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

QByteArray runInChildProcess(const std::function<QByteArray()>& work)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw ChildProcessError(QStringLiteral("cannot create a pipe: %1")
                                    .arg(QString::fromLocal8Bit(strerror(errno))));
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw ChildProcessError(QStringLiteral("cannot start a child process: %1")
                                    .arg(QString::fromLocal8Bit(strerror(error))));
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], work);
    }
    ::close(fds[1]);
    const QByteArray message = readAll(fds[0]);
    ::close(fds[0]);
    const int status = waitForChild(pid);
    if (WIFSIGNALED(status))
        throw ChildProcessError(QStringLiteral("killed by signal %1 (%2)")
                                    .arg(WTERMSIG(status))
                                    .arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status)))));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || message.isEmpty())
        throw ChildProcessError(QStringLiteral("ended with exit status %1 without an answer")
                                    .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
    if (message.front() == kError)
        throw DatabaseError(QString::fromUtf8(message.mid(1)));
    return message.mid(1);
}
