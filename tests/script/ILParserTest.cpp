// The grammar-driven parser over the four built-in languages: the
// intermediate program of every construct (golden files), the errors with
// their line:col, the text that must be read to its end, included units, a
// language line, and texts nested too deeply.

#include "platform/TextCodec.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/ScriptError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace script;

namespace {

const QString kGolden = QStringLiteral(TOLVANE_SOURCE_DIR "/tests/script/golden/");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

struct Compiled {
    bool ok = false;
    QByteArray il;
    QByteArray error; // "line:col: message"
    QByteArray unit;
};

Compiled compile(const QString &language, const QByteArray &text, CompileTarget target = {})
{
    RegisterBuiltInLanguages();
    TfsILParser parser(target);
    parser.SelectLanguage(language);
    Compiled c;
    c.ok = parser.SourceToIL(text);
    if (c.ok)
        c.il = parser.ILDocument().TagLines();
    else
        c.error = target.ErrorPosition + ": " + target.ErrorMessage;
    c.unit = target.ErrorUnit;
    return c;
}

// The lines of a script as the script component joins them.
QByteArray lines(const QByteArray &text)
{
    return JoinScriptLines(SplitScriptLines(text));
}

} // namespace

TEST(ILParser, EveryConstructOfEachLanguageGivesItsGoldenProgram)
{
    struct Row {
        const char *language, *source, *golden;
    } rows[] = {
        {"PascalScript", "example.pas", "example.il"},
        {"PascalScript", "PascalScript.pas", "PascalScript.il"},
        {"D++Eviviz", "D++Eviviz.cpp", "D++Eviviz.il"},
        {"ZoridEdodud", "ZoridEdodud.vb", "ZoridEdodud.il"},
        {"JScript", "JScript.js", "JScript.il"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.source);
        const Compiled c = compile(QString::fromLatin1(row.language), lines(readFile(kGolden + row.source)));
        ASSERT_TRUE(c.ok) << c.error.constData();
        EXPECT_EQ(c.il.toStdString(), readFile(kGolden + row.golden).toStdString());
    }
}

TEST(ILParser, ErrorsWithTheirPlace)
{
    struct Row {
        const char *language, *text, *error; // no error: compiles
    } rows[] = {
        {"PascalScript", "begin a := 1 b := 2 end.", "1:14: ';' expected"},
        {"PascalScript", "begin end", "2:1: '.' expected"},
        {"PascalScript", "begin x : = 1 end.", "1:11: '=' expected"},
        {"PascalScript", "var a: Integer;\nbegin a := 1 end.", nullptr}, // the term error of the var loop is cleared
        {"PascalScript", "begin if x then else y; end.", nullptr},
        {"PascalScript", "begin case x of 1: a; 2..5: b; else c end end.", nullptr},
        {"PascalScript", "begin case x of 1: a; 2..5: b; else c; end end.", nullptr},
        {"PascalScript", "begin case x of 1: a end.", "1:25: ';' expected"},
        {"PascalScript", "begin try a := 1; end end.", "1:19: 'FINALLY' or 'EXCEPT' expected"},
        {"PascalScript", "begin for i := 1 do ; end.", "1:18: 'TO' or 'DOWNTO' expected"},
        {"PascalScript", "begin a := (1 + 2; end.", "1:18: ')' expected"},
        {"PascalScript", "", "1:1: 'BEGIN' expected"},
        {"PascalScript", "begin end. text after the end", nullptr},
        {"D++Eviviz", "{ If (x) y = 1; }", "1:10: ';' expected"}, // If is a name
        {"D++Eviviz", "#define N 10\n{ }", nullptr},
        {"D++Eviviz", "int x;", "2:1: '{' expected"},
        {"D++Eviviz", "{ x = y == 1; }", nullptr},
        {"D++Eviviz", "{ do x++; until (x); }", "1:11: 'WHILE' expected"},
        {"D++Eviviz", "{ } int x;", "1:5: Statement expected"}, // nothing is dropped after the main block
        {"ZoridEdodud", "x = 1 ' note\ny = 2", nullptr},
        {"ZoridEdodud", "x = 1 : y = 2", nullptr},
        {"ZoridEdodud", "x = 1 +\ny = 2", "1:7: End of line expected"},
        {"ZoridEdodud", "x = 1 + _\n2", nullptr},
        {"ZoridEdodud", "remainder = 1", nullptr}, // a comment, as "rem" starts one anywhere
        {"ZoridEdodud", "10 x = 1", "1:1: End of line expected"},      // was silently dropped
        {"ZoridEdodud", "x = 1\nREM y\nz = 2", "2:1: End of line expected"}, // was silently dropped
        {"ZoridEdodud", "x = 1 y = 2", "1:7: End of line expected"},
        {"ZoridEdodud", "If a Then\nb = 1", "3:1: 'END' expected"},
        {"ZoridEdodud", "For i = 1 10\nNext", "1:11: 'TO' expected"},
        {"JScript", "If (x) y = 1;", nullptr},
        {"JScript", "x = 1 y = 2", nullptr},
        {"JScript", "for (var i = 0; i < 3; i++) s += i;", nullptr},
        {"JScript", "function (a) { }", "1:10: Expression expected"},
        {"JScript", "y = 2 +;", "1:7: Statement expected"},             // the dangling operator
        {"JScript", "for (i = 0; i < 3; i++);", "1:1: Statement expected"}, // the body cannot start
        {"JScript", "x = 1; )", "1:8: Statement expected"},
        {"JScript", "a = (1;", "1:7: ')' expected"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.language) + ": " + row.text);
        const Compiled c = compile(QString::fromLatin1(row.language), lines(row.text));
        if (row.error) {
            EXPECT_FALSE(c.ok);
            EXPECT_EQ(c.error.toStdString(), std::string(row.error));
        } else {
            EXPECT_TRUE(c.ok) << c.error.constData();
        }
    }
}

