#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

struct ImportSummary {
    qsizetype contacts = 0;
    qsizetype loans = 0;
    QStringList unknownColumns; // "table.column" of the old file, not imported
};

// Turns a contact book of the older Windows program (a Jet 4 file) into a new contact database
// at `newPath`, which must not exist. The new file appears only when complete; on any error
// nothing is left behind and a DatabaseError names the file and the problem.
ImportSummary importJetFile(const QString& oldPath, const QString& newPath);

int runImportJet(const QStringList& arguments, QTextStream& out, QTextStream& err);
