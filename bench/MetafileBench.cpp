// The graphics layer's overhead on a map-sized picture: 100,000 filled
// polygons recorded into a metafile (in 0.01 mm) and played onto an image,
// against the same polygons drawn straight with QPainter. The "ratio" counter
// of RecordAndPlay is its time over the straight drawing's.

#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

using namespace platform::gdi;

namespace {

constexpr int kPolygons = 100000;
constexpr int kWidth = 1000, kHeight = 800;
// 25 units of 0.01 mm a pixel.
const DeviceMetrics kMetrics{1000, 800, 250, 200, 96, 96};

struct Shape {
    std::vector<QPoint> pixels;
    Color color;
};

const std::vector<Shape> &shapes()
{
    static const std::vector<Shape> all = [] {
        std::mt19937 rng(12345);
        std::uniform_int_distribution<int> pos(-50, kWidth + 50), size(3, 40), n(3, 8), col(0, 0xFFFFFF);
        std::vector<Shape> v;
        v.reserve(kPolygons);
        for (int i = 0; i < kPolygons; ++i) {
            Shape s;
            const int cx = pos(rng), cy = pos(rng) * kHeight / kWidth, r = size(rng), k = n(rng);
            for (int j = 0; j < k; ++j) {
                const double a = 6.283185307 * j / k;
                s.pixels.emplace_back(cx + static_cast<int>(r * std::cos(a)), cy + static_cast<int>(r * std::sin(a)));
            }
            s.color = static_cast<Color>(col(rng));
            v.push_back(std::move(s));
        }
        return v;
    }();
    return all;
}

void drawStraight(QImage &img)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidth(0);
    p.setPen(pen);
    for (const Shape &s : shapes()) {
        p.setBrush(toQColor(s.color));
        p.drawPolygon(s.pixels.data(), static_cast<int>(s.pixels.size()), Qt::OddEvenFill);
    }
}

Metafile record()
{
    Metafile m(kMetrics);
    m.setSizeInPixels(kWidth, kHeight);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 0, 0});
    std::vector<QPoint> pts;
    for (const Shape &s : shapes()) {
        c.setBrush(Brush{BS_SOLID, s.color, 0});
        pts.clear();
        for (const QPoint &p : s.pixels)
            pts.emplace_back(p.x() * 25, -p.y() * 25);
        c.polygon(pts);
    }
    c.finish();
    return m;
}

void play(const Metafile &m, QImage &img)
{
    PainterCanvas c(img, kMetrics);
    c.drawMetafile(m, Rect{0, 0, kWidth, kHeight});
}

double straightSeconds()
{
    static const double seconds = [] {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            QImage img(kWidth, kHeight, QImage::Format_RGB32);
            img.fill(Qt::white);
            const auto t0 = std::chrono::steady_clock::now();
            drawStraight(img);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        return best;
    }();
    return seconds;
}

void StraightQPainter(benchmark::State &state)
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        drawStraight(img);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(StraightQPainter)->Unit(benchmark::kMillisecond);

void Record(benchmark::State &state)
{
    shapes();
    for (auto _ : state) {
        Metafile m = record();
        benchmark::DoNotOptimize(m.records().size());
        state.counters["records"] = static_cast<double>(m.records().size());
        state.counters["bytes_per_record"] =
            static_cast<double>(m.records().memoryUsage()) / static_cast<double>(std::max<std::size_t>(1, m.records().size()));
    }
}
BENCHMARK(Record)->Unit(benchmark::kMillisecond);

void Play(benchmark::State &state)
{
    const Metafile m = record();
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        play(m, img);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(Play)->Unit(benchmark::kMillisecond);

void RecordAndPlay(benchmark::State &state)
{
    const double straight = straightSeconds();
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        img.fill(Qt::white);
        const Metafile m = record();
        play(m, img);
        benchmark::DoNotOptimize(img.constBits());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / straight;
}
BENCHMARK(RecordAndPlay)->Unit(benchmark::kMillisecond);

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
