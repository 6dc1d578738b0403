#include "Clock.h"

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

void setSource(std::function<QDateTime()> newSource)
{
    source() = std::move(newSource);
}

void setFixed(const QDateTime& moment)
{
    setSource([moment] { return moment; });
}

} // namespace Clock
