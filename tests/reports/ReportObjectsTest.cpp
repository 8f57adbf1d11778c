// The report object model: property lists and property access by name,
// scaled geometry, frames' clip regions, alignment to the print area and to
// neighbours, the factory and the class registries, names for scripts and
// the text of an expression error.

#include "ReportTestSupport.h"
#include "platform/gdi/Bitmap.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportViews.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

class ReportObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
            if (const Variant *v = library().ReportVariables.Find(name))
                value = *v;
        };
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
};

QStringList propertyNames(View &view)
{
    view.BuildPropertyList();
    QStringList names;
    for (const PropRec &p : view.Props)
        names << p.Name;
    return names;
}

std::unique_ptr<View> bandOfType(int type)
{
    auto band = std::make_unique<BandView>();
    band->SetBandType(type);
    return band;
}

// A page whose print area runs from 100 to 900.
std::unique_ptr<Page> pageWithArea()
{
    auto page = std::make_unique<Page>();
    page->Metrics.PaperWidth = 1000;
    page->Metrics.OffsetX = 0;
    page->Metrics.PrintWidth = 1000;
    page->MarginLeft = 100;
    page->MarginRight = 100;
    return page;
}

View *addMemo(Page &page, const QString &name, int left, int top, int width, quint8 align)
{
    auto memo = std::make_unique<MemoView>();
    memo->Name = name;
    memo->SetBounds(left, top, width, 20);
    memo->BandAlign = align;
    return page.Add(std::move(memo));
}

} // namespace

TEST_F(ReportObjectsTest, PropertyListsPerClass)
{
    const QStringList frameAndFill = {"FrameTyp", "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "Tag",
                                      "BandAlign"};
    MemoView memo;
    const QStringList memoNames = propertyNames(memo);
    EXPECT_EQ(memoNames.mid(0, 6), (QStringList{"Name", "Left", "Top", "Width", "Height", "Flags"}));
    for (const QString &n : frameAndFill + QStringList{"Font.Name", "WordBreak", "Lines.Count", "RTLReading"})
        EXPECT_TRUE(memoNames.contains(n)) << n.toStdString();

    SubReportView sub;
    auto band = bandOfType(btMasterData);
    for (View *v : {static_cast<View *>(&sub), band.get()}) {
        const QStringList names = propertyNames(*v);
        for (const QString &n : frameAndFill)
            EXPECT_FALSE(names.contains(n)) << v->ClassName().toStdString() << " " << n.toStdString();
    }

    Control control;
    EXPECT_EQ(propertyNames(control),
              (QStringList{"Name", "Left", "Top", "Width", "Height", "Visible", "Restrictions"}));

    LineView line;
    EXPECT_EQ(propertyNames(line).last(), "Stretched");
    PictureView picture;
    const QStringList pictureNames = propertyNames(picture);
    for (const char *n : {"Picture", "Center", "KeepAspect", "DataField", "BlobType"})
        EXPECT_TRUE(pictureNames.contains(QString::fromLatin1(n))) << n;

    // Kinds and enumerations.
    memo.BuildPropertyList();
    const PropRec *style = memo.FindProperty(QStringLiteral("framestyle"));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->PropType, pkEnum);
    EXPECT_EQ(style->Enum.size(), 6);
    ASSERT_TRUE(style->EnumValues.has_value());
    EXPECT_EQ(style->EnumValues->at(5).toInt(), 5);
    EXPECT_EQ(memo.FindProperty(QStringLiteral("Name"))->PropType, pkString | pkSingleOnly);
    EXPECT_EQ(memo.FindProperty(QStringLiteral("FrameWidth"))->PropType, pkReal | pkLength);
    EXPECT_EQ(memo.FindProperty(QStringLiteral("nothing")), nullptr);
}

