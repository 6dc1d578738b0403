#pragma once

#include <QString>

// The application title: the program file's name without its directory, cut before its first
// full stop, first character unchanged and the rest lower-cased ("tembrel" for `tembrel`).
QString applicationTitleFor(const QString& programPath);
// The title of this process (from QCoreApplication's program file).
QString applicationTitle();
// The single-instance lock name: the file name with a to z upper-cased ("TEMBREL").
QString instanceLockNameFor(const QString& programPath);
