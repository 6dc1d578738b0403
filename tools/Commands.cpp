#include "Commands.h"

#include "CreateCommands.h"
#include "DemoCommands.h"

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
    };
    return commands;
}
