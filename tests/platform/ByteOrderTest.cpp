#include "platform/ByteOrder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

} // namespace

// The same bytes read both ways round, with the sign of the high bit, at an
// offset that is no multiple of the width.
TEST(ByteOrder, ReadsBothOrdersAtAnyOffset)
{
    const QByteArray b = bytes({0x00, 0xFE, 0xFF, 0xFF, 0x80, 0x01});
    EXPECT_EQ(platform::le::u16(b, 1), 0xFFFEu);
    EXPECT_EQ(platform::le::i16(b, 1), -2);
    EXPECT_EQ(platform::le::u32(b, 1), 0x80FFFFFEu);
    EXPECT_EQ(platform::le::i32(b, 1), static_cast<std::int32_t>(0x80FFFFFEu));
    EXPECT_EQ(platform::le::i32(b.constData() + 2), 0x0180FFFF);
    EXPECT_EQ(platform::be::u16(b.constData() + 1), 0xFEFFu);
    EXPECT_EQ(platform::be::u32(b.constData() + 1), 0xFEFFFF80u);
    EXPECT_EQ(platform::be::i32(b.constData() + 1), static_cast<std::int32_t>(0xFEFFFF80u));
    EXPECT_EQ(platform::be::i32(b.constData() + 2), -32767);
}

// 1.5 and the float 0.75 as the files hold them, read and written.
TEST(ByteOrder, RealsAndWritesInPlace)
{
    const QByteArray one5 = bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F});
    EXPECT_EQ(platform::le::f64(one5, 0), 1.5);
    EXPECT_EQ(platform::le::f32(bytes({0, 0, 0x40, 0x3F}).constData()), 0.75f);

    QByteArray out(16, 'x');
    platform::le::putF64(out, 1, 1.5);
    platform::le::put16(out, 9, 0xABCD);
    platform::le::put32(out, 11, 0x01020304);
    platform::be::put32(out.data() + 12, 0x0A0B0C0D);
    EXPECT_EQ(out.toHex(' '), bytes({'x', 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0xCD, 0xAB, 0x04, 0x0A, 0x0B, 0x0C, 0x0D})
                                   .toHex(' '));
    platform::le::putF32(out.data(), -0.0f);
    EXPECT_EQ(out.left(4).toHex(), QByteArray("00000080"));
    platform::le::putF64(out, 0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(platform::le::f64(out, 0)));
}
