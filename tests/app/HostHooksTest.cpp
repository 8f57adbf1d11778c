// The host hooks: the forwarders to the style renderers, the fill sample,
// the report hooks and the hooks that do nothing in this program.

#include "AppTestSupport.h"

#include "app/HostHooks.h"
#include "reports/output/ReportEngine.h"
#include "mapengine/StyleRenderers.h"
#include "platform/gdi/RecordingCanvas.h"
#include "support/ScriptedAnswers.h"

using apptest::setProductValue;

#include <QLabel>

namespace {

// Renderers that record what they are asked.
class RecordingRenderers : public mapengine::StyleServices {
public:
    RecordingRenderers() = default;

    struct Call {
        QString what;
        std::vector<QPoint> points;
        int style = 0, colour = 0, penWidth = 0, width = 0, height = 0;
        double scale1 = 0, scale2 = 0, unitsX = 0, unitsY = 0;
    };
    std::vector<Call> calls;
    // Installed while it lives.
    platform::ScopedService<mapengine::StyleServices> installed{*this};

    void DrawFillPattern(platform::gdi::Canvas &, const std::vector<QPoint> &points, int style, int colour,
                         int pictureWidth, int pictureHeight, double scaleX, double scaleY, double, double unitsX,
                         double unitsY, bool) override
    {
        calls.push_back({QStringLiteral("fill"), points, style, colour, 0, pictureWidth, pictureHeight, scaleX,
                         scaleY, unitsX, unitsY});
    }
    void DrawLineStyle(platform::gdi::Canvas &, const std::vector<QPoint> &points, int style, int colour,
                       int penWidth, double along, double across, double, double, double, bool) override
    {
        calls.push_back({QStringLiteral("line"), points, style, colour, penWidth, 0, 0, along, across, 0, 0});
    }
    void DrawPointStyle(platform::gdi::Canvas &, const std::vector<QPoint> &points, int style, int colour, int, int,
                        double scaleX, double scaleY, double) override
    {
        calls.push_back({QStringLiteral("point"), points, style, colour, 0, 0, 0, scaleX, scaleY, 0, 0});
    }
};

// A report engine that records and never shows anything.
class RecordingReports : public reports::ReportEngine {
public:
    // Installed while it lives.
    platform::ScopedService<reports::ReportEngine> installed{*this};
    void ShowReport() override { ++shown; }
    void DesignReport() override { ++designed; }
    int QueryRowCount(const QString &, const QString &table) override
    {
        queried << table;
        return rows;
    }
    int shown = 0, designed = 0, rows = 0;
    QStringList queried;
};

} // namespace

TEST(HostHooks, ForwardersPassTheirArgumentsAndWidenLines)
{
    RecordingRenderers r;
    platform::gdi::RecordingCanvas canvas;
    const QPoint pts[] = {{0, 0}, {100, 0}, {100, 100}, {0, 0}};
    DrawStyledPolygon(canvas, pts, 3, 9, 0xFF, 640, 480, 1, 1, 0, 26.5, 26.4, false);
    DrawStyledLine(canvas, pts, 2, 4, 0x00FF00, 100, 1, 1, 0, 20000, 10000, true);
    DrawStyledLine(canvas, pts, 2, 4, 0, 25, 1, 1, 0, 20000, 10000, true);
    DrawStyledPoint(canvas, pts, 1, 7, 0xFF0000, 0, 0, 1, 1, 0);
    ASSERT_EQ(r.calls.size(), 4u);
    // The polygon goes with its closing point.
    EXPECT_EQ(r.calls[0].what, QStringLiteral("fill"));
    EXPECT_EQ(r.calls[0].points.size(), 4u);
    EXPECT_EQ(r.calls[0].style, 9);
    EXPECT_EQ(r.calls[0].width, 640);
    EXPECT_EQ(r.calls[0].unitsX, 26.5);
    // Pen width 100 adds 2 to both scales; 25 adds 0.5.
    EXPECT_EQ(r.calls[1].points.size(), 2u);
    EXPECT_DOUBLE_EQ(r.calls[1].scale1, 3.0);
    EXPECT_DOUBLE_EQ(r.calls[1].scale2, 3.0);
    EXPECT_EQ(r.calls[1].penWidth, 100);
    EXPECT_DOUBLE_EQ(r.calls[2].scale1, 1.5);
    EXPECT_DOUBLE_EQ(r.calls[2].scale2, 1.5);
    EXPECT_EQ(r.calls[3].what, QStringLiteral("point"));
    EXPECT_EQ(r.calls[3].points.size(), 1u);
    EXPECT_EQ(r.calls[3].colour, 0xFF0000);
}

class FillSampleTest : public apptest::WindowTest {};

