// The report script language: sample scripts against golden compiled lines
// (tests/reports/scripts: the source, "----", then each compiled line in
// double quotes with \xHH for control characters), runs against a value
// store, error lines and their positions, and scripts beyond the old fixed
// buffers.

#include "ReportTestSupport.h"
#include "reports/language/ScriptInterpreter.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

using namespace reports;

namespace {

// Keeps variables in a map and records procedure calls.
class StoreInterpreter : public Interpreter {
public:
    std::map<QString, Variant> values;
    QStringList calls;

    void GetValue(const QString &name, Variant &value) override
    {
        if (const auto it = values.find(name.toUpper()); it != values.end())
            value = it->second;
    }
    void SetValue(const QString &name, const Variant &value) override { values[name.toUpper()] = value; }
    void DoFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                    Variant &value) override
    {
        calls << QStringLiteral("%1(%2|%3|%4)").arg(name, p1, p2, p3);
        value = Variant(0);
    }
    QString text(const char *name) const
    {
        const auto it = values.find(QString::fromLatin1(name));
        return it == values.end() ? QStringLiteral("<unset>") : it->second.toString();
    }

    QStringList compile(const QString &source, QStringList *errors = nullptr)
    {
        QStringList lines, errs;
        PrepareScript(source.split(u'\n'), lines, errs);
        if (errors)
            *errors = errs;
        else
            EXPECT_EQ(errs, QStringList()) << source.toStdString();
        return lines;
    }
    void run(const QString &source) { DoScript(compile(source)); }
};

QString unescape(QStringView quoted)
{
    QString out;
    for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == u'\\' && i + 1 < quoted.size() - 1) {
            if (quoted[i + 1] == u'x') {
                out += QChar(static_cast<char16_t>(quoted.mid(i + 2, 2).toUInt(nullptr, 16)));
                i += 3;
            } else {
                out += quoted[++i];
            }
        } else {
            out += quoted[i];
        }
    }
    return out;
}

} // namespace

TEST(ScriptCompiler, SampleScriptsGiveTheGoldenLines)
{
    const QDir folder(QStringLiteral(TOLVANE_SOURCE_DIR "/tests/reports/scripts"));
    const QStringList files = folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 8);
    for (const QString &name : files) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QStringList all = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const qsizetype cut = all.indexOf(QStringLiteral("----"));
        ASSERT_GT(cut, 0) << name.toStdString();
        QStringList want;
        for (const QString &line : all.mid(cut + 1))
            want << unescape(line);
        StoreInterpreter in;
        QStringList lines, errors;
        in.PrepareScript(all.mid(0, cut), lines, errors);
        EXPECT_EQ(errors, QStringList()) << name.toStdString();
        EXPECT_EQ(lines, want) << name.toStdString();
    }
}

TEST(ScriptCompiler, RunsAgainstAValueStore)
{
    const struct {
        const char *script;
        const char *preset; // X's value, or none
        const char *name;
        const char *want;
    } cases[] = {
        {"if x > 0 then y := 1 else y := 2", "1", "Y", "1"},
        {"if x > 0 then y := 1 else y := 2", "-1", "Y", "2"},
        {"if x > 0 then y := 1", "0", "Y", "<unset>"},
        {"begin i := 0; repeat i := i + 1 until i > 5 end", nullptr, "I", "6"},
        {"begin s := 0; for i := 1 to 3 do s := s + i end", nullptr, "S", "6"},
        {"begin s := 0; for i := 1 to 3 do s := s + i end", nullptr, "I", "4"},
        {"begin n := 0; for i := 5 to 3 do n := n + 1 end", nullptr, "N", "0"},
        {"begin i := 0; while i < 3 do i := i + 1 end", nullptr, "I", "3"},
        {"begin i := 0; 1: i := i + 1; if i < 3 then goto 1 end", nullptr, "I", "3"},
        {"begin goto 20; x := 1; 20: y := 2 end", "5", "X", "5"},
        {"begin goto 20; x := 1; 20: y := 2 end", "5", "Y", "2"},
        {"begin x := 1; exit; x := 2 end", nullptr, "X", "1"},
        {"begin a{comment}b := 1; c := 2 // to the line end\nend", nullptr, "AB", "1"},
        {"begin a{comment}b := 1; c := 2 // to the line end\nend", nullptr, "C", "2"},
        {"BEGIN\tx := 'It''s'\tEND", nullptr, "X", "It's"},
    };
    for (const auto &c : cases) {
        StoreInterpreter in;
        if (c.preset)
            in.values[QStringLiteral("X")] = Variant(QString::fromLatin1(c.preset).toInt());
        in.run(QString::fromUtf8(c.script));
        EXPECT_EQ(in.text(c.name).toStdString(), c.want) << c.script;
    }

    // Procedures with and without arguments; SETARRAY for elements.
    StoreInterpreter in;
    in.run(QStringLiteral("begin NewPage; ShowBand(Band2, 1); A[2] := 5; Inc(n) end"));
    EXPECT_EQ(in.calls, QStringList({QStringLiteral("NEWPAGE(0||)"), QStringLiteral("SHOWBAND(Band2|1|)"),
                                     QStringLiteral("SETARRAY(A|2|5)"), QStringLiteral("INC(n||)")}));
}

