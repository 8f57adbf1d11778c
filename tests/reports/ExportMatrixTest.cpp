// The export matrix over small pages of objects made in memory: boundaries,
// merging and splitting, the grid, fill inheritance, cutting and styles.

#include "ReportTestSupport.h"

#include "reports/export/ExportMatrix.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/addins/ShapeView.h"

#include <gtest/gtest.h>

namespace {

using namespace reports;

class ExportMatrixTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

// One object of a case: "T" text, "L" line, "P" picture.
struct Obj {
    char kind;
    int x, y, w, h;
    QString text = {};
    std::uint32_t fill = clNone;
    std::uint32_t fontColor = 0;
    quint16 frame = 0;
};

std::unique_ptr<View> make(const Obj &o)
{
    std::unique_ptr<View> v;
    if (o.kind == 'T') {
        auto memo = std::make_unique<MemoView>();
        memo->Memo = QStringList{o.text};
        memo->Font.Color = o.fontColor;
        v = std::move(memo);
    } else if (o.kind == 'L') {
        v = std::make_unique<LineView>();
    } else {
        v = std::make_unique<PictureView>();
    }
    v->SetBounds(o.x, o.y, o.w, o.h);
    v->FillColor = o.fill;
    v->FrameTyp = o.frame;
    return v;
}

QString values(const std::vector<TfrIEMPos> &list)
{
    QStringList out;
    for (const auto &p : list)
        out << QString::number(p.Value, 'g', 10);
    return out.join(u' ');
}

// The grid row by row ("/" between rows), each cell the first letter of
// its entry's text, "#" for an entry without text and "." for none.
QString grid(const TfrIEMatrix &m)
{
    QStringList rows;
    for (int r = 0; r < m.RowCount; ++r) {
        QString row;
        for (int c = 0; c < m.ColumnCount; ++c) {
            const int e = m.CellAt(c, r);
            const TfrIEMObject *obj = m.EntryObject(e);
            row += e < 0 ? u'.' : (obj->Memo.isEmpty() || obj->Memo[0].isEmpty() ? u'#' : obj->Memo[0][0]);
        }
        rows << row;
    }
    return rows.join(u'/');
}

TEST_F(ExportMatrixTest, Cases)
{
    const struct {
        const char *name;
        std::vector<Obj> objects;
        double inaccuracy, maxCellHeight;
        QString columns, rows, grid;
    } cases[] = {
        {"boundaries closer than the inaccuracy keep the larger",
         {{'T', 0, 0, 100, 20, "a"}, {'T', 101, 0, 50, 20, "b"}},
         2, 0, "0 101 151", "0 20", "ab./..."},
        {"rows are split by the largest cell height",
         {{'T', 0, 0, 10, 10, "a"}, {'T', 0, 1210, 10, 10, "b"}},
         0, 539.88, "0 10", "0 10 549.88 1089.76 1210 1220", "a./../../../b./.."},
        {"a width of 0 covers no column",
         {{'T', 0, 0, 50, 10, "a"}, {'T', 20, 0, 0, 10, "z"}},
         0, 0, "0 20 50", "0 10", "aa./..."},
        {"a later object over the lower right quarter cuts the earlier one",
         {{'T', 0, 0, 100, 100, "a"}, {'T', 50, 50, 50, 50, "b"}},
         0, 0, "0 50 100", "0 50 100", "aa./#b./...", },
        {"a vertical line is one thin column",
         {{'L', 30, 0, 0, 40}, {'T', 0, 0, 30, 40, "a"}},
         0, 0, "0 30 31", "0 40", "a#./..."},
        {"a slanting line is a picture",
         {{'L', 0, 0, 20, 20}},
         0, 0, "0 20", "0 20", "#./.."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TfrIEMatrix m;
        m.ShowProgress = false;
        m.Inaccuracy = c.inaccuracy;
        m.MaxCellHeight = c.maxCellHeight;
        for (const Obj &o : c.objects) {
            auto v = make(o);
            m.AddObject(*v);
        }
        m.Prepare();
        EXPECT_EQ(values(m.XPositions), c.columns);
        EXPECT_EQ(values(m.YPositions), c.rows);
        EXPECT_EQ(grid(m), c.grid);
        EXPECT_EQ(m.CellAt(-1, 0), -1);
        EXPECT_EQ(m.CellAt(m.ColumnCount, 0), -1);
        EXPECT_EQ(m.CellAt(0, m.RowCount), -1);
    }
}

// The text of a cut object goes to its top-left piece, and each piece keeps
// the frame sides lying on the whole object's edges.
TEST_F(ExportMatrixTest, CutPiecesKeepTheirEdgesFrames)
{
    TfrIEMatrix m;
    m.ShowProgress = false;
    auto a = make({'T', 0, 0, 100, 100, "a", clNone, 0, 15});
    auto b = make({'T', 50, 50, 50, 50, "b"});
    m.AddObject(*a);
    m.AddObject(*b);
    m.Prepare();
    ASSERT_EQ(grid(m), "aa./#b./...");
    const struct {
        int column, row;
        QString text;
        int frame;
        int x, y, dx, dy;
    } pieces[] = {
        {0, 0, "a", frftTop | frftLeft | frftRight, 0, 0, 2, 1},
        {0, 1, "", frftLeft | frftBottom, 0, 1, 1, 1},
    };
    for (const auto &p : pieces) {
        const int e = m.CellAt(p.column, p.row);
        const TfrIEMObject *obj = m.EntryObject(e);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->Memo.join(u'|'), p.text);
        EXPECT_EQ(obj->Style->FrameTyp, p.frame) << p.column << "," << p.row;
        EXPECT_EQ(obj->Parent, m.EntryObject(0)) << "a piece of the first object";
        int x, y, dx, dy;
        m.EntryCell(e, x, y, dx, dy);
        EXPECT_EQ(QList<int>({x, y, dx, dy}), QList<int>({p.x, p.y, p.dx, p.dy}));
    }
    EXPECT_TRUE(m.EntryObject(0)->Memo.isEmpty()) << "the cut object gives its text away";
}

// An object without fill lying on a filled one takes that fill, unless its
// letters are of that colour; equal looks share one style.
TEST_F(ExportMatrixTest, FillIsInheritedAndStylesShared)
{
    constexpr std::uint32_t grey = 0xC0C0C0;
    for (const std::uint32_t fontColor : {0u, grey}) {
        TfrIEMatrix m;
        m.ShowProgress = false;
        auto under = make({'T', 0, 0, 100, 100, "u", grey});
        auto top = make({'T', 10, 10, 20, 20, "t", clNone, fontColor});
        auto twin = make({'T', 10, 60, 20, 20, "w", clNone, fontColor});
        for (View *v : {under.get(), top.get(), twin.get()})
            m.AddObject(*v);
        EXPECT_EQ(m.StyleCount(), 2) << "the two texts share a style";
        m.Prepare();
        const TfrIEMObject *t = m.EntryObject(1);
        EXPECT_EQ(t->Style->Color, fontColor == grey ? clNone : grey);
        EXPECT_EQ(m.EntryObject(2)->StyleIndex, t->StyleIndex) << "the copied style is looked up";
    }
}

// Pages stack one below the other; the matrix keeps where each ended.
TEST_F(ExportMatrixTest, PagesStackAndEndsAreKept)
{
    TfrIEMatrix m;
    m.ShowProgress = false;
    auto first = make({'T', 0, 10, 10, 30, "a"});
    m.AddObject(*first);
    m.AddPage();
    auto second = make({'T', 0, -5, 10, 20, "b"});
    m.AddObject(*second);
    m.AddPage();
    EXPECT_EQ(m.PageBottom(0), 40);
    EXPECT_EQ(m.PageBottom(1), 60) << "a negative top starts at the page's top";
    EXPECT_EQ(m.PageBottom(2), 0);
    m.Prepare();
    EXPECT_EQ(values(m.YPositions), "10 40 60");
    m.Clear();
    EXPECT_EQ(m.EntryCount(), 0);
    EXPECT_EQ(m.PageOffset, 0);
    EXPECT_EQ(m.CellAt(0, 0), -1);
}

// A picture is drawn into its own 24-bit bitmap one pixel larger than the
// rounded size, without its frame, and put back where it was.
TEST_F(ExportMatrixTest, PictureIsDrawnIntoItsBitmap)
{
    TfrIEMatrix m;
    m.ShowProgress = false;
    m.AddPage();
    auto line = make({'L', 5, 7, 20, 10, {}, clNone, 0, 0});
    line->FrameColor = 0x0000FF;
    m.AddObject(*line);
    const TfrIEMObject *obj = m.EntryObject(0);
    EXPECT_FALSE(obj->IsText);
    EXPECT_EQ(obj->Image.format(), QImage::Format_RGB888);
    EXPECT_EQ(obj->Image.size(), QSize(21, 11));
    EXPECT_EQ(obj->Image.pixelColor(0, 0), QColor(Qt::red)) << "drawn at the origin";
    EXPECT_EQ(QList<int>({line->Left, line->Top}), QList<int>({5, 7}));
}

// A rectangle shape without fill becomes four frame lines, with fill one
// cell framed all round; other shapes are pictures.
TEST_F(ExportMatrixTest, ShapesAsLinesCellsOrPictures)
{
    const struct {
        quint8 kind;
        std::uint32_t fill;
        QString objects; // per entry: text or picture, frame sides, fill
    } cases[] = {
        {skRectangle, clNone, "T8:ffffff T4:ffffff T8:ffffff T4:ffffff"},
        {skRectangle, 0xC0C0C0, "T15:c0c0c0"},
        {skEllipse, clNone, "P0:1fffffff"},
    };
    for (const auto &c : cases) {
        TfrIEMatrix m;
        m.ShowProgress = false;
        ShapeView shape;
        shape.ShapeType = c.kind;
        shape.SetBounds(10, 10, 40, 20);
        shape.FillColor = c.fill;
        shape.FrameTyp = 0;
        m.AddObject(shape);
        QStringList got;
        for (int i = 0; i < m.EntryCount(); ++i) {
            const TfrIEMObject *o = m.EntryObject(i);
            got << QStringLiteral("%1%2:%3")
                       .arg(o->IsText ? "T" : "P")
                       .arg(o->Style->FrameTyp)
                       .arg(o->Style->Color, 0, 16);
        }
        EXPECT_EQ(got.join(u' '), c.objects) << int(c.kind);
        if (c.fill != clNone) {
            EXPECT_EQ(m.EntryObject(0)->Style->Font.Size, 1);
        }
        m.Prepare();
        if (c.kind == skRectangle && c.fill == clNone) {
            EXPECT_EQ(values(m.XPositions), "10 11 50 51") << "the sides are one unit thick";
        }
    }
}

} // namespace
