#include "Clock.h"

namespace Clock {

namespace {

// Set by tests; empty for the system clock.
std::function<QDateTime()> g_source;

} // namespace

namespace detail {

std::time_t cachedSecond = -1;
QDate cachedDate;

// The date from the test's source (never cached), or from the system clock for the second
// just read.
QDate todayFromSource(std::time_t second)
{
    if (g_source)
        return g_source().date();
    cachedDate = QDateTime::fromSecsSinceEpoch(second).date();
    cachedSecond = second;
    return cachedDate;
}

} // namespace detail

QDateTime now()
{
    return g_source ? g_source() : QDateTime::currentDateTime();
}

void setSource(std::function<QDateTime()> newSource)
{
    g_source = std::move(newSource);
    detail::cachedSecond = -1;
}

void setFixed(const QDateTime& moment)
{
    setSource([moment] { return moment; });
}

} // namespace Clock
