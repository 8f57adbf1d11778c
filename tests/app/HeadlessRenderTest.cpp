// The demo project drawn by the render job without any window, against the
// map window's own redraw and against the screenshot of the documentation
// (docs/map-demo.png: the demo at 1:1500 with the grid, the map control of
// 1920 × 958 pixels from row 101 of a 1920 × 1080 virtual display).

#include "MapWindowFixture.h"

#include "mapengine/RenderJob.h"
#include "mapengine/StyleRenderers.h"
#include "app/StyleRenderers.h"
#include "platform/gdi/Canvas.h"
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
    app::setStyleRenderers(&styles);
    struct Uninstall {
        ~Uninstall() { app::setStyleRenderers(nullptr); }
    } uninstall;

    // The window: its project reader, its redraw onto the control.
    ASSERT_TRUE(w().ReadProject(copyDemo()));
    map().SetClientSize(kWidth, kHeight);
    map().ResetPicture();
    map().FScale = TMapVyk::DenominatorToScale(1500);
    w().nShowGreed->setChecked(true);
    w().RedrawMap();
    const QImage byWindow = map().PictureBitmap().image().convertToFormat(QImage::Format_RGB32);

    // No window: a control core with the window's project and view.
    MapControlCore core;
    core.FProject = map().FProject;
    core.FWorkDir = map().FWorkDir;
    core.FProgramDir = map().FProgramDir;
    core.SetClientSize(kWidth, kHeight);
    core.FCenterX = map().FCenterX;
    core.FCenterY = map().FCenterY;
    core.ResetPicture();
    core.FScale = TMapVyk::DenominatorToScale(1500);
    mapengine::RenderHooks hooks;
    mapengine::RenderJob job(core, mapengine::RenderServices{&styles, nullptr, &hooks});
    job.Run(w().PickingOrder(), mapengine::RenderOptions{true, false});
    const QImage alone = job.PictureImage();

    ASSERT_EQ(alone.size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(alone == byWindow);
    EXPECT_TRUE(alone == shot.convertToFormat(QImage::Format_RGB32).copy(0, kTop, kWidth, kHeight));
    QDir().mkpath(QStringLiteral(TOLVANE_TEST_ARTEFACTS));
    alone.save(QStringLiteral(TOLVANE_TEST_ARTEFACTS "/demo-headless.png"));
}
