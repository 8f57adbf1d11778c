// Prepared pages and the prepared report file: the file's bytes, round trips
// with mixed paper, older forms built byte by byte (no version byte, pages
// as metafiles), compressed files without a compressor, unpacking and
// packing, and what a click or a mouse move over a page hits.

#include "PreviewFixture.h"
#include "ReportFileBytes.h"
#include "ReportTestSupport.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/RecordingCanvas.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QBuffer>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

using namespace reports;
using reportbytes::Bytes;

namespace {

class PreparedPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
    }
    void TearDown() override
    {
        setShellOpener({});
        resetRegistries();
        resetLibrary();
    }
};

QByteArray saved(TfrEMFPages &pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pages.SaveToStream(buffer);
    return bytes;
}

void load(TfrEMFPages &pages, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    pages.LoadFromStream(buffer);
}

std::unique_ptr<MemoView> text(const QString &name, int left, int top, int width, int height,
                               const QString &tag = QString())
{
    auto memo = std::make_unique<MemoView>();
    memo->Name = name;
    memo->SetBounds(left, top, width, height);
    memo->Memo = {name};
    memo->Tag = tag;
    return memo;
}

using previewfixture::addPage;

QString printerName()
{
    return ReportPrinter().Printers.value(ReportPrinter().PrinterIndex());
}

TEST_F(PreparedPagesTest, AReportOfNoPagesIsItsHeaderAlone)
{
    TfrReport report;
    const QByteArray bytes = saved(*report.EMFPages);
    Bytes expected;
    expected.u8(25).u8(0).str(printerName()).i32(0).u8(88);
    EXPECT_EQ(bytes, expected.b);
    report.EMFPages->Add(Page());
    load(*report.EMFPages, bytes);
    EXPECT_EQ(report.EMFPages->Count(), 0);
}

TEST_F(PreparedPagesTest, PagesOfMixedPaperComeBackAsSaved)
{
    TfrReport report;
    Page a4;
    Page a5;
    a5.ChangePaper(11, 1480, 2100, -1, 1);
    a5.MarginLeft = 30;
    a5.MarginBottom = 40;
    a5.UseMargins = false;
    std::vector<std::unique_ptr<View>> first;
    first.push_back(text(QStringLiteral("Memo1"), 10, 10, 100, 20));
    auto line = std::make_unique<LineView>();
    line->Name = QStringLiteral("Line1");
    line->SetBounds(0, 50, 200, 0);
    first.push_back(std::move(line));
    addPage(*report.EMFPages, a4, std::move(first));
    std::vector<std::unique_ptr<View>> second;
    second.push_back(text(QStringLiteral("Memo2"), 5, 5, 50, 20));
    addPage(*report.EMFPages, a5, std::move(second));

    const QByteArray bytes = saved(*report.EMFPages);
    EXPECT_EQ(static_cast<quint8>(bytes[0]), 25);
    EXPECT_EQ(static_cast<quint8>(bytes[1]), 0);

    TfrReport again;
    again.ReportGeneratorVersion = 0;
    load(*again.EMFPages, bytes);
    ASSERT_EQ(again.EMFPages->Count(), 2);
    EXPECT_EQ(again.ReportGeneratorVersion, 88);
    for (int i = 0; i < 2; ++i) {
        const TfrEMFPage &was = (*report.EMFPages)[i];
        const TfrEMFPage &is = (*again.EMFPages)[i];
        EXPECT_EQ(is.PaperSize, was.PaperSize);
        EXPECT_EQ(is.PaperWidth, was.PaperWidth);
        EXPECT_EQ(is.PaperHeight, was.PaperHeight);
        EXPECT_EQ(is.Orientation, was.Orientation);
        EXPECT_EQ(is.UseMargins, was.UseMargins);
        EXPECT_TRUE(std::equal(std::begin(is.Margins), std::end(is.Margins), std::begin(was.Margins)));
        EXPECT_EQ(is.Metrics, was.Metrics);
        EXPECT_EQ(is.Data(), was.Data());
    }
    EXPECT_EQ((*again.EMFPages)[1].Orientation, 1);
    EXPECT_EQ((*again.EMFPages)[1].Margins[0], 30);
    EXPECT_EQ(saved(*again.EMFPages), bytes);

    again.EMFPages->ObjectsToPage(0);
    const Page &page = *(*again.EMFPages)[0].Page;
    ASSERT_EQ(page.Objects.size(), 2u);
    EXPECT_EQ(page.Objects[0]->Memo, QStringList{QStringLiteral("Memo1")});
    EXPECT_TRUE(page.Objects[0]->PreparedMode);
    EXPECT_EQ(dynamic_cast<LineView *>(page.Objects[1].get())->Width, 200);
}

