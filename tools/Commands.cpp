#include "Commands.h"

#include "CreateCommands.h"

const QList<ToolCommand>& toolCommands()
{
    static const QList<ToolCommand> commands{
        {QStringLiteral("create"),
         QStringLiteral("create FILE            an empty contact database"), runCreate},
    };
    return commands;
}
