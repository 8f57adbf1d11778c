// The drawing of one vector layer, checked through recording canvases and
// renderers: what is filled and outlined, what is left out, legends, labels
// and captions, the edit journal, block skipping, and the text, symbol and
// raster records of the system's own kinds.

#include "RenderFixtures.h"

#include "platform/Environment.h"

#include <numbers>

using namespace rendertest;
using namespace platform::gdi;

namespace {

// The pen, brush and font in force at each drawing call of a recorded canvas.
struct InForce {
    MetaRecord call;
    Pen pen;
    Brush brush;
    LogFont font;
};
std::vector<InForce> drawingCalls(const RecordingCanvas &c, int type)
{
    std::vector<InForce> out;
    Pen pen;
    Brush brush;
    LogFont font;
    for (const MetaRecord &r : c.calls()) {
        if (r.type == EMR_CREATEPEN)
            pen = r.pen;
        else if (r.type == EMR_CREATEBRUSHINDIRECT)
            brush = r.brush;
        else if (r.type == EMR_EXTCREATEFONTINDIRECTW)
            font = r.font;
        else if (r.type == type)
            out.push_back({r, pen, brush, font});
    }
    return out;
}

QStringList texts(const RecordingCanvas &c)
{
    QStringList out;
    for (const MetaRecord &r : c.callsOf(EMR_EXTTEXTOUTW))
        out << r.text;
    return out;
}

// A label of a field, visible, of a fixed size unless a scale is given.
TMapLabel label(const QString &field, int size = 10, int scale = 0, const QString &format = QString())
{
    TMapLabel l;
    l.Visible = true;
    l.FieldName = field;
    l.Font.FontName = QStringLiteral("Arial");
    l.Font.Size = size;
    l.Font.Scale = scale;
    l.FormatShow = format;
    return l;
}

TLegend legendEntry(const QString &values, int number)
{
    TLegend e;
    e.ObjType = 2;
    e.Values = values;
    e.Number = number;
    e.Code = -99;
    return e;
}

std::vector<bool> shownFlags(const TMapLayer &l)
{
    std::vector<bool> out;
    for (const TMapObject &o : l.Objects)
        out.push_back(o.Shown);
    return out;
}

} // namespace

class LayerDrawingTest : public RenderTest {};

// ---- polygons and lines ----

TEST_F(LayerDrawingTest, PolygonIsFilledOnlyWithABrushAndAlwaysOutlined)
{
    const int l = addLayer(QStringLiteral("parcels"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})});
    layer(l).PenColor = 0x0000FF;
    layer(l).BrushColor = 0x00FF00;
    layer(l).PenStyle = 1;
    for (const int brushType : {0, 3, 12}) {
        RecordingRenderers r;
        layer(l).BrushType = brushType;
        drawLayer(l);
        const auto fills = r.callsOf(QStringLiteral("fill"));
        const auto lines = r.callsOf(QStringLiteral("line"));
        if (brushType == 0) {
            EXPECT_TRUE(fills.empty());
        } else {
            ASSERT_EQ(fills.size(), 1u) << brushType;
            EXPECT_EQ(fills[0].style, brushType);
            EXPECT_EQ(fills[0].colour, 0x00FF00);
            EXPECT_EQ(fills[0].points.size(), 5u);
            EXPECT_EQ(fills[0].points.front(), at(990, 4990));
        }
        ASSERT_EQ(lines.size(), 1u) << brushType;
        EXPECT_EQ(lines[0].style, 1);
        EXPECT_EQ(lines[0].colour, 0x0000FF);
        EXPECT_EQ(lines[0].width, 1); // 0.01 mm
        EXPECT_TRUE(layer(l).Objects[0].Shown);
    }
}

