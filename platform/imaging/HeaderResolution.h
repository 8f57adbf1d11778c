#pragma once
// The resolution a picture file's header states, read without decoding the
// picture.

#include <QSize>

class QIODevice;

namespace platform::imaging {

// Dots per inch that the file's header states (PNG, JPEG, BMP, TIFF); 0, 0
// when it states none or is none of those.
QSize headerResolution(QIODevice &file);

} // namespace platform::imaging
