#pragma once

#include <QDateTime>
#include <functional>

// The current local date and time; tests set it. For the user-interface thread.
namespace Clock {

QDateTime now();
// The current local date. Cheap enough to ask for every single comparison: from the system
// clock it is worked out at most once per second.
QDate today();
// Replaces the source of the time (tests); an empty function restores the system clock.
void setSource(std::function<QDateTime()> source);
// Convenience for tests: a clock standing still at the given moment.
void setFixed(const QDateTime& moment);

} // namespace Clock
