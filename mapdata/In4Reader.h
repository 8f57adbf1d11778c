#pragma once
// The reader of In4 exchange files: per land parcel, blocks of attribute
// fields ("BL," the parcel, "SR," or "ST," a sub-record, "CL," skipped) and
// the "N=" lines of its boundary points. A parcel is the point list that
// follows an "SR," or "ST," header, with the fields of its "BL," and "SR,"
// blocks.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace in4 {

struct Parcel {
    // "FileName" and the file name, the pairs of the "BL," block, an empty
    // pair, and for each "SR," block an empty pair and its pairs.
    std::vector<TTxtValues> Values;
    // X is the easting (the file's "Y"), Y the northing (the file's "X"), Z the
    // height; Name the point's "NP" text.
    std::vector<TNewPoint> Points;
};

// The fields of a line, split at every comma that stands outside double
// quotes (a quoted value keeps its commas).
QStringList splitFields(const QString &line);

// A value as the reader keeps it: a value with a double quote has every
// double quote turned into a space, any other value every "." into a ","
// (numbers with a point read under either separator); then it is trimmed.
QString cleanValue(const QString &value);

// The parcels of a file's text (lines separated by CR LF or LF). Raises
// platform::ConvertError when a coordinate holds no number (a lone separator),
// before any parcel is handed out.
std::vector<Parcel> readParcels(const QString &text, const QString &fileName);

} // namespace in4