TEST_F(LayerDrawingTest, PolygonCoveringTheWindowIsFilledAndOneOutsideIsNot)
{
    RecordingRenderers r;
    const int l = addLayer(QStringLiteral("cover"), 5,
                           {polyRings(5, {square(900, 4900, 1100, 5100)}), polyRings(5, {square(2000, 5000, 2010, 5010)})});
    layer(l).BrushType = 3;
    drawLayer(l);
    ASSERT_EQ(r.callsOf(QStringLiteral("fill")).size(), 1u);
    EXPECT_EQ(r.callsOf(QStringLiteral("fill"))[0].points[0], at(900, 4900));
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{true, false}));
}

TEST_F(LayerDrawingTest, ObjectUnderThreePixelsBecomesASquareOfTwoTenthsOfAMillimetre)
{
    // 0.5 map units at 1:1000 are 50 units: 2 pixels.
    const int l = addLayer(QStringLiteral("short"), 3, {polyRings(3, {{{1000, 5000}, {1000.5, 5000}}})});
    layer(l).BrushType = 0;
    drawLayer(l);
    const auto polygons = picture->callsOf(EMR_POLYGON);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points,
              (std::vector<QPoint>{{5015, -3760}, {5015, -3740}, {5035, -3740}, {5035, -3760}, {5015, -3760}}));
    EXPECT_TRUE(layer(l).Objects[0].Shown);
}

TEST_F(LayerDrawingTest, PointOnTheWindowsEdgeIsNotDrawn)
{
    RecordingRenderers r;
    const int l = addLayer(QStringLiteral("points"), 1, {pointContent(950, 5000), pointContent(960, 5000)});
    layer(l).ObjType = otPoints;
    layer(l).PointStyle = 4;
    drawLayer(l);
    const auto points = r.callsOf(QStringLiteral("point"));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].style, 4);
    EXPECT_EQ(points[0].points, (std::vector<QPoint>{at(960, 5000)}));
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{false, true}));
}

TEST_F(LayerDrawingTest, PolylinesDrawnByPenStyleAndAsCurves)
{
    RecordingRenderers r;
    const int l = addLayer(QStringLiteral("roads"), 3,
                           {polyRings(3, {{{990, 5000}, {1000, 5010}, {1010, 5000}}})});
    // Styles 0 and 1 are the primitive's line kinds, others the library's.
    layer(l).PenStyle = 1;
    drawLayer(l);
    EXPECT_TRUE(r.callsOf(QStringLiteral("line")).empty());
    EXPECT_EQ(picture->callsOf(EMR_LINETO).size(), 2u);
    layer(l).PenStyle = 6;
    drawLayer(l);
    ASSERT_EQ(r.callsOf(QStringLiteral("line")).size(), 1u);
    EXPECT_EQ(r.callsOf(QStringLiteral("line"))[0].style, 6);
    EXPECT_EQ(r.callsOf(QStringLiteral("line"))[0].points.size(), 3u);
    // A Bezier line: many short strokes through the points.
    layer(l).ObjType = otBezier;
    layer(l).PenStyle = 1;
    drawLayer(l);
    EXPECT_GT(picture->callsOf(EMR_LINETO).size(), 4u);
}

// ---- labels and captions ----

TEST_F(LayerDrawingTest, LabelSizeFollowsTheScale)
{
    const QByteArray table = dbfTable({{QStringLiteral("NAME"), 'C', 10}}, {{QStringLiteral("Пункт")}});
    const int l = addLayer(QStringLiteral("points"), 1, {pointContent(1000, 5000)}, table);
    layer(l).Labels = {label(QStringLiteral("NAME"), 10, 2000)};
    const struct {
        double denominator;
        int height; // the font's height in pixels, 0 for no label
    } cases[] = {{2000, -13}, {10000, -3}, {20000, 0}};
    for (const auto &c : cases) {
        setView(1000, 5000, c.denominator);
        drawLayer(l);
        const auto out = drawingCalls(*overlay, EMR_EXTTEXTOUTW);
        if (c.height == 0) {
            EXPECT_TRUE(out.empty()) << c.denominator;
            continue;
        }
        ASSERT_EQ(out.size(), 1u) << c.denominator;
        EXPECT_EQ(out[0].call.text, QStringLiteral("Пункт"));
        EXPECT_EQ(out[0].font.height, c.height) << c.denominator;
    }
}