TEST_F(ReportObjectsTest, BandPropertiesByType)
{
    struct Case {
        int type;
        QStringList has;
        QStringList lacks;
    } cases[] = {
        {btPageFooter, {"OnFirstPage", "OnLastPage", "EOF", "OnBeforePrint"}, {"ChildBand", "PrintChildIfInvisible", "FormNewPage", "Memo", "Stretched"}},
        {btPageHeader, {"ChildBand", "OnFirstPage", "Stretched"}, {"OnLastPage", "FormNewPage"}},
        {btGroupHeader, {"Condition", "Master", "RepeatHeader", "FormNewPage", "Breaked"}, {"Columns", "DataSource"}},
        {btMasterData, {"Columns", "ColumnWidth", "ColumnGap", "DataSource", "PrintIfSubsetEmpty"}, {"Condition"}},
        {btDetailData, {"Columns", "DataSource", "PrintIfSubsetEmpty"}, {"RepeatHeader"}},
        {btSubDetailData, {"Columns", "DataSource"}, {"PrintIfSubsetEmpty"}},
        {btCrossData, {"DataSource"}, {"Columns", "Stretched", "Breaked"}},
        {btOverlay, {"ChildBand"}, {"Stretched", "Breaked", "FormNewPage"}},
    };
    for (const Case &c : cases) {
        auto band = bandOfType(c.type);
        const QStringList names = propertyNames(*band);
        for (const QString &n : c.has)
            EXPECT_TRUE(names.contains(n)) << c.type << " " << n.toStdString();
        for (const QString &n : c.lacks)
            EXPECT_FALSE(names.contains(n)) << c.type << " " << n.toStdString();
    }
    // A new band prints on the first and the last page.
    EXPECT_EQ(BandView().Flags, 48);
}

TEST_F(ReportObjectsTest, PropertyAccessByName)
{
    MemoView memo;
    memo.Flags = 0xFF;
    memo.SetProperty(QStringLiteral("stretched"), Variant(false));
    EXPECT_EQ(memo.Flags, 0xFE);
    EXPECT_EQ(memo.GetProperty(QStringLiteral("Stretched")).toBool(), false);
    memo.SetProperty(QStringLiteral("WORDBREAK"), Variant(false));
    EXPECT_EQ(memo.Flags, 0xFA);

    EXPECT_EQ(memo.GetProperty(QStringLiteral("DATAFIELD")).toString(), QString());
    memo.SetProperty(QStringLiteral("DataField"), Variant(QStringLiteral("a\r\nb")));
    EXPECT_EQ(memo.Memo, (QStringList{"a", "b"}));
    EXPECT_EQ(memo.GetProperty(QStringLiteral("Memo")).toString(), "a\r\nb");
    EXPECT_EQ(memo.GetProperty(QStringLiteral("Memo.Count")).toInt(), 2);
    EXPECT_EQ(memo.GetProperty(QStringLiteral("Lines.Count")).toInt(), 2);
    EXPECT_EQ(memo.GetProperty(QStringLiteral("DataField")).toString(), "a");
    memo.SetProperty(QStringLiteral("DataField"), Variant(QStringLiteral("c")));
    EXPECT_EQ(memo.Memo, QStringList{"c"});

    memo.SetProperty(QStringLiteral("Font.Name"), Variant(QStringLiteral("Times New Roman")));
    memo.SetProperty(QStringLiteral("FONT.SIZE"), Variant(14));
    EXPECT_EQ(memo.Font.Name, "Times New Roman");
    EXPECT_EQ(memo.GetProperty(QStringLiteral("font.size")).toInt(), 14);
    EXPECT_TRUE(ReportObject::GetFontProperty(memo.Font, QStringLiteral("FONT.WEIGHT")).isNull());

    // Unknown names read Null and are ignored on writing.
    EXPECT_TRUE(memo.GetProperty(QStringLiteral("NoSuch")).isNull());
    memo.SetProperty(QStringLiteral("NoSuch"), Variant(1));
    EXPECT_TRUE(memo.CallMethod(QStringLiteral("NOSUCH"), Variant(), Variant(), Variant()).isNull());

    memo.CallMethod(QStringLiteral("HIDE"), Variant(), Variant(), Variant());
    EXPECT_FALSE(memo.Visible);
    memo.CallMethod(QStringLiteral("SHOW"), Variant(), Variant(), Variant());
    EXPECT_TRUE(memo.Visible);

    // The picture's flag bits.
    PictureView picture;
    picture.SetProperty(QStringLiteral("Center"), Variant(true));
    picture.SetProperty(QStringLiteral("KeepAspect"), Variant(false));
    EXPECT_EQ(picture.Flags, 3);
    EXPECT_EQ(library().ScriptConstants.GetVariable(QStringLiteral("btWMF")).toInt(), 3);
}

