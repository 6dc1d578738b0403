#pragma once

#include <QStringList>
#include <QTextStream>

// tembrel-db export-vcard DB FILE [--version 3.0|4.0]
int runExportVCard(const QStringList& arguments, QTextStream& out, QTextStream& err);
// tembrel-db import-vcard DB FILE
int runImportVCard(const QStringList& arguments, QTextStream& out, QTextStream& err);
// tembrel-db export-ics DB FILE
int runExportIcs(const QStringList& arguments, QTextStream& out, QTextStream& err);
