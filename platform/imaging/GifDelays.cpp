// Walking a GIF's blocks for the frame delays.

#include "platform/imaging/GifDelays.h"

namespace platform::imaging {

std::vector<int> gifFrameDelays(const QByteArray &bytes)
{
    std::vector<int> delays;
    const qsizetype n = bytes.size();
    auto byte = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    if (n < 13 || !(bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")))
        return delays;
    qsizetype at = 13;
    if (byte(10) & 0x80)
        at += 3 * (qsizetype(1) << ((byte(10) & 7) + 1));
    // Data sub-blocks: a length byte each, ended by a zero length.
    auto skipBlocks = [&](qsizetype p) {
        while (p < n && byte(p) != 0)
            p += 1 + byte(p);
        return p < n ? p + 1 : qsizetype(-1);
    };
    int pending = 0;
    while (at >= 0 && at < n) {
        const unsigned char kind = byte(at);
        if (kind == 0x3B)
            break;
        if (kind == 0x21) {
            if (at + 1 >= n)
                break;
            if (byte(at + 1) == 0xF9 && at + 6 < n && byte(at + 2) >= 4)
                pending = (byte(at + 4) | (byte(at + 5) << 8)) * 10;
            at = skipBlocks(at + 2);
        } else if (kind == 0x2C) {
            if (at + 10 > n)
                break;
            qsizetype p = at + 10;
            if (byte(at + 9) & 0x80)
                p += 3 * (qsizetype(1) << ((byte(at + 9) & 7) + 1));
            at = p + 1 >= n ? qsizetype(-1) : skipBlocks(p + 1); // the LZW code size, then the data
            if (at < 0)
                break;
            delays.push_back(pending);
            pending = 0;
        } else {
            break;
        }
    }
    return delays;
}

} // namespace platform::imaging
