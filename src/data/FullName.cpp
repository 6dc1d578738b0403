#include "FullName.h"

#include "Dataset.h"

static const QString& orBlank(const QString& part)
{
    static const QString blank(QLatin1Char(' '));
    return part.isEmpty() ? blank : part;
}

QString fullName(const QString& first, const QString& second, const QString& last)
{
    QString name;
    name.reserve(first.size() + second.size() + last.size() + 4);
    name += orBlank(first);
    name += QLatin1Char(' ');
    name += orBlank(second);
    name += QLatin1Char(' ');
    name += orBlank(last);
    if (name.size() > 120)
        name.truncate(120);
    return name;
}

void tbldanniCalcFields(Dataset& dataset)
{
    dataset.fieldByName(QStringLiteral("fullnames"))
        .setAsString(fullName(dataset.fieldByName(QStringLiteral("ime")).asString(),
                              dataset.fieldByName(QStringLiteral("prezime")).asString(),
                              dataset.fieldByName(QStringLiteral("familia")).asString()));
}
