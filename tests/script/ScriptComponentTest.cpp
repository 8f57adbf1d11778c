// The script component (registry, owner tags, run flags, the run-line
// report, code lines), class entries and values, and the type services.

#include "ScriptHarness.h"

#include <gtest/gtest.h>

using namespace scripttest;

namespace {

using script::TfsScript;
using script::TfsVariable;

TfsVariable *var(const QByteArray &name)
{
    return new TfsVariable(name, script::fvtInt, "Integer");
}

TEST(Registry, LookupsFindTheNewestAndThisScriptFirst)
{
    TfsScript parent;
    TfsScript child;
    child.ParentScript = &parent;
    TfsVariable *first = var("Name");
    TfsVariable *second = var("NAME");
    child.Add("Name", first);
    child.Add("NAME", second);
    EXPECT_EQ(child.FindLocal("name"), second);
    TfsVariable *newer = var("name");
    parent.Add("name", newer);
    EXPECT_EQ(child.Find("Name"), second);
    EXPECT_EQ(child.Find("nothing"), nullptr);
    // Unnamed entries are found by nobody.
    child.Add("", var(""));
    EXPECT_EQ(child.FindLocal(""), nullptr);
    EXPECT_EQ(child.GetItemName(0), "");
}

struct CountingModule : script::TfsRTTIModule {
    explicit CountingModule(TfsScript *s) : TfsRTTIModule(s)
    {
        s->AddConst("FromModule", "Integer", Variant(1));
        ++made;
    }
    static inline int made = 0;
};

TEST(Registry, ModulesOwnerTagsAndClearing)
{
    auto &modules = script::RTTIModules();
    modules.push_back([](TfsScript *s) -> script::TfsRTTIModule * { return new CountingModule(s); });
    struct Pop {
        ~Pop() { script::RTTIModules().pop_back(); }
    } pop;
    CountingModule::made = 0;
    TfsScript s;
    s.AddRTTI();
    s.AddRTTI();
    EXPECT_EQ(CountingModule::made, 1);
    ASSERT_TRUE(s.FindLocal("FromModule"));
    EXPECT_EQ(s.FindLocal("FromModule")->OwnerTag, 1);
    int report = 0;
    s.OwnerTag = reinterpret_cast<intptr_t>(&report);
    s.AddVariable("ReportVar", "Integer", Variant(1));
    s.OwnerTag = 0;
    s.AddVariable("Plain", "Integer", Variant(2));
    s.RemoveItemsOf(reinterpret_cast<intptr_t>(&report));
    EXPECT_FALSE(s.FindLocal("ReportVar"));
    EXPECT_TRUE(s.FindLocal("Plain"));
    EXPECT_TRUE(s.FindLocal("FromModule"));
    s.Clear();
    EXPECT_FALSE(s.FindLocal("Plain"));
    EXPECT_TRUE(s.FindLocal("FromModule"));
    EXPECT_EQ(s.Count(), 2); // the module and its constant
    s.ClearRTTI();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_FALSE(s.ModulesAdded);
}

TEST(Registry, CompileErrorsStayOnTheScript)
{
    Harness h;
    EXPECT_EQ(h.compile("begin\n  a := 1;\nend."), "2:4: Undeclared identifier: 'a'");
    EXPECT_EQ(h.compile("begin\n  Print(1);\n  Print(2) Print(3);\nend."), "3:12: ';' expected");
    EXPECT_EQ(h.compile("begin\n  Print(1);\nend."), QString());
    EXPECT_TRUE(h.script.ErrorPosition.isEmpty());
    h.script.SyntaxType = "Cobol";
    EXPECT_THROW(h.script.Compile(), script::ScriptError);
}

TEST(RunLine, TraceCodeLinesAndSender)
{
    Harness h;
    QStringList trace;
    h.script.OnRunLine = [&](TfsScript *sender, const QByteArray &unit, const QByteArray &pos) {
        trace << (sender == &h.script ? QStringLiteral("main ") : QStringLiteral("local ")) +
                     QString::fromLatin1(unit + '|' + pos);
    };
    ASSERT_EQ(h.compile("var i: Integer;\nprocedure P;\nbegin\n  Print('p');\nend;\nbegin\n  i := 0;\n"
                        "  while i < 2 do\n  begin\n    i := i + 1; P;\n  end;\nend."),
              QString());
    h.script.Execute();
    // The while statement reports once, its body's statements each time.
    EXPECT_EQ(trace.join(u'\n'), "main |7:3\nmain |8:3\nmain |10:5\nmain |10:17\nlocal |4:3\n"
                                 "main |10:5\nmain |10:17\nlocal |4:3");
    EXPECT_EQ(h.script.CodeLines, QByteArrayList{"=4,7,8,10,"});

    ASSERT_EQ(h.compile("begin Print(1); Print(2);\n\n\nPrint(3); end."), QString());
    EXPECT_EQ(h.script.CodeLines, QByteArrayList{"=1,4,"});
}

TEST(RunLine, TerminateFromTheHandlerStopsEveryLevel)
{
    Harness h;
    ASSERT_EQ(h.compile("procedure Inner;\nbegin\n  Print('inner 1');\n  Print('inner 2');\nend;\n"
                        "procedure Outer;\nbegin\n  Inner;\n  Print('outer');\nend;\n"
                        "begin\n  while True do Outer;\nend."),
              QString());
    h.script.OnRunLine = [&](TfsScript *, const QByteArray &, const QByteArray &pos) {
        if (pos == "4:3")
            h.script.Terminate();
    };
    h.script.Execute();
    EXPECT_EQ(h.out.join('|'), "inner 1");
    EXPECT_FALSE(h.script.Terminated);
    // A terminate before a run has no effect on it.
    h.script.OnRunLine = nullptr;
    h.out.clear();
    ASSERT_EQ(h.compile("begin\n  Print(1);\nend."), QString());
    h.script.Terminate();
    h.script.Execute();
    EXPECT_EQ(h.out.join('|'), "1");
}

TEST(ClassEntries, PublishedMembersAlphabeticallyAndInherited)
{
    Harness h;
    script::TfsClassVariable *thing = h.script.FindClass("ttestthing");
    ASSERT_TRUE(thing);
    QStringList names;
    for (int i = 0; i < thing->MembersCount(); ++i)
        names << QString::fromLatin1(thing->GetMember(i)->Name());
    EXPECT_EQ(names.mid(0, 9), QStringList({"Align", "Aligns", "Caption", "Count", "Id", "Link", "Name", "Tag",
                                            "Visible"}));
    struct Case {
        const char *member;
        int code;
        const char *typeName;
        bool readOnly;
    } const cases[] = {
        {"Align", script::fvtEnum, "TAlign", false},  {"Aligns", script::fvtEnum, "TAligns", false},
        {"Caption", script::fvtString, "String", false}, {"Count", script::fvtInt, "Integer", false},
        {"Id", script::fvtInt, "Integer", true},       {"Link", script::fvtClass, "TTestThing", false},
        {"Visible", script::fvtBool, "Boolean", false},
    };
    for (const Case &c : cases) {
        script::TfsCustomHelper *m = thing->Find(c.member);
        ASSERT_TRUE(m) << c.member;
        EXPECT_EQ(m->Typ, c.code) << c.member;
        EXPECT_EQ(m->TypeName, c.typeName) << c.member;
        EXPECT_EQ(m->IsReadOnly, c.readOnly) << c.member;
    }
    // Free of a string list is TObject's.
    EXPECT_EQ(h.script.FindClass("TStringList")->Find("Free"), h.script.FindClass("TObject")->Find("Free"));
}

TEST(ClassEntries, PropertiesThroughScripts)
{
    Harness h;
    TTestThing *thing = h.addThing("Thing");
    EXPECT_EQ(h.run("begin\n  Thing.Count := 5;\n  Thing.Visible := True;\n  Thing.Align := 2;\n"
                    "  Thing.Caption := 'abc';\n  Thing.Caption[1] := 'X';\n  Thing.Link := Thing;\n"
                    "  Print(Thing.Link.Count + 1);\n  Print(Thing.Visible);\n  Print(Thing.Caption[3]);\nend."),
              "6|True|c");
    EXPECT_EQ(thing->Count, 5);
    EXPECT_TRUE(thing->Visible);
    EXPECT_EQ(thing->Align, 2);
    EXPECT_EQ(thing->Caption, "Xbc");
    EXPECT_EQ(thing->Link, thing);
    // A Boolean getter: 0 is false, anything else true.
    h.hidden = Variant(0);
    EXPECT_EQ(h.run("begin\n  Print(Thing.Hidden);\nend."), "False");
    h.hidden = Variant(5);
    EXPECT_EQ(h.run("begin\n  Print(Thing.Hidden);\nend."), "True");
    // A write that reaches a read-only property at run time is ignored.
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := Thing;\n  v.Id := 5;\n  Print(v.Id);\nend."), "42");
}

TEST(ClassEntries, IndexedPropertiesAndDefaults)
{
    Harness h;
    h.addThing("Thing");
    EXPECT_EQ(h.run("var x: Integer;\nbegin\n  x := 7;\n  Thing.Items[2] := x;\n  Print(Thing.Items[3]);\nend."),
              "30");
    EXPECT_EQ(h.itemCalls, QStringList({"ITEMS.SET 2 7", "ITEMS.GET 3 "}));
    EXPECT_EQ(h.run("var l: TStringList;\nbegin\n  l := TStringList.Create;\n  l.Add('a');\n  l.Add('b');\n"
                    "  Print(l[1] + l.Strings[0]);\n  l.Free;\nend."),
              "ba");
}

TEST(ClassEntries, ConstructionFreedObjectsAndCasts)
{
    Harness h;
    // Create of TComponent makes an object of the class named.
    EXPECT_EQ(h.run("var t: TTestThing;\nbegin\n  t := TTestThing.Create(nil);\n  Print(t.Id);\n"
                    "  Print(t is TTestThing);\n  t.Free;\nend."),
              "42|True");
    // A class name alone is no value.
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := TStringList;\nend."),
              "error: Имя класса без конструктора: 'TStringList'");
    // A freed object's reference is refused, not followed.
    EXPECT_EQ(h.run("var l: TStringList;\nbegin\n  l := TStringList.Create;\n  l.Free;\n  l.Add('x');\nend."),
              "error: invalid object reference");
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := 12345;\n  TComponent(v).Tag := 1;\nend."),
              "error: invalid object reference");
    EXPECT_EQ(h.run("var v: Variant;\nbegin\n  v := TComponent.Create(nil);\n  TComponent(v).Tag := 3;\n"
                    "  Print(TComponent(v).Tag);\n  TComponent(v).Free;\nend."),
              "3");
}

