#include "Commands.h"

#include <QCoreApplication>

static void printUsage(QTextStream& stream)
{
    stream << "usage: tembrel-db COMMAND ARGUMENTS\n\ncommands:\n";
    for (const ToolCommand& command : toolCommands())
        stream << "  " << command.usage << "\n";
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h")) {
        printUsage(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? 2 : 0;
    }
    const QString name = arguments.takeFirst();
    for (const ToolCommand& command : toolCommands())
        if (command.name == name)
            return command.run(arguments, out, err);
    err << "tembrel-db: unknown command '" << name << "'\n";
    printUsage(err);
    return 2;
}