TEST_F(ReportObjectsTest, StringListMethods)
{
    library().ReportVariables.SetVariable(QStringLiteral("V"), Variant(QStringLiteral("from a variable")));
    MemoView memo;
    memo.Memo = {"one", "two"};
    const Variant none;
    memo.CallMethod(QStringLiteral("LINES.ADD"), Variant(QStringLiteral("V")), none, none);
    memo.CallMethod(QStringLiteral("MEMO.ADD"), Variant(QStringLiteral("'x' + 'y'")), none, none);
    EXPECT_EQ(memo.Memo, (QStringList{"one", "two", "from a variable", "xy"}));
    EXPECT_EQ(memo.CallMethod(QStringLiteral("LINES.INDEXOF"), Variant(QStringLiteral("'two'")), none, none).toInt(), 1);
    EXPECT_EQ(memo.CallMethod(QStringLiteral("MEMO.INDEXOF"), Variant(QStringLiteral("'six'")), none, none).toInt(), -1);
    memo.CallMethod(QStringLiteral("LINES.DELETE"), Variant(QStringLiteral("0")), none, none);
    memo.CallMethod(QStringLiteral("SETINDEXPROPERTY"), Variant(QStringLiteral("Memo")), Variant(0), Variant(QStringLiteral("2")));
    EXPECT_EQ(memo.CallMethod(QStringLiteral("GETINDEXPROPERTY"), Variant(QStringLiteral("MEMO")), Variant(2), none)
                  .toString(),
              "xy");
    EXPECT_EQ(memo.Memo, (QStringList{"2", "from a variable", "xy"}));
    memo.CallMethod(QStringLiteral("LINES.DELETE"), Variant(QStringLiteral("7")), none, none); // out of range
    memo.CallMethod(QStringLiteral("MEMO.CLEAR"), none, none, none);
    EXPECT_TRUE(memo.Memo.isEmpty());
}

TEST_F(ReportObjectsTest, SaveCoordinatesAndDrawRect)
{
    library().State.DocumentMode = 1; // the scale is kept
    struct Case {
        float frameWidth;
        double scale;
        int offset;
        quint16 lines;
        int left;
        gdi::Rect scaled; // left, top, right, bottom of the scaled object
        gdi::Rect drawRect;
        int gapX, gapY;
    } cases[] = {
        {1, 1.0, 0, 15, 10, {10, 20, 110, 70}, {10, 20, 111, 71}, 2, 1},
        {2, 1.0, 0, 15, 10, {10, 20, 110, 70}, {10, 20, 110, 70}, 3, 1},
        {3, 1.0, 0, 15, 10, {10, 20, 110, 70}, {11, 21, 109, 69}, 4, 2},
        {3, 1.0, 0, 0, 10, {10, 20, 110, 70}, {10, 20, 111, 71}, 4, 2},
        {3, 1.0, 0, frftLeft | frftBottom, 10, {10, 20, 110, 70}, {11, 20, 111, 69}, 4, 2},
        {1, 1.5, 0, 15, 10, {15, 30, 165, 105}, {15, 30, 165, 105}, 4, 2},
        {2, 1.5, 0, 15, 10, {15, 30, 165, 105}, {16, 31, 164, 104}, 5, 3},
        // Halves go to the even neighbour: 11 x 1.5 = 16.5 gives 16, 111 x 1.5 gives 166.
        {1, 1.5, 0, 0, 11, {16, 30, 166, 105}, {16, 30, 167, 106}, 4, 2},
        {1, 1.5, 5, 0, 10, {20, 35, 170, 110}, {20, 35, 171, 111}, 4, 2},
    };
    for (const Case &c : cases) {
        MemoView v;
        v.SetBounds(c.left, 20, 100, 50);
        v.FrameWidth = c.frameWidth;
        v.FrameTyp = c.lines;
        v.ScaleX = v.ScaleY = c.scale;
        v.OffsetX = v.OffsetY = c.offset;
        v.SaveCoordinates();
        const std::string label = std::to_string(c.frameWidth) + " x" + std::to_string(c.scale);
        EXPECT_EQ(v.Left, c.scaled.left) << label;
        EXPECT_EQ(v.Top, c.scaled.top) << label;
        EXPECT_EQ(v.ScaledRight(), c.scaled.right) << label;
        EXPECT_EQ(v.ScaledBottom(), c.scaled.bottom) << label;
        EXPECT_EQ(v.DrawRect, c.drawRect) << label;
        EXPECT_EQ(v.GapX, c.gapX) << label;
        EXPECT_EQ(v.GapY, c.gapY) << label;
        v.RestoreCoordinates();
        EXPECT_EQ(v.Left, c.left);
        EXPECT_EQ(v.Width, 100);
        EXPECT_EQ(v.GapX, 2);
        EXPECT_EQ(v.FrameWidth, c.frameWidth);
    }
    // In the designer the scale is 1 whatever was set.
    library().State.DocumentMode = 0;
    MemoView v;
    v.SetBounds(10, 20, 100, 50);
    v.ScaleX = v.ScaleY = 2;
    v.SaveCoordinates();
    EXPECT_EQ(v.ScaledRight(), 110);
}

