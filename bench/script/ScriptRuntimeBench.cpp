// The script engine's runtime beside Lua 5.4, the same five programs:
// - an integer for loop of 10,000,000 passes (n := n + 1);
// - a while loop of 10,000,000 rounds with "if i mod 3 = 0";
// - recursive fib(30) (2.7 million calls);
// - 100,000 string appends (s := s + 'x');
// - 1,000,000 reads and writes of a published property of a bound object
//   (Lua: a table field).
// Only the run is timed (PascalScript, compiled before); Lua times its own
// loop with os.clock: compare it with the CPU column of the others.
//
//   build/bench/bench_script --benchmark_filter=Run

#include "platform/classlib/Classes.h"
#include "script/Languages.h"
#include "script/Script.h"

#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using platform::classlib::TComponent;

const char *const kForLoop = "var i, n: Integer;\nbegin\n  for i := 1 to 10000000 do n := n + 1;\nend.";
const char *const kWhileMod = "var i, n: Integer;\nbegin\n  i := 0;\n  n := 0;\n  while i < 10000000 do\n  begin\n    i := i + 1;\n"
                              "    if i mod 3 = 0 then n := n + 1;\n  end;\nend.";
const char *const kFib = "var x: Integer;\nfunction Fib(n: Integer): Integer;\nbegin\n  if n < 2 then Result := n\n"
                         "  else Result := Fib(n - 1) + Fib(n - 2);\nend;\nbegin\n  x := Fib(30);\nend.";
const char *const kAppends = "var i: Integer; s: String;\nbegin\n  s := '';\n  for i := 1 to 100000 do s := s + 'x';\nend.";
const char *const kProperty =
    "var i: Integer;\nbegin\n  for i := 1 to 1000000 do Thing.Tag := Thing.Tag + 1;\nend.";

void runScript(benchmark::State &state, const char *text)
{
    script::RegisterBuiltInLanguages();
    script::TfsScript s;
    script::AddCoreItems(s);
    s.AddClass(platform::classlib::TObject::staticClassInfo(), {});
    s.AddClass(platform::classlib::TPersistent::staticClassInfo(), "TObject");
    s.AddClass(TComponent::staticClassInfo(), "TPersistent");
    TComponent thing;
    s.AddObject("Thing", &thing);
    s.Lines.SetText(QString::fromLatin1(text));
    if (!s.Compile()) {
        state.SkipWithError(s.ErrorMessage.constData());
        return;
    }
    for (auto _ : state)
        s.Execute();
}

void BM_RunForLoop(benchmark::State &state) { runScript(state, kForLoop); }
void BM_RunWhileMod(benchmark::State &state) { runScript(state, kWhileMod); }
void BM_RunFib30(benchmark::State &state) { runScript(state, kFib); }
void BM_RunStringAppends(benchmark::State &state) { runScript(state, kAppends); }
void BM_RunPropertyReadWrite(benchmark::State &state) { runScript(state, kProperty); }

// Runs a Lua program that prints the seconds its loop took.
void runLua(benchmark::State &state, const QString &program)
{
    const QString lua = QStandardPaths::findExecutable(QStringLiteral("lua5.4"));
    if (lua.isEmpty()) {
        state.SkipWithError("lua5.4 is not installed (TOLVANE_WITH_BENCH=1 tools/deps.sh)");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.start(lua, {QStringLiteral("-e"), QStringLiteral("local t0 = os.clock()\n") + program +
                                                QStringLiteral("\nio.write(string.format('%.6f', os.clock() - t0))")});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            state.SkipWithError("lua5.4 failed");
            return;
        }
        state.SetIterationTime(QString::fromLatin1(p.readAllStandardOutput()).toDouble());
    }
}

void BM_RunLuaForLoop(benchmark::State &state)
{
    runLua(state, QStringLiteral("local n = 0\nfor i = 1, 10000000 do n = n + 1 end"));
}
void BM_RunLuaWhileMod(benchmark::State &state)
{
    runLua(state, QStringLiteral("local i, n = 0, 0\nwhile i < 10000000 do\n  i = i + 1\n"
                                 "  if i % 3 == 0 then n = n + 1 end\nend"));
}
void BM_RunLuaFib30(benchmark::State &state)
{
    runLua(state, QStringLiteral("local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end\n"
                                 "local x = fib(30)"));
}
void BM_RunLuaStringAppends(benchmark::State &state)
{
    runLua(state, QStringLiteral("local s = ''\nfor i = 1, 100000 do s = s .. 'x' end"));
}
void BM_RunLuaTableField(benchmark::State &state)
{
    runLua(state, QStringLiteral("local t = {Tag = 0}\nfor i = 1, 1000000 do t.Tag = t.Tag + 1 end"));
}

} // namespace

BENCHMARK(BM_RunForLoop)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RunLuaForLoop)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_RunWhileMod)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RunLuaWhileMod)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_RunFib30)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RunLuaFib30)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_RunStringAppends)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RunLuaStringAppends)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_RunPropertyReadWrite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RunLuaTableField)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
