// Measurements of objects and of the selection, and the measurement labels.

#include "mapdata/Measurements.h"

#include "mapdata/MapDataCore.h"
#include "mapdata/MapFunctions.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace measure {

bool isPolyType(std::int32_t t)
{
    return t == 3 || t == 5 || t == 13 || t == 15 || t == 23 || t == 25;
}

bool isPolygonType(std::int32_t t) { return t == 5 || t == 15 || t == 25; }

TMeasureResult measureParts(const std::vector<TShpParts> &parts)
{
    TMeasureResult r;
    bool boxSet = false;
    for (const TShpParts &part : parts)
        for (const TShpPoint &p : part.Points) {
            if (!boxSet) {
                r.MinX = r.MaxX = p.X;
                r.MinY = r.MaxY = p.Y;
                boxSet = true;
            }
            r.MinX = std::min(r.MinX, p.X);
            r.MinY = std::min(r.MinY, p.Y);
            r.MaxX = std::max(r.MaxX, p.X);
            r.MaxY = std::max(r.MaxY, p.Y);
        }

    for (const TShpParts &part : parts) {
        const std::vector<TShpPoint> &pt = part.Points;
        // The ring start is kept by its index: a ring that starts at (0, 0) is
        // a ring like any other.
        std::ptrdiff_t s = -1;
        double sum = 0, length = 0;
        for (std::ptrdiff_t j = 0; j < static_cast<std::ptrdiff_t>(pt.size()); ++j) {
            if (s < 0) {
                s = j;
                continue;
            }
            length += std::hypot(pt[j].X - pt[j - 1].X, pt[j].Y - pt[j - 1].Y);
            // Shoelace terms within the ring only.
            if (j >= s + 2)
                sum += pt[j - 1].X * (pt[j].Y - pt[j - 2].Y);
            if (j >= s + 3 && pt[j].X == pt[s].X && pt[j].Y == pt[s].Y) {
                sum += pt[j].X * (pt[s + 1].Y - pt[j - 1].Y);
                s = -1;
            }
        }
        r.Area += pt.size() < 2 ? sum : sum / 2;
        r.Length += length;
    }
    r.Area = std::fabs(r.Area);
    r.Length = std::fabs(r.Length);
    return r;
}

} // namespace measure

// ---------------------------------------------------------------------------
// Objects and the selection

TMeasureResult MapDataCore::MeasureObject(const TShpObject &shape) const
{
    return measure::measureParts(shape.Parts);
}

TMeasureResult MapDataCore::GetRecordExtent(const std::vector<std::int32_t> &partStarts,
                                            const std::vector<TShpPoint> &points) const
{
    std::vector<TShpParts> parts;
    shp::splitIntoParts(partStarts, std::vector<TShpPoint>(points), parts);
    return measure::measureParts(parts);
}

std::vector<TSelObject> MapDataCore::selectionEntries() const
{
    if (!engine() || !engine()->EngineSelection())
        return {};
    return engine()->EngineSelection()->Entries;
}

bool MapDataCore::readSelected(const TSelObject &entry, TShpObject &shape)
{
    if (!validLayer(entry.Layer))
        return false;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(entry.Layer)];
    if (entry.Index < 0 || static_cast<size_t>(entry.Index) >= L.Objects.size())
        return false;
    ReadObject(entry.Layer, entry.Index, shape);
    return true;
}

TMeasureResult MapDataCore::SelectionStatistics()
{
    TMeasureResult total;
    bool boxSet = false;
    for (const TSelObject &entry : selectionEntries()) {
        TShpObject shape;
        if (!readSelected(entry, shape) || !measure::isPolyType(shape.ShapeType))
            continue;
        const TMeasureResult m = MeasureObject(shape);
        if (measure::isPolygonType(shape.ShapeType))
            total.Area += m.Area;
        total.Length += m.Length;
        if (!boxSet) {
            total.MinX = m.MinX;
            total.MinY = m.MinY;
            total.MaxX = m.MaxX;
            total.MaxY = m.MaxY;
            boxSet = true;
        } else {
            total.MinX = std::min(total.MinX, m.MinX);
            total.MinY = std::min(total.MinY, m.MinY);
            total.MaxX = std::max(total.MaxX, m.MaxX);
            total.MaxY = std::max(total.MaxY, m.MaxY);
        }
    }
    return total;
}

