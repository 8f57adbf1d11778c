// The map's function library as report expressions call it, after the
// standard libraries: the conversions, the name forms, the capital first
// letter (its argument evaluated once) and the map pictures through a fake
// map window.

#include "mapreports/MapReportFunctions.h"

#include "reports/build/FunctionLibraries.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportLibrary.h"
#include "support/SeparatorParam.h"
#include "../reports/ReportTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace reports;
using platform::VarType;

namespace {

struct FakeMap : MapPictureServices {
    struct Call {
        char kind;
        double width, height, third;
    };
    std::vector<Call> calls;
    void DrawMapPicture(double width, double height, double denominator) override
    {
        calls.push_back({'m', width, height, denominator});
    }
    void DrawGridPicture(double width, double height, double gridStep) override
    {
        calls.push_back({'g', width, height, gridStep});
    }
};

class CountingInput : public ReportDialogs {
public:
    int asked = 0;
    bool InputQuery(const QString &, const QString &, QString &value) override
    {
        ++asked;
        value = QStringLiteral("ёлка");
        return true;
    }
};

class MapFunctions : public testsupport::UnderSeparator {
protected:
    void SetUp() override
    {
        UnderSeparator::SetUp();
        resetRegistries();
        resetLibrary();
        RegisterStandardFunctionLibraries();
        RegisterMapFunctionLibrary();
        library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
            value = library().ReportVariables.GetVariable(name);
        };
        library().ReportParser.OnFunction = [](const QString &name, const QString &p1, const QString &p2,
                                               const QString &p3, Variant &result) {
            result = Variant(QStringLiteral("0"));
            CallFunctionLibraries(name, p1, p2, p3, result);
        };
        setMapPictureServices(&map);
    }
    void TearDown() override
    {
        setMapPictureServices(nullptr);
        resetRegistries();
        resetLibrary();
    }
    Variant calc(const char *expression) { return library().ReportParser.Calc(QString::fromUtf8(expression)); }
    FakeMap map;
};

} // namespace

TEST_P(MapFunctions, EveryFunctionOfTheMapLibrary)
{
    const struct {
        const char *expression;
        VarType type;
        const char *text; // "@": the decimal separator of the run
    } cases[] = {
        {"upperfirst('abc')", VarType::String, "Abc"},
        {"UpperFirst('')", VarType::String, ""},
        {"UpperFirst('ж')", VarType::String, "Ж"},
        {"UpperFirst('жЖ')", VarType::String, "ЖЖ"},
        {"UpperFirst('яблоко Сад')", VarType::String, "Яблоко Сад"},
        {"TXTTOFLOAT('', 5)", VarType::Double, "5"},
        {"TXTTOFLOAT('12,5', 0)", VarType::Double, "12@5"},
        {"TXTTOFLOAT('12.5', 0)", VarType::Double, "12@5"},
        {"TXTTOINTTXT('abc')", VarType::String, "0"},
        {"TXTTOINTTXT('№ -12а')", VarType::String, "-12"},
        {"TXTTOINT('')", VarType::Integer, "0"},
        {"TXTTOINT('дом 17')", VarType::Integer, "17"},
        {"DATEWRITE(0)", VarType::String, ""},
        {"DATEWRITE(STRTODATE('05.03.2004'))", VarType::String, "5 березня 2004 року"},
        {"SUMWRITE(21000.21, false)", VarType::String, "Двадцять одна тисяча гривень "},
        {"SUMWRITE(21000.21, true)", VarType::String, "Двадцять одна тисяча гривень 21 копійка "},
        {"ShortFamily('Петренко Іван Степанович')", VarType::String, "І. С. Петренко"},
        {"familyshort('Петренко Іван Степанович')", VarType::String, "Петренко І. С."},
        {"DrawMap(100, 50, 0)", VarType::Integer, "0"},
        // a name the standard library knows never reaches this one
        {"SUM(1, Band1)", VarType::String, "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expression);
        const Variant v = calc(c.expression);
        EXPECT_EQ(v.type(), c.type);
        EXPECT_EQ(valueText(v), QString::fromUtf8(local(c.text, '@')));
    }
}

TEST_P(MapFunctions, UpperFirstAsksItsArgumentOnce)
{
    CountingInput input;
    const platform::ScopedService<ReportDialogs> dialogs(input);
    EXPECT_EQ(calc("UpperFirst(INPUT('Имя'))").toString(), "Ёлка");
    EXPECT_EQ(input.asked, 1);
}

TEST_P(MapFunctions, MapPicturesReachTheMapWindowWithTheirArguments)
{
    library().ReportVariables.SetVariable(QStringLiteral("WmfWidth"), Variant(26700.0));
    library().ReportVariables.SetVariable(QStringLiteral("WmfHeight"), Variant(18000.0));
    EXPECT_EQ(calc("DrawMap([WmfWidth], [WmfHeight], 0)").toInt(), 0);
    EXPECT_EQ(calc("DrawGreed(200 * 10, 100 * 10, 500)").toInt(), 0);
    ASSERT_EQ(map.calls.size(), 2u);
    EXPECT_EQ(map.calls[0].kind, 'm');
    EXPECT_DOUBLE_EQ(map.calls[0].width, 26700);
    EXPECT_DOUBLE_EQ(map.calls[0].height, 18000);
    EXPECT_DOUBLE_EQ(map.calls[0].third, 0); // the map keeps its scale
    EXPECT_EQ(map.calls[1].kind, 'g');
    EXPECT_DOUBLE_EQ(map.calls[1].width, 2000);
    EXPECT_DOUBLE_EQ(map.calls[1].third, 500);

    // Without a map window nothing is drawn and the result stays 0.
    setMapPictureServices(nullptr);
    EXPECT_EQ(calc("DrawMap(1, 1, 1)").toInt(), 0);
    EXPECT_EQ(map.calls.size(), 2u);
}

TEST_P(MapFunctions, CatalogueListsTheMapFunctions)
{
    const QStringList names = GetFunctionList(QStringLiteral("VYK функции"));
    EXPECT_EQ(names.size(), 10);
    EXPECT_EQ(GetFunctionDescription(QStringLiteral("drawgreed")),
              "DrawGreed(<Длинна>,<Высота>,<Сетка>)/Выполняет формирование рисунка с координатной сеткой");
}

INSTANTIATE_TEST_SUITE_P(Separators, MapFunctions, testsupport::separators(), testsupport::separatorName);