TEST_F(ReportObjectsTest, ClipRegions)
{
    struct Case {
        float width;
        quint16 style;
        quint16 lines;
        bool extended;
        QRect expected;
    } cases[] = {
        {1, 0, 0, false, QRect(10, 20, 101, 51)},
        {3, 0, 15, false, QRect(8, 18, 104, 54)}, // b = 2 (1.5 to even), a = 1
        {2, 5, frftLeft | frftRight, false, QRect(7, 20, 106, 51)}, // double: b = 3, a = 2
        {1, 0, 0, true, QRect(0, 10, 121, 71)},
    };
    for (const Case &c : cases) {
        MemoView v;
        v.SetBounds(10, 20, 100, 50);
        v.FrameWidth = c.width;
        v.FrameStyle = c.style;
        v.FrameTyp = c.lines;
        EXPECT_EQ(v.GetClipRgn(c.extended).boundingRect(), c.expected) << c.width << " " << c.lines;
    }
    LineView line;
    line.SetBounds(10, 20, 0, 50);
    line.FrameWidth = 3;
    // A vertical line: trunc(1.5) = 1 to the left, trunc(1) = 1 to the right.
    EXPECT_EQ(line.GetClipRgn(false).boundingRect(), QRect(9, 20, 3, 51));
    line.FrameStyle = 5;
    // Double: trunc(4.5) = 4 and trunc(trunc(1) + 3) = 4.
    EXPECT_EQ(line.GetClipRgn(false).boundingRect(), QRect(6, 20, 9, 51));
}

TEST_F(ReportObjectsTest, AlignmentToNeighboursAndThePrintArea)
{
    auto page = pageWithArea();
    library().State.DocumentMode = 1;
    library().State.CurrentPage = page.get();
    addMemo(*page, "A", 50, 10, 100, baLeft);
    addMemo(*page, "B", 300, 10, 50, baLeft);
    addMemo(*page, "Other row", 320, 40, 50, baLeft);
    addMemo(*page, "R1", 600, 10, 40, baRight);
    addMemo(*page, "R2", 800, 10, 40, baRight);
    View *x = addMemo(*page, "X", 400, 10, 100, baLeft);
    View *y = addMemo(*page, "Y", 500, 10, 50, baRight);
    View *z = addMemo(*page, "Z", 450, 10, 10, baRest);
    View *a = page->FindObject(QStringLiteral("A"));
    gdi::Canvas &canvas = library().MeasureBitmap->canvas();

    x->BeginDraw(canvas);
    EXPECT_EQ(x->Left, 350); // B's right edge
    a->BeginDraw(canvas);
    EXPECT_EQ(a->Left, 100); // no neighbour: the print area's left edge
    y->BeginDraw(canvas);
    EXPECT_EQ(y->Left, 549); // R1's left less its width less 1
    page->FindObject(QStringLiteral("R2"))->BeginDraw(canvas);
    EXPECT_EQ(page->FindObject(QStringLiteral("R2"))->Left, 860); // the right edge less its width
    z->BeginDraw(canvas);
    EXPECT_EQ(z->Left, 450); // X's new right edge
    EXPECT_EQ(z->Width, 99); // up to Y
    EXPECT_EQ(library().State.CurrentView, z);

    // Centre and width.
    View *c = addMemo(*page, "C", 0, 100, 200, baCenter);
    c->BeginDraw(canvas);
    EXPECT_EQ(c->Left, 400);
    View *w = addMemo(*page, "W", 0, 130, 10, baWidth);
    w->BeginDraw(canvas);
    EXPECT_EQ(w->Left, 100);
    EXPECT_EQ(w->Width, 799);

    // A left-aligned object pushed past the right edge keeps a width of 0.
    addMemo(*page, "Wide", 0, 200, 950, baLeft);
    View *pushed = addMemo(*page, "Pushed", 960, 200, 100, baLeft);
    pushed->BeginDraw(canvas);
    EXPECT_EQ(pushed->Left, 950);
    EXPECT_EQ(pushed->Width, 0);
    library().State.CurrentPage = nullptr;
}

