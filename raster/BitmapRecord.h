#pragma once
// The control's own drag-and-drop data: one bitmap record with its colour
// table and rows, under a MIME type of this system's own. A dropped record
// is foreign input: every size it states is checked against the bytes
// present before anything is read.
//
// Layout (32-bit little-endian): +0 "TVBITMAP", +8 header size (44),
// +12 width, +16 height, +20 bits per pixel (1, 8, 24 or 32), +24 bytes
// per row, +28 flags, +32 view perspective, +36 x and +40 y resolution;
// then the colour table (2 or 256 entries of 4 bytes, B G R 0, for 1 and
// 8 bits) and the rows, top first.

#include "platform/imaging/Bitmap.h"

#include <QByteArray>
#include <QString>

namespace raster {

inline constexpr char BitmapRecordMime[] = "application/x-tolvane-bitmap-record";

QByteArray encodeBitmapRecord(const platform::imaging::Bitmap &bitmap);
// The record's bitmap, or false when the bytes are no whole record.
bool decodeBitmapRecord(const QByteArray &bytes, platform::imaging::Bitmap &out);

// The drop effects (copy 1, move 2, link 4) a target answers for the
// effects offered, when it wants a copy (1) or nothing (0).
int dropEffectAnswer(int wanted, int offered);

} // namespace raster
