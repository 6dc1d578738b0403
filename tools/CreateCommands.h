#pragma once

#include <QStringList>
#include <QTextStream>

int runCreate(const QStringList& arguments, QTextStream& out, QTextStream& err);