TEST_F(ReportObjectsTest, RowRulesInsideABand)
{
    auto page = pageWithArea();
    library().State.DocumentMode = 1;
    library().State.CurrentPage = page.get();
    Band band;
    band.y = 300;
    library().State.CurrentBand = &band;
    // Template objects of another band stand at the template's top; the
    // object being printed has the band's top added.
    addMemo(*page, "Template row", 200, 10, 50, baLeft);
    addMemo(*page, "Printed row", 100, 310, 80, baLeft);
    View *x = addMemo(*page, "X", 500, 310, 10, baLeft);
    gdi::Canvas &canvas = library().MeasureBitmap->canvas();
    x->BeginDraw(canvas);
    EXPECT_EQ(x->Left, 250); // only the candidate at 310 - 300

    band.Flags = 1; // a band drawn again: a candidate at the own top counts too
    x->Left = 500;
    x->BeginDraw(canvas);
    EXPECT_EQ(x->Left, 250); // "0200" sorts after "0100": the template row is the last
    page->FindObject(QStringLiteral("Template row"))->Left = 50;
    x->Left = 500;
    x->BeginDraw(canvas);
    EXPECT_EQ(x->Left, 180);
    library().State.CurrentBand = nullptr;
    library().State.CurrentPage = nullptr;
}

TEST_F(ReportObjectsTest, FactoryAndRegistries)
{
    const struct {
        int kind;
        const char *className;
    } kinds[] = {{0, "TfrMemoView"}, {1, "TfrPictureView"}, {2, "TfrBandView"}, {3, "TfrSubReportView"}, {4, "TfrLineView"}};
    const int first = library().ObjectCounter;
    for (const auto &k : kinds) {
        const auto view = CreateViewOfType(k.kind);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->ClassName(), QString::fromLatin1(k.className));
        EXPECT_EQ(view->ObjectType, k.kind);
        EXPECT_EQ(view->ID, first + k.kind);
    }
    EXPECT_EQ(CreateViewOfType(5), nullptr);
    EXPECT_EQ(library().ObjectCounter, first + 5);

    EXPECT_TRUE(RegisterAddIn(QStringLiteral("TfrControl"), [] { return std::make_unique<Control>(); }, {}, {}));
    const auto addIn = CreateViewOfType(10, QStringLiteral("TfrControl"));
    ASSERT_NE(addIn, nullptr);
    EXPECT_EQ(addIn->ObjectType, 10);

    // An unknown add-in: each name on its own line, both in the second error.
    EXPECT_THROW(CreateViewOfType(10, QStringLiteral("TfrChartView")), EClassNotFound);
    try {
        CreateViewOfType(10, QStringLiteral("TfrOLEView"));
        FAIL();
    } catch (const EClassNotFound &e) {
        EXPECT_EQ(e.message(), "TfrChartView\rTfrOLEView\r");
    }
    EXPECT_TRUE(library().State.ClassErrorFlag);

    // The add-in table refuses a 65th class and ignores a second registration.
    for (int i = 1; i < kRegistrySize; ++i)
        EXPECT_TRUE(RegisterAddIn(QStringLiteral("Class%1").arg(i), {}, {}, {}));
    EXPECT_TRUE(RegisterAddIn(QStringLiteral("Class1"), {}, {}, {}));
    EXPECT_FALSE(RegisterAddIn(QStringLiteral("One too many"), {}, {}, {}));
    EXPECT_EQ(AddIns().size(), static_cast<std::size_t>(kRegistrySize));

    // Export filters: a duplicate class and extension is refused; the last
    // entry of a class goes and the gap closes.
    ExportFilter text, rtf;
    EXPECT_TRUE(RegisterExportFilter(&text, QStringLiteral("TfrTextExport"), QStringLiteral("Текст"), QStringLiteral("*.txt")));
    EXPECT_FALSE(RegisterExportFilter(&text, QStringLiteral("TfrTextExport"), QStringLiteral("Другой"), QStringLiteral("*.txt")));
    EXPECT_TRUE(RegisterExportFilter(&text, QStringLiteral("TfrTextExport"), QStringLiteral("Текст"), QStringLiteral("*.prn")));
    EXPECT_TRUE(RegisterExportFilter(&rtf, QStringLiteral("TfrRTFExport"), QStringLiteral("RTF"), QStringLiteral("*.rtf")));
    UnregisterExportFilter(QStringLiteral("TfrTextExport"));
    ASSERT_EQ(ExportFilters().size(), 2u);
    EXPECT_EQ(ExportFilters()[0].FilterExt, "*.txt");
    EXPECT_EQ(ExportFilters()[1].ClassName, "TfrRTFExport");
    for (int i = 2; i < kRegistrySize; ++i)
        EXPECT_TRUE(RegisterExportFilter(&rtf, QStringLiteral("F%1").arg(i), {}, QStringLiteral("*.x")));
    EXPECT_FALSE(RegisterExportFilter(&rtf, QStringLiteral("Full"), {}, QStringLiteral("*.x")));
}

