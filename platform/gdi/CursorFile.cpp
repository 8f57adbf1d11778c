#include "platform/gdi/CursorFile.h"

#include "platform/ByteOrder.h"
#include "platform/Paths.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace platform {

std::optional<QPoint> cursorHotspot(const QByteArray &bytes)
{
    // Directory: reserved (0), type (2 for cursors), image count; then
    // 16-byte entries: width, height, colours, reserved, hotspot x, hotspot y,
    // size, offset.
    if (bytes.size() < 6 + 16)
        return std::nullopt;
    if (le::u16(bytes, 0) != 0 || le::u16(bytes, 2) != 2 || le::u16(bytes, 4) == 0)
        return std::nullopt;
    return QPoint(le::u16(bytes, 10), le::u16(bytes, 12));
}

std::optional<QCursor> loadCursorFile(const QString &fileName)
{
    const QString path = findExistingPath(fileName);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    // Cursor files are small; anything larger is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 20)
        return std::nullopt;
    return cursorFromBytes(file.readAll());
}

std::optional<QCursor> cursorFromBytes(const QByteArray &bytes)
{
    const std::optional<QPoint> hotspot = cursorHotspot(bytes);
    if (!hotspot)
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const QPoint hot(qBound(0, hotspot->x(), image.width() - 1), qBound(0, hotspot->y(), image.height() - 1));
    return QCursor(QPixmap::fromImage(image), hot.x(), hot.y());
}

} // namespace platform