bool MapDataCore::SegmentListed(double value, double x1, double y1, double x2, double y2)
{
    for (const TLabelledItem &item : FLabelledItems)
        if ((item.X1 == x1 && item.Y1 == y1 && item.X2 == x2 && item.Y2 == y2) ||
            (item.X1 == x2 && item.Y1 == y2 && item.X2 == x1 && item.Y2 == y1))
            return true;
    FLabelledItems.push_back(TLabelledItem{x1, y1, x2, y2, value});
    return false;
}

// ---------------------------------------------------------------------------
// Measurement labels

namespace {

constexpr double kPi = std::numbers::pi;

bool numberedType(std::int32_t t)
{
    return t == 1 || t == 11 || t == 21 || measure::isPolyType(t);
}

QString valueText(double value, int decimals)
{
    return MapFunctions::RoundValue(value, 0, decimals, true).toString();
}

} // namespace

void MapDataCore::AppendMeasureLabels(const QString &mode, const TMapFont &font, int decimals)
{
    const std::vector<TSelObject> entries = selectionEntries();
    const int layer = FProject.ActiveLayer;
    if (entries.empty() || !validLayer(layer))
        return;
    FLabelledItems.clear();

    IMapEngineServices *services = engine();
    const double pixelX = services ? services->UnitsPerPixelX() : 0;
    const double pixelY = services ? services->UnitsPerPixelY() : 0;
    const double denominator = services ? services->CurrentScaleDenominator() : 0;
    // Map units per 0.01 mm of the view: offsets given in screen units
    // vanish while there is no view.
    const double perScale = denominator > 0 ? denominator / 100000.0 : 0;
    const double size = font.Size;

    // The style every label shares.
    TTextRecord style;
    if (services)
        services->DefaultTextStyle(style);
    else
        IMapEngineServices::defaultTextRecord(style);
    style.FontName = font.FontName.left(69);
    style.FontSize = font.Size;
    style.FontStyle = static_cast<std::int16_t>(MapFunctions::FontStyleCode(font.TextStyle));
    style.Rotate = platform::roundToInt(font.Rotate);
    style.TextScale = font.Scale;
    // A background is drawn unless the font's brush is clear (1).
    style.Transparent = font.BrushStyle != 1 ? 1 : 0;
    style.TextColor = font.Color;
    style.BgTextColor = font.BrushColor;
    style.TextAlign = font.Center;

    auto textLabel = [&](const QString &text, double x, double y, std::int32_t rotate, std::int32_t align) {
        TTextRecord record = style;
        record.Kind = okText;
        record.Text = text.left(199);
        record.Rotate = rotate;
        record.TextAlign = align;
        commitLabel(layer, record, {{x, y}}, text);
    };

    // Offset of area and perimeter labels, in screen units, then in map units.
    const double a = font.ShiftX + 4, b = font.ShiftY + 2;
    double dx = 0, dy = 3.5;
    switch (font.Position) {
    case 1: dy = 3.5 - size * b; break;
    case 2: dy = 3.5 + size * b; break;
    case 3: dx = -size * a; break;
    case 4: dx = size * a; break;
    case 5: dy = 3.5 - size * b; dx = -size * a; break;
    case 6: dy = 3.5 + size * b; dx = -size * a; break;
    case 7: dy = 3.5 - size * b; dx = size * a; break;
    case 8: dy = 3.5 + size * b; dx = size * a; break;
    default: break;
    }
    dx *= pixelX / 100000.0 * font.Scale;
    dy *= pixelY / 100000.0 * font.Scale;

    int number = 1;
    for (const TSelObject &entry : entries) {
        TShpObject shape;
        if (!readSelected(entry, shape))
            continue;
        const std::int32_t type = shape.ShapeType;

        if (mode == u"Линия") {
            if (!measure::isPolyType(type))
                continue;
            const double cx = (shape.XMin + shape.XMax) / 2;
            const double y = (shape.YMin + shape.YMax) / 2 - font.ShiftY;
            const double half = 2 * size * pixelX / 100000.0 * font.Scale;
            TTextRecord record = style;
            record.Kind = okLine;
            record.Text.clear();
            record.PenColor = 0;
            record.PenWidth = 20;
            record.PenStyle = 1;
            commitLabel(layer, record, {{cx - half, y}, {cx + half, y}}, QString());
        } else if (mode == u"Площадь, га" || mode == u"Площадь, кв.м" || mode == u"Периметр") {
            if (!measure::isPolygonType(type))
                continue;
            const TMeasureResult m = MeasureObject(shape);
            const double value = mode == u"Площадь, га" ? m.Area / 10000 : mode == u"Площадь, кв.м" ? m.Area : m.Length;
            textLabel(valueText(value, decimals), (m.MinX + m.MaxX) / 2 + dx, (m.MinY + m.MaxY) / 2 - dy,
                      style.Rotate, font.Center);
        } else if (mode == u"Номера точек") {
            if (!numberedType(type))
                continue;
            for (const TShpParts &part : shape.Parts) {
                const std::vector<TShpPoint> &p = part.Points;
                if (p.size() < 2)
                    continue;
                for (size_t j = 1; j < p.size(); ++j) {
                    if (SegmentListed(number, p[j].X, p[j].Y, p[j].X, p[j].Y))
                        continue;
                    // Angles counted from the second axis towards the first.
                    const double w = MapFunctions::DirectionAngleRad(p[j - 1].Y, p[j - 1].X, p[j].Y, p[j].X);
                    double g = w;
                    if (p.size() > 2) {
                        const TShpPoint &next = j + 1 < p.size() ? p[j + 1] : p[1];
                        g = MapFunctions::AngleBetweenDirections(p[j - 1].Y, p[j - 1].X, p[j].Y, p[j].X, next.Y,
                                                                 next.X, p[j].Y, p[j].X) *
                            kPi / 180;
                    }
                    const double turn = g / 2 + w - kPi / 2;
                    const double x = p[j - 1].X + std::sin(turn) * size * pixelX * perScale;
                    const double y = p[j - 1].Y + std::cos(turn) * size * pixelY * perScale;
                    // Numbers stand as the font is turned, not by the angle
                    // at their vertex.
                    textLabel(QString::number(number), x, y, style.Rotate, font.Center);
                    ++number;
                }
            }
        } else if (mode == u"Расстояния") {
            if (!measure::isPolyType(type))
                continue;
            for (const TShpParts &part : shape.Parts) {
                const std::vector<TShpPoint> &p = part.Points;
                for (size_t j = 1; j < p.size(); ++j) {
                    const double length = std::hypot(p[j].X - p[j - 1].X, p[j].Y - p[j - 1].Y);
                    if (SegmentListed(length, p[j - 1].X, p[j - 1].Y, p[j].X, p[j].Y))
                        continue;
                    const double w = MapFunctions::DirectionAngleRad(p[j - 1].Y, p[j - 1].X, p[j].Y, p[j].X);
                    const double r = w * 180 / kPi - 90;
                    const bool upright = r <= 90 || r >= 270;
                    const double factor = upright ? 2 * size + 2 : size / 2;
                    const double x = (p[j - 1].X + p[j].X) / 2 + std::sin(w - kPi / 2) * factor * pixelX * perScale;
                    const double y = (p[j - 1].Y + p[j].Y) / 2 + std::cos(w - kPi / 2) * factor * pixelY * perScale;
                    textLabel(valueText(length, decimals), x, y, platform::roundToInt(upright ? r : r - 180),
                              font.Position);
                }
            }
        }
    }
}

bool MapDataCore::commitLabel(int layer, const TTextRecord &style, const std::vector<TShpPoint> &points,
                              const QString &text)
{
    FNewObject.clearFigure();
    FNewObject.Kind = static_cast<Byte>(style.Kind);
    setNewFigure({TShpParts{points}});
    if (!text.isEmpty())
        FNewObject.Values.push_back(TTxtValues{QString(), text});
    FCommitStyle = &style;
    bool done = false;
    try {
        done = CommitNewObject(layer, true, true);
    } catch (...) {
        FCommitStyle = nullptr;
        throw;
    }
    FCommitStyle = nullptr;
    FNewObject.clearFigure();
    return done;
}
