#include "CreateCommands.h"

#include "data/Connection.h"
#include "data/Errors.h"

int runCreate(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 1) {
        err << "usage: tembrel-db create FILE\n";
        return 2;
    }
    try {
        Connection::createDatabase(arguments.first());
    } catch (const TembrelError& error) {
        err << "tembrel-db: " << error.message() << "\n";
        return 1;
    }
    out << "Created " << arguments.first() << "\n";
    return 0;
}
