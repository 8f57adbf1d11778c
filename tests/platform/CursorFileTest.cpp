// Cursor files: the hotspot from the directory entry and the picture.

#include "platform/gdi/CursorFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using testsupport::putLE16;
using testsupport::putLE32;

namespace {
// A cursor directory with one 32 x 32 image of 32 bits per pixel.
QByteArray cursorBytes(int type, int count, int hx, int hy)
{
    const int pixels = 32 * 32 * 4, mask = 32 * 4;
    QByteArray b(6 + 16 + 40 + pixels + mask, '\0');
    putLE16(b, 2, static_cast<std::int16_t>(type));
    putLE16(b, 4, static_cast<std::int16_t>(count));
    b[6] = 32;
    b[7] = 32;
    putLE16(b, 10, static_cast<std::int16_t>(hx));
    putLE16(b, 12, static_cast<std::int16_t>(hy));
    putLE32(b, 14, 40 + pixels + mask);
    putLE32(b, 18, 22);
    putLE32(b, 22, 40);
    putLE32(b, 26, 32);
    putLE32(b, 30, 64);
    putLE16(b, 34, 1);
    putLE16(b, 36, 32);
    for (int i = 0; i < 32 * 32; ++i)
        b[62 + 4 * i + 3] = static_cast<char>(0xFF);
    return b;
}
} // namespace

TEST(CursorFile, HotspotOfTheDirectoryEntry)
{
    struct Case {
        QByteArray bytes;
        std::optional<QPoint> hotspot;
    };
    const Case cases[] = {
        {cursorBytes(2, 1, 10, 12), QPoint(10, 12)},
        {cursorBytes(2, 1, 0, 31), QPoint(0, 31)},
        {cursorBytes(1, 1, 10, 12), std::nullopt},    // an icon, not a cursor
        {cursorBytes(2, 0, 10, 12), std::nullopt},    // no image
        {cursorBytes(2, 1, 3, 4).left(21), std::nullopt},
        {QByteArray(), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::cursorHotspot(c.bytes), c.hotspot);
}

TEST(CursorFile, LoadsTheCursorWithItsHotspot)
{
    testsupport::TempFolder dir;
    const QString good = dir.write(QStringLiteral("Pick.CUR"), cursorBytes(2, 1, 5, 7));
    const std::optional<QCursor> cursor = platform::loadCursorFile(dir.file(QStringLiteral("pick.cur")));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), QPoint(5, 7));
    EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32));
    EXPECT_FALSE(platform::loadCursorFile(dir.file(QStringLiteral("missing.cur"))).has_value());
    dir.write(QStringLiteral("bad.cur"), cursorBytes(2, 1, 5, 7).left(100));
    EXPECT_FALSE(platform::loadCursorFile(dir.file(QStringLiteral("bad.cur"))).has_value());
}
