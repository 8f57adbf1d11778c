// The preview window over a 3-page prepared report: zoom modes and columns
// (with the pictures of each), links, search with F3, saving, exporting
// through a filter, removing a page, and the window's place.

#include "PreviewFixture.h"
#include "ReportTestSupport.h"
#include "platform/Registry.h"
#include "reports/output/Docking.h"
#include "reports/model/Extensions.h"
#include "reports/output/PreviewWindows.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportObjects.h"
#include "reports/model/ReportPrinter.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/SpeedButton.h"
#include "support/FakePrinter.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace reports;

namespace {

// Answers whose save dialog picks a filter entry.
class SaveAnswers : public testsupport::ScriptedAnswers {
public:
    QString file;
    int entry = 1;
    std::vector<platform::FileDialogRequest> requests;
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &request) override
    {
        requests.push_back(request);
        return {true, {file}, entry};
    }
};

// Writes every text it is handed, one a line.
class LinesFilter : public ExportFilter {
public:
    void OnText(const QRect &, int, int, const QString &text, int, View *) override
    {
        Stream->write(text.toUtf8() + '\n');
    }
};

class PreviewFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
        previous_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        docking::SaveFormSettings(QStringLiteral("TfrPreviewForm"), {QRect(0, 0, 900, 700), false});
        preview::lastZoom() = {};
        previewfixture::fillThreePages(report_);
        report_.ModalPreview = false;
    }
    void TearDown() override
    {
        platform::Registry::instance().setStorageFile(previous_);
        preview::lastZoom() = {};
        resetRegistries();
        resetLibrary();
    }
    void open(TfrPreviewForm &form)
    {
        form.ShowReport(report_);
        QApplication::processEvents();
    }
    testsupport::TempFolder dir_;
    QString previous_;
    TfrReport report_;
};

} // namespace

TEST_F(PreviewFormTest, ZoomModesColumnsAndPictures)
{
    TfrPreviewForm form;
    open(form);
    ASSERT_EQ(form.PageCount(), 3);
    EXPECT_EQ(report_.EMFPages->Count(), 0); // the preview holds the pages
    EXPECT_EQ(form.geometry().size(), QSize(900, 700));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Стр. 1/3"));
    const QString folder = testsupport::artefactFolder(QStringLiteral("reports"));
    const int paper = (*form.HeldPages)[0].Metrics.PaperWidth;
    const QSize surface = form.PBox->size();

    struct Case {
        int tag;
        const char *file;
        int columns;
    } cases[] = {{100, "preview-100", 1}, {1, "preview-page-width", 1}, {2, "preview-whole-page", 1},
                 {3, "preview-two-pages", 2}, {25, "preview-25", 3}};
    for (const Case &c : cases) {
        form.SetZoomItem(c.tag);
        QApplication::processEvents();
        const auto &rects = form.PageRects();
        const int columns = rects[1].top() == rects[0].top() ? (rects[2].top() == rects[0].top() ? 3 : 2) : 1;
        EXPECT_EQ(columns, c.columns) << c.file;
        EXPECT_EQ(form.ZoomBtn->Caption(), preview::zoomText(form.ZoomFactor)) << c.file;
        form.grab().save(folder + QLatin1Char('/') + QLatin1String(c.file) + QStringLiteral(".png"));
    }
    form.SetZoomItem(1);
    EXPECT_DOUBLE_EQ(form.ZoomFactor, double(surface.width() - 20) / paper);
    // Page 1 is drawn: its text darkens the white page.
    const QImage shot = form.PBox->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 80;
    EXPECT_GT(dark, 50);

    // The zoom chosen holds for the next preview of the run, unless the report says otherwise.
    form.SetZoomItem(3);
    form.close();
    form.Disconnect();
    ASSERT_EQ(report_.EMFPages->Count(), 3);
    {
        TfrPreviewForm next;
        open(next);
        EXPECT_EQ(next.ZoomMode, preview::ZoomTwoPages);
        next.Disconnect();
    }
    report_.InitialZoom = TfrPreviewZoom::pzPageWidth;
    TfrPreviewForm third;
    open(third);
    EXPECT_EQ(third.ZoomMode, preview::ZoomPageWidth);
}

