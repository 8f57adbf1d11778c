#include "platform/ui/UrlOpener.h"

#include <QDesktopServices>

namespace platform {

namespace {
UrlOpener urlOpener;
}

void setUrlOpener(UrlOpener opener)
{
    urlOpener = std::move(opener);
}

bool openUrl(const QUrl &url)
{
    if (urlOpener)
        return urlOpener(url);
    return QDesktopServices::openUrl(url);
}

} // namespace platform
