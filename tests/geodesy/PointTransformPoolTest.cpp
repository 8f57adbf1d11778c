// The pool of transforms a long run converts with: every index of every
// batch taken once, each with the transform of the thread that took it, and
// a failure of a block thrown to the caller.

#include "geodesy/PointTransformPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <vector>

using namespace geodesy;

TEST(PointTransformPool, EveryIndexOfEveryBatchIsTakenOnce)
{
    PointTransformPool pool({tkShift, 0, 1, 10, 20, 1, 0, {}, {}});
    ASSERT_TRUE(pool.setUp(4));
    EXPECT_EQ(pool.threads(), 4);
    // Many small batches one after another, as a run hands them over.
    for (size_t count : {1u, 7u, 1000u, 12345u}) {
        for (int round = 0; round < 50; ++round) {
            std::vector<std::atomic<int>> taken(count);
            std::vector<double> xs(count);
            pool.forEach(count, 3, [&](PointTransform &t, size_t begin, size_t end) {
                for (size_t k = begin; k < end; ++k) {
                    ++taken[k];
                    double x = static_cast<double>(k), y = 0;
                    t.apply(x, y, false);
                    xs[k] = x;
                }
            });
            for (size_t k = 0; k < count; ++k) {
                ASSERT_EQ(taken[k], 1) << count << " " << k;
                ASSERT_EQ(xs[k], static_cast<double>(k) + 20);
            }
        }
    }
}

TEST(PointTransformPool, AFailedBlockIsThrownToTheCaller)
{
    PointTransformPool pool({tkShift, 0, 1, 0, 0, 1, 0, {}, {}});
    ASSERT_TRUE(pool.setUp(3));
    std::atomic<size_t> done{0};
    EXPECT_THROW(pool.forEach(100, 1,
                              [&](PointTransform &, size_t begin, size_t) {
                                  if (begin == 42)
                                      throw std::runtime_error("block 42");
                                  ++done;
                              }),
                 std::runtime_error);
    EXPECT_EQ(done, 99u);
    // The pool serves the next batch.
    done = 0;
    pool.forEach(10, 1, [&](PointTransform &, size_t, size_t) { ++done; });
    EXPECT_EQ(done, 10u);
}

TEST(PointTransformPool, ARefusedDefinitionIsSaid)
{
    PointTransformPool pool({tkProjections, 0, 1, 0, 0, 1, 0, QStringLiteral("+proj=tmerc +ellps=krass"), {}});
    EXPECT_FALSE(pool.setUp());
    EXPECT_TRUE(pool.error().startsWith(QStringLiteral("Ошибка при формировании проекции "))) << pool.error().toStdString();
}
