#pragma once
// Windows of TIFF pages decoded through libtiff: only the strips (or tiles)
// that hold the rows taken are read, and of a window reduced to a smaller
// size only the rows and columns the reduction keeps (nearest neighbour).
// Qt's TIFF reader decodes a page whole, which a large map sheet cannot
// afford for every view.

#include <QImage>
#include <QRect>
#include <QString>

namespace platform::imaging {

// `window` (pixels of page `page`, inside the page) reduced or enlarged to
// `size`; a result code (ImagingErrors.h) and the picture in 32-bit colours.
// A non-empty `needed` is the part of the picture (in its own pixels) the
// caller uses: only the strips and tiles under it are read, and the pixels
// outside it are black; those inside are what the whole picture holds.
int readTiffWindow(const QString &fileName, int page, const QRect &window, const QSize &size, QImage &out,
                   const QRect &needed = {});

// libtiff's messages would go to stderr; its failures come back as codes.
void quietLibtiff();

} // namespace platform::imaging
