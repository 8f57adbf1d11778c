// The shape object: its figures on a bitmap, its kind in the stream and in
// the properties, and the names of the kinds for expressions.

#include "ReportTestSupport.h"

#include "platform/gdi/Bitmap.h"
#include "reports/model/ReportLibrary.h"
#include "reports/addins/ShapeView.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using namespace reports;
namespace gdi = platform::gdi;

class ShapeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        library().State.DocumentMode = 1;
    }
    void TearDown() override { resetLibrary(); }
};

// The object drawn at (10, 10) on a white page: which of the given points
// are dark.
QString dark(quint8 kind, int w, int h, std::uint32_t fill, const std::vector<QPoint> &points)
{
    gdi::Bitmap page(w + 30, h + 30);
    ShapeView shape;
    shape.ShapeType = kind;
    shape.SetBounds(10, 10, w, h);
    shape.FillColor = fill;
    shape.FrameColor = 0;
    shape.Draw(page.canvas());
    const QImage &image = page.image();
    QString out;
    for (const QPoint &p : points)
        out += qGray(image.pixel(p)) < 128 ? u'X' : u'.';
    return out;
}

TEST_F(ShapeViewTest, Figures)
{
    constexpr std::uint32_t black = 0;
    const struct {
        const char *name;
        quint8 kind;
        int w, h;
        std::uint32_t fill;
        std::vector<QPoint> points;
        QString expected;
    } cases[] = {
        // Outline corners, the middle, outside.
        {"rectangle without fill: outline only", skRectangle, 40, 20, clNone,
         {{10, 10}, {50, 30}, {30, 20}, {55, 20}}, "XX.."},
        {"filled rectangle", skRectangle, 40, 20, black, {{30, 20}}, "X"},
        // Corners of 10 by 10: the edges begin 5 pixels from the corner.
        {"round rectangle 40 by 100", skRoundRectangle, 40, 100, clNone,
         {{10, 10}, {12, 10}, {10, 12}, {15, 10}, {10, 15}, {30, 10}, {10, 60}}, "...XXXX"},
        {"ellipse", skEllipse, 40, 20, clNone, {{10, 10}, {30, 10}, {10, 20}, {30, 20}}, ".XX."},
        {"triangle", skTriangle, 40, 20, clNone, {{30, 10}, {10, 30}, {50, 30}, {10, 10}, {50, 10}}, "XXX.."},
        {"diagonal up", skDiagonal1, 40, 40, clNone, {{10, 50}, {30, 30}, {49, 11}, {10, 10}}, "XXX."},
        {"diagonal down", skDiagonal2, 40, 40, clNone, {{10, 10}, {30, 30}, {49, 49}, {50, 10}}, "XXX."},
        {"an unknown kind draws no figure", 6, 40, 40, black, {{30, 30}, {10, 10}}, ".."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dark(c.kind, c.w, c.h, c.fill, c.points), c.expected);
    }
}

TEST_F(ShapeViewTest, KindInStreamsPropertiesAndExpressions)
{
    EXPECT_EQ(library().ScriptConstants.Find(QStringLiteral("skEllipse")), nullptr);
    ShapeView shape;
    ASSERT_NE(library().ScriptConstants.Find(QStringLiteral("skEllipse")), nullptr);
    EXPECT_EQ(library().ScriptConstants.Find(QStringLiteral("skEllipse"))->toInt(), 2);
    EXPECT_EQ(library().ScriptConstants.Find(QStringLiteral("skDiagonal2"))->toInt(), 5);

    shape.SetProperty(QStringLiteral("shape"), Variant(3));
    EXPECT_EQ(shape.ShapeType, skTriangle);
    EXPECT_EQ(shape.GetProperty(QStringLiteral("Shape")).toInt(), 3);

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    shape.SaveToStream(buffer);
    EXPECT_EQ(buffer.data().back(), '\x03') << "the kind follows the view's record";
    ShapeView back;
    buffer.seek(0);
    back.LoadFromStream(buffer);
    EXPECT_EQ(back.ShapeType, skTriangle);
    EXPECT_TRUE(buffer.atEnd());

    QBuffer cut;
    cut.setData(buffer.data().chopped(1));
    cut.open(QIODevice::ReadOnly);
    EXPECT_THROW(back.LoadFromStream(cut), std::runtime_error);
}

TEST_F(ShapeViewTest, RegisteredAsAnAddIn)
{
    RegisterShapeAddIn();
    const auto &addIns = AddIns();
    const auto it = std::find_if(addIns.begin(), addIns.end(),
                                 [](const AddInObjectInfo &a) { return a.ClassName == "TfrShapeView"; });
    ASSERT_NE(it, addIns.end());
    EXPECT_EQ(it->ButtonHint, QStringLiteral("Вставить фигуру"));
    EXPECT_EQ(it->ButtonBmp, "FR_SHAPE");
    EXPECT_EQ(CreateViewOfType(10, QStringLiteral("TfrShapeView"))->ClassName(), "TfrShapeView");
}

} // namespace
