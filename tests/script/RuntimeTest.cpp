// Expressions, statements and procedures as scripts see them.

#include "ScriptHarness.h"

#include <gtest/gtest.h>

using namespace scripttest;

namespace {

TEST(Expressions, PrioritiesValuesAndErrors)
{
    struct Case {
        const char *setup;
        const char *expression;
        const char *result;
    } const cases[] = {
        {"", "2 + 3 * 4", "14"},
        {"", "(2 + 3) * 4", "20"},
        {"", "10 - 4 - 3", "3"},
        {"", "7 / 2", "3.5"},
        {"", "6 / 3", "2"},
        {"", "7 div 2", "3"},
        {"", "7 mod 3", "1"},
        {"", "-7 div 2", "-3"},
        {"", "6 and 3", "2"},
        {"", "6 or 3", "7"},
        {"", "6 xor 3", "5"},
        {"", "1 shl 4", "16"},
        {"", "2147483647 + 1", "-2147483648"},
        {"", "'a' + 'b'", "ab"},
        {"", "2 + 1.5", "3.5"},
        {"", "i = 0", "True"},
        // not binds tighter than =: (not a) = b.
        {"  a := False; b := True;", "not a = b", "True"},
        // Comparisons share the additive level's neighbours: a = 1 and b = 2
        // groups as (a = (1 and b)) = 2, which the types refuse.
        {"", "i = 1 and i = 2", "8:22: Incompatible types"},
        {"", "(i = 1) and (i = 2)", "False"},
        {"", "'a' + 1", "8:14: Incompatible types"},
        {"  v := 'x';", "v + 1", "error: Не возможности преобразовать тип variant (String) в тип (Double)"},
        {"  v := 2;", "v + 1", "3"},
        {"  i := 4;", "i in [1, 3..5]", "True"},
        {"  i := 2;", "i in [1, 3..5]", "False"},
        {"  i := 6;", "i in [1, 3..5]", "False"},
        {"  v := VarArray;  i := 2;", "i in v", "True"},
        {"  v := VarArray;  i := 7;", "i in v", "True"},
        {"  v := VarArray;  i := 5;", "i in v", "False"},
        {"  v := VarArray;  i := 8;", "i in v", "False"},
        // Short-circuit only on Booleans.
        {"  a := False;", "a and F", "False"},
        {"  a := True;", "a or F", "True"},
        {"  a := True;", "a and F", "F|True"},
        {"", "7 div i", "error: Division by zero"},
        {"", "7 mod i", "error: Division by zero"},
        {"", "7 / i", "error: Floating point division by zero"},
    };
    for (const Case &c : cases) {
        Harness h;
        h.addMethod("function VarArray: Variant",
                           [](TObject *, const ClassInfo *, const QByteArray &, script::TfsMethodHelper &) {
                               const platform::VarBound bound{0, 3};
                               Variant v = Variant::array(std::span(&bound, 1));
                               const Variant values[] = {Variant(1), Variant::null(), Variant(3), Variant(7)};
                               for (int i = 0; i < 4; ++i) {
                                   const int index[1] = {i};
                                   v.arrayPut(index, values[i]);
                               }
                               return v;
                           });
        // The expression stands on line 8 (for the positions of errors).
        const QString setup = QString::fromUtf8(c.setup);
        const QString program =
            QStringLiteral("var a, b: Boolean; i: Integer; v: Variant;\n"
                           "function F: Boolean;\nbegin\n  Print('F');\n  Result := True;\nend;\n"
                           "begin %1\n  Print(%2);\nend.")
                .arg(setup, QString::fromUtf8(c.expression));
        EXPECT_EQ(h.run(program), QString::fromUtf8(c.result)) << c.expression << " after " << c.setup;
    }
}

// A value that names no object is false for is, and the right side is
// never evaluated (that would make an instance).
TEST(Expressions, IsTestsLivingObjectsOnly)
{
    Harness h;
    h.addThing("Thing");
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  Print(Thing is TComponent);\n  Print(Thing is TStringList);\n"
                    "  v := 12345;\n  Print(v is TObject);\n  v := TStringList.Create;\n  Print(v is TStrings);\n"
                    "  v.Free;\n  Print(v is TStrings);\nend."),
              "True|False|False|True|False");
}

