// The builder of runtime objects: its error table with positions, the
// compound assignments it makes, declarations, with-blocks and designators
// left to run time.

#include "ScriptHarness.h"

#include <gtest/gtest.h>

using namespace scripttest;

namespace {

struct ErrorCase {
    const char *language;
    const char *text;
    const char *error; // "line:col: message"
};

// One row per message of the builder; the position is that of the element
// being built (a name's position is just after it).
const ErrorCase kErrors[] = {
    {"PascalScript", "begin\n  Foo := 1;\nend.", "2:6: Undeclared identifier: 'Foo'"},
    {"PascalScript", "var a: Integer;\n    a: String;\nbegin end.", "2:6: Identifier redeclared: 'a'"},
    {"PascalScript", "var a: TNothing;\nbegin end.", "1:16: Unknown type: 'TNothing'"},
    {"PascalScript", "var a: Integer;\nbegin\n  a := 'x';\nend.", "3:11: Incompatible types: 'Integer', 'String'"},
    {"PascalScript", "begin\n  Print;\nend.", "2:8: Not enough actual parameters"},
    {"PascalScript", "begin\n  Print(1, 2);\nend.", "2:8: Too many actual parameters"},
    {"PascalScript", "const N = 5;\nbegin\n  N := 6;\nend.", "3:3: Left side cannot be assigned to"},
    {"PascalScript", "var t: TTestThing;\nbegin\n  t.Id := 6;\nend.", "3:3: Left side cannot be assigned to"},
    {"PascalScript", "var t: TTestThing;\nbegin\n  t.Fixed[1] := 6;\nend.", "3:3: Left side cannot be assigned to"},
    {"PascalScript", "var s: String;\nbegin\n  for s := 1 to 2 do ;\nend.",
     "3:8: For loop variable must be numeric variable"},
    {"PascalScript", "var s: String;\nbegin\n  with s do ;\nend.", "3:8: Class type required"},
    {"PascalScript", "var t: TTestThing;\nbegin\n  Print(t.Items.Count);\nend.", "3:16: Index required"},
    {"PascalScript", "var s: String;\nbegin\n  Print(s.Length);\nend.", "3:17: Strings doesn't have properties or methods"},
    {"PascalScript", "var t: TTestThing;\nbegin\n  Print(t[1]);\nend.", "3:11: Class TTestThing does not have a default property"},
    {"PascalScript", "var i: Integer;\nbegin\n  Print(i[1]);\nend.", "3:11: Array type required"},
    {"PascalScript", "begin\n  Print(@Print.Value);\nend.", "2:10: Variable required"},
    // A constant is no loop variable: the loop would write it.
    {"PascalScript", "const N = 5;\nbegin\n  for N := 1 to 3 do ;\nend.", "3:8: Left side cannot be assigned to"},
    // Nor is a system constant (nil, a Variant), which outlives every Clear.
    {"PascalScript", "begin\n  for nil := 1 to 3 do ;\nend.", "2:10: Left side cannot be assigned to"},
    {"PascalScript", "begin\n  for True := 1 to 3 do ;\nend.", "2:11: For loop variable must be numeric variable"},
};

TEST(Builder, ErrorTableWithPositions)
{
    for (const ErrorCase &c : kErrors) {
        Harness h(QString::fromLatin1(c.language));
        EXPECT_EQ(h.compile(QString::fromUtf8(c.text)), QString::fromUtf8(c.error)) << c.text;
    }
}

// An intermediate program may come from a host (OnGetILUnit): an operator
// without its operand, or an expression without any, is a compile error at
// its place, not a missing node at run time.
TEST(Builder, ExpressionWithoutOperandIsRefused)
{
    struct Case {
        const char *expr;
        const char *error;
    } const cases[] = {
        {R"(<number text="2" pos="1:6"/><op text="+" pos="1:8"/>)", "1:8: Expression expected"},
        {R"(<op text="not" pos="1:7"/>)", "1:7: Expression expected"},
        {"", "1:5: Expression expected"},
        {R"(<number text="2" pos="1:6"/><op text="+" pos="1:8"/><number text="'a'" pos="1:12"/>)",
         "1:8: Incompatible types"},
    };
    for (const Case &c : cases) {
        Harness h;
        h.script.OnGetUnit = [](const QByteArray &, QByteArray &text) { text = "begin end."; };
        const QByteArray il = QByteArray("<?xml version=\"1.0\"?><program><var pos=\"1:1\"><ident text=\"x\" pos=\"1:2\"/>"
                                         "<type text=\"Variant\" pos=\"1:3\"/></var><assignstmt pos=\"1:1\">"
                                         "<dsgn pos=\"1:1\"><node text=\"x\" pos=\"1:2\"/></dsgn>"
                                         "<expr pos=\"1:5\" pos1=\"1:8\">") +
                              c.expr + "</expr></assignstmt></program>";
        h.script.OnGetILUnit = [il](script::TfsScript *, const QByteArray &, QByteArray &text) { text = il; };
        EXPECT_EQ(h.compile("uses 'u';\nbegin\nend."), QString::fromLatin1(c.error)) << c.expr;
        EXPECT_EQ(h.script.ErrorUnit, "u");
    }
}

TEST(Builder, NextGoodCompileEmptiesTheErrorPosition)
{
    Harness h;
    EXPECT_FALSE(h.compile("begin\n  Foo := 1;\nend.").isEmpty());
    EXPECT_EQ(h.compile("begin end."), QString());
    EXPECT_TRUE(h.script.ErrorPosition.isEmpty());
    EXPECT_TRUE(h.script.ErrorMessage.isEmpty());
}

// The assignment kinds OptimizeAssignment chooses.
TEST(Builder, CompoundAssignments)
{
    struct Case {
        const char *text;
        const std::type_info &kind;
    } const cases[] = {
        {"x := x + 1", typeid(script::TfsAssignPlusStmt)},
        {"x := 2 * x", typeid(script::TfsAssignMulStmt)},
        {"x := x - 1", typeid(script::TfsAssignMinusStmt)},
        {"f := f / 2", typeid(script::TfsAssignDivStmt)},
        {"s := 'a' + s", typeid(script::TfsAssignmentStmt)},
        {"s := s + 'a'", typeid(script::TfsAssignPlusStmt)},
        {"x := 1 - x", typeid(script::TfsAssignmentStmt)},
        {"x := y + 1", typeid(script::TfsAssignmentStmt)},
    };
    for (const Case &c : cases) {
        Harness h;
        ASSERT_EQ(h.compile(QStringLiteral("var x, y: Integer; f: Double; s: String;\nbegin\n  %1;\nend.")
                                .arg(QString::fromLatin1(c.text))),
                  QString());
        ASSERT_EQ(h.script.MainStatement()->Count(), 1);
        const script::TfsStatement *s = h.script.MainStatement()->Child(0);
        EXPECT_EQ(typeid(*s), c.kind) << c.text;
    }
}

TEST(Builder, DeclarationsRoutinesAndBodies)
{
    // Both names of a group are initialised, by statements in order.
    Harness h;
    EXPECT_EQ(h.run("var a, b: Integer = 5;\nbegin\n  Print(a + b);\nend."), "10");
    // A parameter default is a constant; a call may precede the declaration.
    EXPECT_EQ(h.run("function G: Integer;\nbegin\n  Result := F;\nend;\n"
                    "function F(x: Integer = 3): Integer;\nbegin\n  Result := x;\nend;\n"
                    "begin\n  Print(G);\nend."),
              "3");
    // A loop without a body.
    EXPECT_EQ(h.compile("var x: Integer;\nbegin\n  while x < 10 do;\nend."), QString());
    ASSERT_EQ(h.script.MainStatement()->Count(), 1);
    EXPECT_EQ(h.script.MainStatement()->Child(0)->Count(), 0);
}

TEST(Builder, UndeclaredNameInAFunctionIsAGlobalVariant)
{
    Harness h(QStringLiteral("ZoridEdodud"));
    EXPECT_EQ(h.run("Sub P\n  g = 5\nEnd Sub\nP\nPrint(g)\n"), "5");
    script::TfsCustomVariable *g = h.script.FindLocal("g");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->Typ, script::fvtVariant);
}

