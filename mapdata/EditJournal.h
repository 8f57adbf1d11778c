#pragma once
// Byte layout of the edit journal's index "updates.mhx": a 100-byte header
// (file code 9994 little-endian, then zeros), then one 28-byte entry per
// change, all integers little-endian. The records of "updates.mhp" are laid
// out as in a layer file (mapdata/ShpRecords.h).

#include "mapdata/ShpRecords.h"

#include <QByteArray>

#include <cstdint>

namespace jrn {

constexpr int EntrySize = 28;

struct Entry {
    std::int32_t Layer = 0;       //  0
    std::int32_t Index = 0;       //  4 object index within the layer
    std::int32_t NewOffset = 0;   //  8 words, in "updates.mhp"
    std::int32_t NewLength = 0;   // 12 words
    std::int32_t PrevOffset = 0;  // 16 the object's JrnOffset before (0: the layer file)
    std::int32_t PrevLength = 0;  // 20
    Byte Shown = 0;               // 24 state of the object with the new version
    Byte Modified = 0;            // 25
    Byte Deleted = 0;             // 26
    Byte Appended = 0;            // 27

    bool operator==(const Entry &) const = default;
};

// The header of both journal files.
QByteArray fileHeader();
Entry decodeEntry(const char *p);
QByteArray encodeEntry(const Entry &e);
// The same 28 bytes written at p.
void encodeEntry(const Entry &e, char *p);

} // namespace jrn
