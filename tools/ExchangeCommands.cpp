#include "ExchangeCommands.h"

#include "ContactStore.h"
#include "ICalendar.h"
#include "VCard.h"
#include "data/Connection.h"
#include "data/Errors.h"
#include "platform/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Writes a new file whole or not at all; an existing file is never replaced.
void writeNewFile(const QString& path, const QByteArray& data)
{
    if (QFileInfo::exists(path))
        throw TembrelError(QStringLiteral("'%1' already exists").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw TembrelError(QStringLiteral("Cannot write '%1': %2").arg(path, file.errorString()));
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TembrelError(QStringLiteral("Cannot read '%1': %2").arg(path, file.errorString()));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TembrelError(QStringLiteral("Cannot read '%1': %2").arg(path, file.errorString()));
    return data;
}

std::vector<ContactRecord> contactsOf(const QString& databasePath)
{
    Connection connection;
    openDatabase(connection, databasePath);
    return readContacts(connection);
}

QString plural(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

int reportError(const TembrelError& error, QTextStream& err)
{
    err << "tembrel-db: " << error.message() << "\n";
    return 1;
}

// Reads "--version 3.0" or "--version 4.0" out of the arguments; false when it is malformed.
bool takeVersion(QStringList& arguments, VCard::Version& version)
{
    const qsizetype option = arguments.indexOf(QStringLiteral("--version"));
    if (option < 0)
        return true;
    const QString value = arguments.value(option + 1);
    if (value != QLatin1String("3.0") && value != QLatin1String("4.0"))
        return false;
    version = value == QLatin1String("3.0") ? VCard::Version::V3 : VCard::Version::V4;
    arguments.remove(option, 2);
    return true;
}

} // namespace

int runExportVCard(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList files = arguments;
    VCard::Version version = VCard::Version::V4;
    if (!takeVersion(files, version) || files.size() != 2) {
        err << "usage: tembrel-db export-vcard DB FILE [--version 3.0|4.0]\n";
        return 2;
    }
    try {
        const std::vector<ContactRecord> contacts = contactsOf(files[0]);
        writeNewFile(files[1], VCard::write(contacts, version));
        out << "Wrote " << plural(qsizetype(contacts.size()), "card", "cards") << " to " << files[1]
            << "\n";
    } catch (const TembrelError& error) {
        return reportError(error, err);
    }
    return 0;
}

int runImportVCard(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        err << "usage: tembrel-db import-vcard DB FILE\n";
        return 2;
    }
    const QString& file = arguments[1];
    try {
        const VCard::ParseResult cards = VCard::parse(readWholeFile(file));
        if (cards.cardCount == 0)
            throw TembrelError(QStringLiteral("'%1' holds no vCard").arg(file));
        for (const VCard::Problem& problem : cards.problems)
            err << file << ":" << problem.line << ": " << problem.message << "; card skipped\n";
        Connection connection;
        openDatabase(connection, arguments[0]);
        const AddedContacts added = addContacts(connection, cards.contacts);
        out << "Added " << plural(added.added, "contact", "contacts") << " from " << file << ".\n";
        if (!added.duplicates.isEmpty())
            out << "Not added again, already in the database with the same full name and birth "
                   "date: "
                << added.duplicates.size() << "\n  "
                << added.duplicates.join(QStringLiteral("\n  ")) << "\n";
        if (!cards.problems.empty())
            out << "Skipped: " << plural(qsizetype(cards.problems.size()), "card", "cards")
                << " that could not be read.\n";
    } catch (const TembrelError& error) {
        return reportError(error, err);
    }
    return 0;
}

int runExportIcs(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        err << "usage: tembrel-db export-ics DB FILE\n";
        return 2;
    }
    try {
        const std::vector<ContactRecord> contacts = contactsOf(arguments[0]);
        writeNewFile(arguments[1], ICalendar::write(contacts, Clock::now()));
        out << "Wrote the birthdays and events of "
            << plural(qsizetype(contacts.size()), "contact", "contacts") << " to " << arguments[1]
            << "\n";
    } catch (const TembrelError& error) {
        return reportError(error, err);
    }
    return 0;
}
