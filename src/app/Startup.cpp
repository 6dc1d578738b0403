#include "Startup.h"

#include "SingleInstance.h"
#include "data/Errors.h"
#include "mainwindow/Utembrel.h"
#include "platform/ApplicationTitle.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
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

static void showFatalError(const std::exception& error, const QString& programPath)
{
    const auto* ours = dynamic_cast<const TembrelError*>(&error);
    const QString kind = QString::fromLatin1(ours ? ours->kind() : typeid(error).name());
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"),
                    fatalErrorText(kind, programPath, &error, errorMessage(error)),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

int runTembrel(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString program = QString::fromLocal8Bit(argc > 0 ? argv[0] : "tembrel");
    QApplication::setApplicationName(applicationTitleFor(program));
    QApplication::setApplicationVersion(QStringLiteral(TEMBREL_FILE_VERSION));
    try {
        SingleInstance instance(instanceLockNameFor(program));
        if (instance.anotherCopyRunning())
            return 0;
        TFtembrel window;
        window.loadDatabase();
        instance.setWindow(&window);
        DateFormats::setProgramFormats();
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        showFatalError(error, program);
        return 1;
    }
}