TEST_F(LayerDrawingTest, PolylineLabelSitsOnTheLongerEndSegmentTurnedAlongIt)
{
    const struct {
        std::vector<QPointF> line;
        QPointF anchor;
        int escapement;
    } cases[] = {
        // The last segment is longer and runs north: turned a quarter left.
        {{{1000, 5000}, {1001, 5000}, {1001, 5003}}, {1001, 5000}, 900},
        // The first is longer and runs east: not turned.
        {{{1000, 5000}, {1003, 5000}, {1003, 5001}}, {1000, 5000}, 0},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString base = QStringLiteral("line%1").arg(n++);
        const QByteArray table = dbfTable({{QStringLiteral("NAME"), 'C', 10}}, {{QStringLiteral("Садовая")}});
        const int l = addLayer(base, 3, {polyRings(3, {c.line})}, table);
        layer(l).Labels = {label(QStringLiteral("NAME"))};
        drawLayer(l);
        const auto out = drawingCalls(*overlay, EMR_EXTTEXTOUTW);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].call.point, overlay->lpToDp(at(c.anchor.x(), c.anchor.y())));
        EXPECT_EQ(out[0].font.escapement, c.escapement);
    }
}

TEST_F(LayerDrawingTest, PolygonCaptionsMeasureTheRecord)
{
    const platform::ScopedService<platform::DecimalSeparator> comma(u',');
    // 100 × 50 map units: 5000 square units, 0.5 ha, perimeter 300.
    const int l = addLayer(QStringLiteral("parcels"), 5, {polyRings(5, {square(980, 4980, 1080, 5030)})});
    layer(l).Labels = {label(QStringLiteral("Площадь, га"), 10, 0, QStringLiteral("0.00")),
                       label(QStringLiteral("Площадь, кв.м"), 10, 0, QStringLiteral("#")),
                       label(QStringLiteral("Периметр"), 10, 0, QStringLiteral("0.0 м"))};
    drawLayer(l);
    EXPECT_EQ(texts(*overlay), (QStringList{QStringLiteral("0,50"), QStringLiteral("5000"), QStringLiteral("300,0 м")}));
    // At the middle of the record's box.
    const auto out = drawingCalls(*overlay, EMR_EXTTEXTOUTW);
    EXPECT_EQ(out[0].call.point.x(), overlay->lpToDp(at(1030, 5005)).x());
    EXPECT_TRUE(picture->callsOf(EMR_EXTTEXTOUTW).empty());
}

TEST_F(LayerDrawingTest, TableThatCannotBeOpenedLeavesTheGeometryWithoutLabels)
{
    RecordingRenderers r;
    // The table is reported when the layer opens (read-only).
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    const int l = addLayer(QStringLiteral("broken"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})},
                           QByteArray("not a table"));
    EXPECT_TRUE(answers.exhausted());
    layer(l).Labels = {label(QStringLiteral("NAME"))};
    layer(l).TypeLegend = 1;
    layer(l).FieldNameLegend = QStringLiteral("NAME");
    layer(l).Legend = {legendEntry(QStringLiteral("x"), 255)};
    layer(l).BrushType = 1;
    layer(l).BrushColor = 0x00FF00;
    drawLayer(l);
    ASSERT_EQ(r.callsOf(QStringLiteral("fill")).size(), 1u);
    EXPECT_EQ(r.callsOf(QStringLiteral("fill"))[0].colour, 0x00FF00);
    EXPECT_TRUE(overlay->callsOf(EMR_EXTTEXTOUTW).empty());
}

// ---- legends ----

