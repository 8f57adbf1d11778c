#pragma once
// The layer of the layer benchmarks: 100,000 polygons of 6 to 12 vertices on a
// grid in a plane zone ("polygons.shp"), written by ogr2ogr when it is
// installed (with its attribute table), else by the record codecs.

#include "mapdata/ShpRecords.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchlayer {

constexpr int objectCount = 100000;

// Keeps the real and processor time of each benchmark (and of each
// aggregate of repetitions) to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms, cpuMs;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (!r.error_occurred) {
                ms[r.benchmark_name()] = r.GetAdjustedRealTime();
                cpuMs[r.benchmark_name()] = r.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

// One timed run of an outside tool in `dir` (its output thrown away), as
// the iteration's manual time; false when it did not finish well.
inline bool runTimed(benchmark::State &state, const QString &dir, const QString &program, const QStringList &args)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    p.waitForFinished(600000);
    state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool haveGdal()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ogr2ogr")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty();
}

// A polygon of 6 to 12 vertices around a centre on a grid.
inline std::vector<std::pair<double, double>> polygon(int i)
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
inline bool writeWithGdal(const QString &dir)
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
inline void writeWithCodecs(const QString &dir)
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

} // namespace benchlayer
