// The frame delays of a GIF as stored, 0 included, from the file's blocks.

#include "platform/imaging/GifDelays.h"

#include <gtest/gtest.h>

using platform::imaging::gifFrameDelays;

namespace {

// A 1 x 1 GIF, a colour table of 2, one graphic control extension (delay in
// hundredths at +4) and image per frame; `extra` goes before the first.
QByteArray gif(const std::vector<int> &delays, const QByteArray &extra = {})
{
    QByteArray b("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 19);
    b += extra;
    for (int d : delays) {
        QByteArray gce("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
        gce[4] = char(d & 0xFF);
        gce[5] = char(d >> 8);
        b += gce;
        b += QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    }
    return b + ';';
}

} // namespace

TEST(GifDelays, StoredDelaysInFrameOrder)
{
    const QByteArray comment("\x21\xFE\x03" "abc\x00", 7);
    const QByteArray loop("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    const struct {
        const char *what;
        QByteArray bytes;
        std::vector<int> expected;
    } cases[] = {
        {"zero and short delays", gif({0, 1, 5, 300}), {0, 10, 50, 3000}},
        {"extensions between", gif({2, 0}, comment + loop), {20, 0}},
        {"cut inside the second frame", gif({3, 4}).left(19 + 23 + 10), {30}},
        {"cut inside the screen's colour table", gif({3}).left(15), {}},
        {"no GIF", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\0\0", 13), {}},
        {"a block length past the end", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00\x21\xFE\xFF", 16), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(gifFrameDelays(c.bytes), c.expected) << c.what;
}