TEST_F(LayerDrawingTest, ColourLegendFillsAndPolygonsKeepTheirOutline)
{
    RecordingRenderers r;
    const QByteArray table =
        dbfTable({{QStringLiteral("CODE"), 'C', 4}}, {{QStringLiteral("7")}, {QStringLiteral("8")}});
    const int l = addLayer(QStringLiteral("parcels"), 5,
                           {polyRings(5, {square(990, 4990, 1000, 5000)}), polyRings(5, {square(1000, 5000, 1010, 5010)})},
                           table);
    TMapLayer &L = layer(l);
    L.ObjType = otPolygons;
    L.BrushType = 1;
    L.BrushColor = 0x00FF00;
    L.PenColor = 0x123456;
    L.TypeLegend = 1;
    L.FieldNameLegend = QStringLiteral("CODE");
    L.Legend = {legendEntry(QStringLiteral("7"), 255)};
    drawLayer(l);
    const auto fills = r.callsOf(QStringLiteral("fill"));
    const auto lines = r.callsOf(QStringLiteral("line"));
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].style, 1);
    EXPECT_EQ(fills[0].colour, 255);
    EXPECT_EQ(fills[1].colour, 0xFFFFFF); // no entry matches: white
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, 0x123456);
    EXPECT_EQ(lines[1].colour, 0x123456);

    // The legend editor's unique values (entries of kind 7) carry colours
    // for every layer but bitmap points, and fill as the palette does.
    L.TypeLegend = 3;
    L.Legend[0].ObjType = 7;
    r.calls.clear();
    drawLayer(l);
    ASSERT_EQ(r.callsOf(QStringLiteral("fill")).size(), 2u);
    EXPECT_EQ(r.callsOf(QStringLiteral("fill"))[0].colour, 255);
    EXPECT_EQ(r.callsOf(QStringLiteral("fill"))[1].colour, 0xFFFFFF);
    L.TypeLegend = 1;
    L.Legend[0].ObjType = 2;

    // Lines take the legend's colour as their pen.
    L.ObjType = otPolylines;
    r.calls.clear();
    drawLayer(l);
    EXPECT_EQ(r.callsOf(QStringLiteral("line"))[0].colour, 255);
}

// Symbol points take the colours of unique values too.
TEST_F(LayerDrawingTest, UniqueValuesColourSymbolPoints)
{
    const QByteArray table =
        dbfTable({{QStringLiteral("CODE"), 'C', 4}}, {{QStringLiteral("7")}, {QStringLiteral("8")}});
    TLegend unique = legendEntry(QStringLiteral("7"), 255);
    unique.ObjType = 7;
    const int marks = addLayer(QStringLiteral("marks"), 1, {pointContent(1000, 5000), pointContent(1005, 5005)}, table);
    TMapLayer &M = layer(marks);
    M.ObjType = otSymbols;
    M.ViewPoints = true;
    M.Font.FontName = QStringLiteral("Arial");
    M.Font.Size = 10;
    M.Font.TextSymbol = u'J';
    M.Font.Color = 0x00FF00;
    M.TypeLegend = 3;
    M.FieldNameLegend = QStringLiteral("CODE");
    M.Legend = {unique};
    drawLayer(marks);
    std::int64_t colour = -1;
    std::vector<std::int64_t> written;
    for (const MetaRecord &rec : picture->calls()) {
        if (rec.type == EMR_SETTEXTCOLOR)
            colour = rec.value;
        else if (rec.type == EMR_EXTTEXTOUTW)
            written.push_back(colour);
    }
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], 255);
    EXPECT_NE(written[1], 255) << "no entry for \"8\"";
}

