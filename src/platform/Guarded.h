#pragma once

#include <QString>
#include <exception>
#include <functional>

// The text of the error box: the message with a full stop appended when its last character
// sorts after ".".
QString errorBoxText(const QString& message);
// The message of an exception: ours carry their text; others their what().
QString errorMessage(const std::exception& error);
// Shows an error in the error box of the message service.
void showErrorBox(const QString& message);

// Runs a handler body; an error that escapes it goes to the error box and goes no further.
// Every handler Qt calls runs through here, so no exception ever crosses a Qt frame.
void guarded(const std::function<void()>& body);
