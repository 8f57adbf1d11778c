#pragma once
// Windows of JPEG pictures decoded through libjpeg: the picture is reduced
// in the decoder (its DCT scaling) to the nearest size at least as large as
// the one wanted, rows above the window are skipped without colour work,
// columns beside it are cropped, and decoding stops at the window's last
// row. A window of a large sheet thus costs the rows down to its foot, not
// the whole picture.

#include <QImage>
#include <QRect>
#include <QString>

namespace platform::imaging {

// The part `window` of the picture brought to `scaled` (nearest neighbour
// from the decoder's reduction; an invalid `scaled` is the picture's own
// size). A result code (ImagingErrors.h): ERROR_IMAGE_TYPE for a picture
// of a colour space this reader leaves to Qt's (CMYK), which the caller
// then reads there. Grey pictures come as Grayscale8, others as RGB32.
int readJpegWindow(const QString &fileName, QSize scaled, const QRect &window, QImage &out);

} // namespace platform::imaging