TEST(Values, ArraysStringsMacrosAndVarParameters)
{
    Harness h;
    const auto makeArray = [](int dimensions) {
        std::vector<platform::VarBound> bounds(static_cast<size_t>(dimensions), platform::VarBound{0, 1});
        Variant a = Variant::array(bounds);
        std::vector<int> index(static_cast<size_t>(dimensions), 1);
        a.arrayPut(index, Variant(dimensions * 11));
        return a;
    };
    h.addMethod("function A3: Variant", [&](TObject *, const ClassInfo *, const QByteArray &,
                                            script::TfsMethodHelper &) { return makeArray(3); });
    h.addMethod("function A4: Variant", [&](TObject *, const ClassInfo *, const QByteArray &,
                                            script::TfsMethodHelper &) { return makeArray(4); });
    h.addMethod("macrofunction Src(x: Variant): String",
                [](TObject *, const ClassInfo *, const QByteArray &, script::TfsMethodHelper &m) {
                    return m.GetParam(0);
                });
    h.addMethod("procedure Bump(var x: Integer; by: Integer = 1)",
                [](TObject *, const ClassInfo *, const QByteArray &, script::TfsMethodHelper &m) {
                    m.SetParam(0, Variant(m.GetParam(0).toInt() + m.GetParam(1).toInt()));
                    return Variant();
                });
    EXPECT_EQ(h.run("var v: Variant; x: Integer;\nbegin\n  v := A3;\n  Print(v[1, 1, 1]);\n  v := A4;\n"
                    "  Print(v[1, 1, 1]);\n  Print(Src(x  +  2));\n  Bump(x);\n  Bump(x, 5);\n  Print(x);\nend."),
              "33||x  +  2|6");
    // The case labels 1, 3..5, 9.
    EXPECT_EQ(h.run("var i: Integer;\nbegin\n  for i := 1 to 10 do\n    case i of\n      1, 3..5, 9: Print(i);\n"
                    "    end;\nend."),
              "1|3|4|5|9");
    // Characters of strings are counted from 1, within the string.
    EXPECT_EQ(h.run("var s: String;\nbegin\n  s := 'abc';\n  Print(s[4]);\nend."),
              "error: Индекс строки вне границ: 4");
    EXPECT_EQ(h.run("var s: String;\nbegin\n  s := 'abc';\n  s[0] := 'x';\nend."),
              "error: Индекс строки вне границ: 0");
}