TEST_F(PreparedPagesTest, AFileWithoutVersionByteHasTheDefaultBinAndNoMargins)
{
    Bytes f;
    f.u8(0).str(QStringLiteral("Принтер")).i32(2);
    for (int i = 0; i < 2; ++i) {
        const qsizetype at = f.mark();
        f.u16(9).i32(2100).i32(2970).u8(0).u8(1);
        f.u8(25);
        if (i == 0)
            f.raw(QByteArray("\x00\x01\x02", 3)); // more than a page holds: skipped by the end position
        f.end(at);
    }
    f.u8(77);
    TfrReport report;
    load(*report.EMFPages, f.b);
    ASSERT_EQ(report.EMFPages->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TfrEMFPage &page = (*report.EMFPages)[i];
        EXPECT_EQ(page.Bin, -1);
        EXPECT_EQ(page.Margins[0], 0);
        EXPECT_EQ(page.Margins[3], 0);
        EXPECT_EQ(page.UseMargins, 1);
        EXPECT_EQ(page.PaperSize, 9);
    }
    EXPECT_EQ((*report.EMFPages)[0].Data().size(), 4);
    EXPECT_EQ((*report.EMFPages)[1].Data(), QByteArray(1, 25));
    EXPECT_EQ(report.ReportGeneratorVersion, 77);
    EXPECT_EQ(report.PrnName, QStringLiteral("Принтер"));
}

TEST_F(PreparedPagesTest, PagesStoredAsMetafilesBecomeOnePictureEach)
{
    gdi::Metafile picture;
    {
        gdi::MetafileCanvas canvas(picture);
        canvas.rectangle(gdi::Rect{0, 0, 40, 30});
    }
    picture.setMmSize(1000, 800);
    const QByteArray emf = picture.toEmf();
    ASSERT_FALSE(emf.isEmpty());

    Bytes f;
    f.old(QStringLiteral("Laser\rline two\r")).i32(1);
    const qsizetype at = f.mark();
    f.u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(emf);
    f.end(at);
    TfrReport report;
    load(*report.EMFPages, f.b);
    ASSERT_EQ(report.EMFPages->Count(), 1);
    EXPECT_EQ(report.PrnName, QStringLiteral("Laser"));
    report.EMFPages->ObjectsToPage(0);
    const Page &page = *(*report.EMFPages)[0].Page;
    ASSERT_EQ(page.Objects.size(), 1u);
    auto *view = dynamic_cast<PictureView *>(page.Objects[0].get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Picture.kind, ReportPicture::Metafile);
    EXPECT_EQ(view->Width, (*report.EMFPages)[0].Metrics.PaperWidth);
    EXPECT_EQ(view->Height, (*report.EMFPages)[0].Metrics.PaperHeight);
}

TEST_F(PreparedPagesTest, ACompressedFileWithoutACompressorIsRefused)
{
    testsupport::TempFolder folder;
    Bytes f;
    f.u8(25).u8(1).str(QString()).i32(1);
    const qsizetype at = f.mark();
    f.u16(9).i32(2100).i32(2970).u8(0).i32(-1).u8(1).i32(0).i32(0).i32(0).i32(0);
    f.raw(QByteArray("packed page", 11));
    f.end(at);
    f.u8(88);
    const QString name = folder.write(QStringLiteral("c.frp"), f.b);

    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    TfrReport report;
    report.EMFPages->Add(Page());
    EXPECT_FALSE(report.LoadPreparedReport(name));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный FRF формат"));
    EXPECT_EQ(report.EMFPages->Count(), 0);
    EXPECT_FALSE(report.CanRebuild);

    // A report written while the hook is enabled says so in its second byte.
    library().ReportCompressor.Enabled = true;
    EXPECT_EQ(static_cast<quint8>(saved(*report.EMFPages)[1]), 1);
}

