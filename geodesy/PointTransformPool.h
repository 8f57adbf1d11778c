#pragma once
// The points of a long transformation converted in several threads. The
// projection library's handles serve one thread at a time, so each thread
// has a PointTransform of its own, set up from the same parameters; the
// calling thread takes part with the first one. The other threads are
// started once and wait between the batches a run hands over.
//
// A batch is split into blocks that the threads take as they come free: a
// thread the system keeps waiting holds up no more than the block it took.

#include "geodesy/PointTransform.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace geodesy {

class PointTransformPool {
public:
    explicit PointTransformPool(TransformParams params);
    ~PointTransformPool();
    PointTransformPool(const PointTransformPool &) = delete;
    PointTransformPool &operator=(const PointTransformPool &) = delete;

    // Sets up the transforms of that many threads, the calling one included
    // (a pool set up already grows to that many); false as
    // PointTransform::setUp, error() saying why.
    bool setUp(int threads = 1);
    const QString &error() const;
    // The calling thread's transform.
    PointTransform &own();
    int threads() const;

    // Calls work(transform, begin, end) over [0, count) in blocks of `block`,
    // each block in one thread with that thread's transform, and returns
    // when every block is done. An exception of a block is thrown here,
    // after the others finished.
    using Work = std::function<void(PointTransform &, std::size_t, std::size_t)>;
    void forEach(std::size_t count, std::size_t block, const Work &work);

    // The threads a run of that many points takes: one below a size the
    // others would not repay, else one per processor, at most four.
    static int threadsFor(std::size_t points);

private:
    struct Shared;
    std::unique_ptr<Shared> s_;
};

} // namespace geodesy
