// The style renderers on a map-sized picture (1920 × 1080 pixels, recorded in
// 0.01 mm as the map picture is): 100,000 polygons filled solid and with a
// library pattern (tiled by the polygon's raster mask at the frame's size),
// and a patterned line at deep zoom, whose segments run far beyond the
// picture, with the copies off the picture passed over and with all of them
// walked.

#include "mapengine/StyleRenderers.h"
#include "platform/gdi/Metafile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace platform::gdi;
using namespace mapengine;

namespace {

constexpr int kPolygons = 100000;
constexpr int kWidth = 1920, kHeight = 1080;
// 25 units of 0.01 mm a pixel.
const DeviceMetrics kMetrics{1920, 1080, 480, 270, 96, 96};

TVykStroke stroke(int kind, std::vector<TVykPoint> pts, int brushStyle = 1)
{
    TVykStroke s;
    s.Kind = static_cast<std::uint8_t>(kind);
    s.Points = std::move(pts);
    s.PenColor = 0x2E7D32;
    s.BrushStyle = static_cast<std::uint8_t>(brushStyle);
    s.BrushColor = 0x2E7D32;
    updateStrokeBounds(s);
    return s;
}

StyleServices &styles()
{
    static StyleServices s = [] {
        StyleServices st;
        st.SetFrameSize(kWidth, kHeight);
        // A fill like "perennial plantations": two rings in a 5 mm cell.
        TVykSymbol fill;
        fill.Kind = vkFill;
        fill.Width = fill.Height = 500;
        fill.Strokes = {stroke(vsEllipse, {{-175, 75}, {-75, 175}}), stroke(vsEllipse, {{75, -175}, {175, -75}})};
        st.FFillStyles.Items.resize(9);
        st.FFillStyles.Items[8] = fill;
        st.FFillStyles.Count = 9;
        // A line with ticks: a 4 mm cell.
        TVykSymbol line;
        line.Kind = vkLine;
        line.Width = 400;
        line.Height = 200;
        line.Strokes = {stroke(vsPolyline, {{-200, 0}, {200, 0}}), stroke(vsPolyline, {{0, -80}, {0, 80}})};
        st.FLineStyles.Items.resize(3);
        st.FLineStyles.Items[2] = line;
        st.FLineStyles.Count = 3;
        return st;
    }();
    return s;
}

const std::vector<std::vector<QPoint>> &polygons()
{
    static const std::vector<std::vector<QPoint>> all = [] {
        std::mt19937 rng(12345);
        std::uniform_int_distribution<int> x(-50, kWidth + 50), y(-50, kHeight + 50), size(3, 40), n(3, 8);
        std::vector<std::vector<QPoint>> v;
        v.reserve(kPolygons);
        for (int i = 0; i < kPolygons; ++i) {
            std::vector<QPoint> p;
            const int cx = x(rng), cy = y(rng), r = size(rng), k = n(rng);
            for (int j = 0; j <= k; ++j) {
                const double a = 6.283185307 * (j % k) / k;
                p.emplace_back((cx + static_cast<int>(r * std::cos(a))) * 25, -(cy + static_cast<int>(r * std::sin(a))) * 25);
            }
            v.push_back(std::move(p));
        }
        return v;
    }();
    return all;
}

void fillAll(int style)
{
    Metafile m(kMetrics);
    m.setSizeInPixels(kWidth, kHeight);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    for (const std::vector<QPoint> &p : polygons())
        styles().DrawFillPattern(c, p, style, 0x808080, kWidth, kHeight, 1, 1, 0, 25, 25, false);
    c.finish();
    benchmark::DoNotOptimize(m.records().size());
}

void FillSolid(benchmark::State &state)
{
    polygons();
    for (auto _ : state)
        fillAll(1);
}
BENCHMARK(FillSolid)->Unit(benchmark::kMillisecond);

void FillLibraryPattern(benchmark::State &state)
{
    polygons();
    for (auto _ : state)
        fillAll(8);
}
BENCHMARK(FillLibraryPattern)->Unit(benchmark::kMillisecond);

// Ten segments of 20 m of paper each (2 million units), crossing the
// picture: with the picture's size the walk skips what is off it; without,
// every copy is placed.
void LineAtDeepZoom(benchmark::State &state)
{
    const bool culled = state.range(0) != 0;
    std::vector<QPoint> line;
    for (int i = 0; i <= 10; ++i)
        line.emplace_back(i % 2 == 0 ? -1000000 : 1000000, -1000 * (i + 1));
    for (auto _ : state) {
        Metafile m(kMetrics);
        m.setSizeInPixels(kWidth, kHeight);
        MetafileCanvas c(m);
        c.setMapMode(MM_HIMETRIC);
        styles().DrawLineStyle(c, line, 2, 0, 20, 1, 1, 0, culled ? kWidth * 25.0 : 0, culled ? kHeight * 25.0 : 0,
                               true);
        c.finish();
        benchmark::DoNotOptimize(m.records().size());
    }
}
BENCHMARK(LineAtDeepZoom)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
