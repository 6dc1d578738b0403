#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// One subcommand of tembrel-db: its name, a usage line and its body. A body returns the exit
// status; it reports errors on `err` and never overwrites an existing file unless asked.
struct ToolCommand {
    QString name;
    QString usage;
    int (*run)(const QStringList& arguments, QTextStream& out, QTextStream& err);
};

// Every subcommand, in the order the usage text lists them.
const QList<ToolCommand>& toolCommands();