TEST(ScriptCompiler, ErrorLinesAndPositions)
{
    const struct {
        const char *script;
        const char *error;
    } cases[] = {
        {"begin\n  x := 1;\n  if x > 0 y := 2\nend", "Line 3/12: Need \"then\" here"},
        // a comment before the error counts in the column
        {"begin {comment} if x > 0 y := 1 end", "Line 1/26: Need \"then\" here"},
        {"begin // note\n{ a\nlonger one } if x then y := 1 els z := 2 end", "Line 3/31: Need \";\" or \"end\" here"},
        // only ";", end and else end a procedure call without arguments
        {"exit", "Line 1/5: Need \":=\" here"},
        {"begin x end;", "Line 1/9: Need \":=\" here"},
        // keywords need a blank after them
        {"ifx > 0 then y := 1", "Line 1/5: Need \":=\" here"},
        {"begin x := 1 y := 2 end", "Line 1/14: Need \";\" or \"end\" here"},
        {"repeat x := 1 while", "Line 1/15: Need \";\" or \"until\" here"},
        {"while x begin end", "Line 1/9: Need \"do\" here"},
        {"for i := 1 do x := 1", "Line 1/12: Need \"to\" here"},
        {"for i := 1 to 2 x := 1", "Line 1/17: Need \"do\" here"},
        {"goto x", "Line 1/6: \"goto\" label must be a number"},
        {"x := (1 + 2", "Line 1/12: Need \")\" here"},
        {"x := f(1; 2)", "Line 1/9: Need \",\" or \")\" here"},
        {"x := [a + 1", "Line 1/6: Need \"]\" here"},
        {"x := a[1 + 1", "Line 1/13: Need \"]\" here"},
        // an operand that is none of the forms (the compiler once said nothing)
        {"x := * 2", "Line 1/6: Need an operand here"},
        {"x := 'open", "Line 1/6: Need an operand here"},
        // a jump to a label that is not there
        {"begin goto 5; x := 1 end", "Line 1/12: Label \"5\" is not defined"},
        {"begin goto 10; 1: x := 1 end", "Line 1/12: Label \"10\" is not defined"},
    };
    for (const auto &c : cases) {
        StoreInterpreter in;
        QStringList errors;
        const QStringList lines = in.compile(QString::fromUtf8(c.script), &errors);
        EXPECT_EQ(errors, QStringList(QString::fromUtf8(c.error))) << c.script;
        if (QString::fromUtf8(c.error).contains(u"Label")) {
            EXPECT_TRUE(lines.isEmpty()) << "nothing of a script with a bad jump runs";
        }
    }
    // The lines made before an error stay (the engine runs them).
    StoreInterpreter in;
    QStringList errors;
    EXPECT_EQ(in.compile(QStringLiteral("begin x := 1; y := ) end"), &errors), QStringList(QStringLiteral("x 1")));
}