TEST(ILParser, EmptyAndBlankTextsCompileToAnEmptyProgram)
{
    struct Row {
        const char *language, *text;
    } rows[] = {{"JScript", ""},          {"JScript", "\r\n"},   {"JScript", " \r\n\r\n"},
                {"JScript", "// note\r\n"}, {"ZoridEdodud", ""}, {"ZoridEdodud", "\r\n \r\n"},
                {"ZoridEdodud", "' note\r\n"}};
    for (const Row &row : rows) {
        const Compiled c = compile(QString::fromLatin1(row.language), row.text);
        EXPECT_TRUE(c.ok) << row.language << " [" << row.text << "] " << c.error.constData();
    }
    const Compiled c = compile(QStringLiteral("JScript"), "");
    EXPECT_EQ(c.il.toStdString(), "<?xml version=\"1.0\"?>\n<program>\n<compoundstmt pos=\"1:1\"/>\n<types/>\n</program>\n");
}

TEST(ILParser, ProgramShapes)
{
    struct Row {
        const char *language, *text, *expected; // a part of the program, tags joined
    } rows[] = {
        // node x, node y, expr, node "[", expr
        {"PascalScript", "begin x.y(1)[2] end.",
         R"(<callstmt pos="1:7"><dsgn pos="1:7"><node text="x" pos="1:8"/><node text="y" pos="1:10"/><expr pos="1:11" pos1="1:12"><number text="1" pos="1:12"/></expr><node text="[" pos="1:14"/><expr pos="1:14" pos1="1:15"><number text="2" pos="1:15"/></expr></dsgn></callstmt>)"},
        // an empty then part still has its (empty) element
        {"PascalScript", "begin if a then else b end.", R"(<thenstmt pos="1:17"/><elsestmt pos="1:22">)"},
        // an empty Then block with an Else has no then part
        {"ZoridEdodud", "If a Then\nElse\nb = 1\nEnd If",
         R"(</expr><elsestmt pos="2:1"><compoundstmt pos="3:1"><assignstmt pos="3:1">)"},
        // a last line without a line break of its own
        {"ZoridEdodud", "x = 1", R"(<number text="1" pos="1:6"/></expr></assignstmt></compoundstmt>)"},
        // several declarations in a for initialisation form one block
        {"JScript", "for (var i = 0, j = 0; i < 3; i++) {}",
         R"(<cppforstmt pos="1:1"><compoundstmt pos="1:6"><var pos="1:10"><ident text="i" pos="1:11"/>)"},
        {"JScript", "for (var i = 0, j = 0; i < 3; i++) {}", R"(</var><var pos="1:17"><ident text="j" pos="1:18"/>)"},
        // a leaf's position is after its token; a report expression is a call of Get
        {"D++Eviviz", "{ x = <Data.\"F\">; }",
         R"(<dsgn pos="1:16"><node text="Get" pos="1:16"/><expr pos="1:16"><string text="'Data.&#34;F&#34;'" pos="1:16"/></expr></dsgn>)"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.language) + ": " + row.text);
        const Compiled c = compile(QString::fromLatin1(row.language), lines(row.text));
        ASSERT_TRUE(c.ok) << c.error.constData();
        QByteArray joined = c.il;
        joined.replace('\n', "");
        EXPECT_TRUE(joined.contains(row.expected)) << joined.constData();
    }
}

