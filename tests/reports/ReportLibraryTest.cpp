// The library globals (texts, constants, scratch pictures, the script's
// assignments to the report), the named-value list, the aggregate splitter,
// the small utilities and the base extension contracts.

#include "ReportTestSupport.h"
#include "platform/Environment.h"
#include "reports/model/Extensions.h"
#include "reports/language/FunctionSplitter.h"
#include "reports/model/ReportLibrary.h"
#include "reports/language/ReportUtils.h"
#include "reports/language/ResourceTexts.h"

#include <gtest/gtest.h>

using namespace reports;
using platform::VarType;

namespace {

class ReportLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        // Names as the report answers them for this test: report variables
        // before constants.
        library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
            ReportLibrary &lib = library();
            if (const Variant *v = lib.ReportVariables.Find(name))
                value = *v;
            else if (const Variant *c = lib.ScriptConstants.Find(name))
                value = *c;
        };
    }
    void TearDown() override { resetLibrary(); }

    Variant calc(const char *expression) { return library().ReportParser.Calc(QString::fromUtf8(expression)); }
    void runScript(const char *script)
    {
        QStringList lines, errors;
        library().ReportInterpreter.PrepareScript(QString::fromUtf8(script).split(u'\n'), lines, errors);
        ASSERT_EQ(errors, QStringList()) << script;
        library().ReportInterpreter.DoScript(lines);
    }
};

// Records what a script changes in the report.
class RecordingHost : public ScriptHost {
public:
    QStringList changes;
    bool SetDictionaryVariable(const QString &name, const Variant &value) override
    {
        if (name.compare(u"DictVar", Qt::CaseInsensitive) != 0)
            return false;
        changes << QStringLiteral("dictionary ") + value.toString();
        return true;
    }
    void SetModalResult(int result) override { changes << QStringLiteral("modal %1").arg(result); }
    void SetCurY(int y) override { changes << QStringLiteral("cury %1").arg(y); }
    void ShowProgress(const QString &text) override { changes << QStringLiteral("progress ") + text; }
    bool SetObjectProperty(const QString &name, const Variant &value) override
    {
        if (!name.startsWith(u"Memo1.", Qt::CaseInsensitive))
            return false;
        changes << name + u'=' + value.toString();
        return true;
    }
};

} // namespace

TEST_F(ReportLibraryTest, ScriptConstants)
{
    const struct {
        const char *expression;
        VarType type;
        const char *text;
    } cases[] = {
        {"clRed + 0", VarType::Double, "255"},
        {"clBtnFace", VarType::Integer, "-16777201"},
        {"clScrollBar", VarType::Integer, "-16777216"},
        {"clInfoBk", VarType::Integer, "-16777192"},
        {"clTransparent", VarType::Integer, "536870911"},
        {"clAqua", VarType::Integer, "16776960"},
        {"mb_YesNo", VarType::Integer, "4"},
        {"mb_YesNoCancel", VarType::Integer, "3"},
        {"mb_IconWarning", VarType::Integer, "48"},
        {"mrNo", VarType::Integer, "7"},
        {"fsBold + fsItalic", VarType::Integer, "3"},
        {"frtaDown", VarType::Integer, "16"},
        {"baRest", VarType::Integer, "7"},
        {"psDouble", VarType::Integer, "5"},
        {"CRLF", VarType::String, "\r\n"},
        {"Null", VarType::Null, ""},
    };
    for (const auto &c : cases) {
        const Variant v = calc(c.expression);
        EXPECT_EQ(static_cast<int>(v.type()), static_cast<int>(c.type)) << c.expression;
        EXPECT_EQ(v.toString().toStdString(), c.text) << c.expression;
    }
    EXPECT_EQ(library().ScriptConstants.Count(), 16 + 1 + 25 + 5 + 1 + 1 + 4 + 5 + 6 + 8 + 6 + 8);
}