TEST_F(PreviewFormTest, LinksPagesAndKeys)
{
    TfrPreviewForm form;
    open(form);
    form.SetZoomItem(100);
    QApplication::processEvents();
    const QRect page1 = form.PageRects()[0];
    // The link object (tag "@2") at (40, 600) of page 1.
    QTest::mouseClick(form.PBox, Qt::LeftButton, {}, QPoint(page1.left() + 60, page1.top() + 610) + QPoint(form.ScrollX, form.ScrollY));
    EXPECT_EQ(form.ShownPage, 2);
    EXPECT_EQ(form.VScrollBar->value(), form.PageRects()[1].top() - 10);
    QTest::keyClick(&form, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(form.ShownPage, 3);
    QTest::keyClick(&form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form.ShownPage, 2);
    QTest::keyClick(&form, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(form.VScrollBar->value(), 0);
    EXPECT_EQ(form.ShownPage, 1);
    // The current page follows the bar.
    form.VScrollBar->setValue(form.PageRects()[2].top() - 5);
    EXPECT_EQ(form.ShownPage, 3);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Стр. 3/3"));
}

TEST_F(PreviewFormTest, SearchWithOkThenF3)
{
    TfrPreviewForm form;
    open(form);
    testsupport::ScriptedAnswers answers;
    answers.dialog([](QDialog &d) {
        auto &search = dynamic_cast<TfrPreviewSearchForm &>(d);
        EXPECT_EQ(search.windowTitle(), QStringLiteral("Поиск"));
        EXPECT_TRUE(search.RB1->isChecked());
        search.Edit1->setText(QStringLiteral("межа"));
        search.grab().save(testsupport::artefactFolder(QStringLiteral("reports")) +
                           QStringLiteral("/TfrPreviewSearchForm.png"));
        return int(platform::mrOk);
    });
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    std::vector<int> pages{form.ShownPage};
    std::vector<QRect> marks{form.SearchMark};
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(&form, Qt::Key_F3);
        pages.push_back(form.ShownPage);
        marks.push_back(form.SearchMark);
    }
    EXPECT_EQ(pages, (std::vector<int>{1, 1, 3}));
    EXPECT_LT(marks[0].top(), marks[1].top());
    for (const QRect &m : marks)
        EXPECT_FALSE(m.isEmpty());
    // No further occurrence: the view stays.
    QTest::keyClick(&form, Qt::Key_F3);
    EXPECT_EQ(form.ShownPage, 3);
    EXPECT_TRUE(answers.exhausted());
}

TEST_F(PreviewFormTest, SaveAsPreparedReportAndExportThroughAFilter)
{
    LinesFilter filter;
    filter.ShowDialog = false;
    ASSERT_TRUE(RegisterExportFilter(&filter, QStringLiteral("TLinesFilter"), QStringLiteral("Строки (*.txt)"),
                                     QStringLiteral("*.txt")));
    TfrPreviewForm form;
    open(form);
    SaveAnswers answers;
    answers.file = dir_.file(QStringLiteral("x.txt"));
    answers.entry = 1;
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(answers.requests.size(), 1u);
    EXPECT_EQ(answers.requests[0].filter, QStringLiteral("Файл отчета (*.frp)|*.frp|Строки (*.txt)|*.txt"));
    ASSERT_TRUE(QFile::exists(dir_.file(QStringLiteral("x.frp"))));
    EXPECT_FALSE(QFile::exists(dir_.file(QStringLiteral("x.txt"))));
    EXPECT_EQ(form.PageCount(), 3); // the preview has its pages again
    {
        TfrReport reloaded;
        ASSERT_TRUE(reloaded.LoadPreparedReport(dir_.file(QStringLiteral("x.frp"))));
        EXPECT_EQ(reloaded.EMFPages->Count(), 3);
    }

    answers.file = dir_.file(QStringLiteral("y.frp"));
    answers.entry = 2;
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QFile out(dir_.file(QStringLiteral("y.txt")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(out.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Межа участка")));
    EXPECT_TRUE(text.contains(QStringLiteral("Граница, межа")));
    EXPECT_EQ(form.PageCount(), 3);
    UnregisterExportFilter(QStringLiteral("TLinesFilter"));
}

TEST_F(PreviewFormTest, RemovingPagesAsksAndStopsAtOne)
{
    TfrPreviewForm form;
    open(form);
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrNo).reply(platform::mrYes);
    form.GotoPage(2);
    form.RemovePage();
    EXPECT_EQ(form.PageCount(), 3);
    form.RemovePage();
    EXPECT_EQ(form.PageCount(), 2);
    EXPECT_EQ(answers.messages().at(0).text, QStringLiteral("Удалить страницу?"));
    answers.reply(platform::mrYes);
    form.RemovePage();
    EXPECT_EQ(form.PageCount(), 1);
    form.RemovePage(); // one page left: nothing is asked
    EXPECT_EQ(form.PageCount(), 1);
    EXPECT_TRUE(answers.exhausted());
}

// Without a designer the pages cannot be edited: the edit items stay
// hidden, and the editing keys and the double click say why instead of
// doing nothing.
TEST_F(PreviewFormTest, PageEditingWithoutADesignerSaysSo)
{
    ASSERT_FALSE(library().State.DesignerFormClass);
    TfrPreviewForm form;
    open(form);
    const QRect page1 = form.PageRects()[0];
    const QPoint onPage = page1.center() + QPoint(form.ScrollX, form.ScrollY);
    const QString told = QStringLiteral("Редактирование отчёта невозможно: конструктор отчётов недоступен.");
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk).reply(platform::mrOk);
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        QTest::mouseDClick(form.PBox, Qt::LeftButton, {}, onPage);
        ASSERT_EQ(answers.messages().size(), 2u);
        for (const auto &m : answers.messages()) {
            EXPECT_EQ(m.text, told);
            EXPECT_EQ(m.type, platform::MsgType::Warning);
        }
    }
    EXPECT_EQ(form.PageCount(), 3) << "the preview keeps its pages";
    for (QAction *a : form.ProcMenu->actions())
        if (a->text() == QStringLiteral("Редактировать страницу")) {
            EXPECT_FALSE(a->isVisible());
        }
    // A report whose pages may not be changed asks nothing.
    report_.ModifyPrepared = false;
    QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
    QTest::mouseDClick(form.PBox, Qt::LeftButton, {}, onPage);
}

// With no place stored the window shows a page: most of the screen, centred,
// not a small window in the corner.
TEST_F(PreviewFormTest, WithoutAStoredPlaceTheWindowTakesMostOfTheScreen)
{
    platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("empty.reg")));
    ASSERT_EQ(docking::RestoreFormSettings(QStringLiteral("TfrPreviewForm"), QRect(1, 2, 3, 4)).bounds, QRect(1, 2, 3, 4));
    TfrPreviewForm form;
    open(form);
    const QRect available = form.screen()->availableGeometry();
    form.setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
    const QRect normal = form.geometry();
    EXPECT_GE(normal.width(), available.width() * 3 / 4);
    EXPECT_GE(normal.height(), available.height() * 3 / 4);
    EXPECT_TRUE(available.contains(normal)) << "on the screen";
    EXPECT_LE(std::abs(normal.center().x() - available.center().x()), 2);
    EXPECT_LE(std::abs(normal.center().y() - available.center().y()), 2);
}

