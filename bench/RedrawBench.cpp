// A full redraw of the map window (TTolvane::RedrawMap: the layer read from
// its files, both pictures recorded, laid one over the other and painted onto
// the control) of one layer of 100,000 polygons at 1920 × 1080 pixels, filled
// solid and with a library pattern (dots on a 2 mm grid), and, for scale, the
// same polygons drawn straight with QPainter.
//
// The layer is written as a shapefile triple into TOLVANE_BENCH_DIR (a
// temporary folder when unset) and left there, so that another renderer can
// draw the same file (bench/redraw_vs_qgis.sh). The view: 1:1000, 0.25 mm a
// pixel, map units 0 .. 480 east and 0 .. 270 north; every polygon lies in it.

#include "app/FTolvane.h"
#include "mapdata/ShpRecords.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Registry.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Canvas.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace platform::gdi;

namespace {

constexpr int kPolygons = 100000;
constexpr int kWidth = 1920, kHeight = 1080;
// 25 units of 0.01 mm a pixel.
const DeviceMetrics kScreen{kWidth, kHeight, 480, 270, 96, 96};

// Random quadrilaterals of 2 to 16 map units (8 to 64 pixels) across the view.
std::vector<std::vector<QPointF>> makePolygons()
{
    std::mt19937 rng(20240315);
    std::uniform_real_distribution<double> x(8, 472), y(8, 262), size(1, 8), wobble(-0.3, 0.3);
    std::vector<std::vector<QPointF>> out;
    out.reserve(kPolygons);
    for (int i = 0; i < kPolygons; ++i) {
        const double cx = x(rng), cy = y(rng), r = size(rng);
        std::vector<QPointF> ring = {{cx - r + wobble(rng) * r, cy - r}, {cx - r, cy + r + wobble(rng) * r},
                                     {cx + r + wobble(rng) * r, cy + r}, {cx + r, cy - r + wobble(rng) * r}};
        ring.push_back(ring.front());
        out.push_back(std::move(ring));
    }
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// The triple bench.shp, bench.shx, bench.dbf (a numeric "ID" per row).
void writeLayer(const QString &folder, const std::vector<std::vector<QPointF>> &polygons)
{
    QByteArray shp(shp::FileHeaderSize, '\0'), shx(shp::FileHeaderSize, '\0');
    std::int32_t number = 0;
    for (const auto &ring : polygons) {
        const int n = static_cast<int>(ring.size());
        QByteArray content(shp::PolyHeadSize + 4 + shp::PolyPointSize * n, '\0');
        shp::PolyRecordHead h;
        h.ShapeType = shp::stPolygon;
        h.XMin = h.YMin = 1e300;
        h.XMax = h.YMax = -1e300;
        for (const QPointF &p : ring) {
            h.XMin = std::min(h.XMin, p.x());
            h.YMin = std::min(h.YMin, p.y());
            h.XMax = std::max(h.XMax, p.x());
            h.YMax = std::max(h.YMax, p.y());
        }
        h.NumParts = 1;
        h.NumPoints = n;
        shp::encodePolyHead(content.data(), h);
        shp::setLE32(content.data() + shp::PolyHeadSize, 0);
        for (int k = 0; k < n; ++k) {
            TShpPoint p;
            p.X = ring[static_cast<size_t>(k)].x();
            p.Y = ring[static_cast<size_t>(k)].y();
            shp::setPolyPoint(content.data() + shp::PolyHeadSize + 4 + shp::PolyPointSize * k, p);
        }
        char head[shp::RecordHeaderSize];
        shp::encodeRecordHeader(head, {++number, static_cast<std::int32_t>(content.size() / 2)});
        char entry[shp::IndexEntrySize];
        shp::encodeIndexEntry(entry, {static_cast<std::int32_t>(shp.size() / 2), static_cast<std::int32_t>(content.size() / 2)});
        shx.append(entry, shp::IndexEntrySize);
        shp.append(head, shp::RecordHeaderSize);
        shp.append(content);
    }
    shp::FileHeader header;
    header.FileCode = shp::FileCode;
    header.Version = 1000;
    header.ShapeType = shp::stPolygon;
    header.XMin = 0;
    header.YMin = 0;
    header.XMax = 480;
    header.YMax = 270;
    auto put = [&header](QByteArray &file) {
        const auto bytes = shp::encodeFileHeader(header, file.size());
        file.replace(0, shp::FileHeaderSize, QByteArray(bytes.data(), shp::FileHeaderSize));
    };
    put(shp);
    put(shx);

    // dBase III: one numeric field "ID" of 9 digits.
    QByteArray dbf(65, '\0');
    dbf[0] = 3;
    dbf[1] = 124;
    dbf[2] = 3;
    dbf[3] = 15;
    shp::setLE32(dbf.data() + 4, kPolygons);
    shp::setLE16(dbf.data() + 8, 65);
    shp::setLE16(dbf.data() + 10, 10);
    dbf.replace(32, 2, "ID");
    dbf[32 + 11] = 'N';
    dbf[32 + 16] = 9;
    dbf[64] = 0x0D;
    dbf.reserve(65 + 10 * kPolygons + 1);
    for (int i = 1; i <= kPolygons; ++i)
        dbf += ' ' + QByteArray::number(i).rightJustified(9, ' ');
    dbf += char(0x1A);

    writeFile(QDir(folder).filePath(QStringLiteral("bench.shp")), shp);
    writeFile(QDir(folder).filePath(QStringLiteral("bench.shx")), shx);
    writeFile(QDir(folder).filePath(QStringLiteral("bench.dbf")), dbf);
}

// The style services the map window hands the render job: a fill library
// whose pattern 8 is dense dots, as "Symbols.glb" has them.
class BenchRenderers : public mapengine::StyleServices {
public:
    BenchRenderers()
    {
        SetFrameSize(kWidth, kHeight);
        TVykStroke dot;
        dot.Kind = vsEllipse;
        dot.Points = {{-18, -18}, {18, 18}};
        dot.PenColor = 0x212121;
        dot.BrushStyle = 0;
        dot.BrushColor = 0x212121;
        dot.PenWidth = 20;
        mapengine::updateStrokeBounds(dot);
        TVykSymbol dots;
        dots.Kind = vkFill;
        dots.Width = dots.Height = 200;
        dots.Strokes = {dot};
        dots.StrokeCount = 1;
        FFillStyles.Items.resize(9);
        FFillStyles.Items[8] = dots;
        FFillStyles.Count = 9;
    }
};

// Questions of the program would wait for a person: none is expected.
class NoAnswers : public platform::UserAnswers {
public:
    int messageDlg(const QString &text, platform::MsgType, unsigned, const QString &) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(2);
    }
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &) override { return {}; }
    QString selectDirectory(const QString &, const QString &) override { return {}; }
    bool chooseColor(int &) override { return false; }
    bool chooseFont(platform::FontChoice &) override { return false; }
    bool choosePrinter(platform::PrinterChoice &) override { return false; }
    int runModal(QDialog &) override { return platform::mrCancel; }
};

