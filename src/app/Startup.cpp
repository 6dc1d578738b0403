#include "Startup.h"

#include "SingleInstance.h"
#include "data/Errors.h"
#include "mainwindow/Utembrel.h"
#include "platform/ApplicationTitle.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

QString fatalErrorText(const QString& kind, const QString& programPath, const void* address,
                       const QString& message)
{
    QString text = message;
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return QStringLiteral("Exception %1 in module %2 at %3.\n%4")
        .arg(kind, QFileInfo(programPath).fileName(),
             QStringLiteral("%1").arg(quintptr(address), 8, 16, QLatin1Char('0')).toUpper(), text);
}

void setUpApplication(const QString& programPath)
{
    QCoreApplication::setApplicationName(applicationTitleFor(programPath));
    QCoreApplication::setApplicationVersion(QStringLiteral(TEMBREL_FILE_VERSION));
}

// The kind of an error as the fatal box names it: ours by their kind, others by their C++ type.
static QString errorKind(const std::exception& error)
{
    if (const auto* ours = dynamic_cast<const TembrelError*>(&error))
        return QString::fromLatin1(ours->kind());
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status);
    const QString kind = QString::fromLatin1(status == 0 ? name : typeid(error).name());
    std::free(name);
    return kind;
}

int runGuardedStartup(const QString& programPath, const std::function<int()>& steps)
{
    try {
        return steps();
    } catch (const std::exception& error) {
        const QString kind = errorKind(error);
        MessageService::instance().showFatalError(
            fatalErrorText(kind, programPath, &error, errorMessage(error)));
        return 1;
    }
}

int runTembrel(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString program = QString::fromLocal8Bit(argc > 0 ? argv[0] : "tembrel");
    setUpApplication(program);
    return runGuardedStartup(program, [&] {
        SingleInstance instance(instanceLockNameFor(program));
        if (instance.anotherCopyRunning())
            return 0;
        TFtembrel window;
        window.loadDatabase();
        instance.setWindow(&window);
        DateFormats::setProgramFormats();
        window.show();
        // The program's first window starts active (its first activation runs the reminder
        // scan), also where no window manager hands it the focus.
        window.activateWindow();
        return app.exec();
    });
}