TEST(ILParser, LanguageLineChoosesTheLanguageAndCountsAsLineOne)
{
    const Compiled c = compile(QStringLiteral("PascalScript"), lines("#language JScript\nx = 1;"));
    ASSERT_TRUE(c.ok) << c.error.constData();
    EXPECT_TRUE(c.il.contains("<assignstmt pos=\"2:1\">"));
    const Compiled e = compile(QStringLiteral("PascalScript"), lines("#language  JScript \nx = ;"));
    EXPECT_EQ(e.error.toStdString(), "2:5: Expression expected");
    // #include is no language line.
    CompileTarget target;
    target.OnGetUnit = [](const QByteArray &, QByteArray &text) { text = "int u; {}"; };
    const Compiled i = compile(QStringLiteral("D++Eviviz"), lines("#include \"u.h\"\n{ }"), target);
    ASSERT_TRUE(i.ok) << i.error.constData();
    EXPECT_TRUE(i.il.contains("<uses unit=\"u.h\">"));
    EXPECT_THROW(compile(QStringLiteral("PascalScript"), lines("#language Cobol\nx")), ScriptError);
}

TEST(ILParser, UnitsReplaceTheUsesClauseOnceEach)
{
    QHash<QByteArray, QByteArray> units = {
        {"a.pas", "var a: Integer;"},
        {"b.pas", "var b: Integer;"},
        {"c.pas", "uses 'main.pas', 'a.pas'; var c: Integer;"},
        {"empty.pas", ""},
        {"bad.pas", "var x: Integer;\nbegin x := end;"},
    };
    QByteArrayList asked;
    CompileTarget target;
    target.OnGetUnit = [&](const QByteArray &name, QByteArray &text) {
        asked << name;
        text = units.value(name);
    };
    // Units without a main block: their language needs none.
    RegisterBuiltInLanguages();
    AddLanguage(QStringLiteral("PascalUnits"),
                GetLanguageGrammar(QStringLiteral("PascalScript"))
                    .replace("<block><optionalloop><declsection/></optionalloop><compoundstmt err=\"err10\"/></block>",
                             "<block><optionalloop><declsection/></optionalloop><optional><compoundstmt/></optional></block>")
                    .replace("<char text=\".\" err=\"err6\"/></program>", "<optional><char text=\".\"/></optional></program>"));
    const auto il = [&](const QByteArray &text) {
        TfsILParser parser(target);
        parser.UsesList << "main.pas";
        parser.SelectLanguage(QStringLiteral("PascalUnits"));
        EXPECT_TRUE(parser.SourceToIL(lines(text))) << target.ErrorMessage.constData();
        QByteArray out = parser.ILDocument().TagLines();
        return out.replace('\n', "");
    };
    // The last named comes first.
    QByteArray ba = il("uses 'a.pas', 'b.pas';\nbegin end.");
    EXPECT_TRUE(ba.contains("<program><uses unit=\"b.pas\"><program><var pos=\"1:5\"><ident text=\"b\" pos=\"1:6\"/>"
                            "<type text=\"Integer\" pos=\"1:15\"/></var><types/></program></uses><uses unit=\"a.pas\">"))
        << ba.constData();
    EXPECT_FALSE(ba.contains("<file"));
    // A unit named twice, or named again by a unit (also the including
    // text), is read and inlined once; an empty unit gives an empty element.
    asked.clear();
    const QByteArray twice = il("uses 'c.pas', 'a.pas', 'c.pas', 'empty.pas';\nbegin end.");
    EXPECT_EQ(twice.count("<uses unit=\"c.pas\">"), 1) << twice.constData();
    EXPECT_EQ(twice.count("<uses unit=\"a.pas\">"), 1) << twice.constData();
    EXPECT_TRUE(twice.contains("<uses unit=\"empty.pas\"/>"));
    EXPECT_EQ(asked, (QByteArrayList{"empty.pas", "c.pas", "a.pas"}));
    {
        // An error in a unit names the unit, with the unit's place.
        const Compiled c = compile(QStringLiteral("PascalUnits"), lines("uses 'a.pas', 'bad.pas';\nbegin end."), target);
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.error.toStdString(), "2:12: Expression expected");
        EXPECT_EQ(c.unit, QByteArray("bad.pas"));
        // The next compilation starts without it.
        const Compiled ok = compile(QStringLiteral("PascalUnits"), lines("uses 'a.pas';\nbegin end."), target);
        EXPECT_TRUE(ok.ok);
        EXPECT_TRUE(ok.unit.isEmpty());
    }
}

