// Statistics of the selection and measurement labels, over layers made byte
// by byte; the labels are read back from the text layer's ".Shp" at literal
// offsets.

#include "ExchangeFixtures.h"

#include "platform/TextCodec.h"

#include <QFontDatabase>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

using exchange::poly;
using exchange::XY;

namespace {

const XY west = {{1000, 1000}, {1100, 1000}, {1100, 1100}, {1000, 1100}, {1000, 1000}};   // 100 m square
const XY east = {{1100, 1000}, {1200, 1000}, {1200, 1100}, {1100, 1100}, {1100, 1000}};   // shares an edge

struct Map {
    exchange::Workspace ws;
    int parcels, roads, points, labels;
    Map()
    {
        parcels = ws.addLayer(QStringLiteral("parcels"), 5, {poly(5, {west}), poly(5, {east})});
        roads = ws.addLayer(QStringLiteral("roads"), 3, {poly(3, {{{1000, 900}, {1300, 900}}})});
        points = ws.addLayer(QStringLiteral("points"), 1, {fixtures::pointContent(1, 1050, 1050)});
        labels = ws.addLayer(QStringLiteral("labels"), 8);
        ws.core.Project().ActiveLayer = labels;
    }
};

// A label record as stored.
struct Label {
    std::int32_t kind, fontSize, rotate, textScale, textColor, bgColor, align, penColor, penWidth, penStyle;
    std::int16_t fontStyle;
    int transparent;
    QString text, font;
    XY points;
};

Label labelAt(const QByteArray &shp, int k)
{
    const QByteArray c = exchange::recordContent(shp, k);
    auto i32 = [&](int at) { return qFromLittleEndian<qint32>(c.constData() + at); };
    auto f64 = [&](int at) { return qFromLittleEndian<double>(c.constData() + at); };
    auto chars = [&](int at, int width) { return platform::fromCp1251(QByteArray(c.constData() + at, width).split('\0').front()); };
    Label l{i32(0), i32(274), i32(280), i32(284), i32(295), i32(299), i32(303), i32(315), i32(319), i32(323),
            qFromLittleEndian<qint16>(c.constData() + 278), static_cast<unsigned char>(c[289]), chars(4, 200),
            chars(204, 70), {}};
    const int parts = i32(424), count = i32(428);
    for (int j = 0; j < count; ++j)
        l.points.emplace_back(f64(432 + 4 * parts + 24 * j), f64(432 + 4 * parts + 24 * j + 8));
    return l;
}

std::vector<Label> labelsOf(const Map &m)
{
    const QByteArray shp = m.ws.file(QStringLiteral("labels.Shp"));
    std::vector<Label> out;
    for (size_t k = 0; k < m.ws.core.Project().Layers[m.labels].Objects.size(); ++k)
        out.push_back(labelAt(shp, static_cast<int>(k)));
    return out;
}

TMapFont labelFont()
{
    TMapFont f;
    // A face the screen has, so that the commit keeps it.
    const QStringList families = QFontDatabase::families();
    f.FontName = families.isEmpty() ? QStringLiteral("Arial Cyr") : families.front();
    f.Size = 10;
    f.Rotate = 15.4;
    f.Color = 0x0000FF;
    f.BrushColor = 0x00FFFF;
    f.BrushStyle = 1;       // clear: no background
    f.TextStyle = 3;        // bold italic
    f.Center = 1;
    f.Position = 0;
    return f;
}

std::vector<QString> textsOf(const std::vector<Label> &labels)
{
    std::vector<QString> out;
    for (const Label &l : labels)
        out.push_back(l.text);
    return out;
}

} // namespace

