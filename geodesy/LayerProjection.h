#pragma once
// The projection library as the map data core uses it for layers: each
// set-up goes through pj_init_plus_path with the search path ".\nad". Set-ups
// run at every object read, so the last few handles are kept by definition
// text (and the resolved search path); conversions keep no state, so a kept
// handle converts exactly as a new one.

#include "geodesy/ProjectionBinding.h"
#include "mapdata/MapServices.h"

#include <memory>
#include <vector>

namespace geodesy {

class LayerProjectionLibrary : public ILayerProjection {
public:
    LayerProjectionLibrary();
    ~LayerProjectionLibrary() override;

    std::unique_ptr<IProjection> setUp(const QString &definition) override;
    QString lastError() const override { return error_; }

    // How many set-ups reached the library (for tests of the cache).
    int libraryCalls() const { return calls_; }

private:
    struct Entry {
        QString key;
        std::shared_ptr<ProjHandle> handle;
    };
    std::vector<Entry> cache_;   // most recent last
    int calls_ = 0;
    QString error_;
};

} // namespace geodesy
