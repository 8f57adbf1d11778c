// The Variant's operations in loops of 10 million, side by side with the
// same loops run by lua5.4 (timed by Lua itself with os.clock: processor
// time without the interpreter's start; compare it with the CPU column):
// addition of two integers, comparison, copy of a string value, float
// addition. The script engine's loops are to come within 5x of Lua's, so
// this is where its budget starts. Also 1,000,000 appends to one string
// ("s := s + x"), which stays linear because an unshared string grows in
// place.
//
//   build/bench/bench_variant

#include "platform/Variant.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <benchmark/benchmark.h>

using platform::Variant;

namespace {

constexpr int kLoop = 10000000;

void BM_Variant_Add(benchmark::State &state)
{
    for (auto _ : state) {
        Variant s(0);
        const Variant v(3);
        for (int i = 0; i < kLoop; ++i)
            s = s + v;
        benchmark::DoNotOptimize(s);
    }
}

void BM_Variant_AddFloat(benchmark::State &state)
{
    for (auto _ : state) {
        Variant s(0.0);
        const Variant v(0.5);
        for (int i = 0; i < kLoop; ++i)
            s = s + v;
        benchmark::DoNotOptimize(s);
    }
}

void BM_Variant_Compare(benchmark::State &state)
{
    for (auto _ : state) {
        const Variant limit(kLoop / 2);
        int n = 0;
        for (int i = 0; i < kLoop; ++i)
            if (Variant(i) < limit)
                ++n;
        benchmark::DoNotOptimize(n);
    }
}

void BM_Variant_CopyString(benchmark::State &state)
{
    for (auto _ : state) {
        // Two strings in turn, so every copy takes a reference and lets one go.
        const Variant a[2] = {Variant(QStringLiteral("text")), Variant(QStringLiteral("other"))};
        Variant b;
        for (int i = 0; i < kLoop; ++i) {
            b = a[i & 1];
            benchmark::DoNotOptimize(b);
        }
    }
}

void BM_Variant_Append(benchmark::State &state)
{
    const Variant x(QStringLiteral("x"));
    for (auto _ : state) {
        Variant s(QString{});
        for (int i = 0; i < kLoop / 10; ++i)
            s = std::move(s) + x;
        benchmark::DoNotOptimize(s);
    }
}

// Runs a chunk whose loop body is `body` 10 million times and returns
// Lua's own time for it.
void lua(benchmark::State &state, const char *setup, const char *body)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("lua5.4"));
    if (program.isEmpty()) {
        state.SkipWithError("lua5.4 is not installed (TOLVANE_WITH_BENCH=1 tools/deps.sh)");
        return;
    }
    const QString chunk = QStringLiteral("%1\nlocal t0 = os.clock()\nfor i = 1, %2 do %3 end\n"
                                         "io.write(string.format('%.6f', os.clock() - t0))\n")
                              .arg(QString::fromLatin1(setup))
                              .arg(kLoop)
                              .arg(QString::fromLatin1(body));
    for (auto _ : state) {
        QProcess p;
        p.start(program, {QStringLiteral("-e"), chunk});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            state.SkipWithError("lua5.4 failed");
            return;
        }
        state.SetIterationTime(QString::fromLatin1(p.readAllStandardOutput()).toDouble());
    }
}

void BM_Lua_Add(benchmark::State &state)
{
    lua(state, "local s, v = 0, 3", "s = s + v");
}

void BM_Lua_AddFloat(benchmark::State &state)
{
    lua(state, "local s, v = 0.0, 0.5", "s = s + v");
}

void BM_Lua_Compare(benchmark::State &state)
{
    lua(state, "local n, limit = 0, 5000000", "if i < limit then n = n + 1 end");
}

void BM_Lua_CopyString(benchmark::State &state)
{
    lua(state, "local a, b = {'text', 'other'}, nil", "b = a[i % 2 + 1]");
}

} // namespace

BENCHMARK(BM_Variant_Add)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Lua_Add)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_Variant_AddFloat)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Lua_AddFloat)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_Variant_Compare)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Lua_Compare)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_Variant_CopyString)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Lua_CopyString)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_Variant_Append)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
