#include "app/ScreenCursors.h"

#include "platform/CursorFile.h"

#include <map>

namespace app {

namespace {
std::map<int, QCursor> &table()
{
    static std::map<int, QCursor> cursors;
    return cursors;
}
} // namespace

bool loadScreenCursor(int n, const QString &fileName)
{
    std::optional<QCursor> cursor = platform::loadCursorFile(fileName);
    if (!cursor)
        return false;
    table()[n] = *cursor;
    return true;
}

bool hasScreenCursor(int n)
{
    return table().count(n) != 0;
}

QCursor screenCursor(int n)
{
    const auto it = table().find(n);
    return it == table().end() ? QCursor(Qt::ArrowCursor) : it->second;
}

void clearScreenCursors()
{
    table().clear();
}

} // namespace app