TEST(Builder, EmptyThenWithElseBuildsTheElsePart)
{
    Harness h(QStringLiteral("ZoridEdodud"));
    EXPECT_EQ(h.run("a = 0\nIf a > 1 Then\nElse\n  Print(\"else\")\nEnd If\n"), "else");
}

TEST(Builder, WithMembersHideVariablesAndVariantsWait)
{
    Harness h;
    TTestThing *thing = h.addThing("Thing");
    thing->Caption = "thing's";
    // A member of the with-object hides a variable of the same name.
    EXPECT_EQ(h.run("var Caption: String;\nbegin\n  Caption := 'variable''s';\n"
                    "  with Thing do Print(Caption);\n  Print(Caption);\nend."),
              "thing's|variable's");
    // Over a Variant the members are found once the value is there.
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := Thing;\n  with v do\n  begin\n    Count := 3;\n"
                    "    Print(Count + 1);\n  end;\nend."),
              "4");
    EXPECT_EQ(thing->Count, 3);
}

TEST(Builder, VariantMemberResolvesOnFirstUse)
{
    Harness h;
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := TStringList.Create;\n  v.Add('a');\n  v.Add('b');\n"
                    "  Print(v.Count);\n  Print(v[1]);\n  v.Free;\nend."),
              "2|b");
    // A value that names no object is refused, not read as an address.
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := 12345;\n  Print(v.Count);\nend."),
              "error: Class type required");
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  Print(v.Count);\nend."), "error: Class type required");
}

TEST(Builder, ArrayBoundsOfOneNumberStartAtZero)
{
    Harness h;
    EXPECT_EQ(h.run("var a: array[5] of Integer;\n    b: array[2..3] of Integer;\nbegin\n"
                    "  a[0] := 1; a[4] := 2; b[2] := 3; b[3] := 4;\n  Print(a[0] + a[4] + b[2] + b[3]);\nend."),
              "10");
    // An index outside the bounds is an error, not a write elsewhere.
    EXPECT_TRUE(h.run("var a: array[5] of Integer;\nbegin\n  a[5] := 1;\nend.").startsWith("error: "));
}

} // namespace

namespace {

// A chain of operators is a tree as deep as the chain is long: a chain that
// scripts write runs, one that would exhaust the stack is refused where the
// expression starts, and neither crashes when freed.
TEST(Builder, OverlongOperatorChainsAreRefused)
{
    Harness h;
    QString sum = QStringLiteral("1");
    for (int i = 0; i < 500; ++i)
        sum += QStringLiteral(" + 1");
    EXPECT_EQ(h.run(QStringLiteral("begin\n  Print(%1);\nend.").arg(sum)), "501");
    for (int i = 0; i < 5000; ++i)
        sum += QStringLiteral(" + 1");
    EXPECT_EQ(h.compile(QStringLiteral("var x: Integer;\nbegin\n  x := %1;\nend.").arg(sum)),
              "3:8: Слишком глубокая вложенность");
}

} // namespace
