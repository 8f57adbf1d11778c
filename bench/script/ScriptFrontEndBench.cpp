// The script engine's front end: source text to intermediate program.
// - 1,000 distinct report expressions, each in the wrapper function the
//   expression cache compiles it in (PascalScript), each by a parser of its
//   own as the cache does it;
// - a PascalScript unit of 2,000 lines (100 functions of loops, conditions
//   and a case).
// In the same run, Lua 5.4 loads the same shapes (1,000 wrapper chunks, and
// one chunk of 100 functions of 20 lines), timed by Lua itself with
// os.clock: compare it with the CPU column of the others.
//
//   build/bench/bench_script

#include "script/ILParser.h"
#include "script/Languages.h"

#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

QByteArray wrapper(int n)
{
    const QByteArray i = QByteArray::number(n);
    return "function fr3f" + i + ": Variant; begin Result := IntToStr(<Data.\"Field" + i +
           "\">) + ' ' + FormatFloat('0.00', <Data.\"Sum\"> * " + i + " / 100) end; begin end.";
}

QByteArray pascalUnit()
{
    QByteArray text;
    for (int f = 0; f < 100; ++f) {
        const QByteArray n = QByteArray::number(f);
        text += "function F" + n + "(a, b: Integer): Integer;\r\nvar\r\n  i, s: Integer;\r\nbegin\r\n  s := 0;\r\n"
                "  for i := 1 to a do\r\n  begin\r\n    if (i mod 2) = 0 then\r\n      s := s + i * b\r\n"
                "    else\r\n      s := s - i;\r\n  end;\r\n  while s > 100 do\r\n    s := s div 2;\r\n"
                "  case s of\r\n    1: s := 10;\r\n    2..5: s := 20;\r\n  end;\r\n  Result := s + " + n + ";\r\nend;\r\n";
    }
    return text + "begin\r\nend.\r\n";
}

bool compile(const QByteArray &text)
{
    script::CompileTarget target;
    script::TfsILParser parser(target);
    parser.SelectLanguage(QStringLiteral("PascalScript"));
    return parser.SourceToIL(text);
}

void BM_ExpressionWrappers(benchmark::State &state)
{
    script::RegisterBuiltInLanguages();
    std::vector<QByteArray> texts;
    for (int n = 0; n < 1000; ++n)
        texts.push_back(wrapper(n));
    compile(texts[0]); // the grammar is read once, before
    for (auto _ : state) {
        int ok = 0;
        for (const QByteArray &t : texts)
            ok += compile(t);
        if (ok != 1000)
            state.SkipWithError("a wrapper did not compile");
    }
}

void BM_Unit2000Lines(benchmark::State &state)
{
    script::RegisterBuiltInLanguages();
    const QByteArray text = pascalUnit();
    compile("begin end.");
    for (auto _ : state)
        if (!compile(text))
            state.SkipWithError("the unit did not compile");
    state.counters["lines"] = static_cast<double>(text.count('\n'));
}

// Runs a Lua program that prints the seconds its loads took.
void runLua(benchmark::State &state, const QString &program)
{
    const QString lua = QStandardPaths::findExecutable(QStringLiteral("lua5.4"));
    if (lua.isEmpty()) {
        state.SkipWithError("lua5.4 is not installed (TOLVANE_WITH_BENCH=1 tools/deps.sh)");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.start(lua, {QStringLiteral("-e"), program});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            state.SkipWithError("lua5.4 failed");
            return;
        }
        state.SetIterationTime(QString::fromLatin1(p.readAllStandardOutput()).toDouble());
    }
}

void BM_LuaExpressionWrappers(benchmark::State &state)
{
    runLua(state, QStringLiteral(R"(
local texts = {}
for n = 0, 999 do
  texts[#texts + 1] = string.format([[local function fr3f%d() return tostring(Get('Data."Field%d"')) .. ' ' .. string.format('%%.2f', Get('Data."Sum"') * %d / 100) end]], n, n, n)
end
local t0 = os.clock()
for _, t in ipairs(texts) do assert(load(t)) end
io.write(string.format("%.6f", os.clock() - t0))
)"));
}

void BM_LuaUnit2000Lines(benchmark::State &state)
{
    runLua(state, QStringLiteral(R"(
local parts = {}
for f = 0, 99 do
  parts[#parts + 1] = string.format([[local function F%d(a, b)
  local i, s
  s = 0
  for i = 1, a do
    if (i %% 2) == 0 then
      s = s + i * b
    else
      s = s - i
    end
  end
  while s > 100 do
    s = s // 2
  end
  if s == 1 then
    s = 10
  elseif s >= 2 and s <= 5 then
    s = 20
  end
  return s + %d
end
]], f, f)
end
local text = table.concat(parts)
local t0 = os.clock()
assert(load(text))
io.write(string.format("%.6f", os.clock() - t0))
)"));
}

} // namespace

BENCHMARK(BM_ExpressionWrappers)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Unit2000Lines)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_LuaExpressionWrappers)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();
BENCHMARK(BM_LuaUnit2000Lines)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

BENCHMARK_MAIN();
