#include "ContactRecord.h"

#include <QStringList>

bool isYearless(const QDate& date)
{
    return date.year() == kYearlessBirthYear;
}

QString displayName(const ContactRecord& contact)
{
    QStringList parts;
    for (const QString& part : {contact.first, contact.second, contact.last})
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    return parts.join(QLatin1Char(' '));
}
