#pragma once
// The decisions of the automatic label placement: which side of a label its
// overlapping neighbours lie on, which way it moves, and by how much. The
// ".Lbl" records are decoded by mapdata/LabelRecords.h; the placement keeps
// the few fields it needs.

#include <QByteArray>
#include <QPoint>

#include <array>
#include <cstdint>
#include <vector>

namespace app::autolabel {

// The fields of a ".Lbl" record the placement reads: the object number (the
// ".Shl" key), the layer and object indices, and the label's rectangle.
struct LabelBox {
    std::int32_t ObjectNumber = 0;
    std::int32_t Layer = 0;
    std::int32_t Object = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The records of a ".Lbl" file's bytes, in file order; a short tail is no
// record.
std::vector<LabelBox> decodeLabelRecords(const QByteArray &bytes);

// The quarter (1 to 4) a direction in degrees falls in once turned by 45
// degrees: quarter 1 takes the turned directions above 0 up to 90, 2 above
// 90 up to 180, and so on; the turned direction 0 (the direction 315) is
// the same as 360 and belongs to quarter 4, as does a direction that is no
// finite number.
int directionQuarter(double degrees);

// The quarters (index 0 for quarter 1) in which the other labels whose
// rectangles' diagonals meet the label's rectangle lie, seen from the
// label's second corner. Labels of the same object number are passed over,
// and so are those whose direction is no number (corners read as NaN).
std::array<bool, 4> collisionQuarters(const LabelBox &label, const std::vector<LabelBox> &others);

// The direction of the move (1 to 4) away from the flagged quarters; 0 when
// none is flagged. previous is the direction of the label moved before.
int moveDirection(const std::array<bool, 4> &quarters, int previous);

// The move in the record's rectangle units: half the width or height of the
// rectangle in the direction (rounded).
QPoint moveOffset(const LabelBox &label, int direction);

} // namespace app::autolabel