TEST(Measurements, StatisticsOfTheSelection)
{
    Map m;
    m.ws.select(m.parcels, 0);
    m.ws.select(m.roads, 0);
    m.ws.select(m.points, 0);        // points are not measured
    m.ws.select(m.parcels, 7);       // past the object table: skipped
    m.ws.select(42, 0);              // past the layer table: skipped
    const TMeasureResult r = m.ws.core.SelectionStatistics();
    EXPECT_DOUBLE_EQ(r.Area, 10000);
    EXPECT_DOUBLE_EQ(r.Length, 400 + 300);
    EXPECT_EQ(r.MinX, 1000);
    EXPECT_EQ(r.MinY, 900);
    EXPECT_EQ(r.MaxX, 1300);
    EXPECT_EQ(r.MaxY, 1100);

    // The same measure over a raw record (part starts and points).
    std::vector<TShpPoint> points;
    for (const auto &[x, y] : XY{{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}, {5, 5}, {6, 5}})
        points.push_back(TShpPoint{x, y});
    const TMeasureResult raw = m.ws.core.GetRecordExtent({0, 5}, points);
    EXPECT_DOUBLE_EQ(raw.Area, 4);
    EXPECT_DOUBLE_EQ(raw.Length, 9);
    EXPECT_EQ(raw.MaxX, 6);

    m.ws.engine.ClearSelection();
    const TMeasureResult none = m.ws.core.SelectionStatistics();
    EXPECT_EQ(none.Area, 0);
    EXPECT_EQ(none.Length, 0);
}

TEST(Measurements, AreaAndPerimeterLabels)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    struct Case { const char *mode; int decimals; const char *text; };
    const Case cases[] = {
        {"Площадь, га", 2, "1,00"},
        {"Площадь, кв.м", 1, "10000,0"},
        {"Периметр", 0, "400"},
    };
    for (const Case &c : cases) {
        Map m;
        m.ws.select(m.parcels, 0);
        m.ws.select(m.roads, 0);     // a line gets no area label
        const TMapFont f = labelFont();
        m.ws.core.AppendMeasureLabels(QString::fromUtf8(c.mode), f, c.decimals);
        const std::vector<Label> labels = labelsOf(m);
        ASSERT_EQ(labels.size(), 1u) << c.mode;
        const Label &l = labels[0];
        EXPECT_EQ(l.kind, 4) << c.mode;
        EXPECT_EQ(l.text, QString::fromUtf8(c.text)) << c.mode;
        // With the font's scale 0 the label stands at the box's centre.
        EXPECT_EQ(l.points, (XY{{1050, 1050}})) << c.mode;
        EXPECT_EQ(l.font, f.FontName) << c.mode;
        EXPECT_EQ(l.fontSize, 10) << c.mode;
        EXPECT_EQ(l.fontStyle, 11) << c.mode;
        EXPECT_EQ(l.rotate, 15) << c.mode;
        EXPECT_EQ(l.textScale, 0) << c.mode;
        EXPECT_EQ(l.textColor, 0x0000FF) << c.mode;
        EXPECT_EQ(l.bgColor, 0x00FFFF) << c.mode;
        EXPECT_EQ(l.align, 1) << c.mode;
        EXPECT_EQ(l.transparent, 0) << "a clear brush draws no background";
    }

    // A solid brush gives a background; a scaled font moves the label by its
    // position code (4: to the right) and lowers it by 3.5 pixels.
    Map m;
    m.ws.select(m.parcels, 1);
    TMapFont f = labelFont();
    f.BrushStyle = 0;
    f.Scale = 500;
    f.Position = 4;
    f.ShiftX = 1;
    m.ws.core.AppendMeasureLabels(QStringLiteral("Площадь, га"), f, 2);
    const std::vector<Label> labels = labelsOf(m);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].transparent, 1);
    EXPECT_EQ(labels[0].textScale, 500);
    const double perMapUnit = 26.4583 / 100000 * 500;
    ASSERT_EQ(labels[0].points.size(), 1u);
    EXPECT_NEAR(labels[0].points[0].first, 1150 + 10 * (1 + 4) * perMapUnit, 1e-9);
    EXPECT_NEAR(labels[0].points[0].second, 1050 - 3.5 * perMapUnit, 1e-9);
}

