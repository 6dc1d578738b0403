#pragma once

#include <QString>

class Dataset;

// The full name: first, second and last name joined by single blanks, an empty part counting
// as one blank, cut to 120 characters.
QString fullName(const QString& first, const QString& second, const QString& last);

// The calculated-fields handler of the contact table: sets `fullnames` for the row at hand.
void tbldanniCalcFields(Dataset& dataset);
