#pragma once

#include <QString>
#include <array>

class Dataset;

// What the details panel shows of one contact. Dates are date-time values, 0 for none.
struct ContactDetails {
    double born = 0;
    QString address;
    std::array<QString, 3> phones;
    QString other;
    std::array<double, 4> eventDates = {};
    std::array<QString, 4> eventTexts;
};

// The fields of the contact table's current row; all empty when there is none.
ContactDetails readContactDetails(Dataset& contacts);

// The panel's lines, joined by line breaks: "Born: " (when dated), "Adress: ", the phones in
// braces, "Other: ", then a line per dated event with its date in `eventDateFormat`. Line breaks
// inside the address and notes start lines of their own.
QString detailsPanelText(const ContactDetails& contact, const QString& eventDateFormat);
