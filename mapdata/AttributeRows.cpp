#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"

#include <optional>

namespace {

bool isNumericField(MapFunctions::FieldKind kind)
{
    using K = MapFunctions::FieldKind;
    return kind == K::Integer || kind == K::Float || kind == K::Currency;
}

// A number read from an attribute or legend text; none when the text holds
// only a separator or a sign, which the tolerant converter refuses.
std::optional<double> numberOf(const QString &text)
{
    try {
        return MapFunctions::TextToFloat(text, 0);
    } catch (const platform::ConvertError &) {
        return std::nullopt;
    }
}

// Whether a values text such as "1,3,5-10" names the value: an item equal to
// the text, or a range "low-high" holding its number.
bool listMatches(const QString &values, const QString &valueText)
{
    const std::optional<double> value = numberOf(valueText);
    for (const QString &item : MapFunctions::SplitToArray(values.trimmed(), QStringLiteral(","))) {
        QString low = item, high;
        if (item.contains(u'-')) {
            const TTxtValues range = MapFunctions::SplitPair(item, QStringLiteral("-"));
            low = range.Key;
            high = range.Value;
        }
        if (low == valueText)
            return true;
        if (!high.isEmpty() && value) {
            const std::optional<double> lo = numberOf(low), hi = numberOf(high);
            if (lo && hi && *lo <= *value && *value <= *hi)
                return true;
        }
    }
    return false;
}

} // namespace

std::int32_t MapDataCore::FindLegendEntry(int layer, const QString &valueText, MapFunctions::FieldKind fieldType) const
{
    if (!validLayer(layer))
        return -1;
    const bool blank = valueText.trimmed().isEmpty();
    for (const TLegend &entry : FProject.Layers[static_cast<size_t>(layer)].Legend) {
        const QString lower = platform::ansiLowerCase(entry.Values);
        if (lower == u"null" && blank)
            return entry.Number;
        if (lower == u"not null" && !blank)
            return entry.Number;
        if (isNumericField(fieldType) && (entry.Values.contains(u'-') || entry.Values.contains(u','))) {
            if (listMatches(entry.Values, valueText))
                return entry.Number;
            continue; // a list or range is not compared as a code or a whole text
        }
        if (QString::number(entry.Code) == valueText)
            return entry.Number;
        if (entry.Values == valueText)
            return entry.Number;
    }
    return -1;
}