struct Bench {
    std::unique_ptr<QTemporaryDir> temp;
    QString folder;
    std::vector<std::vector<QPointF>> polygons;
    std::unique_ptr<platform::ScopedService<ScreenMetrics>> screen;
    NoAnswers answers;
    std::unique_ptr<platform::ScopedService<platform::UserAnswers>> answersScope;
    std::unique_ptr<platform::ScopedService<mapengine::StyleServices>> stylesScope;
    BenchRenderers renderers;
    TTolvane *window = nullptr;

    Bench()
    {
        folder = qEnvironmentVariable("TOLVANE_BENCH_DIR");
        if (folder.isEmpty()) {
            temp = std::make_unique<QTemporaryDir>();
            folder = temp->path();
        }
        QDir().mkpath(folder);
        polygons = makePolygons();
        writeLayer(folder, polygons);
        screen = std::make_unique<platform::ScopedService<ScreenMetrics>>(kScreen);
        answersScope = std::make_unique<platform::ScopedService<platform::UserAnswers>>(answers);
        platform::Registry::instance().setStorageFile(QDir(folder).filePath(QStringLiteral("registry.reg")));
        stylesScope = std::make_unique<platform::ScopedService<mapengine::StyleServices>>(renderers);

        window = new TTolvane();
        TMapVyk &map = *window->MapImage;
        map.SetWorkDir(folder);
        map.SetProgramDir(folder);
        if (!window->OpenLayer(QDir(folder).filePath(QStringLiteral("bench.shp")), -1, true))
            std::exit(2);
        window->RebuildLayerList(true);
        TMapLayer &L = map.Project().Layers.back();
        L.ObjType = otPolygons;
        L.PenColor = 0;
        L.PenStyle = 1;
        L.PenWidth = 0;
        L.BrushColor = 0x66BB6A;
        map.SetClientSize(kWidth, kHeight);
        map.SetCentre(240, 135);
        map.ResetPicture();
        map.SetScale(TMapVyk::DenominatorToScale(1000));
    }
    ~Bench()
    {
        delete window;
        stylesScope.reset();
    }
    void redraw(int brushType)
    {
        window->MapImage->Project().Layers.back().BrushType = brushType;
        window->RedrawMap();
    }
};

// Made on first use, gone before the application is.
Bench *theBench = nullptr;
Bench &bench()
{
    if (!theBench)
        theBench = new Bench;
    return *theBench;
}

void RedrawSolidFill(benchmark::State &state)
{
    Bench &b = bench();
    for (auto _ : state)
        b.redraw(1);
    state.counters["objects shown"] = static_cast<double>(std::count_if(
        b.window->MapImage->Project().Layers.back().Objects.begin(),
        b.window->MapImage->Project().Layers.back().Objects.end(), [](const TMapObject &o) { return o.Shown; }));
}
// The best run too, as QGIS's side reports its best of five.
double best(const std::vector<double> &v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

BENCHMARK(RedrawSolidFill)->Unit(benchmark::kMillisecond)->MinTime(3)->ComputeStatistics("best", best);

void RedrawLibraryPattern(benchmark::State &state)
{
    Bench &b = bench();
    for (auto _ : state)
        b.redraw(8);
}
BENCHMARK(RedrawLibraryPattern)->Unit(benchmark::kMillisecond)->MinTime(3)->ComputeStatistics("best", best);

// The same polygons, already in memory as pixel points, drawn with QPainter:
// filled and outlined, no files, no pictures recorded.
void QPainterSolidFill(benchmark::State &state)
{
    Bench &b = bench();
    std::vector<QPolygonF> pixels;
    pixels.reserve(b.polygons.size());
    for (const auto &ring : b.polygons) {
        QPolygonF p;
        for (const QPointF &q : ring)
            p << QPointF(q.x() * 4, kHeight - q.y() * 4);
        pixels.push_back(p);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(QColor(0x6A, 0xBB, 0x66));
        for (const QPolygonF &p : pixels)
            painter.drawPolygon(p);
    }
}
BENCHMARK(QPainterSolidFill)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete theBench;
    return 0;
}
