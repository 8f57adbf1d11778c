// The imaging routines drawing a 1920 x 1080 window of 20,000 x 20,000
// sheets, as the map draws pictures other than ".tiff" files: the TIFF
// sheet of the TIFF reader's benchmark (LZW strips with differencing) and a
// JPEG of it ("sheet.jpg" in $TOLVANE_BENCH_DIR, which
// bench/imaging_vs_gdal.sh makes with gdal_translate), each zoomed in (the
// window at full resolution) and zoomed out 1:8 (a 15,360 x 8,640 window).
// The TIFF's pictures are kept as "imaging-window.ppm" (full resolution) and
// "imaging-eighth.ppm" (1:8).

#include "bench/BenchFolder.h"
#include "platform/gdi/PainterCanvas.h"
#include "raster/LeadTools.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

namespace bench {
const QString &largeSheet();
}

namespace {

struct View {
    raster::Edges source;
    double k;
};
const View kFull{{9000, 9000, 10920, 10080}, 1};
const View kEighth{{2000, 5000, 17360, 13640}, 8};

QImage draw(const QString &file, const View &view)
{
    QImage target(1920, 1080, QImage::Format_RGB32);
    platform::gdi::PainterCanvas canvas(target);
    raster::DrawImageWithLead(nullptr, canvas,
                              {file, view.source, {0, 0, 1920, 1080}, 2, 0, 0, view.k, view.k});
    return target;
}

void run(benchmark::State &state, const QString &file, const View &view)
{
    if (!QFile::exists(file)) {
        state.SkipWithError("no sheet.jpg: bench/imaging_vs_gdal.sh makes it");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(draw(file, view));
}

QString jpeg()
{
    return QDir(bench::benchFolder()).filePath(QStringLiteral("sheet.jpg"));
}

// The picture as GDAL writes it: binary PPM, rows of RGB.
void keep(const QImage &picture, const QString &name)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QFile out(QDir(bench::benchFolder()).filePath(name));
    if (out.open(QIODevice::WriteOnly)) {
        out.write("P6\n1920 1080\n255\n");
        for (int y = 0; y < rgb.height(); ++y)
            out.write(reinterpret_cast<const char *>(rgb.constScanLine(y)), 1920 * 3);
    }
}

void BM_ImagingTiffFullResolution(benchmark::State &state)
{
    const QString &file = bench::largeSheet();
    run(state, file, kFull);
    keep(draw(file, kFull), QStringLiteral("imaging-window.ppm"));
}
BENCHMARK(BM_ImagingTiffFullResolution)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImagingTiffOneEighth(benchmark::State &state)
{
    const QString &file = bench::largeSheet();
    run(state, file, kEighth);
    keep(draw(file, kEighth), QStringLiteral("imaging-eighth.ppm"));
}
BENCHMARK(BM_ImagingTiffOneEighth)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImagingJpegFullResolution(benchmark::State &state)
{
    run(state, jpeg(), kFull);
}
BENCHMARK(BM_ImagingJpegFullResolution)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImagingJpegOneEighth(benchmark::State &state)
{
    run(state, jpeg(), kEighth);
}
BENCHMARK(BM_ImagingJpegOneEighth)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
