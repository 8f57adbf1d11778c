// The demo project opened and drawn by the render job without any window, against the
// map window's own redraw and against the screenshot of the documentation
// (docs/map-demo.png: the demo at 1:1500 with the grid, the map control of
// 1920 × 958 pixels from row 101 of a 1920 × 1080 virtual display).

#include "MapWindowFixture.h"

#include "mapengine/HeadlessProject.h"
#include "mapengine/RenderJob.h"
#include "mapengine/StyleRenderers.h"
#include "platform/gdi/Canvas.h"
#include "support/GdalTools.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QImage>

using namespace maptest;

namespace {

// The reference screen the screenshot was taken on.
const platform::gdi::DeviceMetrics kDisplay{1920, 1080, 508, 286, 96, 96};
constexpr int kWidth = 1920, kHeight = 958, kTop = 101;

class HeadlessRenderTest : public MapWindowTest {
protected:
    // A copy of the demo project (reading takes snapshots beside the layers).
    QString copyDemo() { return testsupport::copyDemoProject(folder(QStringLiteral("demo"))); }

    platform::ScopedService<platform::gdi::ScreenMetrics> screen_{kDisplay};
};

} // namespace

TEST_F(HeadlessRenderTest, TheDemoDrawnWithoutAWindowIsWhatTheWindowAndTheScreenshotShow)
{
    if (!QFile::exists(testsupport::programFolder() + QStringLiteral("/Demo/demo.tvp")))
        GTEST_SKIP() << "the demo project is not built";
    const QImage shot(QStringLiteral(TOLVANE_SOURCE_DIR "/docs/map-demo.png"));
    ASSERT_EQ(shot.size(), QSize(1920, 1080));

    // The libraries of the program folder, as the frame loads them.
    mapengine::StyleServices styles;
    styles.LoadStyleLibraries(testsupport::programFolder());
    const platform::ScopedService<mapengine::StyleServices> installed(styles);

    // No window: a control core with a copy of the demo opened headless.
    const QString copy = testsupport::copyDemoProject(folder(QStringLiteral("headless")));
    const QDir data(projectfile::dataFolder(copy));
    const QStringList files = data.entryList(QDir::Files);
    QImage alone;
    {
        MapControlCore core;
        core.SetProgramDir(map().ProgramDir());
        mapengine::HeadlessProject project(core);
        ASSERT_TRUE(project.Read(copy));
        core.SetClientSize(kWidth, kHeight);
        core.ResetPicture();
        core.SetScale(MapControlCore::DenominatorToScale(1500));
        mapengine::RenderHooks hooks;
        mapengine::RenderJob job(core, mapengine::RenderServices{&styles, &hooks});
        job.Run(mapengine::drawingOrder(core), mapengine::RenderOptions{true, false});
        alone = job.PictureImage();
        EXPECT_GT(data.entryList(QDir::Files).size(), files.size()); // the snapshots
    }
    // Closed without saving: the snapshots are gone.
    EXPECT_EQ(data.entryList(QDir::Files), files);

    // The window: its project reader, its redraw onto the control.
    ASSERT_TRUE(w().ReadProject(copyDemo()));
    map().SetClientSize(kWidth, kHeight);
    map().ResetPicture();
    map().SetScale(TMapVyk::DenominatorToScale(1500));
    w().nShowGreed->setChecked(true);
    w().RedrawMap();
    const QImage byWindow = map().PictureBitmap().image().convertToFormat(QImage::Format_RGB32);

    ASSERT_EQ(alone.size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(alone == byWindow);
    EXPECT_TRUE(alone == shot.convertToFormat(QImage::Format_RGB32).copy(0, kTop, kWidth, kHeight));
    QDir().mkpath(QStringLiteral(TOLVANE_TEST_ARTEFACTS));
    alone.save(QStringLiteral(TOLVANE_TEST_ARTEFACTS "/demo-headless.png"));
}

// A point layer that another program wrote (the shapefile by GDAL, a layer
// block that names its point style but not the display switch, or a symbol
// layer that names no character) is drawn in its point style, where the
// information panel finds its objects.
TEST_F(HeadlessRenderTest, APointLayerOfAnotherProgramIsDrawnInItsPointStyle)
{
    if (!testsupport::haveGdal())
        GTEST_SKIP() << "GDAL's ogr2ogr/ogrinfo are not installed (package gdal-bin)";
    mapengine::StyleServices styles;
    styles.LoadStyleLibraries(testsupport::programFolder());
    const platform::ScopedService<mapengine::StyleServices> installed(styles);
    testsupport::TempFolder gdal;
    ASSERT_EQ(testsupport::makeGdalLayer(gdal, QStringLiteral("pts"), QStringLiteral("POINT"),
                                         {"POINT (1300000 5400000)", "POINT (1300050 5400020)"})
                  .code,
              0);
    // Two points: the view's centre, and 50 m east and 20 m north of it.
    const double pxPerMm = double(kDisplay.horzRes) / kDisplay.horzSize;
    const QPoint centre(200, 150), other(200 + qRound(50 * pxPerMm), 150 - qRound(20 * pxPerMm));
    auto inkNear = [](const QImage &image, QPoint at) {
        int ink = 0;
        for (int y = at.y() - 6; y <= at.y() + 6; ++y)
            for (int x = at.x() - 6; x <= at.x() + 6; ++x)
                ink += image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
        return ink;
    };
    const std::pair<const char *, const char *> cases[] = {
        {"the display switch left out", "ObjType=1\n"},
        {"the display switch off", "ObjType=1\n   ViewPoints=False\n"},
        {"a symbol layer naming no character", "ObjType=5\n   ViewPoints=True\n"},
        {"a symbol layer switched off", "ObjType=5\n   ViewPoints=False\n"},
    };
    int n = 0;
    for (const auto &[what, keys] : cases) {
        SCOPED_TRACE(what);
        const QString project = QDir(folder(QStringLiteral("other"))).filePath(QStringLiteral("p%1.tvp").arg(++n));
        const QString data = project.chopped(4);
        QDir().mkpath(data);
        for (const char *ext : {".shp", ".shx", ".dbf"})
            ASSERT_TRUE(QFile::copy(gdal.file(QStringLiteral("pts") + QLatin1String(ext)),
                                    data + QStringLiteral("/pts") + QLatin1String(ext)));
        QFile file(project);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("!Tolvane v.2.2.0.2\r\n\r\nX=1300000\r\nY=5400000\r\nScale=1000\r\nActiveLayer=1\r\n"
                              "LayersCount=1\r\n\r\nLayer=1\r\n{\r\n   FileName=pts.shp\r\n   MapType=1\r\n   ")
                   + QByteArray(keys).replace("\n", "\r\n") + "   PointStyle=1\r\n   Visible=True\r\n}\r\n");
        file.close();
        ASSERT_TRUE(w().ReadProject(project));
        ASSERT_EQ(map().Project().Layers.size(), 1u);
        map().SetClientSize(400, 300);
        map().ResetPicture();
        map().SetScale(TMapVyk::DenominatorToScale(1000));
        map().SetCentreX(1300000);
        map().SetCentreY(5400000);
        w().RedrawMap();
        const QImage picture = map().PictureBitmap().image();
        const bool drawn = n != 4; // a symbol layer switched off shows its labels only
        EXPECT_EQ(inkNear(picture, centre) > 0, drawn);
        EXPECT_EQ(inkNear(picture, other) > 0, drawn);
    }
}
