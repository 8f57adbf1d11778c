#pragma once
// Fixtures of the tests of the map window's object, analysis and style
// commands: records built byte by byte at literal offsets (lines of given
// points, text/symbol records with a style, a dBase table with text fields),
// and a map window whose layers are opened into its layer list.

#include "MapWindowFixture.h"

#include "dialogs/DialogSeams.h"
#include "platform/gdi/Clipboard.h"

#include <QToolButton>

#include <cstring>

namespace cmdtest {

using namespace maptest;

struct Pt {
    double x, y;
};

// A poly record's content: type at 0, box at 4, part count at 36, point
// count at 40, part starts at 44, the points (x, y) after them.
inline QByteArray polyPoints(std::int32_t type, const std::vector<std::vector<Pt>> &parts)
{
    int count = 0;
    for (const auto &p : parts)
        count += static_cast<int>(p.size());
    const int n = static_cast<int>(parts.size());
    QByteArray b(44 + 4 * n + 16 * count, '\0');
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    int k = 0;
    for (int i = 0; i < n; ++i) {
        putLE32(b, 44 + 4 * i, k);
        for (const Pt &p : parts[static_cast<size_t>(i)]) {
            putLEDouble(b, 44 + 4 * n + 16 * k, p.x);
            putLEDouble(b, 44 + 4 * n + 16 * k + 8, p.y);
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
            ++k;
        }
    }
    putLE32(b, 0, type);
    putLEDouble(b, 4, x0);
    putLEDouble(b, 12, y0);
    putLEDouble(b, 20, x1);
    putLEDouble(b, 28, y1);
    putLE32(b, 36, n);
    putLE32(b, 40, count);
    return b;
}

// The style of a text/symbol record (the fields the style tool bars edit).
struct TextStyle {
    std::int32_t kind = 4;
    const char *text = "Text";
    const char *font = "Arial";
    std::int32_t size = 10;
    std::int16_t fontStyle = 0;
    std::int32_t rotate = 0;
    std::int32_t scale = 0;
    char transparent = 0;
    char symbol = 'l';
    std::int32_t textColor = 0, bgColor = 0xFFFFFF;
    std::int32_t penColor = 0, penWidth = 0, penStyle = 0, brushColor = 0, brushStyle = 0, pointStyle = 0;
    std::int32_t arrowStart = 0, arrowEnd = 0;
};

// A text/symbol record: the 432-byte head (kind 0, text 4, font name 204,
// size 274, style 278 (16 bits), rotation 280, scale 284, background flag
// 289, symbol 290, colours 295 and 299, pen colour 315, width 319, line
// style 323, brush colour 327, fill 331, point style 335, line ends 343 and
// 347, box 360 .. 391, part count 424, point count 428), the part starts and
// the points of 24 bytes (x, y, z).
inline QByteArray textRecord(const TextStyle &s, const std::vector<Pt> &points)
{
    const int n = static_cast<int>(points.size());
    QByteArray b(432 + 4 + 24 * n, '\0');
    putLE32(b, 0, s.kind);
    b.replace(4, static_cast<int>(std::strlen(s.text)), s.text);
    b.replace(204, static_cast<int>(std::strlen(s.font)), s.font);
    putLE32(b, 274, s.size);
    putLE16(b, 278, static_cast<std::uint16_t>(s.fontStyle));
    putLE32(b, 280, s.rotate);
    putLE32(b, 284, s.scale);
    b[289] = s.transparent;
    b[290] = s.symbol;
    putLE32(b, 295, s.textColor);
    putLE32(b, 299, s.bgColor);
    putLE32(b, 315, s.penColor);
    putLE32(b, 319, s.penWidth);
    putLE32(b, 323, s.penStyle);
    putLE32(b, 327, s.brushColor);
    putLE32(b, 331, s.brushStyle);
    putLE32(b, 335, s.pointStyle);
    putLE32(b, 343, s.arrowStart);
    putLE32(b, 347, s.arrowEnd);
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Pt &p : points) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    putLEDouble(b, 360, x0);
    putLEDouble(b, 368, y0);
    putLEDouble(b, 376, x1 + (n == 1 ? 10 : 0));
    putLEDouble(b, 384, y1 + (n == 1 ? 5 : 0));
    putLE32(b, 424, 1);
    putLE32(b, 428, n);
    for (int k = 0; k < n; ++k) {
        putLEDouble(b, 436 + 24 * k, points[static_cast<size_t>(k)].x);
        putLEDouble(b, 436 + 24 * k + 8, points[static_cast<size_t>(k)].y);
    }
    return b;
}

