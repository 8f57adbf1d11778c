// Opening a layer of 100,000 polygons (object table and block extents) and
// reading every object, against GDAL's `ogrinfo -al -q` and a minimal GDAL
// loop over every geometry (bench_gdal_loop, built beside this program when
// GDAL's development files are installed) on the same file in the same run.
// The layer is written by ogr2ogr when it is installed (else by the record
// codecs, and the comparisons are left out).

#include "PolygonLayer.h"

#include "mapdata/MapDataCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace benchlayer;

struct Fixture {
    QTemporaryDir dir;
    bool gdal = false;
    Fixture()
    {
        gdal = haveGdal() && writeWithGdal(dir.path());
        if (!gdal)
            writeWithCodecs(dir.path());
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void openLayer(MapDataCore &core)
{
    core.SetWorkDir(fixture().dir.path());
    core.Project().Layers.assign(1, TMapLayer{});
    core.Project().Layers[0].FileName = QStringLiteral("polygons.shp");
    if (!core.OpenLayerFiles(0).Read || core.Project().Layers[0].Objects.size() != objectCount)
        std::fprintf(stderr, "the layer did not open\n");
}

// The program of the GDAL loop, beside this one; empty when it was not built.
QString gdalLoopProgram()
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_gdal_loop");
    return QFileInfo::exists(path) ? path : QString();
}

void BM_OpenLayer(benchmark::State &state)
{
    for (auto _ : state) {
        MapDataCore core;
        openLayer(core);
        benchmark::DoNotOptimize(core.Project().Layers[0].Blocks.data());
    }
}
BENCHMARK(BM_OpenLayer)->Unit(benchmark::kMillisecond);

void BM_OpenAndReadEveryObject(benchmark::State &state)
{
    std::int64_t points = 0;
    for (auto _ : state) {
        MapDataCore core;
        openLayer(core);
        TShpObject s;
        for (int i = 0; i < objectCount; ++i) {
            core.ReadObject(0, i, s);
            points += static_cast<std::int64_t>(s.Parts.empty() ? 0 : s.Parts[0].Points.size());
        }
    }
    benchmark::DoNotOptimize(points);
}
BENCHMARK(BM_OpenAndReadEveryObject)->Unit(benchmark::kMillisecond);

void BM_OpenAndStreamEveryObject(benchmark::State &state)
{
    double sum = 0;
    for (auto _ : state) {
        MapDataCore core;
        openLayer(core);
        TLayerStream st;
        core.OpenLayerStream(st, 0);
        TShpPoint p;
        for (int i = 0; i < objectCount; ++i) {
            core.ReadShapeRecord(st, 0, i);
            for (std::int32_t k = 0; k < st.PolyHead.NumPoints; ++k) {
                core.ReadShapePoint(st, 0, p, i);
                sum += p.X;
            }
        }
        core.CloseLayerStream(st);
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_OpenAndStreamEveryObject)->Unit(benchmark::kMillisecond);

void BM_OgrinfoAll(benchmark::State &state)
{
    if (!fixture().gdal) {
        state.SkipWithError("GDAL's ogr2ogr/ogrinfo are not installed");
        return;
    }
    for (auto _ : state)
        runTimed(state, fixture().dir.path(), QStringLiteral("ogrinfo"),
                 {QStringLiteral("-al"), QStringLiteral("-q"), QStringLiteral("polygons.shp")});
}
BENCHMARK(BM_OgrinfoAll)->UseManualTime()->Unit(benchmark::kMillisecond);

// The GDAL loop times itself inside its process (GDAL's start-up left out):
// each iteration is one open and read of every geometry.
void BM_GdalLoop(benchmark::State &state)
{
    const QString program = gdalLoopProgram();
    if (!fixture().gdal || program.isEmpty()) {
        state.SkipWithError("GDAL's tools or bench_gdal_loop are missing");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.start(program, {QDir(fixture().dir.path()).filePath(QStringLiteral("polygons.shp")), QStringLiteral("1")});
        p.waitForFinished(600000);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const qsizetype at = out.indexOf(QStringLiteral("best_ms="));
        if (p.exitCode() != 0 || at < 0) {
            state.SkipWithError("bench_gdal_loop failed");
            return;
        }
        state.SetIterationTime(out.mid(at + 8).section(u' ', 0, 0).toDouble() / 1000);
    }
}
BENCHMARK(BM_GdalLoop)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    {
        // What the object table takes per object.
        MapDataCore core;
        openLayer(core);
        const auto &objects = core.Project().Layers[0].Objects;
        const auto &blocks = core.Project().Layers[0].Blocks;
        std::printf("object table: %zu bytes per object (TMapObject %zu bytes, blocks %zu bytes in all)\n",
                    (objects.capacity() * sizeof(TMapObject) + blocks.capacity() * sizeof(TBlockExtent)) /
                        objects.size(),
                    sizeof(TMapObject), blocks.capacity() * sizeof(TBlockExtent));
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // A benchmark's time: its mean over repetitions when there are any.
    const auto find = [&](const char *name) {
        const std::string n = name;
        for (const std::string &key : {n + "_mean", n + "/manual_time_mean", n, n + "/manual_time"})
            if (const auto it = reporter.ms.find(key); it != reporter.ms.end())
                return it->second;
        return 0.0;
    };
    const double ogr = find("BM_OgrinfoAll"), loop = find("BM_GdalLoop");
    for (const char *own : {"BM_OpenAndReadEveryObject", "BM_OpenAndStreamEveryObject"}) {
        const double t = find(own);
        if (ogr > 0 && t > 0)
            std::printf("%s: %.0f ms, ogrinfo -al -q: %.0f ms, ratio (ours / ogrinfo) %.2f\n", own, t, ogr, t / ogr);
        if (loop > 0 && t > 0)
            std::printf("%s: %.0f ms, GDAL loop: %.0f ms, ratio (ours / GDAL loop) %.2f\n", own, t, loop, t / loop);
    }
    benchmark::Shutdown();
    return 0;
}