namespace {

// A library whose constructor puts its functions ("NAME:category") into the
// catalogue, as every library does; it counts its live instances.
class CatalogueLibrary : public FunctionLibrary {
public:
    CatalogueLibrary(const QString &className, const QStringList &functions, int &alive)
        : className_(className), alive_(alive)
    {
        ++alive_;
        for (const QString &f : functions) {
            const QString name = f.section(u':', 0, 0);
            FunctionNames << name;
            AddFunctionDesc(name, f.section(u':', 1), name + QStringLiteral("()/"));
        }
    }
    ~CatalogueLibrary() override { --alive_; }
    QString ClassName() const override { return className_; }
    void DoFunction(int number, const QString &p1, const QString &, const QString &, Variant &result) override
    {
        result = Variant(QStringLiteral("%1 %2 %3").arg(className_).arg(number).arg(p1));
    }

private:
    QString className_;
    int &alive_;
};

} // namespace

TEST_F(ReportObjectsTest, FunctionLibraryRegistry)
{
    int alive = 0, made = 0;
    const auto factory = [&](const QString &className) -> FunctionLibraryFactory {
        QStringList functions;
        if (className == "TfrStdFunctionLibrary")
            functions = {"SUM:Агрегатные", "IF:Прочие", "TRIM:"}; // no category: not listed
        else if (className == "TDatabaseFunctionLibrary")
            functions = {"FIELDISNULL:Базы данных", "SUM:Другая", "Sum:Агрегатные"}; // names differ by case
        return [&, className, functions] {
            ++made;
            return std::make_unique<CatalogueLibrary>(className, functions, alive);
        };
    };
    const auto joined = [](const auto &items, const auto &name) {
        QStringList names;
        for (const auto &item : items)
            names << name(item);
        return names.join(u' ');
    };
    // An entry of no library (a built-in the designer lists) outlives every
    // unregistration.
    AddFunctionDesc(nullptr, QStringLiteral("PAGE#"), QStringLiteral("Прочие"), QStringLiteral("PAGE#/"));

    const struct {
        bool registering;
        const char *className;
        int made, alive;
        const char *libraries;
        const char *catalogue;
    } steps[] = {
        {true, "TfrStdFunctionLibrary", 1, 1, "TfrStdFunctionLibrary", "PAGE# SUM IF"},
        {true, "TDatabaseFunctionLibrary", 2, 2, "TfrStdFunctionLibrary TDatabaseFunctionLibrary",
         "PAGE# SUM IF FIELDISNULL Sum"},
        // A second registration makes no instance.
        {true, "TfrStdFunctionLibrary", 2, 2, "TfrStdFunctionLibrary TDatabaseFunctionLibrary",
         "PAGE# SUM IF FIELDISNULL Sum"},
        {false, "Nobody", 2, 2, "TfrStdFunctionLibrary TDatabaseFunctionLibrary", "PAGE# SUM IF FIELDISNULL Sum"},
        // The gap closes and only that library's entries go.
        {false, "TfrStdFunctionLibrary", 2, 1, "TDatabaseFunctionLibrary", "PAGE# FIELDISNULL Sum"},
        {true, "TfrStdFunctionLibrary", 3, 2, "TDatabaseFunctionLibrary TfrStdFunctionLibrary",
         "PAGE# FIELDISNULL Sum SUM IF"},
        {false, "TDatabaseFunctionLibrary", 3, 1, "TfrStdFunctionLibrary", "PAGE# SUM IF"},
    };
    for (const auto &step : steps) {
        const QString className = QString::fromLatin1(step.className);
        if (step.registering)
            EXPECT_TRUE(RegisterFunctionLibrary(className, factory(className))) << step.className;
        else
            UnregisterFunctionLibrary(className);
        SCOPED_TRACE((step.registering ? "register " : "unregister ") + className.toStdString());
        EXPECT_EQ(made, step.made);
        EXPECT_EQ(alive, step.alive);
        EXPECT_EQ(joined(FunctionLibraries(), [](const auto &l) { return l->ClassName(); }), step.libraries);
        EXPECT_EQ(joined(InstalledFunctions(), [](const FunctionDesc &d) { return d.Name; }), step.catalogue);
    }
    ASSERT_FALSE(InstalledFunctions().empty());
    EXPECT_EQ(InstalledFunctions().back().Category, "Прочие");
    EXPECT_EQ(InstalledFunctions().back().Library, FunctionLibraries().front().get());

    // Names are looked up without regard to case; an unknown one leaves the
    // result alone.
    Variant result(QStringLiteral("0"));
    FunctionLibrary &standard = *FunctionLibraries().front();
    EXPECT_TRUE(standard.OnFunction(QStringLiteral("if"), QStringLiteral("a > 1"), {}, {}, result));
    EXPECT_EQ(result.toString(), "TfrStdFunctionLibrary 1 a > 1");
    EXPECT_FALSE(standard.OnFunction(QStringLiteral("FIELDISNULL"), {}, {}, {}, result));
    EXPECT_EQ(result.toString(), "TfrStdFunctionLibrary 1 a > 1");

    // The table refuses a 65th class without making it, so nothing of it
    // reaches the catalogue.
    for (int i = 2; i <= kRegistrySize; ++i) {
        const QString className = QStringLiteral("Lib%1").arg(i);
        EXPECT_TRUE(RegisterFunctionLibrary(className, factory(className)));
    }
    const int before = made;
    EXPECT_FALSE(RegisterFunctionLibrary(QStringLiteral("One too many"), [&] {
        ++made;
        return std::make_unique<CatalogueLibrary>(QStringLiteral("One too many"), QStringList{"EXTRA:Прочие"}, alive);
    }));
    EXPECT_EQ(made, before);
    EXPECT_EQ(FunctionLibraries().size(), static_cast<std::size_t>(kRegistrySize));
    EXPECT_EQ(InstalledFunctions().back().Name, "IF");
    // A full table still takes a class once a slot is free again.
    UnregisterFunctionLibrary(QStringLiteral("Lib2"));
    EXPECT_TRUE(RegisterFunctionLibrary(QStringLiteral("TDatabaseFunctionLibrary"),
                                        factory(QStringLiteral("TDatabaseFunctionLibrary"))));
    EXPECT_EQ(FunctionLibraries().back()->ClassName(), "TDatabaseFunctionLibrary");

    resetRegistries();
    EXPECT_EQ(alive, 0);
}

