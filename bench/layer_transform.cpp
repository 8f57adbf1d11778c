// Transforming a layer of 100,000 polygons from one transverse Mercator zone
// to the next (Krassovsky ellipsoid), in the same run as:
//  - the point transformation alone over the same points, in memory, one
//    point after another;
//  - a bare loop of PROJ calls over the same points (the library's own cost:
//    one inverse and one forward conversion per point);
//  - `ogr2ogr -s_srs ... -t_srs ...` on the same layer.
// TransformObjects also reads every object, journals it (its records and
// index written once for the run) and rebuilds the extents; it converts the
// points in several threads, so processor time (of the whole process) is
// given beside wall time. The ratios at the end, of medians when the run has
// repetitions, say what each part costs over the bare library loop. Before
// the timings the run checks that TransformObjects gives the points of one
// pass of the point transformation in order, bit for bit.
// Usage: bench_layer_transform --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "PolygonLayer.h"

#include "geodesy/PointTransform.h"
#include "mapengine/MapControlCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <proj.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace benchlayer;

const QString zone6 = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=6500000 +y_0=0");
const QString zone5 = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=27 +k=1 +x_0=5500000 +y_0=0");

struct Fixture {
    QTemporaryDir dir;
    bool gdal = false;
    std::vector<std::pair<double, double>> points;
    Fixture()
    {
        gdal = haveGdal() && writeWithGdal(dir.path());
        if (!gdal)
            writeWithCodecs(dir.path());
        for (int i = 0; i < objectCount; ++i)
            for (const auto &p : polygon(i))
                points.push_back(p);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// A fresh copy of the layer (the transformation journals into the work
// folder) opened as the current, editable layer of a map control.
struct OpenCopy {
    QTemporaryDir dir;
    MapControlCore map;
    OpenCopy()
    {
        for (const char *ext : {".shp", ".shx", ".dbf"})
            QFile::copy(fixture().dir.filePath(QStringLiteral("polygons") + QLatin1String(ext)),
                        dir.filePath(QStringLiteral("polygons") + QLatin1String(ext)));
        map.SetWorkDir(dir.path());
        map.Project().Layers.assign(1, TMapLayer{});
        TMapLayer &L = map.Project().Layers[0];
        L.FileName = QStringLiteral("polygons.shp");
        L.Edited = L.Visible = true;
        L.MapType = mtShapeLayer;
        if (!map.OpenLayerFiles(0).Read || L.Objects.size() != objectCount)
            std::fprintf(stderr, "the layer did not open\n");
        map.Project().ActiveLayer = 0;
    }
};

void BM_TransformObjects(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<OpenCopy>();
        state.ResumeTiming();
        if (!copy->map.TransformObjects(geodesy::tkProjections, 0, 1, 0, 0, 1, 0, zone6, zone5))
            state.SkipWithError("the transformation failed");
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TransformObjects)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_PointTransform(benchmark::State &state)
{
    const auto &points = fixture().points;
    double sum = 0;
    for (auto _ : state) {
        geodesy::PointTransform t({geodesy::tkProjections, 0, 1, 0, 0, 1, 0, zone6, zone5});
        t.setUp();
        bool first = true;
        for (const auto &[px, py] : points) {
            double x = px, y = py;
            t.apply(x, y, first);
            first = false;
            sum += x;
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_PointTransform)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// PROJ alone: the two projections set up as the binding sets them up, one
// proj_trans back to radians and one forward per point.
void BM_BareProjLoop(benchmark::State &state)
{
    const auto &points = fixture().points;
    double sum = 0;
    for (auto _ : state) {
        PJ_CONTEXT *ctx = proj_context_create();
        PJ *src = proj_create(ctx, zone6.toUtf8().constData());
        PJ *dst = proj_create(ctx, zone5.toUtf8().constData());
        for (const auto &[px, py] : points) {
            PJ_COORD c = proj_trans(src, PJ_INV, proj_coord(px, py, 0, 0));
            c = proj_trans(dst, PJ_FWD, c);
            sum += c.xy.x;
        }
        proj_destroy(src);
        proj_destroy(dst);
        proj_context_destroy(ctx);
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_BareProjLoop)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Ogr2ogr(benchmark::State &state)
{
    if (!fixture().gdal) {
        state.SkipWithError("GDAL's ogr2ogr is not installed");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir out;
        if (!runTimed(state, fixture().dir.path(), QStringLiteral("ogr2ogr"),
                      {QStringLiteral("-s_srs"), zone6, QStringLiteral("-t_srs"), zone5,
                       out.filePath(QStringLiteral("moved.shp")), QStringLiteral("polygons.shp")}))
            state.SkipWithError("ogr2ogr failed");
    }
}
BENCHMARK(BM_Ogr2ogr)->UseManualTime()->Unit(benchmark::kMillisecond);

// TransformObjects against one pass of the point transformation over the
// layer's points in order: every object's points the same, bit for bit.
bool sameAsOnePass()
{
    OpenCopy copy;
    std::vector<std::vector<std::pair<double, double>>> expected(objectCount);
    geodesy::PointTransform t({geodesy::tkProjections, 0, 1, 0, 0, 1, 0, zone6, zone5});
    if (!t.setUp())
        return false;
    bool first = true;
    for (int i = 0; i < objectCount; ++i) {
        TShpObject shape;
        copy.map.ReadObject(0, i, shape);
        for (const TShpParts &part : shape.Parts)
            for (const TShpPoint &p : part.Points) {
                double x = p.X, y = p.Y;
                if (!t.apply(x, y, first))
                    return false;
                first = false;
                expected[static_cast<size_t>(i)].emplace_back(x, y);
            }
    }
    if (!copy.map.TransformObjects(geodesy::tkProjections, 0, 1, 0, 0, 1, 0, zone6, zone5))
        return false;
    for (int i = 0; i < objectCount; ++i) {
        TShpObject shape;
        copy.map.ReadObject(0, i, shape);
        std::vector<std::pair<double, double>> got;
        for (const TShpParts &part : shape.Parts)
            for (const TShpPoint &p : part.Points)
                got.emplace_back(p.X, p.Y);
        if (got != expected[static_cast<size_t>(i)])
            return false;
    }
    return true;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("%zu points in %d polygons\n", fixture().points.size(), objectCount);
    const bool same = sameAsOnePass();
    std::printf("TransformObjects against one pass of the point transformation: %s\n",
                same ? "the same points" : "the points differ");
    std::printf("machine load: %s\n", loadAverage().c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("machine load: %s\n", loadAverage().c_str());
    const auto find = [&](const std::map<std::string, double> &times, const char *name) {
        const std::string n = name;
        for (const std::string &key : {n + "_median", n + "/manual_time_median", n + "/process_time/real_time_median",
                                       n, n + "/manual_time", n + "/process_time/real_time"})
            if (const auto it = times.find(key); it != times.end())
                return it->second;
        return 0.0;
    };
    const double bare = find(reporter.ms, "BM_BareProjLoop");
    for (const char *own : {"BM_PointTransform", "BM_TransformObjects", "BM_Ogr2ogr"}) {
        const double t = find(reporter.ms, own);
        if (bare > 0 && t > 0)
            std::printf("%s: %.0f ms (processor %.0f ms), bare PROJ loop: %.0f ms (processor %.0f ms), ratio %.2f\n",
                        own, t, find(reporter.cpuMs, own), bare, find(reporter.cpuMs, "BM_BareProjLoop"), t / bare);
    }
    benchmark::Shutdown();
    return same ? 0 : 1;
}
