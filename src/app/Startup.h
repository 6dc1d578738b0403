#pragma once

#include <QString>
#include <functional>

// The program's life: single instance, main window, date formats, event loop.
// Returns the exit status (0 after a normal end, 1 after a fatal start-up error).
int runTembrel(int argc, char** argv);

// Names the application after its program file (the title of its boxes) and gives it the
// file version.
void setUpApplication(const QString& programPath);

// Runs the start-up steps and returns their exit status. An error escaping them is fatal: the
// "Application Error" box, then exit status 1.
int runGuardedStartup(const QString& programPath, const std::function<int()>& steps);

// The text of the fatal start-up box.
QString fatalErrorText(const QString& kind, const QString& programPath, const void* address,
                       const QString& message);
