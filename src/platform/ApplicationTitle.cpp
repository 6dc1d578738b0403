#include "ApplicationTitle.h"

#include <QCoreApplication>
#include <QFileInfo>

QString applicationTitleFor(const QString& programPath)
{
    QString name = QFileInfo(programPath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

QString applicationTitle()
{
    const QStringList arguments = QCoreApplication::arguments();
    return applicationTitleFor(arguments.isEmpty() ? QStringLiteral("tembrel") : arguments.first());
}

QString instanceLockNameFor(const QString& programPath)
{
    QString name = QFileInfo(programPath).fileName();
    for (QChar& c : name)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return name;
}
