#include "dialogs/LegendClasses.h"

#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace legend {

namespace {

// Rounded to the nearest integer, halves to the even one, in 64 bits: class
// bounds of ten-digit cadastral codes pass 2^31.
std::int64_t R(double x)
{
    return platform::roundHalfEven(x);
}

int colour(std::int64_t red, std::int64_t green, std::int64_t blue)
{
    return static_cast<int>((red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF));
}

} // namespace

const QStringList &rampNames()
{
    static const QStringList names = {
        QStringLiteral("красная"),        QStringLiteral("оранжевая"),     QStringLiteral("жёлтая"),
        QStringLiteral("салатовая"),      QStringLiteral("зелёная"),       QStringLiteral("голубая"),
        QStringLiteral("синяя"),          QStringLiteral("пурпурная"),     QStringLiteral("розовая"),
        QStringLiteral("серая"),          QStringLiteral("урожай"),        QStringLiteral("пастельные тона"),
        QStringLiteral("минерал"),        QStringLiteral("фрукты"),        QStringLiteral("холодные тона"),
        QStringLiteral("тёплые тона"),    QStringLiteral("осень"),         QStringLiteral("тропики"),
        QStringLiteral("вода")};
    return names;
}

int RampColor(int ramp, int a, int n)
{
    if (ramp >= 10)
        return MapFunctions::PaletteColor(ramp - 9, a);
    if (n <= 0)
        return 0;
    // K / N x (N - a), in this order: K * ((N - a) / N) rounds some halves
    // the other way.
    auto part = [n, a](double K) { return K / n * (n - a); };
    auto k = [&](double K) { return R(part(K)); };
    switch (ramp) {
    case 0: return colour(k(50) + 200, k(170), k(170));
    case 1: return colour(255, R(part(60) + 190), k(245) + 10);
    case 2: return colour(255, R(part(25) + 225), k(245) + 10);
    case 3: return colour(R(part(90) + 157), 255, k(245) + 10);
    case 4: return colour(0, k(155) + 100, k(37) + 10);
    case 5: return colour(k(220), 255, k(33) + 217);
    case 6: return colour(k(220), k(245) + 10, 255);
    case 7: return colour(k(130) + 125, k(222), k(145) + 100);
    case 8: return colour(255, k(222), k(16) + 234);
    case 9: return colour(k(200) + 40, k(200) + 40, k(200) + 40);
    default: return 0;
    }
}

int SizeStep(int a, int n)
{
    return n > 0 ? static_cast<int>(R(10.0 / n * a)) : 0;
}

Classes BuildLegendClasses(const GroupedValues &data, const BuildOptions &o)
{
    const int found = static_cast<int>(data.values.size());
    Classes out;
    int gridRows = 0; // below the titles
    if (o.countFromData) {
        out.count = data.numeric && found > 100 ? 100 : found;
        gridRows = found + 1;
    } else {
        out.count = std::max(0, o.count);
        gridRows = out.count + 1;
    }
    const int n = out.count;
    out.rows.assign(static_cast<size_t>(gridRows), Row{});
    const int ramp = o.ramp < 0 ? DefaultRamp : o.ramp;
    auto number = [&](int a) {
        if (o.kind == Size)
            return SizeStep(a, n);
        if (o.objType == 7)
            return a;
        return RampColor(ramp, a, n);
    };
    auto second = [&](int i) { return i >= 0 && i < data.second.size() ? data.second[i] : QString(); };

    if (data.numeric && found > 0 && static_cast<int>(data.numbers.size()) == found) {
        const double min = data.numbers.front();
        const double max = data.numbers.back();
        const double step = n > 0 ? std::fabs(max - min) / n : 0;
        // The query stands on its last row once the largest value is read.
        const QString code = second(found - 1);
        std::int64_t start = 0, end = 0;
        for (int k = 1; k <= n; ++k) {
            if (k == 1)
                start = R(std::trunc(min));
            else
                start = std::max(end + 1, start + 1);
            // Each class ends one below where the next begins, counted from
            // the smallest value, so that the classes tile [min, max].
            end = k == n ? R(max) : R(min + k * step) - 1;
            const QString text = start < end ? QString::number(start) + QStringLiteral(" - ") + QString::number(end)
                                             : QString::number(start);
            const int valueRow = o.bottomUp ? n - k + 1 : k;
            out.rows[static_cast<size_t>(valueRow - 1)].values = text;
            out.rows[static_cast<size_t>(k - 1)].number = QString::number(number(k));
            out.rows[static_cast<size_t>(k - 1)].code = code;
        }
        return out;
    }
    // One class per value while rows are free; the last row stays empty.
    const int classes = std::min(found, gridRows - 1);
    for (int i = 0; i < classes; ++i) {
        Row &row = out.rows[static_cast<size_t>(i)];
        row.values = data.values[i];
        row.number = QString::number(number(i + 1));
        row.code = second(i);
    }
    return out;
}

std::vector<TLegend> LegendEntries(int kind, const std::vector<Row> &rows)
{
    std::vector<TLegend> entries;
    if (kind != Palette && kind != Size && kind != Unique)
        return entries;
    const Byte objType = kind == Palette ? 2 : kind == Size ? 1 : 7;
    for (const Row &row : rows) {
        if (row.number.trimmed().isEmpty())
            break;
        TLegend e;
        e.ObjType = objType;
        e.Values = row.values;
        e.Number = MapFunctions::TextToInt(MapFunctions::TextToDigits(row.number));
        e.Code = MapFunctions::TextToInt(MapFunctions::TextToDigits(row.code));
        entries.push_back(e);
    }
    return entries;
}

std::vector<Row> RowsOfEntries(const std::vector<TLegend> &entries)
{
    std::vector<Row> rows;
    rows.reserve(entries.size());
    for (const TLegend &e : entries)
        rows.push_back({e.Values, QString::number(e.Number), e.Code < 1 ? QString() : QString::number(e.Code)});
    return rows;
}

void SaveLegend(TMapLayer &layer, int kind, const QString &field, const std::vector<Row> &rows)
{
    layer.Legend = LegendEntries(kind, rows);
    layer.TypeLegend = kind;
    layer.FieldNameLegend = field.left(255);
}

bool PrepareLayerForLegend(TMapLayer &layer)
{
    if (layer.ObjType != 3)
        return false;
    bool changed = false;
    if (layer.BrushType == 0) {
        layer.BrushType = 1;
        changed = true;
    }
    if (layer.BrushColor == 0) {
        // A random colour of the palettes; palette or colour number 0 would
        // give black, the colour that asked for a colour in the first place.
        layer.BrushColor = MapFunctions::PaletteColor(1 + platform::randomInt(9), 1 + platform::randomInt(25));
        changed = true;
    }
    return changed;
}

} // namespace legend
