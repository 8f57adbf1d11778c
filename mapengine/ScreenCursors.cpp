#include "mapengine/ScreenCursors.h"

#include "platform/gdi/Cursors.h"

#include <map>

namespace mapengine {

namespace {

std::map<int, QCursor> &loaded()
{
    static std::map<int, QCursor> cursors;
    return cursors;
}

} // namespace

QCursor screenCursor(int number)
{
    const auto it = loaded().find(number);
    if (it != loaded().end())
        return it->second;
    return QCursor(platform::gdi::standardCursorShape(number));
}

void setScreenCursor(int number, const QCursor &cursor)
{
    loaded()[number] = cursor;
}

} // namespace mapengine
