#pragma once
// The delays of the frames of a GIF as the file states them. Qt's reader
// reports a delay below 20 ms as 100 ms (as browsers play them); an
// animation played frame by frame needs the stored value, 0 included.

#include <QByteArray>

#include <vector>

namespace platform::imaging {

// Milliseconds per frame, in frame order; empty for bytes that are no GIF.
// A file cut short gives the delays of its whole frames.
std::vector<int> gifFrameDelays(const QByteArray &bytes);

} // namespace platform::imaging