TEST(ILParser, UnitFilesAreReadFromTheCurrentFolder)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    QFile unit(dir.filePath(QStringLiteral("u.js")));
    ASSERT_TRUE(unit.open(QIODevice::WriteOnly));
    unit.write("var u = 1;\nfunction f() { }");
    unit.close();
    const Compiled c = compile(QStringLiteral("JScript"), lines("import \"u.js\"\nf();"));
    EXPECT_TRUE(c.ok) << c.error.constData();
    EXPECT_TRUE(c.il.contains("<uses unit=\"u.js\">\n<program>\n<compoundstmt pos=\"1:1\">\n<var pos=\"1:5\">"));
    EXPECT_THROW(compile(QStringLiteral("JScript"), lines("import \"missing.js\"")), FileStreamError);
    QDir::setCurrent(previous);
}

TEST(ILParser, DeepNestingIsAnErrorAtItsPlace)
{
    QByteArray text = "begin x := ";
    text += QByteArray(5000, '(');
    text += "1";
    text += QByteArray(5000, ')');
    text += " end.";
    const Compiled c = compile(QStringLiteral("PascalScript"), lines(text));
    EXPECT_FALSE(c.ok);
    EXPECT_TRUE(c.error.startsWith("1:")) << c.error.constData();
    // In the Windows code page, as the parser's other messages.
    EXPECT_TRUE(c.error.endsWith(platform::toCp1251(QStringLiteral("Слишком глубокая вложенность"))));
    // Nesting that scripts use is far from the limit.
    QByteArray nested = "begin x := " + QByteArray(100, '(') + "1" + QByteArray(100, ')') + " end.";
    EXPECT_TRUE(compile(QStringLiteral("PascalScript"), lines(nested)).ok);
}

TEST(ILParser, ExtendedCharactersMakeIdentifiers)
{
    const QByteArray text = lines("begin \xEF\xF0\xE8\xEC\xE5\xF0 := 1 end."); // "пример" in Windows-1251
    EXPECT_FALSE(compile(QStringLiteral("PascalScript"), text).ok);
    CompileTarget target;
    target.ExtendedChars = true;
    const Compiled c = compile(QStringLiteral("PascalScript"), text, target);
    ASSERT_TRUE(c.ok) << c.error.constData();
    EXPECT_TRUE(c.il.contains("<node text=\"\xEF\xF0\xE8\xEC\xE5\xF0\""));
}

TEST(ILParser, ScriptLinesEndEachWithALineBreak)
{
    EXPECT_EQ(JoinScriptLines({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
    EXPECT_EQ(SplitScriptLines("a\r\nb\nc\rd\r\n"), (QByteArrayList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitScriptLines("a\n\n"), (QByteArrayList{"a", ""}));
    EXPECT_TRUE(SplitScriptLines("").isEmpty());
}