TEST_F(LayerDrawingTest, EveryPartOfAnObjectKeepsItsLegendColour)
{
    RecordingRenderers r;
    const QByteArray table = dbfTable({{QStringLiteral("CODE"), 'C', 4}}, {{QStringLiteral("7")}});
    const int l = addLayer(QStringLiteral("parcels"), 5,
                           {polyRings(5, {square(990, 4990, 1000, 5000), square(1005, 5005, 1010, 5010)})}, table);
    TMapLayer &L = layer(l);
    L.BrushType = 1;
    L.BrushColor = 0x00FF00;
    L.TypeLegend = 1;
    L.FieldNameLegend = QStringLiteral("CODE");
    L.Legend = {legendEntry(QStringLiteral("7"), 255)};
    L.Labels = {label(QStringLiteral("CODE"))};
    drawLayer(l);
    const auto fills = r.callsOf(QStringLiteral("fill"));
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].colour, 255);
    EXPECT_EQ(fills[1].colour, 255);
    // The label is drawn once per part, at the middle of the whole object.
    EXPECT_EQ(texts(*overlay), (QStringList{QStringLiteral("7"), QStringLiteral("7")}));
}

TEST_F(LayerDrawingTest, WidthLegendWithoutAMatchKeepsTheLayersWidth)
{
    const QByteArray table =
        dbfTable({{QStringLiteral("CODE"), 'C', 4}}, {{QStringLiteral("7")}, {QStringLiteral("8")}});
    const int l = addLayer(QStringLiteral("roads"), 3,
                           {polyRings(3, {{{990, 5000}, {1010, 5000}}}), polyRings(3, {{{990, 5010}, {1010, 5010}}})},
                           table);
    TMapLayer &L = layer(l);
    L.PenStyle = 1;
    L.PenWidth = 0.5;
    L.TypeLegend = 2;
    L.FieldNameLegend = QStringLiteral("CODE");
    L.Legend = {legendEntry(QStringLiteral("7"), 3)};
    drawLayer(l);
    const auto strokes = drawingCalls(*picture, EMR_LINETO);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].pen.width, 75); // 3 pixels of 25 units
    EXPECT_EQ(strokes[1].pen.width, 50); // the layer's 0.5 mm
}

// ---- the journal and blocks ----

TEST_F(LayerDrawingTest, EditedObjectsAreDrawnFromTheJournalAndDeletedOnesNot)
{
    RecordingRenderers r;
    const int l = addLayer(QStringLiteral("parcels"), 5,
                           {polyRings(5, {square(990, 4990, 1000, 5000)}), polyRings(5, {square(1010, 5010, 1020, 5020)})});
    // "updates.mhp": a header, then the moved version at word 50.
    const QByteArray moved = polyRings(5, {square(1020, 5020, 1030, 5030)});
    QByteArray journal = fileHeader(5, {0, 0, 0, 0}, 0);
    QByteArray head(8, '\0');
    putBE32(head, 0, 1);
    putBE32(head, 4, static_cast<std::int32_t>(moved.size() / 2));
    journal += head + moved;
    writeFile(QDir(work_).filePath(QStringLiteral("updates.mhp")), journal);
    layer(l).Objects[0].JrnOffset = 50;
    layer(l).Objects[0].JrnLength = static_cast<std::int32_t>(moved.size() / 2);
    layer(l).Objects[1].Deleted = true;
    layer(l).Objects[1].Shown = true;
    drawLayer(l);
    const auto lines = r.callsOf(QStringLiteral("line"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.front(), at(1020, 5020));
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{true, false}));
}

TEST_F(LayerDrawingTest, BlocksOutsideTheWindowArePassedOver)
{
    RecordingRenderers r;
    // Block 0 and block 2 lie far east; block 1 in the view, but for its
    // last object.
    std::vector<QByteArray> records;
    for (int i = 0; i < 250; ++i) {
        const bool inView = i >= 100 && i < 199;
        const double x = inView ? 960 + (i - 100) * 0.8 : 3000 + i;
        records.push_back(polyRings(5, {square(x, 5000, x + 0.5, 5000.5)}));
    }
    const int l = addLayer(QStringLiteral("many"), 5, records);
    for (TMapObject &o : layer(l).Objects)
        o.Shown = true;
    // The last object of block 1 lies outside too.
    layer(l).Objects[199].Shown = true;
    drawLayer(l);
    const std::vector<bool> shown = shownFlags(layer(l));
    EXPECT_TRUE(std::all_of(shown.begin(), shown.begin() + 100, [](bool b) { return b; }));
    EXPECT_TRUE(std::all_of(shown.begin() + 100, shown.begin() + 199, [](bool b) { return b; }));
    EXPECT_FALSE(shown[199]); // visited, not drawn
    EXPECT_TRUE(std::all_of(shown.begin() + 200, shown.end(), [](bool b) { return b; }));
    // Each object in view is a small square (2 pixels) on the picture.
    EXPECT_EQ(picture->callsOf(EMR_LINETO).size(), 99u * 4);
}