TEST_F(FillSampleTest, OnlyAFillPatternOfTheLibraryIsDrawn)
{
    RecordingRenderers r;
    // Ten patterns: 4 a symbol pattern, the others fill patterns.
    r.FFillStyles.Items.resize(10);
    r.FFillStyles.Items[4].Kind = vkSymbol;
    TTolvane &w = mapWindow();
    w.MapImage->resize(300, 200);
    w.MapImage->SetUnitsPerPixelX(26.5);
    w.MapImage->SetUnitsPerPixelY(26.4);
    struct Case {
        int brushStyle;
        bool drawn;
    };
    const Case cases[] = {{0, false}, {-1, false}, {10, false}, {11, false}, {4, false}, {3, true}};
    for (const Case &c : cases) {
        r.calls.clear();
        w.MapImage->Template().BrushStyle = c.brushStyle;
        w.MapImage->Template().BrushColor = 0x123456;
        DrawFillSample(w, 24, 20);
        ASSERT_EQ(r.calls.size(), c.drawn ? 1u : 0u) << c.brushStyle;
        EXPECT_FALSE(w.imgTypeFill->pixmap().isNull());
        if (!c.drawn)
            continue;
        const RecordingRenderers::Call &call = r.calls[0];
        EXPECT_EQ(call.points,
                  (std::vector<QPoint>{{0, 0}, {0, 40}, {44, 40}, {44, 0}, {0, 0}}));
        EXPECT_EQ(call.style, 3);
        EXPECT_EQ(call.colour, 0x123456);
        EXPECT_EQ(call.width, 300);
        EXPECT_EQ(call.height, 200);
        EXPECT_EQ(call.scale1, 1);
        EXPECT_EQ(call.scale2, 1);
        EXPECT_EQ(call.unitsX, 26.5);
        EXPECT_EQ(call.unitsY, 26.4);
    }
}

class ReportHooksTest : public apptest::WindowTest {};

TEST_F(ReportHooksTest, MissingTemplateIsReportedAndNothingIsWritten)
{
    setProductValue(QStringLiteral("ProgramDirectory"), dir_.path());
    apptest::copyStyleLibraries(dir_.path());
    RecordingReports reports;
    frame();
    testsupport::ScriptedAnswers answers;
    apptest::replyOk(answers);
    const QString name = dir_.file(QStringLiteral("Reports/План.frf"));
    ShowMapReport(name);
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Не найден файл шаблона - ") + name);
    EXPECT_FALSE(QFile::exists(dir_.file(QStringLiteral("tmp.wmf"))));
    EXPECT_EQ(reports.shown, 0);
    EXPECT_TRUE(reports.Variables.empty());
}

TEST_F(ReportHooksTest, ReportVariablesOfTheView)
{
    setProductValue(QStringLiteral("ProgramDirectory"), dir_.path());
    apptest::copyStyleLibraries(dir_.path());
    RecordingReports reports;
    frame();
    TMapVyk &map = *Tolvane->MapImage;
    map.SetPictureWidth(20000);
    map.SetPictureHeight(10000);
    map.SetScale(TMapVyk::DenominatorToScale(2500));
    const QString name = dir_.write(QStringLiteral("plan.frf"), QByteArray("template"));
    ShowMapReport(name);
    EXPECT_EQ(reports.Variables[QStringLiteral("StartPath")].toString(), dir_.path());
    EXPECT_EQ(reports.Variables[QStringLiteral("WorkPath")].toString(), dir_.path());
    EXPECT_EQ(reports.Variables[QStringLiteral("WmfWidth")].toDouble(), 20000);
    EXPECT_EQ(reports.Variables[QStringLiteral("WmfHeight")].toDouble(), 10000);
    EXPECT_EQ(reports.Variables[QStringLiteral("Scale")].toInt(), 2500);
    EXPECT_EQ(reports.FileName, name);
    EXPECT_EQ(reports.shown, 1);

    SetMapReportVariables();
    EXPECT_EQ(reports.Variables[QStringLiteral("LinesColor")], QVariant(false));

    // The coordinate sheet is shown only when "Points.db" has rows.
    PrintCoordinateSheet(1, 2, 3, 4, 5.5, 6.5);
    EXPECT_EQ(reports.queried, QStringList{QStringLiteral("Points.db")});
    EXPECT_EQ(reports.Variables[QStringLiteral("Perimetr")].toDouble(), 6.5);
    EXPECT_EQ(reports.Variables[QStringLiteral("XMin")].toDouble(), 1);
    EXPECT_EQ(reports.shown, 1);
}

TEST(HostHooks, HooksWithAResultSayNoRedrawIsNeeded)
{
    EXPECT_FALSE(InsertCadastralVertex(1, 2, 3, 4, 5, 6, QString()));
    EXPECT_FALSE(DeleteCadastralVertex());
    EXPECT_FALSE(MoveCadastralVertex());
    EXPECT_EQ(ProductRegistryKey(), QStringLiteral("Tolvane 2"));
}

class FrameRenderersTest : public apptest::WindowTest {};

TEST_F(FrameRenderersTest, HooksReachTheFramesStyleServices)
{
    TStart &start = frame();
    // Two crossing segments: the crossing is kept by the frame.
    EXPECT_EQ(IntersectLinesHook(2, 0, 0, 0, 10, 10, 0, 0, 10, 0, 10, 0, 0), 1);
    EXPECT_DOUBLE_EQ(start.FCrossX, 5);
    EXPECT_DOUBLE_EQ(start.FCrossY, 5);
    // The fill sample and the map's drawing take the frame's libraries.
    ASSERT_GT(start.FFillStyles.count(), 1);
    EXPECT_EQ(&mapengine::styleServices(), static_cast<mapengine::StyleServices *>(&start));
}