TEST_F(PreparedPagesTest, ADamagedFileLeavesNoPages)
{
    Bytes f;
    f.u8(25).u8(0).str(QString()).i32(3);
    const qsizetype at = f.mark();
    f.u16(9).i32(2100).i32(2970).u8(0).i32(-1).u8(1).i32(0).i32(0).i32(0).i32(0).u8(25);
    f.endAt(at, 4000); // past the end of the file
    TfrReport report;
    EXPECT_THROW(load(*report.EMFPages, f.b), StreamReadError);
    EXPECT_EQ(report.EMFPages->Count(), 0);
}

// Damaged files the reader could take for a report of no pages: a negative
// page count, and bytes that are no prepared report of the current form
// and so are read as the oldest form (pages as metafiles). Each is refused
// with the message of a damaged file, and the pages held before are gone.
TEST_F(PreparedPagesTest, DamagedFilesAreRefusedNotReadAsNoPages)
{
    auto oldPage = [](Bytes &f, const QByteArray &data) {
        const qsizetype at = f.mark();
        f.u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(data);
        f.end(at);
    };
    const struct {
        const char *name;
        std::function<void(Bytes &)> make;
    } cases[] = {
        {"a negative page count", [](Bytes &f) { f.u8(25).u8(0).str(QString()).i32(-1).u8(88); }},
        {"text", [](Bytes &f) { f.old(QStringLiteral("Hello, world")).i32(0).raw("and more"); }},
        {"oldest form, negative count", [](Bytes &f) { f.old(QStringLiteral("Laser")).i32(-5); }},
        {"oldest form, a page that is no metafile",
         [&](Bytes &f) {
             f.old(QStringLiteral("Laser")).i32(1);
             oldPage(f, QByteArray("no picture at all"));
         }},
    };
    testsupport::TempFolder folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes f;
        c.make(f);
        const QString name = folder.write(QStringLiteral("damaged.frp"), f.b);
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        TfrReport report;
        report.EMFPages->Add(Page());
        EXPECT_FALSE(report.LoadPreparedReport(name));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный FRF формат"));
        EXPECT_EQ(report.EMFPages->Count(), 0);
    }
}

// Records the events a click or a mouse move raises.
struct ClickReport : TfrReport {
    ClickReport()
    {
        OnObjectClick = [this](View *view) {
            clicked << view->Name;
            throw std::runtime_error("an event handler that fails");
        };
        OnMouseOverObject = [this](View *view, int &cursor) {
            hovered << view->Name;
            cursor = 7;
        };
    }
    QStringList clicked, hovered;
};

