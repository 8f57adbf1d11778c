#pragma once
// TIFF files of several pages, which Qt's writer cannot make: pages written
// through libtiff (LZW), each in the depth it has (1-bit and 8-bit with
// their colour tables, grey, RGB, RGB with alpha), with its resolution and,
// for the layers of a layered save, its place on the first page. The file
// is written beside its name and put in place only when complete.

#include <QImage>
#include <QPoint>
#include <QString>

#include <vector>

namespace platform::imaging {

struct TiffPage {
    QImage image;
    // Where a layer lies on the first page (pixels); written only when set.
    QPoint position;
    bool positioned = false;
    // Dots per inch; 0 when the picture states none.
    int xDpi = 0, yDpi = 0;
};

// A result code (ImagingErrors.h).
int writeTiffPages(const QString &fileName, const std::vector<TiffPage> &pages);

// The pages of a TIFF file as Qt's reader gives them; ERROR_FILE_FORMAT
// for a file that is not a TIFF.
int readTiffPages(const QString &fileName, std::vector<QImage> &pages);

} // namespace platform::imaging
