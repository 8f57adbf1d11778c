// A report expression with five operators and two field references,
// evaluated 1,000,000 times per iteration: through Calc (as text objects
// evaluate their bracketed expressions), through CalcPostfix (as group and
// highlight conditions are stored), and, in the same run, the same
// expression as a Lua 5.4 chunk run by lua5.4, timed by Lua itself with
// os.clock (processor time, without the interpreter's start): compare it with
// the CPU column of the others. The field values change on every evaluation.
//
//   build/bench/bench_reports

#include "reports/language/ExpressionParser.h"

#include <QHash>
#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

using namespace reports;

namespace {

constexpr int kEvaluations = 1000000;
const QString kExpression = QStringLiteral("([Data.Area] * 2 + [Data.Price]) / 4 - 1 > 10");

// The fields of the current record, as the report's data lookup answers them.
struct Record {
    QHash<QString, Variant> fields{{QStringLiteral("Data.Area"), Variant(0)},
                                   {QStringLiteral("Data.Price"), Variant(3.5)}};
    Parser parser;
    Record()
    {
        parser.OnGetValue = [this](const QString &name, Variant &value) {
            if (const auto it = fields.constFind(name); it != fields.constEnd())
                value = *it;
        };
    }
};

void BM_Calc(benchmark::State &state)
{
    Record r;
    Variant &area = r.fields[QStringLiteral("Data.Area")];
    qint64 hits = 0;
    for (auto _ : state) {
        for (int i = 1; i <= kEvaluations; ++i) {
            area = Variant(i % 100);
            hits += r.parser.Calc(kExpression).rawInteger();
        }
    }
    state.counters["true"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void BM_CalcPostfix(benchmark::State &state)
{
    Record r;
    Variant &area = r.fields[QStringLiteral("Data.Area")];
    const QString postfix = Parser::ToPostfix(kExpression);
    qint64 hits = 0;
    for (auto _ : state) {
        for (int i = 1; i <= kEvaluations; ++i) {
            area = Variant(i % 100);
            hits += r.parser.CalcPostfix(postfix).rawInteger();
        }
    }
    state.counters["true"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void BM_Lua(benchmark::State &state)
{
    const QString lua = QStandardPaths::findExecutable(QStringLiteral("lua5.4"));
    if (lua.isEmpty()) {
        state.SkipWithError("lua5.4 is not installed (TOLVANE_WITH_BENCH=1 tools/deps.sh)");
        return;
    }
    const QString chunk = QStringLiteral(R"(
local r = {Area = 0, Price = 3.5}
local f = load("return (r.Area * 2 + r.Price) / 4 - 1 > 10", "expr", "t", {r = r})
local n = 0
local t0 = os.clock()
for i = 1, %1 do
  r.Area = i %% 100
  if f() then n = n + 1 end
end
io.write(string.format("%%.6f %%d", os.clock() - t0, n))
)")
                              .arg(kEvaluations)
                              .replace(QStringLiteral("%%"), QStringLiteral("%"));
    double hits = 0;
    for (auto _ : state) {
        QProcess p;
        p.start(lua, {QStringLiteral("-e"), chunk});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            state.SkipWithError("lua5.4 failed");
            return;
        }
        const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(u' ');
        state.SetIterationTime(out.value(0).toDouble());
        hits = out.value(1).toDouble();
    }
    state.counters["true"] = hits;
}

} // namespace

BENCHMARK(BM_Calc)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CalcPostfix)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Lua)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

BENCHMARK_MAIN();