TEST_F(PreparedPagesTest, ClicksHitTheLastObjectUnderThePoint)
{
    QStringList opened;
    setShellOpener([&](const QString &target) {
        opened << target;
        return true;
    });
    ClickReport report;
    std::vector<std::unique_ptr<View>> objects;
    objects.push_back(text(QStringLiteral("URLmail"), 10, 10, 100, 100, QStringLiteral("someone@example.org")));
    objects.push_back(text(QStringLiteral("Other"), 50, 50, 100, 100));
    objects.push_back(text(QStringLiteral("URLweb"), 300, 10, 50, 50, QStringLiteral("https://example.org/a")));
    objects.push_back(text(QStringLiteral("URLprogram"), 400, 10, 50, 50, QStringLiteral("/bin/sh")));
    addPage(*report.EMFPages, Page(), std::move(objects));
    TfrEMFPages &pages = *report.EMFPages;
    QString hint;
    int cursor = 0;

    EXPECT_TRUE(pages.DoClick(0, QPoint(60, 60), true, hint, cursor));
    EXPECT_EQ(report.clicked, QStringList{QStringLiteral("Other")});
    EXPECT_TRUE(hint.isEmpty());

    EXPECT_TRUE(pages.DoClick(0, QPoint(20, 20), true, hint, cursor));
    EXPECT_EQ(hint, QStringLiteral("someone@example.org"));
    EXPECT_TRUE(pages.DoClick(0, QPoint(310, 20), true, hint, cursor));
    EXPECT_TRUE(hint.isEmpty());
    // A tag naming a program is never started.
    EXPECT_TRUE(pages.DoClick(0, QPoint(410, 20), true, hint, cursor));
    EXPECT_EQ(opened, QStringList{QStringLiteral("https://example.org/a")});

    EXPECT_TRUE(pages.DoClick(0, QPoint(320, 20), false, hint, cursor));
    EXPECT_EQ(cursor, crHandPoint);
    EXPECT_EQ(hint, QStringLiteral("https://example.org/a"));
    EXPECT_TRUE(pages.DoClick(0, QPoint(120, 120), false, hint, cursor));
    EXPECT_EQ(cursor, 7);
    EXPECT_EQ(report.hovered, QStringList({QStringLiteral("URLweb"), QStringLiteral("Other")}));

    EXPECT_FALSE(pages.DoClick(0, QPoint(600, 600), true, hint, cursor));
}

TEST_F(PreparedPagesTest, APageHiddenFromThePreviewIsOnlyReleased)
{
    TfrReport report;
    std::vector<std::unique_ptr<View>> objects;
    objects.push_back(text(QStringLiteral("Memo1"), 1, 2, 3, 4));
    addPage(*report.EMFPages, Page(), std::move(objects));
    gdi::Metafile target;
    gdi::MetafileCanvas canvas(target);
    report.EMFPages->ObjectsToPage(0);
    (*report.EMFPages)[0].Visible = false;
    report.EMFPages->Draw(0, canvas, QRect(0, 0, 100, 100));
    EXPECT_EQ((*report.EMFPages)[0].Page, nullptr);
    (*report.EMFPages)[0].Visible = true;
    report.EMFPages->Draw(0, canvas, QRect(0, 0, 100, 100));
    ASSERT_NE((*report.EMFPages)[0].Page, nullptr);
    EXPECT_EQ(library().State.CurrentPage, (*report.EMFPages)[0].Page.get());
    report.EMFPages->Delete(0);
    EXPECT_EQ(library().State.CurrentPage, nullptr);
}

TEST_F(PreparedPagesTest, TheScreenDrawsOnlyWhatItsClipShows)
{
    TfrReport report;
    std::vector<std::unique_ptr<View>> objects;
    objects.push_back(text(QStringLiteral("Near"), 10, 10, 50, 20));
    objects.push_back(text(QStringLiteral("Edge"), 205, 10, 50, 20)); // within the 10-unit margin
    objects.push_back(text(QStringLiteral("Far"), 600, 600, 50, 20));
    addPage(*report.EMFPages, Page(), std::move(objects));
    TfrEMFPage &page = (*report.EMFPages)[0];
    const QRect whole(0, 0, page.Metrics.PaperWidth, page.Metrics.PaperHeight);
    struct Case {
        bool printing;
        QStringList drawn;
    };
    const Case cases[] = {
        {false, {QStringLiteral("Near"), QStringLiteral("Edge")}},
        {true, {QStringLiteral("Near"), QStringLiteral("Edge"), QStringLiteral("Far")}},
    };
    for (const Case &c : cases) {
        gdi::RecordingCanvas canvas;
        canvas.intersectClipRect(gdi::Rect{0, 0, 200, 200});
        page.Visible = !c.printing;
        page.Printing = c.printing;
        report.EMFPages->Draw(0, canvas, whole);
        const QString log = canvas.log().join(u'\n');
        for (const char *name : {"Near", "Edge", "Far"})
            EXPECT_EQ(log.contains(QLatin1String(name)), c.drawn.contains(QLatin1String(name))) << name << c.printing;
    }
}

} // namespace
