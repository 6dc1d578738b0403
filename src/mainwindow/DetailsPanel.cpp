#include "DetailsPanel.h"

#include "data/Dataset.h"
#include "platform/DateFormat.h"

#include <QStringList>

ContactDetails readContactDetails(Dataset& contacts)
{
    ContactDetails contact;
    contact.born = contacts.fieldByName(QStringLiteral("rd")).asDateTime();
    contact.address = contacts.fieldByName(QStringLiteral("adres")).asString();
    contact.phones = {contacts.fieldByName(QStringLiteral("tel")).asString(),
                      contacts.fieldByName(QStringLiteral("tel1")).asString(),
                      contacts.fieldByName(QStringLiteral("tel2")).asString()};
    contact.other = contacts.fieldByName(QStringLiteral("other")).asString();
    for (int n = 0; n < 4; ++n) {
        const QString number = QString::number(n + 1);
        contact.eventDates[n] = contacts.fieldByName(QStringLiteral("timer") + number).asDateTime();
        contact.eventTexts[n] = contacts.fieldByName(QStringLiteral("ts") + number).asString();
    }
    return contact;
}

// Memo text keeps its own line breaks; the panel knows one kind of break.
static QString normalisedBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString detailsPanelText(const ContactDetails& contact, const QString& eventDateFormat)
{
    QStringList lines;
    if (contact.born != 0)
        lines << QStringLiteral("Born: ") +
                     formatDateTime(QStringLiteral("dd.mm.yyyy"), contact.born);
    lines << QStringLiteral("Adress: ") + normalisedBreaks(contact.address);
    lines << QStringLiteral("phones: {%1} / {%2} / {%3}")
                 .arg(contact.phones[0], contact.phones[1], contact.phones[2]);
    lines << QStringLiteral("Other: ") + normalisedBreaks(contact.other);
    for (int n = 0; n < 4; ++n) {
        if (contact.eventDates[n] == 0)
            continue;
        lines << QStringLiteral("Timer%1: %2 - %3")
                     .arg(QString::number(n + 1), contact.eventTexts[n],
                          formatDateTime(eventDateFormat, contact.eventDates[n]));
    }
    return lines.join(QLatin1Char('\n'));
}