TEST_F(ReportLibraryTest, AssigningToAConstantMakesAReportVariableThatHidesIt)
{
    runScript("Null := 5");
    EXPECT_EQ(calc("Null").toString(), QStringLiteral("5"));
    EXPECT_TRUE(library().ScriptConstants.GetVariable(QStringLiteral("Null")).isNull());
    EXPECT_EQ(library().ReportVariables.GetVariable(QStringLiteral("NULL")).toString(), QStringLiteral("5"));
}

TEST_F(ReportLibraryTest, ScriptAssignmentsGoWhereTheLibraryPutsThem)
{
    RecordingHost host;
    library().State.CurrentScriptHost = &host;
    library().ReportVariables.SetVariable(QStringLiteral("DictVar"), Variant(1));
    runScript("begin DictVar := 2; Memo1.Visible := 0; ModalResult := mrOk; CurY := 10.5; Progress := 'шаг ' + "
              "STR(3); Fresh := 7; dictvar := dictvar + 1 end");
    // An existing report variable wins over the dictionary variable.
    EXPECT_EQ(library().ReportVariables.GetVariable(QStringLiteral("DictVar")).toString(), QStringLiteral("3"));
    EXPECT_EQ(host.changes, QStringList({QStringLiteral("Memo1.Visible=0"), QStringLiteral("modal 1"),
                                         QStringLiteral("cury 10"), QStringLiteral("progress шаг 3")}));
    // A name nothing claims becomes a report variable.
    EXPECT_EQ(library().ReportVariables.GetVariable(QStringLiteral("FRESH")).toString(), QStringLiteral("7"));

    library().ReportVariables.Clear();
    runScript("DictVar := 4");
    EXPECT_EQ(host.changes.last(), QStringLiteral("dictionary 4"));
    EXPECT_EQ(library().ReportVariables.IndexOf(QStringLiteral("DictVar")), -1);
}

TEST_F(ReportLibraryTest, ScriptsCallTheReportsHandlers)
{
    QStringList calls;
    library().ReportParser.OnFunction = [&](const QString &name, const QString &p1, const QString &, const QString &,
                                            Variant &value) {
        calls << name + u':' + p1;
        value = Variant(QStringLiteral("ok"));
    };
    runScript("begin x := Check(clRed); NewPage end");
    EXPECT_EQ(calls, QStringList({QStringLiteral("CHECK:clRed"), QStringLiteral("NEWPAGE:0")}));
    EXPECT_EQ(library().ReportVariables.GetVariable(QStringLiteral("x")).toString(), QStringLiteral("ok"));
}

