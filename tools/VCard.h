#pragma once

#include "ContactRecord.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reading and writing vCard text (versions 2.1, 3.0 and 4.0 in, 3.0 and 4.0 out).
//
// How a contact maps onto a card:
//   N            last name; first name; second name (prefixes and suffixes are not kept)
//   FN           the name as written; read only when N is missing or empty
//   BDAY         the birth date; a year-less one is written "--MMDD" (4.0) or with the
//                X-APPLE-OMIT-YEAR parameter (3.0), and stored in kYearlessBirthYear
//   ADR          the address text in the street component; several addresses are joined
//                with an empty line between them
//   TEL          the three phones, numbered by the X-TEMBREL-SLOT parameter; phones beyond
//                three, or too long for a phone field, are added to the notes
//   NOTE         the notes; several are joined line by line
//   X-TEMBREL-EVENT1 .. X-TEMBREL-EVENT4
//                the four events, each "date;text" (either part may be empty)
//   EMAIL, ORG, TITLE, URL and a BDAY given as free text are added to the notes.
namespace VCard {

enum class Version { V3, V4 };

// The cards of all contacts: UTF-8, CRLF line ends, lines folded at 75 octets.
QByteArray write(const std::vector<ContactRecord>& contacts, Version version);

// One content line folded at 75 octets, never inside a UTF-8 sequence, with its CRLF.
QByteArray foldLine(const QByteArray& line);

struct Problem {
    int line = 0; // 1-based line of the file
    QString message;
};

struct ParseResult {
    std::vector<ContactRecord> contacts;
    std::vector<Problem> problems; // one per card that was skipped
    int cardCount = 0;             // cards found, read or skipped
};

// Reads every card of a file. A card that cannot be read is skipped and reported with the
// line where the fault was found; the other cards are read.
ParseResult parse(const QByteArray& data);

} // namespace VCard