// A constant or a compound expression passed for a var parameter leaves
// nothing changed; a variable takes the value back.
TEST(Expressions, VarParameterWritesBackOnlyToDesignators)
{
    Harness h;
    EXPECT_EQ(h.run("var x: Integer;\nprocedure P(var a: Integer);\nbegin\n  a := 9;\nend;\n"
                    "begin\n  x := 1;\n  P(x + 1);\n  Print(x);\n  P(5);\n  P(x);\n  Print(x);\nend."),
              "1|9");
}

// One program per language where the syntax exists.
struct LanguageCase {
    const char *language;
    const char *text;
    const char *output;
};

void runAll(const std::vector<LanguageCase> &cases)
{
    for (const LanguageCase &c : cases) {
        Harness h(QString::fromLatin1(c.language));
        EXPECT_EQ(h.run(QString::fromUtf8(c.text)), QString::fromUtf8(c.output)) << c.language << ": " << c.text;
    }
}

TEST(Statements, Loops)
{
    runAll({
        // A loop from 5 up to 1 runs no pass and leaves the variable.
        {"PascalScript", "var i: Integer;\nbegin\n  i := 7;\n  for i := 5 to 1 do Print(i);\n  Print(i);\nend.", "7"},
        // The pass count is fixed before the first pass.
        {"PascalScript", "var i, n: Integer;\nbegin\n  for i := 1 to 3 do\n  begin\n    n := n + 1;\n    i := 10;\n"
                         "  end;\n  Print(n);\n  Print(i);\nend.",
         "3|10"},
        {"PascalScript", "var i: Integer;\nbegin\n  for i := 3 downto 1 do Print(i);\nend.", "3|2|1"},
        {"ZoridEdodud", "For x = 1 To 2 Step 0.5\n  Print(x)\nNext\n", "1|1.5|2"},
        {"ZoridEdodud", "For x = 3 To 1 Step -1\n  Print(x)\nNext\n", "3|2|1"},
        // continue in repeat still tests the condition.
        {"PascalScript", "var i: Integer;\nbegin\n  repeat\n    i := i + 1;\n    if i < 3 then continue;\n"
                         "    Print(i);\n  until i >= 3;\nend.",
         "3"},
        {"JScript", "var i = 0;\ndo { i++; if (i < 3) continue; Print(i); } while (i < 5);\n", "3|4|5"},
        // continue in the C-like for still runs the step.
        {"D++Eviviz", "int i;\n{\n  for (i = 0; i < 4; i++) { if (i == 1) continue; Print(i); }\n}\n", "0|2|3"},
        {"JScript", "for (var i = 0, j = 10; i < 2; i++) Print(i + j);\n", "10|11"},
        {"ZoridEdodud", "i = 0\nDo\n  i = i + 1\nLoop While i < 3\nPrint(i)\n", "3"},
        {"ZoridEdodud", "i = 0\nWhile True\n  i = i + 1\n  If i > 2 Then Break\nWend\nPrint(i)\n", "3"},
    });
}

TEST(Statements, CaseTryAndExit)
{
    runAll({
        // A case that matches two selectors runs only the first.
        {"PascalScript", "var i: Integer;\nbegin\n  i := 4;\n  case i of\n    1, 3..5: Print('a');\n    4: Print('b');\n"
                         "  else Print('c');\n  end;\nend.",
         "a"},
        // A branch with an empty statement keeps its labels: nothing runs.
        {"PascalScript", "var x: Integer;\nbegin\n  x := 1;\n  case x of\n    1: ;\n  else\n    Print('else');\n"
                         "  end;\n  Print('done');\nend.",
         "done"},
        {"ZoridEdodud", "x = 9\nSelect Case x\nCase 1:\n  Print(1)\nCase Else:\n  Print(\"else\")\nEnd Select\n", "else"},
        {"JScript", "switch (\"b\") { case \"a\": Print(1); case \"b\", \"c\": Print(2); default: Print(3); }\n", "2"},
        // exit inside try/finally runs the whole finally part, then leaves.
        {"PascalScript", "procedure P;\nbegin\n  try\n    exit;\n  finally\n    Print('f1');\n    Print('f2');\n  end;\n"
                         "  Print('after');\nend;\nbegin\n  P;\n  Print('caller');\nend.",
         "f1|f2|caller"},
        {"PascalScript", "begin\n  try\n    RaiseException('x');\n  except\n    Print('caught');\n  end;\n"
                         "  Print('next');\nend.",
         "caught|next"},
        // A finally part runs on the way out of an error, which goes on.
        {"PascalScript", "begin\n  try\n    try\n      RaiseException('x');\n    finally\n      Print('f');\n    end;\n"
                         "  except\n    Print('e');\n  end;\nend.",
         "f|e"},
        {"PascalScript", "begin\n  RaiseException('Нет данных');\n  Print('never');\nend.", "error: Нет данных"},
        {"D++Eviviz", "{\n  try { RaiseException(\"x\"); } except { Print(\"caught\"); }\n}\n", "caught"},
    });
}

