// The peer of the TIFF reader's window benchmark (bench/raster): GDAL's
// RasterIO reading a window of a picture into an RGB buffer, timed inside the
// process (GDAL's start-up left out). Each run opens the file, reads the
// window and closes it, as the map opens a sheet to draw it.
// Usage: bench_gdal_window <file> <left> <top> <width> <height> [<buffer width>
//        <buffer height> [runs [out.ppm]]]; prints the best, the median and
//        the mean wall time of one run and the median processor time as
//        "best_ms=<n> median_ms=<n> mean_ms=<n> cpu_median_ms=<n>", and writes
//        the last buffer as a binary PPM when asked.

#include <gdal_priv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s <file> <left> <top> <width> <height> [<buffer width> <buffer height> [runs [out.ppm]]]\n",
                     argv[0]);
        return 2;
    }
    const int left = std::atoi(argv[2]), top = std::atoi(argv[3]), width = std::atoi(argv[4]),
              height = std::atoi(argv[5]);
    const int bufferWidth = argc > 7 ? std::atoi(argv[6]) : width, bufferHeight = argc > 7 ? std::atoi(argv[7]) : height;
    const int runs = argc > 8 ? std::max(1, std::atoi(argv[8])) : 5;
    const char *ppm = argc > 9 ? argv[9] : nullptr;
    GDALAllRegister();
    std::vector<unsigned char> rgb(size_t(bufferWidth) * bufferHeight * 3);
    std::vector<double> times, cpuTimes;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        const std::clock_t c0 = std::clock();
        GDALDataset *ds = static_cast<GDALDataset *>(GDALOpenEx(argv[1], GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
        if (!ds || ds->GetRasterCount() < 3) {
            std::fprintf(stderr, "cannot open %s as an RGB picture\n", argv[1]);
            return 1;
        }
        int bands[] = {1, 2, 3};
        const CPLErr err = ds->RasterIO(GF_Read, left, top, width, height, rgb.data(), bufferWidth, bufferHeight,
                                        GDT_Byte, 3, bands, 3, GSpacing(bufferWidth) * 3, 1, nullptr);
        GDALClose(ds);
        if (err != CE_None) {
            std::fprintf(stderr, "RasterIO failed on %s\n", argv[1]);
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        cpuTimes.push_back(1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
    }
    if (ppm) {
        FILE *f = std::fopen(ppm, "wb");
        if (!f || std::fprintf(f, "P6\n%d %d\n255\n", bufferWidth, bufferHeight) < 0
            || std::fwrite(rgb.data(), 1, rgb.size(), f) != rgb.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", ppm);
            return 1;
        }
    }
    double sum = 0;
    for (double t : times)
        sum += t;
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf("best_ms=%.3f median_ms=%.3f mean_ms=%.3f cpu_median_ms=%.3f\n", times.front(), times[times.size() / 2],
                sum / runs, cpuTimes[cpuTimes.size() / 2]);
    return 0;
}
