// Buffer zones of the selected polygons, lines and points, committed into
// layers made byte by byte.

#include "ExchangeFixtures.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

using exchange::poly;
using exchange::XY;

namespace {

struct Map {
    exchange::Workspace ws;
    int parcels, roads, points, zones, cosmetic;
    Map()
    {
        parcels = ws.addLayer(QStringLiteral("parcels"), 5,
                              {poly(5, {{{100, 100}, {110, 100}, {110, 110}, {100, 110}, {100, 100}}}),
                               // two parts, the second ring left open
                               poly(5, {{{200, 200}, {210, 200}, {210, 210}, {200, 210}, {200, 200}},
                                        {{300, 300}, {310, 300}, {310, 310}, {300, 310}}})});
        roads = ws.addLayer(QStringLiteral("roads"), 3,
                            {poly(3, {{{0, 0}, {10, 0}}}),
                             // turns back onto itself at (60, 50)
                             poly(3, {{{50, 50}, {60, 50}, {50, 50}}}),
                             poly(3, {{{70, 70}}})});
        points = ws.addLayer(QStringLiteral("points"), 1, {fixtures::pointContent(1, 500, 500)});
        zones = ws.addLayer(QStringLiteral("zones"), 5);
        cosmetic = ws.addLayer(QStringLiteral("cosmetic"), 8);
    }
    std::vector<XY> zone(int layer, int index)
    {
        TShpObject shape;
        ws.core.ReadObject(layer, index, shape);
        return exchange::partsOf(shape);
    }
};

void expectRing(const std::vector<XY> &got, const XY &want, const char *what)
{
    ASSERT_EQ(got.size(), 1u) << what;
    ASSERT_EQ(got[0].size(), want.size()) << what;
    for (size_t k = 0; k < want.size(); ++k) {
        EXPECT_NEAR(got[0][k].first, want[k].first, 1e-9) << what << " point " << k;
        EXPECT_NEAR(got[0][k].second, want[k].second, 1e-9) << what << " point " << k;
    }
}

} // namespace

TEST(BufferZones, ZonesOfPolygonsLinesAndPointsBecomePolygons)
{
    Map m;
    // Polygons: one ring per part, an open ring taken as closed.
    m.ws.select(m.parcels, 0);
    m.ws.select(m.parcels, 1);
    m.ws.select(m.parcels, 9);     // past the table: skipped
    m.ws.core.BufferPolygons(m.zones, 1);
    ASSERT_EQ(m.ws.core.Project().Layers[m.zones].Objects.size(), 3u);
    expectRing(m.zone(m.zones, 0), {{99, 99}, {111, 99}, {111, 111}, {99, 111}, {99, 99}}, "square");
    expectRing(m.zone(m.zones, 1), {{199, 199}, {211, 199}, {211, 211}, {199, 211}, {199, 199}}, "first part");
    // The open ring's zone is closed by the commit (a single ring).
    expectRing(m.zone(m.zones, 2), {{299, 299}, {311, 299}, {311, 311}, {299, 311}, {299, 299}}, "open part");
    // Only the last zone stays selected.
    ASSERT_EQ(m.ws.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(m.ws.engine.selection.Entries[0].Index, 2);

    // Lines: a band with square ends; the other sign takes the other side.
    m.ws.engine.ClearSelection();
    m.ws.select(m.roads, 0);
    m.ws.core.BufferLines(m.zones, -1);
    expectRing(m.zone(m.zones, 3), {{0, 1}, {10, 1}, {10, -1}, {0, -1}, {0, 1}}, "band");

    // Points: a square of radius r with sides along the axes.
    m.ws.engine.ClearSelection();
    m.ws.select(m.points, 0);
    m.ws.core.BufferPoints(m.zones, 4, std::sqrt(2.0));
    expectRing(m.zone(m.zones, 4), {{501, 501}, {501, 499}, {499, 499}, {499, 501}, {501, 501}}, "square");
    EXPECT_FALSE(m.ws.core.NewObject().Drawing);
    EXPECT_TRUE(m.ws.core.NewObject().Points.empty());
}

TEST(BufferZones, ZonesStayFiniteAndArePolygonsInTextLayers)
{
    Map m;
    // A line that turns back onto itself and a line of one point: the first
    // gives a band whose coordinates stay near the line, the second nothing.
    m.ws.select(m.roads, 1);
    m.ws.select(m.roads, 2);
    m.ws.core.BufferLines(m.zones, 1);
    ASSERT_EQ(m.ws.core.Project().Layers[m.zones].Objects.size(), 1u);
    const QByteArray shp = m.ws.file(QStringLiteral("zones.Shp"));
    for (int at = 36; at < 68; at += 8) {                 // the header's box
        const double v = qFromLittleEndian<double>(shp.constData() + at);
        EXPECT_TRUE(std::isfinite(v) && v > 40 && v < 70) << at;
    }
    const std::vector<XY> band = m.zone(m.zones, 0);
    ASSERT_EQ(band.size(), 1u);
    EXPECT_EQ(band[0].size(), 7u);
    for (const auto &[x, y] : band[0]) {
        EXPECT_TRUE(x >= 49 - 1e-9 && x <= 61 + 1e-9) << x;
        EXPECT_TRUE(y >= 49 - 1e-9 && y <= 51 + 1e-9) << y;
    }

    // In a text/symbol layer a zone of a line is a polygon object (kind 5).
    m.ws.engine.ClearSelection();
    m.ws.select(m.roads, 0);
    m.ws.core.BufferLines(m.cosmetic, 1);
    ASSERT_EQ(m.ws.core.Project().Layers[m.cosmetic].Objects.size(), 1u);
    const QByteArray text = exchange::recordContent(m.ws.file(QStringLiteral("cosmetic.Shp")), 0);
    EXPECT_EQ(qFromLittleEndian<qint32>(text.constData()), 5);
    EXPECT_EQ(qFromLittleEndian<qint32>(text.constData() + 428), 5);   // points
}