TEST(Procedures, CallsAndRecursion)
{
    runAll({
        {"PascalScript", "function F(N: Integer): Integer;\nbegin\n  if N < 2 then Result := 1\n"
                         "  else Result := N * F(N - 1);\nend;\nbegin\n  Print(F(5));\nend.",
         "120"},
        {"PascalScript", "function F(N: Integer): Integer;\nbegin\n  if N < 2 then Result := 1\n"
                         "  else Result := F(N - 1) * N;\nend;\nbegin\n  Print(F(5));\nend.",
         "120"},
        {"PascalScript", "var x, y: Integer;\nprocedure P(a: Integer; var b: Integer);\nbegin\n  a := 5;\n  b := 6;\nend;\n"
                         "begin\n  P(x, y);\n  Print(x);\n  Print(y);\nend.",
         "0|6"},
        // Locals keep their values between calls.
        {"PascalScript", "procedure P;\nvar n: Integer;\nbegin\n  n := n + 1;\n  Print(n);\nend;\nbegin\n  P;\n  P;\nend.", "1|2"},
        // exit in a nested procedure ends that one only.
        {"PascalScript", "procedure Inner;\nbegin\n  exit;\n  Print('no');\nend;\nprocedure Outer;\nbegin\n  Inner;\n"
                         "  Print('outer');\nend;\nbegin\n  Outer;\n  Print('main');\nend.",
         "outer|main"},
        {"JScript", "function F(n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nPrint(F(10));\n", "55"},
        {"ZoridEdodud", "Function F(n)\n  If n < 2 Then\n    Return n\n  End If\n  Return F(n - 1) + F(n - 2)\n"
                        "End Function\nPrint(F(10))\n",
         "55"},
    });
}

// A recursive call that fails gives its caller back its own parameters and
// locals before the caller's try statement sees the error.
TEST(Procedures, FailedRecursiveCallRestoresTheCallersValues)
{
    Harness h;
    EXPECT_EQ(h.run("function F(N: Integer): Integer;\nvar local: Integer;\nbegin\n  local := N * 100;\n"
                    "  if N = 2 then RaiseException('inner');\n  try\n    Result := F(N + 1);\n  except\n"
                    "    Result := N * 1000 + local;\n  end;\nend;\nbegin\n  Print(F(1));\nend."),
              "1100");
}

// A break outside any loop, or a continue, left on a script, does not cut
// the next run or the next call.
TEST(Procedures, StrayBreakDoesNotCutTheNextRunOrCall)
{
    Harness h;
    ASSERT_EQ(h.compile("procedure P(stop: Boolean);\nbegin\n  if stop then break;\n  Print('p');\nend;\n"
                        "begin\n  Print('one');\n  Print('two');\nend."),
              QString());
    h.script.Execute();
    h.script.BreakRequested = true;
    h.script.ContinueRequested = true;
    h.script.Execute();
    EXPECT_EQ(h.out.join('|'), "one|two|one|two");
    h.out.clear();
    h.script.CallFunction("P", [] {
        const platform::VarBound bound{0, 0};
        Variant args = Variant::array(std::span(&bound, 1));
        const int index[1] = {0};
        args.arrayPut(index, Variant(true));
        return args;
    }());
    h.script.CallFunction("P", [] {
        const platform::VarBound bound{0, 0};
        Variant args = Variant::array(std::span(&bound, 1));
        const int index[1] = {0};
        args.arrayPut(index, Variant(false));
        return args;
    }());
    EXPECT_EQ(h.out.join('|'), "p");
}