TEST_F(ReportObjectsTest, UniqueNamesAndScriptNames)
{
    Report report;
    report.Name = QStringLiteral("План");
    report.Pages.push_back(std::make_unique<Page>());
    report.Pages.push_back(std::make_unique<Page>());
    Page &page = *report.Pages[0];
    for (const char *name : {"Memo1", "memo2", "Memo3"})
        addMemo(page, QString::fromLatin1(name), 0, 0, 10, baNone);
    library().State.CurrentReport = &report;
    MemoView fresh;
    fresh.CreateUniqueName();
    EXPECT_EQ(fresh.Name, "Memo4");

    View *current = addMemo(page, "Current", 0, 0, 10, baNone);
    library().State.CurrentView = current;
    const struct {
        const char *text;
        ReportObject *object;
        const char *property;
    } cases[] = {
        {"Left", current, "Left"},
        {"Memo1.Top", page.FindObject(QStringLiteral("Memo1")), "Top"},
        {"page2.Visible", report.Pages[1].get(), "Visible"},
        {"Page9.Visible", nullptr, "Visible"},
        {"Font.Name", current, "Font.Name"},
        {"Nobody.Top", nullptr, "Top"},
    };
    for (const auto &c : cases) {
        const PropertyTarget t = FindObjectForProperty(QString::fromUtf8(c.text));
        EXPECT_EQ(t.Object, c.object) << c.text;
        EXPECT_EQ(t.Property, QString::fromUtf8(c.property)) << c.text;
    }
    EXPECT_FALSE(current->Props.empty()); // the chosen object's list is built
    library().State.CurrentView = nullptr;
    library().State.CurrentReport = nullptr;
}

