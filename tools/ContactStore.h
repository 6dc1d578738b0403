#pragma once

#include "ContactRecord.h"

#include <QStringList>
#include <vector>

class Connection;

// Opens the contact database at `path` (relative to the working directory or absolute);
// the file must exist.
void openDatabase(Connection& connection, const QString& path);

// Every contact of `danni`, in the table's order.
std::vector<ContactRecord> readContacts(Connection& connection);

struct AddedContacts {
    int added = 0;
    QStringList duplicates; // display names of the contacts not added again
};

// Adds the contacts in one transaction. A contact whose full name and birth day equal those of
// a contact already in the table, or of one added before it, is not added again. On any error
// the transaction is rolled back and the table is left as it was.
AddedContacts addContacts(Connection& connection, const std::vector<ContactRecord>& contacts);
