#pragma once

#include <QString>

// The program's life: single instance, main window, date formats, event loop.
// Returns the exit status (0 after a normal end, 1 after a fatal start-up error).
int runTembrel(int argc, char** argv);

// The text of the fatal start-up box.
QString fatalErrorText(const QString& kind, const QString& programPath, const void* address,
                       const QString& message);
