#pragma once
// GIF files of several pictures (an animation's frames), which Qt's writer
// cannot make: each picture reduced to a colour table of its own, written
// through giflib, endlessly repeated when asked. The file is made in memory
// and put in place only when complete.

#include <QImage>
#include <QString>

#include <vector>

namespace platform::imaging {

// A result code (ImagingErrors.h).
int writeGifFrames(const QString &fileName, const std::vector<QImage> &frames, bool loop);

} // namespace platform::imaging