TEST_F(ReportObjectsTest, ExpressionErrorText)
{
    Report report, master;
    report.Name = QStringLiteral("Ведомость");
    MemoView memo;
    memo.Name = QStringLiteral("Memo7");
    memo.Memo = {"[A]", "[B"};
    BuildState &state = library().State;
    state.CurrentReport = &report;
    state.MasterReport = &master;
    state.CurrentView = &memo;
    ReportExpressionError(QStringLiteral("Неизвестная переменная"));
    EXPECT_EQ(state.ClassErrorText, "Возникла ошибка при обработке выражения\r[A]\r[B\r\rДокумент: Ведомость\r"
                                    "Объект: Memo7\rНеизвестная переменная");
    EXPECT_TRUE(state.ClassErrorFlag);
    EXPECT_TRUE(master.Terminated);
    state.CurrentView = nullptr;
    ReportExpressionError(QStringLiteral("x"));
    EXPECT_EQ(state.ClassErrorText, "Возникла ошибка при обработке выражения\r\rДокумент: Ведомость\rx");
    state.CurrentReport = state.MasterReport = nullptr;
}

TEST_F(ReportObjectsTest, PopupItemsToggleSelectedObjects)
{
    Page page;
    library().State.DesignerPage = &page;
    auto *a = static_cast<MemoView *>(addMemo(page, "A", 0, 0, 10, baNone));
    auto *b = static_cast<MemoView *>(addMemo(page, "B", 0, 0, 10, baNone));
    auto *locked = static_cast<MemoView *>(addMemo(page, "Locked", 0, 0, 10, baNone));
    a->Selected = b->Selected = locked->Selected = true;
    locked->Restrictions = frrfDontModify;
    b->Flags = 0;
    PopupItems items;
    a->AddPopupItems(items);
    QStringList captions;
    for (const PopupItem &i : items)
        captions << i.Caption;
    EXPECT_EQ(captions, (QStringList{"Формат переменной...", "Шрифт...", "Очистить содержимое", "", "Растягиваемый",
                                     "Перенос слов", "Перенос по слогам", "Авторазмер", "Только текст",
                                     "Скрывать повторяющиеся", "Скрывать нулевые значения", "Линии подчеркивания"}));
    const auto underline = std::find_if(items.begin(), items.end(),
                                        [](const PopupItem &i) { return i.Caption == u"Линии подчеркивания"; });
    EXPECT_FALSE(underline->Checked);
    underline->OnClick();
    EXPECT_TRUE(a->Flags & flUnderlines);
    EXPECT_TRUE(b->Flags & flUnderlines);
    EXPECT_FALSE(locked->Flags & flUnderlines);

    PopupItems bandItems;
    bandOfType(btPageFooter)->AddPopupItems(bandItems);
    ASSERT_EQ(bandItems.size(), 3u);
    EXPECT_EQ(bandItems[1].Caption, "На первой странице");
    library().State.DesignerPage = nullptr;
}
