#pragma once

#include <QStringList>
#include <QTextStream>

// tembrel-db demo FILE [--contacts N] [--force]: the demo book, or a generated one of N contacts.
int runDemo(const QStringList& arguments, QTextStream& out, QTextStream& err);
