#pragma once

#include <QDate>
#include <QString>
#include <array>

// One contact as the exchange formats see it: the stored columns of `danni` except `status`.
// Dates are date-time values (days since 30 December 1899); 0 means no date.
struct ContactEvent {
    double date = 0;
    QString text;
    bool operator==(const ContactEvent&) const = default;
};

struct ContactRecord {
    qint64 id = 0; // the database key; 0 for a contact read from a file
    QString first;
    QString second;
    QString last;
    double birthDate = 0;
    QString notes;
    QString address;
    std::array<QString, 3> phones;
    std::array<ContactEvent, 4> events;
    bool operator==(const ContactRecord&) const = default;
};

// A birthday without a year is stored in this year: a leap year, so that 29 February fits,
// and long before anyone living was born, so that it never passes for a real year.
inline constexpr int kYearlessBirthYear = 1604;

bool isYearless(const QDate& date);

// The name as people write it: the non-empty name parts joined by single blanks.
QString displayName(const ContactRecord& contact);