TEST(Procedures, RunningLocalScriptDuringAndAfterACall)
{
    Harness h;
    script::TfsScript *seen = nullptr;
    h.addMethod("procedure Look", [&](TObject *, const ClassInfo *, const QByteArray &,
                                             script::TfsMethodHelper &) {
        seen = h.script.RunningLocalScript;
        return Variant();
    });
    ASSERT_EQ(h.compile("procedure P;\nbegin\n  Look;\nend;\nbegin\n  P;\nend."), QString());
    h.script.Execute();
    auto *p = static_cast<script::TfsProcVariable *>(h.script.FindLocal("P"));
    EXPECT_EQ(seen, p->Program);
    EXPECT_EQ(h.script.RunningLocalScript, nullptr);
}

TEST(Procedures, HostCallsWithTooManyArgumentsAreRefused)
{
    Harness h;
    ASSERT_EQ(h.compile("function Twice(x: Integer): Integer;\nbegin\n  Result := x * 2;\nend;\nbegin end."),
              QString());
    const platform::VarBound one{0, 0}, two{0, 1};
    Variant args = Variant::array(std::span(&one, 1));
    const int index[1] = {0};
    args.arrayPut(index, Variant(21));
    EXPECT_EQ(h.script.CallFunction("Twice", args).toInt(), 42);
    EXPECT_THROW(h.script.CallFunction("Twice", Variant::array(std::span(&two, 1))), script::ScriptError);
    // A name that is no procedure gives null and runs nothing.
    ASSERT_EQ(h.compile("var Twice: Integer;\nbegin end."), QString());
    EXPECT_TRUE(h.script.CallFunction("Twice", args).isNull());
}

TEST(Procedures, VarArgsCopyParametersBack)
{
    Harness h;
    ASSERT_EQ(h.compile("procedure P(var x: Integer);\nbegin\n  x := x + 1;\nend;\nbegin end."), QString());
    const platform::VarBound one{0, 0};
    Variant args = Variant::array(std::span(&one, 1));
    const int index[1] = {0};
    args.arrayPut(index, Variant(1));
    h.script.CallFunctionVarArgs("P", args);
    EXPECT_EQ(args.arrayGet(index).toInt(), 2);
}

} // namespace

namespace {

// A function that calls itself without end is stopped with an error, not by
// running out of stack.
TEST(Procedures, EndlessRecursionRaises)
{
    Harness h;
    EXPECT_EQ(h.run("function F(n: Integer): Integer;\nbegin\n  Result := F(n + 1);\nend;\nbegin\n  Print(F(0));\nend."),
              "error: Слишком глубокая вложенность вызовов процедур");
    // The depth is counted back: a script runs normally afterwards.
    EXPECT_EQ(h.run("function F(n: Integer): Integer;\nbegin\n  if n > 0 then Result := F(n - 1) + 1 else Result := 0;\nend;\n"
                    "begin\n  Print(F(500));\nend."),
              "500");
}

} // namespace

namespace {

// A compound assignment reads its target before its source, as the plain
// assignment it stands for does: G's change of x does not count.
TEST(Statements, CompoundAssignmentsReadTheTargetFirst)
{
    Harness h;
    EXPECT_EQ(h.run("var x: Integer; f: Double; v: Variant;\n"
                    "function G: Integer;\nbegin\n  x := 10;\n  f := 10;\n  v := 10;\n  Result := 2;\nend;\n"
                    "begin\n  x := 1;\n  x := x + G;\n  Print(x);\n  x := 1;\n  x := x - G;\n  Print(x);\n"
                    "  x := 1;\n  x := x * G;\n  Print(x);\n  f := 1;\n  f := f / G;\n  Print(f);\n"
                    "  f := 1;\n  f := f + G;\n  Print(f);\n  v := 1;\n  v := v + G;\n  Print(v);\nend."),
              "3|-1|2|0.5|3|3");
}

} // namespace
