#include "UrlOpener.h"

#include <QDesktopServices>

namespace UrlOpener {

static std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> value;
    return value;
}

bool open(const QUrl& url)
{
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

void setOpener(std::function<bool(const QUrl&)> newOpener)
{
    opener() = std::move(newOpener);
}

} // namespace UrlOpener
