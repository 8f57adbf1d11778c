#pragma once
// Pictures for the imaging tests: a 64 x 48 pattern of 8 x 8 blocks whose
// colour tells the block, and colours compared within a tolerance (a JPEG's
// error, a scaler's rounding).

#include <QImage>

#include <cstdlib>

namespace testsupport {

inline QImage blockPattern()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x / 8 * 32, y / 8 * 40, (x / 8 + y / 8) % 2 ? 255 : 0));
    return image;
}

inline bool nearColour(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace testsupport
