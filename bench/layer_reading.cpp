// Opening a layer of 100,000 polygons (object table and block extents) and
// reading every object, against GDAL's `ogrinfo -al -q` and a minimal GDAL
// loop over every geometry (bench_gdal_loop, built beside this program when
// GDAL's development files are installed) on the same file in the same run.
// The layer is written by ogr2ogr when it is installed (else by the record
// codecs, and the comparisons are left out).

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

constexpr int objectCount = 100000;

bool haveGdal()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ogr2ogr")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty();
}

// A polygon of 6 to 12 vertices around a centre on a grid.
std::vector<std::pair<double, double>> polygon(int i)
{
    const double cx = 6500000 + (i % 400) * 50.0, cy = 5500000 + (i / 400) * 50.0;
    const int n = 6 + i % 7;
    std::vector<std::pair<double, double>> ring;
    for (int k = 0; k < n; ++k) {
        const double a = -2 * M_PI * k / n;
        ring.emplace_back(cx + 20 * std::cos(a), cy + 20 * std::sin(a));
    }
    ring.push_back(ring.front());
    return ring;
}

// Writes the layer "polygons" with ogr2ogr from WKT rows.
bool writeWithGdal(const QString &dir)
{
    QFile csv(dir + QStringLiteral("/polygons.csv"));
    if (!csv.open(QIODevice::WriteOnly))
        return false;
    csv.write("WKT,ID\n");
    for (int i = 0; i < objectCount; ++i) {
        QByteArray row = "\"POLYGON ((";
        const auto ring = polygon(i);
        for (size_t k = 0; k < ring.size(); ++k) {
            if (k)
                row += ',';
            row += QByteArray::number(ring[k].first, 'f', 3) + ' ' + QByteArray::number(ring[k].second, 'f', 3);
        }
        row += "))\"," + QByteArray::number(i + 1) + '\n';
        csv.write(row);
    }
    csv.close();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("ogr2ogr"), {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"),
                                         QStringLiteral("polygons.shp"), QStringLiteral("polygons.csv"),
                                         QStringLiteral("-oo"), QStringLiteral("GEOM_POSSIBLE_NAMES=WKT"),
                                         QStringLiteral("-oo"), QStringLiteral("KEEP_GEOM_COLUMNS=NO")});
    return p.waitForFinished(600000) && p.exitCode() == 0;
}

// Writes the layer with the record codecs (no attribute table).
void writeWithCodecs(const QString &dir)
{
    QByteArray body, index;
    std::int32_t offset = 50;
    for (int i = 0; i < objectCount; ++i) {
        TShpObject s;
        s.ShapeType = shp::stPolygon;
        TShpParts part;
        for (auto [x, y] : polygon(i))
            part.Points.push_back(TShpPoint{x, y});
        s.Parts.push_back(part);
        s.XMin = s.YMin = 1e300;
        s.XMax = s.YMax = -1e300;
        for (const TShpPoint &p : part.Points) {
            s.XMin = std::min(s.XMin, p.X);
            s.YMin = std::min(s.YMin, p.Y);
            s.XMax = std::max(s.XMax, p.X);
            s.YMax = std::max(s.YMax, p.Y);
        }
        const QByteArray content = shp::encodeObjectContent(shp::stPolygon, s, TTextRecord{});
        const std::int32_t words = shp::wordsForBytes(content.size());
        char rec[8], entry[8];
        shp::encodeRecordHeader(rec, {i + 1, words});
        shp::encodeIndexEntry(entry, {offset, words});
        body += QByteArray(rec, 8) + content;
        index += QByteArray(entry, 8);
        offset += words + 4;
    }
    shp::FileHeader h;
    h.FileCode = shp::FileCode;
    h.Version = 1000;
    h.ShapeType = shp::stPolygon;
    const auto shpHead = shp::encodeFileHeader(h, 100 + body.size());
    const auto shxHead = shp::encodeFileHeader(h, 100 + index.size());
    QFile shpFile(dir + QStringLiteral("/polygons.shp"));
    shpFile.open(QIODevice::WriteOnly);
    shpFile.write(shpHead.data(), 100);
    shpFile.write(body);
    QFile shxFile(dir + QStringLiteral("/polygons.shx"));
    shxFile.open(QIODevice::WriteOnly);
    shxFile.write(shxHead.data(), 100);
    shxFile.write(index);
}

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
    core.FWorkDir = fixture().dir.path();
    core.FProject.Layers.assign(1, TMapLayer{});
    core.FProject.Layers[0].FileName = QStringLiteral("polygons.shp");
    if (!core.OpenLayerFiles(0).Read || core.FProject.Layers[0].Objects.size() != objectCount)
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
        benchmark::DoNotOptimize(core.FProject.Layers[0].Blocks.data());
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
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setWorkingDirectory(fixture().dir.path());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("ogrinfo"), {QStringLiteral("-al"), QStringLiteral("-q"), QStringLiteral("polygons.shp")});
        p.waitForFinished(600000);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
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

// Keeps the mean real time of each benchmark to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (!r.error_occurred)
                ms[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

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
        const auto &objects = core.FProject.Layers[0].Objects;
        const auto &blocks = core.FProject.Layers[0].Blocks;
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
