#include "ContactStore.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "data/FullName.h"
#include "data/Schema.h"

#include <QDir>
#include <QSet>
#include <sqlite3.h>

namespace {

const std::array<QString, 3> kPhoneColumns{QStringLiteral("tel"), QStringLiteral("tel1"),
                                           QStringLiteral("tel2")};
const std::array<QString, 4> kEventDateColumns{QStringLiteral("timer1"), QStringLiteral("timer2"),
                                               QStringLiteral("timer3"), QStringLiteral("timer4")};
const std::array<QString, 4> kEventTextColumns{QStringLiteral("ts1"), QStringLiteral("ts2"),
                                               QStringLiteral("ts3"), QStringLiteral("ts4")};

// What makes two contacts the same person for the import: full name and birth day.
QString identity(const ContactRecord& contact)
{
    const QString day = contact.birthDate == 0
                            ? QString()
                            : QString::number(DateTimeValue::dayNumber(contact.birthDate));
    return fullName(contact.first, contact.second, contact.last) + QLatin1Char('\n') + day;
}

class ContactReader {
public:
    explicit ContactReader(Dataset& contacts) : m_contacts(contacts) {}

    ContactRecord at(int row) const
    {
        ContactRecord contact;
        contact.id = qint64(number(row, QStringLiteral("id")));
        contact.first = text(row, QStringLiteral("ime"));
        contact.second = text(row, QStringLiteral("prezime"));
        contact.last = text(row, QStringLiteral("familia"));
        contact.birthDate = number(row, QStringLiteral("rd"));
        contact.notes = text(row, QStringLiteral("other"));
        contact.address = text(row, QStringLiteral("adres"));
        for (size_t i = 0; i < kPhoneColumns.size(); ++i)
            contact.phones[i] = text(row, kPhoneColumns[i]);
        for (size_t i = 0; i < kEventDateColumns.size(); ++i)
            contact.events[i] = {number(row, kEventDateColumns[i]),
                                 text(row, kEventTextColumns[i])};
        return contact;
    }

private:
    QString text(int row, const QString& column) const
    {
        return m_contacts.textAt(row, m_contacts.fieldByName(column).index());
    }
    double number(int row, const QString& column) const
    {
        return m_contacts.numberAt(row, m_contacts.fieldByName(column).index());
    }

    Dataset& m_contacts;
};

void setText(Dataset& contacts, const QString& column, const QString& value)
{
    if (!value.isEmpty())
        contacts.fieldByName(column).setAsString(value);
}

void setDate(Dataset& contacts, const QString& column, double value)
{
    if (value != 0)
        contacts.fieldByName(column).setAsDateTime(value);
}

void appendContact(Dataset& contacts, const ContactRecord& contact)
{
    contacts.append();
    setText(contacts, QStringLiteral("ime"), contact.first);
    setText(contacts, QStringLiteral("prezime"), contact.second);
    setText(contacts, QStringLiteral("familia"), contact.last);
    setDate(contacts, QStringLiteral("rd"), contact.birthDate);
    setText(contacts, QStringLiteral("other"), contact.notes);
    setText(contacts, QStringLiteral("adres"), contact.address);
    for (size_t i = 0; i < kPhoneColumns.size(); ++i)
        setText(contacts, kPhoneColumns[i], contact.phones[i]);
    for (size_t i = 0; i < kEventDateColumns.size(); ++i) {
        setDate(contacts, kEventDateColumns[i], contact.events[i].date);
        setText(contacts, kEventTextColumns[i], contact.events[i].text);
    }
    contacts.finishPending();
}

} // namespace

void openDatabase(Connection& connection, const QString& path)
{
    // The connection string separates its pairs with ';' and has no way to quote one.
    if (path.contains(QLatin1Char(';')))
        throw DatabaseError(
            QStringLiteral("'%1': the name of a contact database cannot contain ';'").arg(path));
    connection.setConnectionString(QStringLiteral("Data Source=%1;Mode=Share Deny None")
                                       .arg(QDir::current().absoluteFilePath(path)));
    connection.open();
}

std::vector<ContactRecord> readContacts(Connection& connection)
{
    Dataset contacts(connection, Schema::contacts());
    contacts.open();
    const ContactReader reader(contacts);
    std::vector<ContactRecord> result;
    result.reserve(size_t(contacts.recordCount()));
    for (int row = 0; row < contacts.recordCount(); ++row)
        result.push_back(reader.at(row));
    return result;
}

AddedContacts addContacts(Connection& connection, const std::vector<ContactRecord>& contacts)
{
    AddedContacts result;
    connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        Dataset table(connection, Schema::contacts());
        table.open();
        const ContactReader reader(table);
        QSet<QString> known;
        for (int row = 0; row < table.recordCount(); ++row)
            known.insert(identity(reader.at(row)));
        for (const ContactRecord& contact : contacts) {
            const QString key = identity(contact);
            if (known.contains(key)) {
                result.duplicates << displayName(contact);
                continue;
            }
            const int before = table.recordCount();
            appendContact(table, contact);
            if (table.recordCount() > before)
                ++result.added;
            known.insert(key);
        }
        connection.execute(QStringLiteral("COMMIT"));
    } catch (...) {
        if (!sqlite3_get_autocommit(connection.handle()))
            connection.execute(QStringLiteral("ROLLBACK"));
        throw;
    }
    return result;
}