// ---- text and symbol records ----

TEST_F(LayerDrawingTest, FontStyleDigitsGiveBoldItalicAndUnderline)
{
    std::vector<QByteArray> records;
    for (const int style : {111, 10, 101}) {
        TextSpec t;
        t.text = QString::number(style);
        t.fontStyle = static_cast<std::int16_t>(style);
        t.points = {{1000, 5000}};
        records.push_back(textRecord(t));
    }
    const int l = addLayer(QStringLiteral("texts"), 8, records);
    drawLayer(l);
    const auto out = drawingCalls(*overlay, EMR_EXTTEXTOUTW);
    ASSERT_EQ(out.size(), 3u);
    const struct {
        bool bold, italic, underline;
    } expected[] = {{true, true, true}, {false, true, false}, {true, false, true}};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(out[k].font.weight == FW_BOLD, expected[k].bold) << k;
        EXPECT_EQ(out[k].font.italic, expected[k].italic) << k;
        EXPECT_EQ(out[k].font.underline, expected[k].underline) << k;
    }
    EXPECT_TRUE(picture->callsOf(EMR_EXTTEXTOUTW).empty());
}

TEST_F(LayerDrawingTest, TextsAndSymbolsBySizeAndBox)
{
    const struct {
        const char *what;
        double denominator;
        TextSpec spec;
        bool text;     // a text record is written
        bool marked;   // the 12-unit mark instead
    } cases[] = {
        {"fixed text at any scale", 100000, [] { TextSpec t; t.points = {{1000, 5000}}; return t; }(), true, false},
        {"scaled text too small, its box a point", 20000,
         [] { TextSpec t; t.textScale = 1000; t.fontSize = 20; t.points = {{1000, 5000}}; return t; }(), false, true},
        {"scaled text too small, its box 20 pixels", 20000,
         [] { TextSpec t; t.textScale = 1000; t.fontSize = 20; t.points = {{1000, 5000}};
              t.box = Box{1000, 5000, 1100, 5001}; return t; }(), true, false},
        {"symbol of no scale on a point", 50000,
         [] { TextSpec t; t.kind = 2; t.fontSize = 12; t.symbol = 'J'; t.points = {{1000, 5000}}; return t; }(), true,
         false},
    };
    int n = 0;
    for (const auto &c : cases) {
        const int l = addLayer(QStringLiteral("texts%1").arg(n++), 8, {textRecord(c.spec)});
        setView(1000, 5000, c.denominator);
        drawLayer(l);
        EXPECT_EQ(!overlay->callsOf(EMR_EXTTEXTOUTW).empty(), c.text) << c.what;
        const auto marks = picture->callsOf(EMR_RECTANGLE);
        EXPECT_EQ(marks.size(), c.marked ? 1u : 0u) << c.what;
        if (c.marked) {
            const QPoint p = at(1000, 5000);
            EXPECT_EQ(marks[0].rect, (Rect{p.x() - 6, p.y() - 6, p.x() + 6, p.y() + 6})) << c.what;
        }
        EXPECT_TRUE(layer(l).Objects[0].Shown) << c.what;
    }
}