TEST_F(PreviewFormTest, ABuiltReportOpensThroughTheReportsWindowsAndThePlaceIsKept)
{
    struct Windows : ReportWindows {
        bool RunProgress(const QString &, const QString &, const std::function<void()> &work) override
        {
            work();
            return true;
        }
        void SetProgressLine(const QString &) override {}
        void CloseProgress(int) override {}
    } windows;
    QtPreviewWindows previews;
    platform::ScopedService<PreviewWindows> installed(previews);
    report_.Windows = &windows;
    report_.ModalPreview = true;
    report_.Title = QStringLiteral("Экспликация");
    testsupport::ScriptedAnswers answers;
    QString caption;
    int pages = 0;
    answers.dialog([&](QDialog &d) {
        auto &form = dynamic_cast<TfrPreviewForm &>(d);
        caption = form.windowTitle();
        pages = form.PageCount();
        form.setGeometry(20, 30, 700, 500);
        form.close();
        return 1;
    });
    report_.ShowPreparedReport();
    EXPECT_EQ(caption, QStringLiteral("Предварительный просмотр - Экспликация"));
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(report_.EMFPages->Count(), 3); // handed back
    const docking::FormPlacement place = docking::RestoreFormSettings(QStringLiteral("TfrPreviewForm"), QRect());
    EXPECT_EQ(place.bounds, QRect(20, 30, 700, 500));
    EXPECT_FALSE(place.maximized);
}

