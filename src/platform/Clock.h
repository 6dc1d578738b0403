#pragma once

#include <QDateTime>
#include <ctime>
#include <functional>

// The current local date and time; tests set it. For the user-interface thread.
namespace Clock {

QDateTime now();
// The current local date. Cheap enough to ask for every single comparison: from the system
// clock it is worked out at most once per second, and within that second it costs one read of
// the seconds counter.
inline QDate today();
// Replaces the source of the time (tests); an empty function restores the system clock.
void setSource(std::function<QDateTime()> source);
// Convenience for tests: a clock standing still at the given moment.
void setFixed(const QDateTime& moment);

namespace detail {
// The local date of the whole second last asked for; -1 while a test's source is set.
extern std::time_t cachedSecond;
extern QDate cachedDate;
QDate todayFromSource(std::time_t second);
} // namespace detail

inline QDate today()
{
    const std::time_t second = std::time(nullptr);
    return second == detail::cachedSecond ? detail::cachedDate : detail::todayFromSource(second);
}

} // namespace Clock
