// The peer of bench_layer_reading: a minimal GDAL loop that opens a layer and
// reads every geometry, timed inside the process (GDAL's start-up left out).
// Usage: bench_gdal_loop <layer.shp> [runs]; prints the best and the mean time
// of one open and read of every object as "best_ms=<n> mean_ms=<n>".

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Opens the layer and reads every feature's geometry; the number of points.
// Every attribute field is left unread, whatever the layer holds, as the map
// data core reads none of them when it reads an object.
long long readAll(const char *path)
{
    GDALDataset *ds = static_cast<GDALDataset *>(GDALOpenEx(path, GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!ds)
        return -1;
    OGRLayer *layer = ds->GetLayer(0);
    const OGRFeatureDefn *defn = layer->GetLayerDefn();
    std::vector<const char *> ignored;
    for (int i = 0; i < defn->GetFieldCount(); ++i)
        ignored.push_back(defn->GetFieldDefn(i)->GetNameRef());
    ignored.push_back("OGR_STYLE");
    ignored.push_back(nullptr);
    layer->SetIgnoredFields(ignored.data());
    long long points = 0;
    while (OGRFeature *f = layer->GetNextFeature()) {
        if (const OGRGeometry *g = f->GetGeometryRef()) {
            if (wkbFlatten(g->getGeometryType()) == wkbPolygon) {
                const OGRPolygon *p = g->toPolygon();
                points += p->getExteriorRing() ? p->getExteriorRing()->getNumPoints() : 0;
            }
        }
        OGRFeature::DestroyFeature(f);
    }
    GDALClose(ds);
    return points;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <layer.shp> [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    GDALAllRegister();
    double best = 1e300, sum = 0;
    long long points = 0;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        points = readAll(argv[1]);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (points < 0) {
            std::fprintf(stderr, "cannot open %s\n", argv[1]);
            return 1;
        }
        best = std::min(best, ms);
        sum += ms;
    }
    std::printf("best_ms=%.3f mean_ms=%.3f points=%lld\n", best, sum / runs, points);
    return 0;
}
