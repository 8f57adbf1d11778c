// The map control's drawing path on a map-sized picture: 100,000 filled
// polygons converted from map coordinates (MapToLogical) and drawn through
// FillPolygon into the map metafile (in 0.01 mm), then played onto the
// control's image, against the same polygons drawn straight with QPainter.
// The "ratio" counter of RecordAndPlay is its time over the straight drawing's;
// the argument is the line kind: 1 fill and outline, 5 fill only.

#include "mapengine/MapControlCore.h"
#include "platform/gdi/PainterCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

using namespace platform::gdi;

namespace {

constexpr int kPolygons = 100000;
constexpr int kWidth = 1000, kHeight = 800;
// 25 units of 0.01 mm a pixel.
const DeviceMetrics kMetrics{1000, 800, 250, 200, 96, 96};

struct Shape {
    std::vector<QPointF> map;      // map coordinates, closed
    std::vector<QPoint> pixels;    // the same in the window's pixels
    Color color;
};

// The control: 1000 × 800 pixels at 1:500 centred on (1000, 1000), so a map
// unit is 8 pixels.
MapControlCore &control()
{
    static MapControlCore *map = [] {
        platform::ScopedService<ScreenMetrics> pin(kMetrics);
        auto *m = new MapControlCore;
        m->SetClientSize(kWidth, kHeight);
        m->ResetPicture();
        return m;
    }();
    return *map;
}

const std::vector<Shape> &shapes()
{
    static const std::vector<Shape> all = [] {
        std::mt19937 rng(12345);
        std::uniform_real_distribution<double> x(1000 - 66, 1000 + 66), y(1000 - 56, 1000 + 56), size(0.4, 5);
        std::uniform_int_distribution<int> n(3, 8), col(0, 0xFFFFFF);
        std::vector<Shape> v;
        v.reserve(kPolygons);
        for (int i = 0; i < kPolygons; ++i) {
            Shape s;
            const double cx = x(rng), cy = y(rng), r = size(rng);
            const int k = n(rng);
            for (int j = 0; j <= k; ++j) {
                const double a = 6.283185307 * (j % k) / k;
                s.map.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
                s.pixels.emplace_back(static_cast<int>(std::lround(500 + (s.map.back().x() - 1000) * 8)),
                                      static_cast<int>(std::lround(400 - (s.map.back().y() - 1000) * 8)));
            }
            s.color = static_cast<Color>(col(rng));
            v.push_back(std::move(s));
        }
        return v;
    }();
    return all;
}

void drawStraight(QImage &img, bool outline)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidth(0);
    p.setPen(outline ? pen : QPen(Qt::NoPen));
    for (const Shape &s : shapes()) {
        p.setBrush(toQColor(s.color));
        p.drawPolygon(s.pixels.data(), static_cast<int>(s.pixels.size()), Qt::OddEvenFill);
    }
}

Metafile record(int lineKind)
{
    MapControlCore &map = control();
    Metafile m(kMetrics);
    m.setSizeInPixels(kWidth, kHeight);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 0, 0});
    std::vector<QPoint> pts;
    for (const Shape &s : shapes()) {
        c.setBrush(Brush{BS_SOLID, s.color, 0});
        pts.clear();
        for (const QPointF &p : s.map)
            pts.push_back(map.MapToLogical(p.x(), p.y()));
        map.FillPolygon(c, pts, lineKind, 1, false);
    }
    c.finish();
    return m;
}

void play(const Metafile &m, QImage &img)
{
    PainterCanvas c(img, kMetrics);
    c.drawMetafile(m, Rect{0, 0, kWidth, kHeight});
}

double straightSeconds(bool outline)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        QImage img(kWidth, kHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
        const auto t0 = std::chrono::steady_clock::now();
        drawStraight(img, outline);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

void StraightQPainter(benchmark::State &state)
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        drawStraight(img, state.range(0) == 1);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(StraightQPainter)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void RecordThroughPrimitives(benchmark::State &state)
{
    shapes();
    for (auto _ : state) {
        Metafile m = record(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(m.records().size());
        state.counters["records"] = static_cast<double>(m.records().size());
        state.counters["bytes_per_record"] =
            static_cast<double>(m.records().memoryUsage()) / static_cast<double>(std::max<std::size_t>(1, m.records().size()));
    }
}
BENCHMARK(RecordThroughPrimitives)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void Play(benchmark::State &state)
{
    const Metafile m = record(static_cast<int>(state.range(0)));
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        play(m, img);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(Play)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void RecordAndPlay(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const double straight = straightSeconds(kind == 1);
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        img.fill(Qt::white);
        const Metafile m = record(kind);
        play(m, img);
        benchmark::DoNotOptimize(img.constBits());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / straight;
}
BENCHMARK(RecordAndPlay)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

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
