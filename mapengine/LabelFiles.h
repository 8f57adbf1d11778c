#pragma once
// The labels the user picks and drags on the map; their records are those of
// the label files (mapdata/LabelRecords.h).

#include "mapdata/LabelRecords.h"

#include <cstdint>
#include <vector>

// One label of the list of labels to move. Two entries are the same label
// when their object numbers and label definition indices are equal.
struct TLabelEntry {
    std::int32_t RecordNumber = 0;   // in the ".Lbl", from 0
    std::int32_t ObjectNumber = 0;
    std::int32_t LabelIndex = 0;
    double PixelX = 0, PixelY = 0;   // the anchor in pixels
};

// The labels being dragged: the label found at the last press and the list.
struct TSelLabels {
    TLabelEntry Current;
    std::vector<TLabelEntry> Entries;
};
