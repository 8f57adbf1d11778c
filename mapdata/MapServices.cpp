#include "mapdata/MapServices.h"

#include "mapdata/ShpRecords.h"

void IMapEngineServices::defaultTextRecord(TTextRecord &record)
{
    const std::int32_t parts = record.NumParts, points = record.NumPoints;
    record = TTextRecord{};
    record.FontSize = 12;
    record.Transparent = 1;
    record.Symbol = u' ';
    record.BgTextColor = 0xFFFFFF;
    record.BrushColor = 0xFFFFFF;
    record.BrushStyle = 1;
    record.Reserved351 = 1;
    record.NumParts = parts;
    record.NumPoints = points;
}
