#include "Clock.h"

#include <ctime>

namespace Clock {

namespace {

// Set by tests; empty for the system clock.
std::function<QDateTime()> g_source;

// The local date of the last whole second asked for.
std::time_t g_cachedSecond = -1;
QDate g_cachedDate;

} // namespace

QDateTime now()
{
    return g_source ? g_source() : QDateTime::currentDateTime();
}

QDate today()
{
    if (g_source)
        return g_source().date();
    // The local date can only change with the second: time() is a cheap read of it.
    const std::time_t second = std::time(nullptr);
    if (second != g_cachedSecond) {
        g_cachedDate = QDateTime::fromSecsSinceEpoch(second).date();
        g_cachedSecond = second;
    }
    return g_cachedDate;
}

void setSource(std::function<QDateTime()> newSource)
{
    g_source = std::move(newSource);
}

void setFixed(const QDateTime& moment)
{
    setSource([moment] { return moment; });
}

} // namespace Clock
