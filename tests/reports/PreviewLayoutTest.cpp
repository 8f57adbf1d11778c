// The preview's arithmetic and its search: zoom of each mode, columns, page
// rectangles and scroll ranges, the page under the scroll position, links,
// the save dialog's filters, the keys, and finding text in the pages' pictures.

#include "PreviewFixture.h"
#include "ReportTestSupport.h"
#include "reports/output/PreviewLayout.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportObjects.h"
#include "reports/model/ReportPrinter.h"

#include <gtest/gtest.h>

using namespace reports;
using namespace reports::preview;

TEST(PreviewLayout, ZoomModesColumnsAndRectangles)
{
    // Whole page: 600 / 1123 on a surface 620 high; the button reads "53%".
    const double whole = zoomFactor(ZoomOnePage, 1.0, QSize(800, 620), 794, 1123);
    EXPECT_DOUBLE_EQ(whole, 600.0 / 1123);
    EXPECT_EQ(zoomText(whole), QStringLiteral("53%"));
    EXPECT_DOUBLE_EQ(zoomFactor(ZoomPageWidth, 1.0, QSize(814, 620), 794, 1123), 1.0);
    EXPECT_DOUBLE_EQ(zoomFactor(ZoomTwoPages, 1.0, QSize(830, 620), 400, 600), 1.0);
    EXPECT_DOUBLE_EQ(zoomFactor(ZoomFixed, 0.75, QSize(830, 620), 400, 600), 0.75);
    EXPECT_EQ(zoomText(1.5), QStringLiteral("150%"));

    // Columns satisfy 10 + k (w' + 10) <= W.
    struct Case {
        int width, surface, mode, columns;
    } cases[] = {
        {200, 650, ZoomFixed, 3},  // 10 + 3 x 210 = 640
        {200, 640, ZoomFixed, 3},  // exactly
        {200, 639, ZoomFixed, 2},
        {900, 600, ZoomFixed, 1},  // none fits: one
        {100, 2000, ZoomOnePage, 1},
        {100, 2000, ZoomTwoPages, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(columnCount(std::vector<int>(7, c.width), c.surface, c.mode), c.columns) << c.width << ' ' << c.surface;

    // One column: a narrower page is centred (truncated); rows advance by the tallest + 10.
    std::vector<QRect> rects = layoutPages({QSize(301, 400), QSize(301, 400)}, 1, 800);
    EXPECT_EQ(rects[0], QRect(249, 10, 301, 400));
    EXPECT_EQ(rects[1], QRect(249, 420, 301, 400));
    rects = layoutPages({QSize(200, 300), QSize(200, 350), QSize(200, 300)}, 2, 800);
    EXPECT_EQ(rects[1], QRect(220, 10, 200, 350));
    EXPECT_EQ(rects[2], QRect(10, 370, 200, 300));

    // Scroll maxima: edge - surface + 10, or 0.
    EXPECT_EQ(scrollMaxima(rects, QSize(300, 500)), QSize(420 - 300 + 10, 670 - 500 + 10));
    EXPECT_EQ(scrollMaxima(rects, QSize(800, 700)), QSize(0, 0));

    // The current page holds the line 11 + p.
    EXPECT_EQ(pageAtScroll(rects, 0), 0);
    EXPECT_EQ(pageAtScroll(rects, 290), 0);  // line 301: page 1 ends at 310
    EXPECT_EQ(pageAtScroll(rects, 305), 1);  // line 316: the taller page beside it
    EXPECT_EQ(pageAtScroll(rects, 355), -1); // line 366: the gap between rows
    EXPECT_EQ(pageAtScroll(rects, 360), 2);
    EXPECT_EQ(pageAtScroll(rects, 1000), -1);
}

TEST(PreviewLayout, PagesFarDownATallSurfaceAreShown)
{
    const std::vector<QRect> pages{QRect(10, 10, 500, 700), QRect(10, 2500, 500, 700), QRect(10, 5000, 500, 700)};
    const QSize surface(600, 3000); // a portrait screen
    const std::vector<bool> shown = visiblePages(pages, QPoint(0, 0), surface, QRect(QPoint(0, 0), surface));
    EXPECT_EQ(shown, (std::vector<bool>{true, true, false}));
    // Scrolled: the first is above the surface.
    EXPECT_EQ(visiblePages(pages, QPoint(0, -2400), surface, QRect(QPoint(0, 0), surface)),
              (std::vector<bool>{false, true, true}));
    // Only what meets the clip.
    EXPECT_EQ(visiblePages(pages, QPoint(0, 0), surface, QRect(0, 0, 600, 100)),
              (std::vector<bool>{true, false, false}));
}

TEST(PreviewLayout, LinksFiltersAndKeys)
{
    struct Link {
        const char *text;
        std::optional<int> page;
    } links[] = {{"@3", 3}, {"@4", std::nullopt}, {"@", std::nullopt}, {"см. @0", 1}, {"http://x", std::nullopt},
                 {"@x", std::nullopt}};
    for (const Link &l : links)
        EXPECT_EQ(linkedPage(QString::fromUtf8(l.text), 3), l.page) << l.text;
    EXPECT_EQ(linkStatus(QStringLiteral("@2")), QStringLiteral("Стр. 2"));
    EXPECT_EQ(linkStatus(QStringLiteral("http://x")), QStringLiteral("http://x"));

    ExportFilter text, sheet;
    sheet.Default = true;
    const std::vector<ExportFilterInfo> filters{{&text, QStringLiteral("T"), QStringLiteral("Текст (*.txt)"), QStringLiteral("*.txt")},
                                                {&sheet, QStringLiteral("S"), QStringLiteral("Таблица (*.csv)"), QStringLiteral("*.csv")}};
    int chosen = -1;
    EXPECT_EQ(saveFilter(filters, &chosen),
              QStringLiteral("Файл отчета (*.frp)|*.frp|Текст (*.txt)|*.txt|Таблица (*.csv)|*.csv"));
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(forceExtension(QStringLiteral("/tmp/x.txt"), QStringLiteral("*.frp")), QStringLiteral("/tmp/x.frp"));
    EXPECT_EQ(forceExtension(QStringLiteral("/tmp/a.b/x"), QStringLiteral("*.txt")), QStringLiteral("/tmp/a.b/x.txt"));

    struct Key {
        int key;
        bool ctrl;
        KeyAction action;
        int amount;
    } keys[] = {
        {Qt::Key_Up, false, KeyAction::VScroll, -10},     {Qt::Key_Right, true, KeyAction::HScroll, 10},
        {Qt::Key_PageUp, false, KeyAction::VScroll, -200}, {Qt::Key_PageUp, true, KeyAction::PrevPage, 0},
        {Qt::Key_PageDown, true, KeyAction::NextPage, 0}, {Qt::Key_Home, false, KeyAction::NotHandled, 0},
        {Qt::Key_Home, true, KeyAction::Top, 0},           {Qt::Key_End, true, KeyAction::LastPage, 0},
        {Qt::Key_F3, false, KeyAction::FindNext, 0},       {Qt::Key_F3, true, KeyAction::Consumed, 0},
        {Qt::Key_S, false, KeyAction::NotHandled, 0},      {Qt::Key_S, true, KeyAction::Save, 0},
        {Qt::Key_Q, true, KeyAction::Consumed, 0},         {Qt::Key_Escape, false, KeyAction::Exit, 0},
    };
    for (const Key &k : keys) {
        const KeyCommand c = keyCommand(k.key, k.ctrl);
        EXPECT_EQ(c.action, k.action) << k.key << ' ' << k.ctrl;
        EXPECT_EQ(c.amount, k.amount) << k.key;
    }
}

namespace {

class PreviewSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
        previewfixture::fillThreePages(report_);
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
    TfrReport report_;
};

} // namespace

TEST_F(PreviewSearch, FindsEachOccurrenceInRecordOrderAcrossPages)
{
    SearchState s;
    s.text = QStringLiteral("МЕЖА"); // case does not matter: upper-cased
    std::vector<std::pair<int, int>> found; // page, top
    while (findNext(*report_.EMFPages, s))
        found.emplace_back(s.page, s.bounds.top());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].first, 0);
    EXPECT_EQ(found[1].first, 0);
    EXPECT_EQ(found[2].first, 2);
    EXPECT_NEAR(found[0].second, 100, 20);
    EXPECT_NEAR(found[1].second, 300, 20);
    EXPECT_NEAR(found[2].second, 500, 20);
    EXPECT_FALSE(s.hit);

    // Case-sensitive: only the lower-case ones.
    SearchState exact;
    exact.text = QStringLiteral("межа");
    exact.caseSensitive = true;
    ASSERT_TRUE(findNext(*report_.EMFPages, exact));
    EXPECT_NEAR(exact.bounds.top(), 300, 20);
    ASSERT_TRUE(findNext(*report_.EMFPages, exact));
    EXPECT_EQ(exact.page, 2);
    EXPECT_FALSE(findNext(*report_.EMFPages, exact));
    // The pages searched let their objects go.
    EXPECT_FALSE((*report_.EMFPages)[1].Page);
}
