#pragma once

#include <QUrl>
#include <functional>

// Hands an address to the desktop, which opens it in the user's web browser (or the viewer
// for a file: address). Tests replace the opener so that nothing is started.
namespace UrlOpener {

// True when the desktop took the address.
bool open(const QUrl& url);
// Replaces the opener (tests); an empty function restores QDesktopServices::openUrl.
void setOpener(std::function<bool(const QUrl&)> opener);

} // namespace UrlOpener