TEST_F(LayerDrawingTest, OvalsTakeTheirOwnStyleTablesAndUnknownKindsAreNotDrawn)
{
    TextSpec oval;
    oval.kind = 7;
    oval.penStyle = 0;
    oval.brushStyle = 7;
    oval.brushColor = 0x0000FF;
    oval.points = {{990, 4990}, {1010, 5010}};
    TextSpec other = oval;
    other.kind = 8;
    const int l = addLayer(QStringLiteral("ovals"), 8, {textRecord(oval), textRecord(other)});
    drawLayer(l);
    const auto ellipses = drawingCalls(*picture, EMR_ELLIPSE);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].call.rect, (Rect{at(990, 4990).x(), at(990, 4990).y(), at(1010, 5010).x(), at(1010, 5010).y()}));
    EXPECT_EQ(ellipses[0].pen.style, PS_NULL);
    EXPECT_EQ(ellipses[0].brush.style, BS_HATCHED);
    EXPECT_EQ(ellipses[0].brush.hatch, HS_VERTICAL);
    EXPECT_EQ(ellipses[0].brush.color, rgb(255, 0, 0));
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{true, false}));
}

TEST_F(LayerDrawingTest, LineRecordGetsItsEndDecoration)
{
    RecordingRenderers r;
    TextSpec line;
    line.kind = 3;
    line.penWidth = 1;
    line.arrowEnd = 2;
    line.points = {{990, 5000}, {1010, 5000}};
    const int l = addLayer(QStringLiteral("lines"), 8, {textRecord(line)});
    drawLayer(l);
    ASSERT_EQ(r.callsOf(QStringLiteral("line")).size(), 1u);
    // Kind 2 is an open arrow: two wings meeting at the last point.
    const QPoint tip = at(1010, 5000);
    bool arrow = false;
    for (const MetaRecord &p : picture->callsOf(EMR_POLYLINE))
        arrow = arrow || (p.points.size() == 3 && p.points[1] == tip && p.points[0].x() < tip.x());
    EXPECT_TRUE(arrow);
}

// ---- raster records ----

TEST_F(LayerDrawingTest, RasterPicturesGoToTheRasterServices)
{
    RecordingRasters rasters;
    writeFile(QDir(work_).filePath(QStringLiteral("plan.bmp")), QByteArray("BM"));
    const std::vector<ControlPoint> points = {{0, 0, 1000, 2000}, {100, 0, 1000, 2100}};
    const int l = addLayer(
        QStringLiteral("images"), 10,
        {rasterRecord({990, 4990, 1010, 5010}, QStringLiteral("C:\\Нет\\plan.bmp"), 640, 480, points),
         rasterRecord({990, 4990, 1010, 5010}, QStringLiteral("схема.WMF"), 10, 10),
         rasterRecord({990, 4990, 1010, 5010}, QStringLiteral("hidden.bmp"), 10, 10, {}, 10, 1),
         rasterRecord({1000, 4990, 1000.1, 5010}, QStringLiteral("thin.bmp"), 10, 10)});
    layer(l).PenMode = 6;
    layer(l).ViewShadow = true;
    layer(l).Labels = {label(QStringLiteral("Имя файла"))};
    drawLayer(l);
    ASSERT_EQ(rasters.calls.size(), 2u);
    EXPECT_FALSE(rasters.calls[0].metafile);
    EXPECT_EQ(rasters.calls[0].fileName, platform::joinPath(work_, u"plan.bmp"));
    EXPECT_DOUBLE_EQ(rasters.calls[0].angle, -std::numbers::pi / 2);
    EXPECT_EQ(rasters.calls[0].width, 640);
    EXPECT_EQ(rasters.calls[0].mode, 6);
    EXPECT_TRUE(rasters.calls[1].metafile);
    // Frames and labels on the overlay; the stored names as labels.
    EXPECT_EQ(overlay->callsOf(EMR_RECTANGLE).size(), 2u);
    EXPECT_EQ(texts(*overlay), (QStringList{QStringLiteral("C:\\Нет\\plan.bmp"), QStringLiteral("схема.WMF")}));
    // A hidden picture is passed over; one under a pixel wide is marked.
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{true, true, false, true}));
    const auto marks = picture->callsOf(EMR_RECTANGLE);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].rect.width(), 12);
}