TEST_F(PreviewFormTest, PageSetupSetsTheTemplatesMarginsAndPaperAndBuildsAgain)
{
    FakePrinterBackend fake;
    fake.names = {"Laser"};
    fake.printerCaps = {4960, 7016, 100, 100, 600, 600, 4760, 6816};
    fake.papers = {{9, "A4"}, {11, "A5"}};
    platform::ScopedService<platform::PrinterBackend> printers(fake);
    resetReportPrinter();
    auto templatePage = std::make_unique<Page>();
    templatePage->MarginLeft = 36;
    report_.Pages.push_back(std::move(templatePage));
    (*report_.EMFPages)[0].Margins[0] = 36;
    (*report_.EMFPages)[0].Margins[1] = 19; // 527.7…: the dialog gets 527

    struct Dialog : PageSetupDialog {
        PageSetupChoice offered;
        std::function<void(PageSetupChoice &)> answer = [](PageSetupChoice &choice) {
            choice.Margins[0] = 1000;
            choice.Margins[1] = 2000;
            choice.Margins[2] = 27; // below one unit: 0
            choice.Margins[3] = 1000;
            choice.PaperSize = 11;
            choice.Orientation = 1;
        };
        bool Show(PageSetupChoice &choice) override
        {
            offered = choice;
            answer(choice);
            return true;
        }
    } dialog;
    platform::ScopedService<PageSetupDialog> installed(dialog);
    report_.PreviewButtons |= pbPageSetup;
    TfrPreviewForm form;
    open(form);
    ASSERT_TRUE(form.PageSetupBtn->isEnabled());
    form.PageSetup();
    EXPECT_EQ(dialog.offered.Margins[0], 1000);
    EXPECT_EQ(dialog.offered.Margins[1], 527);
    const Page &page = *report_.Pages[0];
    EXPECT_EQ(page.MarginLeft, 36);
    EXPECT_EQ(page.MarginTop, 72);
    EXPECT_EQ(page.MarginRight, 0);
    EXPECT_EQ(page.pgSize, 11);
    EXPECT_EQ(page.pgOr, 1);
    EXPECT_EQ(form.ShownPage, form.PageCount() ? 1 : 0); // built again, from page 1
    EXPECT_EQ(report_.EMFPages->Count(), 0);             // and held by the preview

    // A user size reaches the printer with its size, not as a paper of no size.
    dialog.answer = [](PageSetupChoice &choice) {
        choice.PaperSize = 256;
        choice.PaperWidth = 1000;
        choice.PaperHeight = 1500;
    };
    form.PageSetup();
    EXPECT_EQ(report_.Pages[0]->pgSize, 256);
    ASSERT_FALSE(fake.written.empty());
    EXPECT_EQ(fake.written.back().paperSize, 256);
    EXPECT_EQ(fake.written.back().paperWidth, 1000);
    EXPECT_EQ(fake.written.back().paperLength, 1500);
    resetReportPrinter();
}

TEST_F(PreviewFormTest, TheHelpButtonShowsTheTopicOfTheNextControlClicked)
{
    struct Help : ContextHelp {
        QStringList shown;
        void ShowContext(const QString &file, int context) override
        {
            shown << file + QLatin1Char(':') + QString::number(context);
        }
    } help;
    platform::ScopedService<ContextHelp> installed(help);
    TfrPreviewForm form;
    open(form);
    form.HelpBtn->OnClick();
    const QPoint onSurface = form.PBox->mapTo(&form, QPoint(5, 5));
    QTest::mouseClick(&form, Qt::LeftButton, {}, onSurface);
    QTest::mouseClick(&form, Qt::LeftButton, {}, onSurface); // help mode ended
    form.HelpBtn->OnClick();
    QTest::mouseClick(&form, Qt::LeftButton, {}, form.LoadBtn->mapTo(&form, QPoint(3, 3)));
    EXPECT_EQ(help.shown, (QStringList{QStringLiteral("FRuser.hlp:207"), QStringLiteral("FRuser.hlp:201")}));
}

TEST(QtPageSetupDialog, OfferedMarginsComeBackInHundredthsOfAMillimetre)
{
    testsupport::ScriptedAnswers answers;
    answers.dialog([](QDialog &) { return int(platform::mrOk); }).dialog([](QDialog &) { return int(platform::mrCancel); });
    QtPageSetupDialog dialog;
    PageSetupChoice choice;
    choice.Margins[0] = 1000;
    choice.Margins[1] = 1500;
    choice.Margins[2] = 500;
    choice.Margins[3] = 2000;
    choice.Orientation = 1;
    ASSERT_TRUE(dialog.Show(choice));
    EXPECT_EQ(choice.Margins[0], 1000);
    EXPECT_EQ(choice.Margins[1], 1500);
    EXPECT_EQ(choice.Margins[2], 500);
    EXPECT_EQ(choice.Margins[3], 2000);
    EXPECT_EQ(choice.Orientation, 1);
    EXPECT_FALSE(dialog.Show(choice));
}

