#include "geodesy/LayerProjection.h"
#include "mapdata/MapDataCore.h"

#include <gtest/gtest.h>

// The map data core over the real projection library.
TEST(LayerProjectionOverTheLibrary, ConvertsByTheLayerFields)
{
    geodesy::LayerProjectionLibrary lib;
    MapDataCore core;
    core.setProjectionLibrary(&lib);
    TMapLayer l;
    l.Transform = true;
    l.Projection = QStringLiteral("tmerc");
    l.Ellipsoid = QStringLiteral("krass");
    l.Longitude = QStringLiteral("33");
    l.Proj_K = 1;
    l.Proj_X = 6500000;
    core.Project().Layers = {l};
    ASSERT_TRUE(core.InitLayerProjection(0));

    struct Case { double x, y, ex, ey, tolerance; };
    const Case cases[] = {
        {33, 50, 6500000.0, 5540944.4676, 1e-4},                 // degrees to metres
        {6500000.0, 5540944.4676, 33, 50, 1e-9},                 // metres to degrees
        {10, 61, -17.2549590444, 0.0003509848, 1e-9},            // 61 counts as metres
    };
    for (const Case &c : cases) {
        double x = c.x, y = c.y;
        core.ProjectLayerPoint(x, y);
        EXPECT_NEAR(x, c.ex, c.tolerance) << c.x << "," << c.y;
        EXPECT_NEAR(y, c.ey, c.tolerance) << c.x << "," << c.y;
    }
    core.FreeLayerProjection();

    // A definition the library refuses: no projection, no message.
    core.Project().Layers[0].Projection = QStringLiteral("nonesuch");
    EXPECT_FALSE(core.InitLayerProjection(0));
    double x = 33, y = 50;
    core.ProjectLayerPoint(x, y);
    EXPECT_EQ(x, 33);
}
