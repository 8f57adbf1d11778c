#pragma once
// The text block in which objects travel through the clipboard: its writer
// and its reader. The block starts with the line "Tolvane Object"; per object
// "Object=", "Type=", "Parts=", then per part "Part=", "Points=", one "X;Y"
// line per point and "EndPart"; optionally "Fields=", name=value lines and
// "EndFields"; and "EndObject". Lines end with CR LF; the block does not end
// with a line break.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace objectblock {

// The first line of every block, compared exactly.
inline constexpr char16_t Signature[] = u"Tolvane Object";

// A number as the block writes it: the shortest decimal text of the double
// (at most 15 significant digits) with the current decimal separator, never
// in the exponent form, which the tolerant reader would misread.
QString numberText(double value);

// Builds a block.
class Writer {
public:
    Writer();
    // One object: its 1-based position in the selection, its type (for
    // text/symbol objects their kind) and its parts.
    void beginObject(int number, std::int32_t type, const std::vector<TShpParts> &parts);
    // The attribute row: field names and values as text ("" for null). Line
    // breaks inside a value become spaces, so that a value stays on its line.
    void fields(const std::vector<TTxtValues> &values);
    void endObject();
    // The block without a final line break.
    QString text() const { return lines_.join(QStringLiteral("\r\n")); }

private:
    QStringList lines_;
};

// A "Part=" line of an object and the points read after it.
struct Section {
    std::int32_t Number = 0;
    std::vector<TShpPoint> Points;
};

// One object of a block as read.
struct Object {
    bool HasType = false;
    std::int32_t Type = 0;
    std::int32_t PartCount = 0;        // the number announced by "Parts="
    std::vector<TShpPoint> Leading;    // points read before any "Part=" line
    std::vector<Section> Sections;
    bool HasFields = false;
    std::vector<TTxtValues> Fields;    // names and values as written (case kept)

    // All points in the order read.
    std::vector<TShpPoint> allPoints() const;
};

// Reads a block. False (and no objects) when the text does not begin with the
// signature. Keywords are matched without regard to case, at the start of a
// line ("object=", "type=", "parts=", "part=", "points=", "fields=") or
// anywhere in it ("endpart", "endfields", "endobject"); lines are trimmed.
// A point line is split at its first ";"; a line without ";" or with a side
// that holds no number is skipped. Field lines are split at their first "=";
// pairs beyond the announced number are dropped. Sections that lack their end
// line end at the end of the text.
bool read(const QString &text, std::vector<Object> &objects);

// The parts of an object as one pasted object makes them: a part begins at
// the first point and at every "Part=" line whose number lies within the
// announced count; parts that would hold no point are left out. Empty when
// the object announces no part or has no point.
std::vector<TShpParts> pastedParts(const Object &object);

// The parts of all objects merged into one: a part begins at the first point
// and at every "Part=" line; parts without points are left out.
std::vector<TShpParts> mergedParts(const std::vector<Object> &objects);

// The parts of an object split apart: the points after each "Part=" line (and
// any read before the first) as parts of their own; empty ones left out.
std::vector<TShpParts> splitParts(const Object &object);

} // namespace objectblock