TEST_F(ReportLibraryTest, TextsPatternsAndScratchPictures)
{
    const ReportLibrary &lib = library();
    EXPECT_EQ(lib.Charset, 204);
    ASSERT_EQ(lib.BandNames.size(), 23);
    EXPECT_EQ(lib.BandNames[0], QStringLiteral("Report title"));
    EXPECT_EQ(lib.BandNames[16], QStringLiteral("Group header"));
    EXPECT_EQ(lib.BandNames[21], QStringLiteral("Child"));
    EXPECT_EQ(lib.BandNames[22], QStringLiteral("Нет"));
    EXPECT_EQ(lib.BooleanFormats, QStringList({QStringLiteral("0;1"), QStringLiteral("Нет;Да"), QStringLiteral("_;x"),
                                               QStringLiteral("False;True")}));
    EXPECT_EQ(lib.DateFormats[3], QStringLiteral("d mmmm yyyy"));
    EXPECT_EQ(lib.TimeFormats, QStringList({QStringLiteral("hh:nn:ss"), QStringLiteral("h:nn:ss"),
                                            QStringLiteral("hh:nn"), QStringLiteral("h:nn")}));
    EXPECT_TRUE(lib.ReportVariables.Sorted());
    EXPECT_TRUE(lib.ScriptConstants.Sorted());
    EXPECT_FALSE(lib.ReportCompressor.Enabled);
    EXPECT_FALSE(lib.State.DesignerFormClass);

    ASSERT_EQ(lib.Checkerboard.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(lib.Checkerboard.pixel(x, y) & 0xFFFFFF, (x + y) % 2 == 0 ? 0xFFFFFFu : 0xC0C0C0u) << x << "," << y;

    const struct {
        int id;
        const char *text;
    } texts[] = {
        {55000, "ОК"},
        {55001, "Отмена"},
        {55008, "Letter, 8 1/2 x 11\""},
        {55074, "Другой"},
        {55200, "Возникла ошибка при обработке выражения"},
        {55206, "Ошибка"},
        {55439, "Переменная не определена:"},
        {53080, "Дизайнер"},
        {55348, "Все функции"},
        {1, ""},
        {55002, ""},
    };
    for (const auto &t : texts)
        EXPECT_EQ(GetResourceText(t.id), QString::fromUtf8(t.text)) << t.id;
    EXPECT_TRUE(GetLocale().LoadBitmap(QStringLiteral("FR_NONE")).isNull());
}

TEST(ReportContracts, BaseAnswers)
{
    ExportFilter filter;
    EXPECT_EQ(filter.ShowModal(), 1);
    EXPECT_TRUE(filter.ShowDialog);
    EXPECT_FALSE(filter.Default);
    filter.Lines.push_back(std::make_unique<ExportLine>());
    filter.ClearLines();
    EXPECT_TRUE(filter.Lines.empty());
    ObjEditorForm editor;
    EXPECT_EQ(editor.ShowEditor(nullptr), 1);
}

TEST(ReportVariables, LookupOrderAndRanges)
{
    Variables v;
    v.SetVariable(QStringLiteral("Beta"), Variant(2));
    v.SetVariable(QStringLiteral("alpha"), Variant(1));
    v.SetVariable(QStringLiteral("ГАММА"), Variant(3));
    EXPECT_EQ(v.IndexOf(QStringLiteral("BETA")), 0);
    EXPECT_EQ(v.GetVariable(QStringLiteral("гамма")).toString(), QStringLiteral("3"));
    EXPECT_TRUE(v.GetVariable(QStringLiteral("none")).isNull());
    EXPECT_EQ(v.GetName(5), QString());
    EXPECT_EQ(v.GetValue(-1).type(), VarType::Integer);
    EXPECT_EQ(v.GetValue(-1).toString(), QStringLiteral("0"));
    v.SetValueAt(7, Variant(9));
    v.SetName(7, QStringLiteral("x"));
    v.Delete(7);
    EXPECT_EQ(v.Count(), 3);
    v.Insert(1, QStringLiteral("new"));
    EXPECT_EQ(v.GetName(1), QStringLiteral("new"));
    EXPECT_EQ(v.GetValue(1).toString(), QStringLiteral("0"));

    // Sorted: name order, a second entry of a name is ignored.
    Variables s;
    s.SetSorted(true);
    s.Assign(v);
    s.Insert(0, QStringLiteral("ALPHA"));
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.GetName(0), QStringLiteral("alpha"));
    EXPECT_EQ(s.GetName(3), QStringLiteral("ГАММА"));
    EXPECT_EQ(s.IndexOf(QStringLiteral("NEW")), 2);
    s.SetName(0, QStringLiteral("zeta"));
    EXPECT_EQ(s.GetName(2), QStringLiteral("zeta"));
    EXPECT_EQ(s.GetVariable(QStringLiteral("Zeta")).toString(), QStringLiteral("1"));
    // Switching an unsorted list with duplicates to sorted keeps the first.
    Variables d;
    d.Insert(0, QStringLiteral("a"));
    d.SetValueAt(0, Variant(1));
    d.Insert(1, QStringLiteral("A"));
    d.SetSorted(true);
    EXPECT_EQ(d.Count(), 1);
    EXPECT_EQ(d.GetValue(0).toString(), QStringLiteral("1"));
}