TEST(TypeServices, KindsCompatibilityMatrix)
{
    // Rows: target code 0..9; columns: source code 0..9.
    const char *const matrix[] = {
        "1010000110", // integer: integer, float, variant, enumeration
        "0100000100", // Boolean
        "1010000100", // float
        "0001100100", // char
        "0001100100", // string
        "0000000100", // class (a class source: see below)
        "0000001100", // array
        "1111111111", // variant
        "1000000100", // enumeration (another enumeration: see below)
        "0000000000", // constructor
    };
    Harness h;
    for (int t = 0; t < 10; ++t)
        for (int s = 0; s < 10; ++s) {
            const bool expected = matrix[t][s] == '1';
            EXPECT_EQ(script::TypeKindsCompatible({t, "X"}, {s, "Y"}, &h.script), expected) << t << " <- " << s;
        }
    EXPECT_TRUE(script::TypeKindsCompatible({script::fvtEnum, "TAlign"}, {script::fvtEnum, "talign"}, &h.script));
    EXPECT_FALSE(script::TypeKindsCompatible({script::fvtEnum, "TAlign"}, {script::fvtEnum, "TOther"}, &h.script));
    EXPECT_TRUE(script::TypeKindsCompatible({script::fvtClass, "TComponent"}, {script::fvtClass, "TTestThing"},
                                            &h.script));
    EXPECT_FALSE(script::TypeKindsCompatible({script::fvtClass, "TTestThing"}, {script::fvtClass, "TComponent"},
                                             &h.script));
    TfsVariable target("t", script::fvtInt, "Integer"), source("s", script::fvtFloat, "Double");
    EXPECT_FALSE(script::AssignmentCompatible(target, source, &h.script));
    EXPECT_TRUE(script::AssignmentCompatible(source, target, &h.script));
    EXPECT_EQ(script::TypeCodeOfName("TColor", &h.script), script::fvtInt);
    EXPECT_EQ(script::TypeCodeOfName("Nothing", &h.script), script::fvtClass);
}

} // namespace

namespace {

// A member of one class is never called with an object of another: a typed
// variable may receive any object through a Variant, and a member of a
// Variant is resolved once, for the class its first value had.
TEST(ClassEntries, MembersRefuseObjectsOfAnotherClass)
{
    Harness h;
    EXPECT_EQ(h.run("var l: TStringList; v: Variant;\nbegin\n  v := TComponent.Create(nil);\n  l := v;\n"
                    "  try\n    l.Add('x');\n  finally\n    TComponent(v).Free;\n  end;\nend."),
              "error: Недопустимое приведение типа класса");
    EXPECT_EQ(h.run("var i: Integer; v: Variant;\nbegin\n  for i := 1 to 2 do\n  begin\n"
                    "    if i = 1 then v := TStringList.Create else v := TComponent.Create(nil);\n"
                    "    try\n      Print(v.Count);\n    finally\n      v.Free;\n    end;\n  end;\nend."),
              "0|error: Недопустимое приведение типа класса");
}

} // namespace