TEST(Measurements, LinePointNumberAndDistanceLabels)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    const TMapFont f = labelFont();
    const double step = 26.4583 * 500 / 100000;   // map units per pixel at 1:500

    {   // "Линия": a short line at the centre of each line or polygon.
        Map m;
        m.ws.select(m.parcels, 0);
        m.ws.select(m.points, 0);
        TMapFont lf = f;
        lf.Scale = 1000;
        lf.ShiftY = 3;
        m.ws.core.AppendMeasureLabels(QStringLiteral("Линия"), lf, 2);
        const std::vector<Label> labels = labelsOf(m);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0].kind, 3);
        EXPECT_EQ(labels[0].text, QString());
        EXPECT_EQ(labels[0].penColor, 0);
        EXPECT_EQ(labels[0].penWidth, 20);
        EXPECT_EQ(labels[0].penStyle, 1);
        const double half = 2 * 10 * 26.4583 / 100000 * 1000;
        ASSERT_EQ(labels[0].points.size(), 2u);
        EXPECT_NEAR(labels[0].points[0].first, 1050 - half, 1e-9);
        EXPECT_NEAR(labels[0].points[1].first, 1050 + half, 1e-9);
        EXPECT_EQ(labels[0].points[0].second, 1047);
        // No text: no attribute value either, but a row all the same.
        EXPECT_EQ(m.ws.core.Project().Layers[m.labels].Objects.size(), 1u);
    }
    {   // "Номера точек": a vertex shared by two parcels is numbered once;
        // points get no numbers.
        Map m;
        m.ws.select(m.parcels, 0);
        m.ws.select(m.parcels, 1);
        m.ws.select(m.points, 0);
        m.ws.core.AppendMeasureLabels(QStringLiteral("Номера точек"), f, 0);
        const std::vector<Label> labels = labelsOf(m);
        EXPECT_EQ(textsOf(labels), (std::vector<QString>{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                                         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
        // Number 1 stands by the first vertex, on the bisector of the next
        // corner's angle, at the font's size in pixels; the numbers stand as
        // the font is turned.
        ASSERT_EQ(labels[0].points.size(), 1u);
        EXPECT_NEAR(labels[0].points[0].first, 1000 + 10 * step * std::sqrt(0.5), 1e-4);
        EXPECT_NEAR(labels[0].points[0].second, 1000 + 10 * step * std::sqrt(0.5), 1e-4);
        for (const Label &l : labels)
            EXPECT_EQ(l.rotate, 15);
    }
    {   // "Расстояния": one label per boundary segment, the shared one once.
        Map m;
        m.ws.select(m.parcels, 0);
        m.ws.select(m.parcels, 1);
        m.ws.core.AppendMeasureLabels(QStringLiteral("Расстояния"), f, 2);
        const std::vector<Label> labels = labelsOf(m);
        ASSERT_EQ(labels.size(), 7u);
        for (const Label &l : labels) {
            EXPECT_EQ(l.text, QStringLiteral("100,00"));
            EXPECT_EQ(l.align, f.Position);
        }
        // The bottom edge of the first parcel: along the first axis, upright,
        // raised by (2 size + 2) pixels.
        EXPECT_EQ(labels[0].rotate, 0);
        EXPECT_NEAR(labels[0].points[0].first, 1050, 1e-9);
        EXPECT_NEAR(labels[0].points[0].second, 1000 + 22 * step, 1e-9);
        // Its right edge: turned by -90 degrees, moved off the edge the same way.
        EXPECT_EQ(labels[1].rotate, -90);
        EXPECT_NEAR(labels[1].points[0].first, 1100 - 22 * step, 1e-9);
        EXPECT_NEAR(labels[1].points[0].second, 1050, 1e-9);
        // Its top edge runs the other way: turned back, nearer to the line.
        EXPECT_EQ(labels[2].rotate, 0);
        EXPECT_NEAR(labels[2].points[0].second, 1100 - 5 * step, 1e-9);
    }
    {   // Nothing without a selection or with a current layer outside the table.
        Map m;
        m.ws.core.AppendMeasureLabels(QStringLiteral("Расстояния"), f, 2);
        m.ws.select(m.parcels, 0);
        m.ws.core.Project().ActiveLayer = 9;
        m.ws.core.AppendMeasureLabels(QStringLiteral("Расстояния"), f, 2);
        EXPECT_TRUE(m.ws.core.Project().Layers[m.labels].Objects.empty());
    }
}