TEST(QtPageSetupDialog, ThePaperOfferedAndChosenGoesByTheReportsPaperCodes)
{
    struct Case {
        const char *what;
        int offeredCode, offeredWidth, offeredHeight, offeredOrientation;
        QPageSize offeredInDialog;
        QPageSize chosen;
        QPageLayout::Orientation chosenOrientation;
        int code, width, height, orientation;
    };
    const QPageSize user(QSizeF(100, 150), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    const Case cases[] = {
        {"A4 to A5", 9, 0, 0, 0, QPageSize(QPageSize::A4), QPageSize(QPageSize::A5), QPageLayout::Portrait, 11, 0, 0, 0},
        {"to Letter across", 11, 0, 0, 0, QPageSize(QPageSize::A5), QPageSize(QPageSize::Letter),
         QPageLayout::Landscape, 1, 0, 0, 1},
        // A size of no standard paper: the user size, as the paper lies.
        {"to a user size", 9, 0, 0, 0, QPageSize(QPageSize::A4), user, QPageLayout::Portrait, 256, 1000, 1500, 0},
        {"to a user size across", 9, 0, 0, 0, QPageSize(QPageSize::A4), user, QPageLayout::Landscape, 256, 1500,
         1000, 1},
        {"a user size kept", 256, 1800, 1200, 1,
         QPageSize(QSizeF(120, 180), QPageSize::Millimeter, QString(), QPageSize::ExactMatch), QPageSize(),
         QPageLayout::Landscape, 256, 1800, 1200, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSizeF seen;
        testsupport::ScriptedAnswers answers;
        answers.dialog([&](QDialog &d) {
            QPrinter *printer = dynamic_cast<QPageSetupDialog &>(d).printer();
            seen = printer->pageLayout().pageSize().size(QPageSize::Millimeter);
            if (c.chosen.isValid())
                printer->setPageSize(c.chosen);
            printer->setPageOrientation(c.chosenOrientation);
            return int(platform::mrOk);
        });
        PageSetupChoice choice;
        choice.PaperSize = c.offeredCode;
        choice.PaperWidth = c.offeredWidth;
        choice.PaperHeight = c.offeredHeight;
        choice.Orientation = c.offeredOrientation;
        ASSERT_TRUE(QtPageSetupDialog().Show(choice));
        EXPECT_EQ(seen, c.offeredInDialog.size(QPageSize::Millimeter));
        EXPECT_EQ(choice.PaperSize, c.code);
        EXPECT_EQ(choice.PaperWidth, c.width);
        EXPECT_EQ(choice.PaperHeight, c.height);
        EXPECT_EQ(choice.Orientation, c.orientation);
    }
}

TEST_F(PreviewFormTest, ThePanelComponentBorrowsTheWindowsPanels)
{
    QWidget owner;
    owner.resize(700, 500);
    auto *panel = new TfrPreviewPanel(&owner);
    panel->setGeometry(0, 0, 700, 500);
    std::vector<int> changes;
    panel->OnPageChanged = [&](TfrPreviewPanel *sender, int page) {
        EXPECT_EQ(sender, panel);
        changes.push_back(page);
    };
    owner.show();
    report_.Preview = panel;
    report_.ShowPreparedReport();
    TfrPreviewForm &window = panel->Window();
    EXPECT_EQ(window.PreviewPanel->parentWidget(), panel);
    EXPECT_TRUE(window.TopPanel->isHidden() || window.TopPanel->parentWidget() != panel);
    EXPECT_EQ(window.PBox->width(), 700 - 16);
    EXPECT_EQ(window.WheelFactor, 3);
    panel->SetShowToolbar(true);
    EXPECT_EQ(window.TopPanel->parentWidget(), panel);
    EXPECT_TRUE(window.ExitBtn->isHidden()); // only the window's own strip has Help and Exit
    window.GotoPage(3);
    EXPECT_EQ(panel->GetPage(), 3);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), 3);
    panel->SetScrollBars(TfrPreviewPanel::ScrollStyle::None);
    EXPECT_EQ(window.PBox->width(), 700);
    panel->Disconnect();
    EXPECT_EQ(report_.EMFPages->Count(), 3);
}