TEST(ScriptCompiler, EmptyScriptsCompileToNothing)
{
    for (const QString &source : {QString(), QStringLiteral("   "), QStringLiteral("{ only a comment }"),
                                  QStringLiteral("// note")}) {
        StoreInterpreter in;
        QStringList errors;
        EXPECT_EQ(in.compile(source, &errors), QStringList()) << source.toStdString();
        EXPECT_EQ(errors, QStringList()) << source.toStdString();
    }
}

TEST(ScriptCompiler, TheSourceListMayReceiveTheLines)
{
    StoreInterpreter in;
    QStringList lines = {QStringLiteral("begin"), QStringLiteral("  x := 2 * 3"), QStringLiteral("end")};
    QStringList errors;
    in.PrepareScript(lines, lines, errors);
    EXPECT_EQ(lines, QStringList(QStringLiteral("x 2 3 *")));
    in.DoScript(lines);
    EXPECT_EQ(in.text("X"), QStringLiteral("6"));
}

TEST(ScriptCompiler, ScriptsBeyondTheOldFixedBuffers)
{
    // Longer than 32,000 characters, with 150 labels and jumps to them.
    QStringList source{QStringLiteral("begin"), QStringLiteral("n := 0;")};
    for (int i = 1; i <= 150; ++i)
        source << QStringLiteral("goto %1;").arg(i)
               << QStringLiteral("  n := n - 1000; { never runs %1 }").arg(QString(200, u'.'))
               << QStringLiteral("%1: n := n + 1;").arg(i);
    source << QStringLiteral("end");
    ASSERT_GT(source.join(u'\n').size(), 32000);
    StoreInterpreter in;
    QStringList lines, errors;
    in.PrepareScript(source, lines, errors);
    ASSERT_EQ(errors, QStringList());
    in.DoScript(lines);
    EXPECT_EQ(in.text("N"), QStringLiteral("150"));

    // Targets have two bytes: a script of more lines is refused.
    QString many = QStringLiteral("begin\n");
    for (int i = 0; i < 65536; ++i)
        many += QStringLiteral("x:=1;\n");
    in.compile(many + QStringLiteral("end"), &errors);
    EXPECT_EQ(errors, QStringList(QStringLiteral("Line 65537/1: Script is too long")));

    // Nesting deeper than any template writes is an error, not a crash.
    const QString deep = QStringLiteral("x := ") + QString(5000, u'(') + u'1' + QString(5000, u')');
    in.compile(deep, &errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u"Line 1/")) << errors[0].toStdString();
}

TEST(ScriptRunner, ToleratesLinesItDidNotMake)
{
    StoreInterpreter in;
    // A jump beyond the end ends; short jump lines end; empty lines are passed.
    in.DoScript({QString(), QStringLiteral("x 1 "), QString(QChar(2)) + QChar(0x10) + QChar(0x27), QStringLiteral("x 2 ")});
    EXPECT_EQ(in.text("X"), QStringLiteral("1"));
    in.DoScript({QString(QChar(1)), QStringLiteral("x 3 ")});
    EXPECT_EQ(in.text("X"), QStringLiteral("1"));
}

TEST(ScriptRunner, SplitsTheExpressionsOfCompiledLines)
{
    StoreInterpreter in;
    const QStringList lines = in.compile(
        QStringLiteral("begin if SUM(x) > 0 then y := MAX(z) + Total else Count(w); Total := 1 end"));
    Variables variables;
    variables.SetVariable(QStringLiteral("Total"), Variant(QStringLiteral("AVG(v)")));
    QStringList found;
    in.SplitExpressions(lines, {QStringLiteral("SUM"), QStringLiteral("MAX"), QStringLiteral("AVG"),
                                QStringLiteral("COUNT")},
                        variables, found);
    EXPECT_EQ(found, QStringList({QStringLiteral("SUM(x)"), QStringLiteral("MAX(z)"), QStringLiteral("AVG(v)"),
                                  QStringLiteral("Count(w)")}));
}