// A dBase III table with the numeric field "ID" (width 10) and the text
// field "NAME" (width 10): version 3 at 0, record count at 4, header length
// at 8, record length at 10, field descriptors of 32 bytes from 32 (name at
// 0, type at 11, width at 16), 0x0D, the records (flag byte, values), 0x1A.
inline QByteArray namedTable(const std::vector<QByteArray> &names)
{
    const int rows = static_cast<int>(names.size());
    QByteArray b(97, '\0');
    b[0] = 3;
    b[1] = 124;
    b[2] = 1;
    b[3] = 1;
    putLE32(b, 4, rows);
    putLE16(b, 8, 97);
    putLE16(b, 10, 21);
    b.replace(32, 2, "ID");
    b[32 + 11] = 'N';
    b[32 + 16] = 10;
    b.replace(64, 4, "NAME");
    b[64 + 11] = 'C';
    b[64 + 16] = 10;
    b[96] = 0x0D;
    for (int r = 0; r < rows; ++r)
        b += ' ' + QByteArray::number(r + 1).rightJustified(10, ' ') + names[static_cast<size_t>(r)].leftJustified(10, ' ');
    b += char(0x1A);
    return b;
}

class CommandTest : public MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        clipboardGuard_ = std::make_unique<platform::ScopedService<platform::TextClipboard>>(clipboard_);
    }
    void TearDown() override
    {
        clipboardGuard_.reset();
        MapWindowTest::TearDown();
    }

    // Writes a layer triple into the work folder (the table given, or "ID"
    // rows) and opens it into the layer list; it becomes the current layer.
    int addLayer(const QString &base, const ShapePair &p, int rows, const QByteArray &table = {})
    {
        writeLayer(work_, base, p, rows);
        if (!table.isEmpty())
            writeFile(QDir(work_).filePath(base + QStringLiteral(".dbf")), table);
        const int i = openLayer(base + QStringLiteral(".shp"));
        w().RebuildLayerList(false);
        makeCurrent(i);
        return i;
    }
    void makeCurrent(int i)
    {
        map().Project().ActiveLayer = i;
        w().ShowActiveLayerRow(i);
    }
    // The layer's editable switch, shown in its rows.
    void setEditable(int i, bool on)
    {
        layer(i).Edited = on;
        w().RefreshLayerRow(i);
        w().ShowActiveLayerRow(map().Project().ActiveLayer);
    }
    void select(int layerIndex, int object, Byte kind = 0)
    {
        TSelObject e;
        e.Layer = layerIndex;
        e.Index = object;
        e.Kind = kind;
        map().Selection().Entries.push_back(e);
        map().RecalcSelectionExtent();
    }
    void pickTool() { w().PBPick->setChecked(true); }
    TShpObject read(int layerIndex, int object)
    {
        TShpObject s;
        map().ReadObject(layerIndex, object, s);
        return s;
    }
    int liveObjects(int layerIndex)
    {
        int n = 0;
        for (const TMapObject &o : layer(layerIndex).Objects)
            n += o.Deleted ? 0 : 1;
        return n;
    }

    platform::MemoryClipboard clipboard_;

private:
    std::unique_ptr<platform::ScopedService<platform::TextClipboard>> clipboardGuard_;
};

// Two lines of two points each, (0, 0)-(100, 0) and (0, 50)-(100, 50), shifted.
inline ShapePair twoLines(double dx = 0)
{
    return shapes(3, {dx, 0, dx + 100, 50},
                  {polyPoints(3, {{{dx, 0}, {dx + 100, 0}}}), polyPoints(3, {{{dx, 50}, {dx + 100, 50}}})});
}

} // namespace cmdtest
