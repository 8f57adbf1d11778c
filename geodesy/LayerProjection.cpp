#include "geodesy/LayerProjection.h"

#include <QDir>

#include <algorithm>

namespace geodesy {

namespace {

constexpr size_t cacheSize = 8;
const QString searchPath = QStringLiteral(".\\nad");

class LayerHandle : public IProjection {
public:
    explicit LayerHandle(std::shared_ptr<ProjHandle> h) : h_(std::move(h)) {}
    void forward(double &x, double &y) override
    {
        const projUV r = pj_fwd({x, y}, h_.get());
        x = r.u;
        y = r.v;
    }
    void inverse(double &x, double &y) override
    {
        const projUV r = pj_inv({x, y}, h_.get());
        x = r.u;
        y = r.v;
    }

private:
    std::shared_ptr<ProjHandle> h_;
};

} // namespace

LayerProjectionLibrary::LayerProjectionLibrary() = default;
LayerProjectionLibrary::~LayerProjectionLibrary() = default;

std::unique_ptr<IProjection> LayerProjectionLibrary::setUp(const QString &definition)
{
    // The search path is resolved against the current folder, which may change
    // between set-ups: it is part of the key.
    const QString key = definition + QChar(u'\n') + QDir::currentPath();
    auto it = std::find_if(cache_.begin(), cache_.end(), [&](const Entry &e) { return e.key == key; });
    if (it != cache_.end()) {
        Entry e = std::move(*it);
        cache_.erase(it);
        cache_.push_back(std::move(e));
        return std::make_unique<LayerHandle>(cache_.back().handle);
    }
    ++calls_;
    projPJ P = pj_init_plus_path(definition, searchPath);
    if (!P) {
        error_ = pj_strerrno(*pj_get_errno_ref());
        return nullptr; // refused texts are not kept: a later try may succeed
    }
    error_.clear();
    if (cache_.size() >= cacheSize)
        cache_.erase(cache_.begin());
    cache_.push_back({key, std::shared_ptr<ProjHandle>(P, pj_free)});
    return std::make_unique<LayerHandle>(cache_.back().handle);
}

} // namespace geodesy
