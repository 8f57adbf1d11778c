#pragma once
// Cursor files (".cur"): the platform's icon directory with a hotspot in place
// of the planes and bit count of each entry. The picture is decoded by Qt's
// icon reader; the hotspot, which that reader drops, is read here from the
// first directory entry (file bytes 10..13, two little-endian 16-bit values).

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <optional>

namespace platform {

// The hotspot of the first image of a cursor file's bytes; nullopt when the
// bytes are no cursor directory (reserved 0, type 2, at least one image).
std::optional<QPoint> cursorHotspot(const QByteArray &bytes);

// The cursor of a file; nullopt when the file is missing or unreadable.
std::optional<QCursor> loadCursorFile(const QString &fileName);
// The cursor of a cursor file's bytes; nullopt when they hold none.
std::optional<QCursor> cursorFromBytes(const QByteArray &bytes);

} // namespace platform