TEST(AggregateSplitter, FindsCallsThroughArgumentsAndVariables)
{
    Variables dictionary;
    dictionary.SetVariable(QStringLiteral("Total"), Variant(QStringLiteral("SUM(Data.Amount) * 2")));
    dictionary.SetVariable(QStringLiteral("Loop"), Variant(QStringLiteral("Loop + COUNT(x)")));
    dictionary.SetVariable(QStringLiteral("Field Name"), Variant(QStringLiteral("MIN(y)")));
    const struct {
        const char *expression;
        QStringList found;
    } cases[] = {
        {"SUM(a) + 1", {QStringLiteral("SUM(a)")}},
        {"IF(MAX(SUM(b), 1) > 0, Avg(c), 0)",
         {QStringLiteral("Avg(c)"), QStringLiteral("SUM(b)"), QStringLiteral("MAX(SUM(b), 1)")}},
        {"Total / 3", {QStringLiteral("SUM(Data.Amount)")}},
        // a variable whose expression names itself is followed once
        {"Loop", {QStringLiteral("COUNT(x)")}},
        {"[Field Name] [SUM(z)] text [Total]",
         {QStringLiteral("MIN(y)"), QStringLiteral("SUM(z)"), QStringLiteral("SUM(Data.Amount)")}},
        {"'SUM(a)' + SUM(b)", {}},
        {"(SUM(a))", {}},
        {"NOTSUM(a)", {}},
    };
    for (const auto &c : cases) {
        QStringList found;
        AggregateFunctionsSplitter splitter(dictionary, found);
        splitter.Split(QString::fromUtf8(c.expression));
        EXPECT_EQ(found, c.found) << c.expression;
    }
    QStringList found;
    AggregateFunctionsSplitter splitter(dictionary, found);
    splitter.SplitMemo({QStringLiteral("Итого: [SUM(q)] из [Total]"), QStringLiteral("[COUNT(r)]")});
    EXPECT_EQ(found, QStringList({QStringLiteral("SUM(q)"), QStringLiteral("SUM(Data.Amount)"),
                                  QStringLiteral("COUNT(r)")}));
}

TEST(ReportUtils, NumbersListsQuotesAndFonts)
{
    for (const char16_t sep : {u',', u'.'}) {
        const platform::ScopedService<platform::DecimalSeparator> pin(sep);
        for (const char *text : {"1.5", "1,5", " 1,5 ", "+1.5"})
            EXPECT_EQ(StrToFloatAnySeparator(QString::fromLatin1(text)), 1.5) << text;
        EXPECT_EQ(StrToFloatAnySeparator(QStringLiteral("-2")), -2);
        for (const char *text : {"abc", "", "1.5.1", "1 5"})
            EXPECT_THROW(StrToFloatAnySeparator(QString::fromLatin1(text)), platform::ConvertError) << text;
    }

    QStringList items{QStringLiteral("old")};
    SplitBySemicolon(QStringLiteral("a;b;;d"), items);
    EXPECT_EQ(items, QStringList({QStringLiteral("a"), QStringLiteral("b"), QString(), QStringLiteral("d")}));
    SplitBySemicolon(QStringLiteral("a;b;"), items);
    EXPECT_EQ(items, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    SplitBySemicolon(QString(), items);
    EXPECT_TRUE(items.isEmpty());
    qsizetype pos = 2;
    EXPECT_EQ(ExtractItem(QStringLiteral("a;bc;d"), pos), QStringLiteral("bc"));
    EXPECT_EQ(pos, 5);

    EXPECT_EQ(Unquote(QStringLiteral("\"\"")), QStringLiteral("\"\""));
    EXPECT_EQ(Unquote(QStringLiteral("\"x\"")), QStringLiteral("x"));
    EXPECT_EQ(Unquote(QStringLiteral("\"x")), QStringLiteral("\"x"));
    EXPECT_EQ(GetWindowsVersion(), QStringLiteral("NT"));

    platform::gdi::LogFont font;
    font.height = -12;
    font.faceName = QStringLiteral("Times New Roman");
    const platform::gdi::LogFont up = CreateRotatedFont(font);
    EXPECT_EQ(up.escapement, 900);
    EXPECT_EQ(up.orientation, 900);
    EXPECT_EQ(up.height, -12);
    EXPECT_EQ(up.faceName, font.faceName);
}
