#include "Commands.h"

#include "CreateCommands.h"
#include "DemoCommands.h"
#include "ExchangeCommands.h"
#include "ImportJet.h"

const QList<ToolCommand>& toolCommands()
{
    static const QList<ToolCommand> commands{
        {QStringLiteral("create"),
         QStringLiteral("create FILE            an empty contact database"), runCreate},
        {QStringLiteral("demo"),
         QStringLiteral("demo FILE [--contacts N] [--force]\n"
                        "                         a demo book with reminders due from today, or a\n"
                        "                         generated one of N contacts and about 3N loans"),
         runDemo},
        {QStringLiteral("export-vcard"),
         QStringLiteral("export-vcard DB FILE [--version 3.0|4.0]\n"
                        "                         every contact as a vCard (4.0 unless told)"),
         runExportVCard},
        {QStringLiteral("import-vcard"),
         QStringLiteral("import-vcard DB FILE   add the contacts of a vCard file (2.1, 3.0, 4.0)"),
         runImportVCard},
        {QStringLiteral("export-ics"),
         QStringLiteral("export-ics DB FILE     birthdays and events as an iCalendar file"),
         runExportIcs},
        {QStringLiteral("import-jet"),
         QStringLiteral("import-jet OLD.mdb NEW.mdb\n"
                        "                         a new contact book from one of the older Windows\n"
                        "                         program (Jet 4 .mdb)"),
         runImportJet},
    };
    return commands;
}
