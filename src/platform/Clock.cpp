#include "Clock.h"

#include <ctime>

namespace Clock {

static std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> value;
    return value;
}

QDateTime now()
{
    return source() ? source()() : QDateTime::currentDateTime();
}

QDate today()
{
    if (source())
        return source()().date();
    // The local date can only change with the second: time() is a cheap read of it.
    thread_local std::time_t cachedSecond = -1;
    thread_local QDate cachedDate;
    const std::time_t second = std::time(nullptr);
    if (second != cachedSecond) {
        cachedDate = QDateTime::fromSecsSinceEpoch(second).date();
        cachedSecond = second;
    }
    return cachedDate;
}

void setSource(std::function<QDateTime()> newSource)
{
    source() = std::move(newSource);
}

void setFixed(const QDateTime& moment)
{
    setSource([moment] { return moment; });
}

} // namespace Clock
