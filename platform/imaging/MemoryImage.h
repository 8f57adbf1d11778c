#pragma once
// Pictures in memory: a bitmap saved into bytes and loaded from them, as
// a control bound to a database blob keeps its image.

#include "platform/imaging/Bitmap.h"
#include "platform/imaging/ImagingLibrary.h"

#include <QByteArray>

namespace platform::imaging {

// The format a bound control saves into its blob unless told otherwise:
// kept as PNG, which loses nothing.
inline constexpr int FILE_MEMORY = 5;

// Saves `bitmap` as it is shown into `out` in the format of code `format`
// (`bits` 0: the picture's own); `out` is untouched on failure.
int saveBitmapMemory(const Bitmap &bitmap, int format, int bits, int qualityFactor, QByteArray &out);
// Loads the first picture of `data`, in `bits` (0: its own).
int loadBitmapMemory(const QByteArray &data, int bits, Bitmap &out);
int fileInfoMemory(const QByteArray &data, FileInfo &info);

} // namespace platform::imaging
