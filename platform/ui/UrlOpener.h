#pragma once
// Opening an address or a file with the program the system associates with
// it (the shell's "open"). Tests install their own opener.

#include <QUrl>

#include <functional>

namespace platform {

// Opens an address with the system's handler; false when none could start.
using UrlOpener = std::function<bool(const QUrl &)>;
// Installs an opener (an empty one: the system's again).
void setUrlOpener(UrlOpener opener);
bool openUrl(const QUrl &url);

} // namespace platform
