#pragma once
// The classes of a thematic legend, without a window: the colour ramps, the
// symbol sizes, the classes built from the grouped values of one attribute
// field, and the legend entries the layer keeps. The legend editor (TProLegend)
// fills its grid from these and saves through them.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace legend {

// Legend kinds, the index of the kind list and the layer's TypeLegend.
enum Kind { Single = 0, Palette = 1, Size = 2, Unique = 3, Chart = 4 };

// The ramps' names in list order: 0 "красная" ... 18 "вода".
const QStringList &rampNames();
// The ramp building takes when none is chosen ("урожай").
inline constexpr int DefaultRamp = 10;

// The colour number (red + 256 green + 65536 blue) of class a of n in the
// ramp: class n the deepest, class 1 the lightest; ramps 10 to 18 take colour
// a of the fixed palettes 1 to 9.
int RampColor(int ramp, int a, int n);
// The symbol size of class a of n: 10 / n * a, rounded.
int SizeStep(int a, int n);

// One row of the class grid: column 1 the values, column 2 the colour, size
// or bitmap number, column 3 a code.
struct Row {
    QString values, number, code;
    bool operator==(const Row &) const = default;
};

// The grouped values of the field, ascending, as the query gives them; a
// second column when the query has one.
struct GroupedValues {
    QStringList values;
    QStringList second;   // empty, or one per value
    bool numeric = false; // the first column is an integer, float or currency field
    std::vector<double> numbers; // the values as numbers, when numeric
};

struct BuildOptions {
    int kind = Palette;
    int ramp = DefaultRamp;
    int count = 10;          // the number in edLegendCount
    bool countFromData = false;
    bool bottomUp = false;   // "Значения снизу вверх"
    Byte objType = 0;        // the layer's object kind (7: bitmap points)
};

struct Classes {
    int count = 0;           // N, what edLegendCount shows afterwards
    std::vector<Row> rows;   // grid rows 1 ..: the classes, then empty rows
};

// Numeric values make N ranges from the smallest to the largest value, each
// starting one above where the previous ended; other values one class per
// value. Counting from the data takes N from the number of values (at most
// 100 numeric classes). The grid has N + 1 rows below its titles (one more
// for every value beyond 100), the last always empty.
Classes BuildLegendClasses(const GroupedValues &data, const BuildOptions &options);

// The legend entries of the grid rows up to the first without a column-2
// value; none for the single-value and chart kinds.
std::vector<TLegend> LegendEntries(int kind, const std::vector<Row> &rows);
// The grid rows of the saved entries.
std::vector<Row> RowsOfEntries(const std::vector<TLegend> &entries);
// Saves the kind, the field (at most 255 characters) and the entries.
void SaveLegend(TMapLayer &layer, int kind, const QString &field, const std::vector<Row> &rows);

// Showing the editor on a polygon layer: no fill becomes solid and a black
// fill a colour of a random palette. True when the layer changed.
bool PrepareLayerForLegend(TMapLayer &layer);

} // namespace legend