// ---- damaged records ----

TEST_F(LayerDrawingTest, DamagedRecordsAreSkippedWithoutReadingPastTheFile)
{
    RecordingRenderers r;
    const QByteArray good = polyRings(5, {square(990, 4990, 1000, 5000)});
    // Counts beyond the record and the file, negative counts, part starts
    // outside the points, another shape type, a record cut short.
    QByteArray hugePoints = good;
    putLE32(hugePoints, 40, 1000000000);
    QByteArray negativeParts = good;
    putLE32(negativeParts, 36, -3);
    QByteArray wildStarts = polyRings(5, {square(990, 4990, 1000, 5000), square(1000, 5000, 1010, 5010)});
    putLE32(wildStarts, 44, 7);          // beyond the 10 points: no part
    putLE32(wildStarts, 48, -5);         // before them: taken from the first
    QByteArray otherType = good;
    putLE32(otherType, 0, 3);
    const QByteArray cut = good.left(30);
    const int l = addLayer(QStringLiteral("damaged"), 5, {hugePoints, negativeParts, wildStarts, otherType, cut, good});
    drawLayer(l);
    const auto lines = r.callsOf(QStringLiteral("line"));
    // The good record, and of the one with wild starts the part read from
    // point 0 to the end.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points.size(), 10u);
    EXPECT_EQ(lines[1].points.size(), 5u);
    EXPECT_EQ(shownFlags(layer(l)), (std::vector<bool>{false, false, true, false, false, true}));

    // Text and raster records with counts beyond the file draw nothing of them.
    TextSpec t;
    t.kind = 5;
    t.points = {{990, 4990}, {990, 5000}, {1000, 5000}, {990, 4990}};
    QByteArray text = textRecord(t);
    putLE32(text, 428, 2000000000);
    QByteArray raster = rasterRecord({990, 4990, 1010, 5010}, QStringLiteral("a.bmp"), 10, 10);
    putLE32(raster, 277, -1);
    const int texts = addLayer(QStringLiteral("damagedTexts"), 8, {text});
    const int images = addLayer(QStringLiteral("damagedImages"), 10, {raster});
    r.calls.clear();
    drawLayer(texts);
    EXPECT_TRUE(r.calls.empty());
    RecordingRasters rasters;
    drawLayer(images);
    ASSERT_EQ(rasters.calls.size(), 1u);
    EXPECT_EQ(rasters.calls[0].angle, 0);
}

TEST_F(LayerDrawingTest, BitmapPointsTakeTheirImageAndAnUnknownOneDrawsNothing)
{
    const QByteArray table =
        dbfTable({{QStringLiteral("CODE"), 'C', 4}}, {{QStringLiteral("7")}, {QStringLiteral("8")}});
    const int l = addLayer(QStringLiteral("marks"), 1, {pointContent(1000, 5000), pointContent(1010, 5000)}, table);
    TMapLayer &L = layer(l);
    L.ObjType = otBitmaps;
    L.ViewPoints = true;
    // Without a legend: image 20 (the marker) at every point.
    L.PntBitmap = 20;
    drawLayer(l);
    const auto blits = picture->callsOf(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 4u); // a mask and the picture per point
    const QPoint d = picture->lpToDp(at(1000, 5000));
    EXPECT_EQ(blits[0].rect.left, d.x() - 8);
    EXPECT_EQ(blits[0].rect.top, d.y() - 8);
    // With a legend of images: 20 for "7", and no entry for "8" (-1).
    L.TypeLegend = 1;
    L.FieldNameLegend = QStringLiteral("CODE");
    L.Legend = {legendEntry(QStringLiteral("7"), 20)};
    drawLayer(l);
    EXPECT_EQ(picture->callsOf(EMR_STRETCHDIBITS).size(), 2u);
    EXPECT_EQ(shownFlags(L), (std::vector<bool>{true, true}));
}
