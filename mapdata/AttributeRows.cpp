#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "platform/db/Table.h"

#include <optional>

using platform::db::FieldType;

namespace {

bool isNumericField(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::Float || type == FieldType::Currency;
}

// A number read from an attribute or legend text; none when the text holds
// only a separator or a sign, which the tolerant converter refuses: such a
// value is in no range, and one odd value does not stop the drawing.
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

QString MapDataCore::LayerTableName(int layer) const
{
    if (!validLayer(layer))
        return {};
    QString shp, shx, dbf;
    GetLayerFileNames(FProject.Layers[static_cast<size_t>(layer)].FileName, QString(), shp, shx, dbf);
    return dbf;
}

bool MapDataCore::RenumberLayerRows(int layer)
{
    const QString path = existingFile(LayerTableName(layer));
    if (path.isEmpty() || mapdata::isReadOnlyFile(path))
        return false;
    try {
        platform::db::Table table;
        table.setDatabaseName(FWorkDir);
        table.setTableName(path);
        table.open();
        platform::db::Field *id = table.findField(u"ID");
        if (!table.active() || !id)
            return false;
        for (table.first(); !table.eof(); table.next()) {
            // Rows marked deleted are left alone: the engine of the files
            // passes over them, and packing removes them.
            if (table.isDeletedRecord())
                continue;
            const int number = table.recNo();
            if (id->isNull() || id->asFloat() != number) {
                table.edit();
                id->setAsInteger(number);
                table.post();
            }
        }
        table.close();
    } catch (const platform::db::DbError &) {
        return false;
    }
    return true;
}

void MapDataCore::PackLayerTable(int layer)
{
    const QString path = existingFile(LayerTableName(layer));
    if (path.isEmpty() || mapdata::isReadOnlyFile(path))
        return;
    platform::db::Table table;
    table.setDatabaseName(FWorkDir);
    table.setTableName(path);
    table.setTableType(platform::db::TableType::DBase);
    table.setExclusive(true);
    table.packTable();
}

std::int32_t MapDataCore::FindLegendEntry(int layer, const QString &valueText, FieldType fieldType) const
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
