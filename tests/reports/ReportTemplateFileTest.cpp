// Report templates as streams and files: the encodings, the record of every
// object kind, byte-identical round trips, templates of older versions built
// byte by byte, unregistered add-ins, damaged streams, the password and the
// template file with its description and picture.

#include "ReportFileBytes.h"
#include "ReportTestSupport.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <climits>

#include <gtest/gtest.h>

using namespace reports;
using reportbytes::Bytes;

namespace {

class ReportTemplateFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
    }
    void TearDown() override
    {
        setPasswordPrompt({});
        resetRegistries();
        resetLibrary();
    }
};

QByteArray written(const std::function<void(QIODevice &)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return bytes;
}

QByteArray saved(TfrReport &report)
{
    return written([&](QIODevice &s) { report.SaveToStream(s); });
}

void load(TfrReport &report, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
}

QByteArray bmpBytes()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

TEST_F(ReportTemplateFileTest, EncodingsAreTheLibrarysBytes)
{
    struct Case {
        const char *what;
        std::function<void(QIODevice &)> write;
        QByteArray expected;
    };
    const Case cases[] = {
        {"empty memo", [](QIODevice &s) { WriteMemo(s, {}); }, testsupport::bytes({0, 0, 0})},
        {"memo a, bc", [](QIODevice &s) { WriteMemo(s, {QStringLiteral("a"), QStringLiteral("bc")}); },
         testsupport::bytes({2, 0, 1, 0, 'a', 13, 2, 0, 'b', 'c', 0})},
        {"string", [](QIODevice &s) { WriteStreamString(s, QStringLiteral("Я")); }, testsupport::bytes({1, 0, 0xDF, 0})},
        {"password as info string", [](QIODevice &s) { WriteInfoString(s, StrToHex(QStringLiteral("ab"))); },
         testsupport::bytes({4, 0, '6', '1', '6', '2'})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(written(c.write), c.expected) << c.what;

    // The reader takes the count only to tell none from some.
    QByteArray memo = testsupport::bytes({7, 0, 1, 0, 'a', 13, 1, 0, 'b', 0, 'x'});
    QBuffer in(&memo);
    in.open(QIODevice::ReadOnly);
    EXPECT_EQ(ReadMemo(in), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(in.pos(), 10);

    QByteArray oldMemo = QByteArray("a\rb\r\0", 5);
    QBuffer oldIn(&oldMemo);
    oldIn.open(QIODevice::ReadOnly);
    EXPECT_EQ(ReadOldMemo(oldIn), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(HexToStr(QStringLiteral("6162")), QStringLiteral("ab"));

    QByteArray cut = testsupport::bytes({5, 0, 'a'});
    QBuffer cutIn(&cut);
    cutIn.open(QIODevice::ReadOnly);
    EXPECT_THROW(ReadStreamString(cutIn), StreamReadError);
}

TEST_F(ReportTemplateFileTest, FrameWidthsComeBackAsSaved)
{
    // The frame width is at offset 26 of a record named "T": name 4 bytes,
    // version 2, bounds 16, flags 2, lines 2.
    struct Case {
        float width;
        qint32 stored;
    };
    const Case cases[] = {{1.5f, 1500}, {2.0f, 2}, {10.0f, 10}, {12.0f, 12000}, {0.5f, 500}};
    for (const Case &c : cases) {
        LineView line;
        line.Name = QStringLiteral("T");
        line.FrameWidth = c.width;
        QByteArray bytes = written([&](QIODevice &s) { line.SaveToStream(s); });
        EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 26), c.stored) << c.width;
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        LineView back;
        back.LoadFromStream(in);
        EXPECT_FLOAT_EQ(back.FrameWidth, c.width);
    }
    // Stored files keep their reading: a stored 12 is thousandths.
    LineView line;
    line.Name = QStringLiteral("T");
    QByteArray bytes = written([&](QIODevice &s) { line.SaveToStream(s); });
    qToLittleEndian<qint32>(12, bytes.data() + 26);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    line.LoadFromStream(in);
    EXPECT_FLOAT_EQ(line.FrameWidth, 0.012f);
}

TEST_F(ReportTemplateFileTest, LengthsOfADamagedRecordAreHeldToWhatAPageCanHold)
{
    Bytes t;
    t.str(QStringLiteral("L")).u8(2).u8(0);
    t.i32(INT_MAX).i32(INT_MIN).i32(5).i32(6).u16(1).u16(15).i32(2000000000).i32(0).u16(0).i32(0);
    t.i32(0).str(QString()).memo({}).memo({}).u16(1);
    t.u16(0).str(QString()).i32(INT_MAX).i32(-7).u8(0);
    QBuffer in(&t.b);
    in.open(QIODevice::ReadOnly);
    LineView line;
    line.LoadFromStream(in);
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(line.Left, kMaxReportUnits);
    EXPECT_EQ(line.Top, -kMaxReportUnits);
    EXPECT_EQ(line.Width, 5);
    EXPECT_FLOAT_EQ(line.FrameWidth, float(kMaxFrameWidth));
    EXPECT_EQ(line.GapX, kMaxReportUnits);
    EXPECT_EQ(line.GapY, -7);
}

// A report with every kind of object, a dialog page, dictionary entries and
// report information.
void fillReport(TfrReport &r)
{
    Page *page = AddTemplatePage(r);
    page->Script = {QStringLiteral("begin"), QStringLiteral("end")};
    page->ColCount = 2;
    page->ColGap = 15;

    auto memo = std::make_unique<MemoView>();
    memo->Name = QStringLiteral("Memo1");
    memo->SetBounds(10, 20, 100, 30);
    memo->Memo = {QStringLiteral("Итого:"), QStringLiteral("[Sum]")};
    memo->Script = {QStringLiteral("Memo1.Visible := True")};
    memo->FrameWidth = 1.5f;
    memo->FrameTyp = frftRight | frftBottom;
    memo->Tag = QStringLiteral("tag");
    memo->Restrictions = frrfDontMove;
    memo->BandAlign = baRight;
    memo->Font.Name = QStringLiteral("Times New Roman");
    memo->Font.Style = 3;
    memo->HighlightCondition = QStringLiteral("Value > 0");
    memo->LineSpacing = 4;
    memo->CharSpacing = 1;
    memo->DisplayFormatText = QStringLiteral("#,##0.00");
    page->Add(std::move(memo));

    auto band = std::make_unique<BandView>();
    band->Name = QStringLiteral("MasterData1");
    band->SetBandType(btMasterData);
    band->SetBounds(0, 100, 700, 40);
    band->ChildBand = QStringLiteral("Child1");
    band->Master = QStringLiteral("Header1");
    band->Columns = 3;
    page->Add(std::move(band));

    auto picture = std::make_unique<PictureView>();
    picture->Name = QStringLiteral("Picture1");
    picture->SetBounds(5, 5, 50, 50);
    picture->BlobType = 1;
    picture->Picture.loadFromBytes(bmpBytes());
    page->Add(std::move(picture));

    auto sub = std::make_unique<SubReportView>();
    sub->Name = QStringLiteral("SubReport1");
    sub->PageIndex = 1;
    page->Add(std::move(sub));

    auto line = std::make_unique<LineView>();
    line->Name = QStringLiteral("Line1");
    line->SetBounds(0, 200, 300, 0);
    line->FrameWidth = 12;
    page->Add(std::move(line));

    Page *dialog = AddTemplatePage(r);
    dialog->PageType = 1;
    dialog->Caption = QStringLiteral("Параметры");

    FileDictionary(r)->Variables.SetVariable(QStringLiteral(" Главная"), Variant(QString()));
    FileDictionary(r)->Variables.SetVariable(QStringLiteral("Сумма"), Variant(QStringLiteral("1 + 2")));
    FileDictionary(r)->FieldAliases.SetVariable(QStringLiteral("Form1.Table1"), Variant(QStringLiteral("Таблица")));
    r.DoublePass = true;
    r.ReportName = QStringLiteral("Отчёт");
    r.ReportAutor = QStringLiteral("Автор");
    r.ReportVersionMajor = QStringLiteral("1");
    r.ReportPassword = QStringLiteral("ab");
    r.ReportCreateDate = 45000.25;
}

TEST_F(ReportTemplateFileTest, ATemplateReloadsAndSavesTheSameBytes)
{
    TfrReport report;
    fillReport(report);
    const QByteArray first = saved(report);
    ASSERT_GT(first.size(), 8);
    EXPECT_EQ(static_cast<quint8>(first[0]), 25);

    TfrReport again;
    load(again, first);
    const QByteArray second = saved(again);
    // Only the date of the last change, the last 8 bytes, is new.
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(second.left(second.size() - 8), first.left(first.size() - 8));
    // The creation date precedes it.
    double created = 0;
    std::memcpy(&created, first.constData() + first.size() - 16, 8);
    EXPECT_DOUBLE_EQ(created, 45000.25);

    ASSERT_EQ(again.Pages.size(), 2u);
    const Page &page = *again.Pages[0];
    ASSERT_EQ(page.Objects.size(), 5u);
    auto *memo = dynamic_cast<MemoView *>(page.Objects[0].get());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Memo, QStringList({QStringLiteral("Итого:"), QStringLiteral("[Sum]")}));
    EXPECT_EQ(memo->Font.Name, QStringLiteral("Times New Roman"));
    EXPECT_FLOAT_EQ(memo->FrameWidth, 1.5f);
    EXPECT_EQ(memo->BandAlign, baRight);
    auto *band = dynamic_cast<BandView *>(page.Objects[1].get());
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Master, QStringLiteral("Header1"));
    EXPECT_EQ(band->ChildBand, QStringLiteral("Child1"));
    EXPECT_EQ(band->RecordVersion[1], 1);
    auto *picture = dynamic_cast<PictureView *>(page.Objects[2].get());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Picture.kind, ReportPicture::Bitmap);
    EXPECT_EQ(picture->Picture.data, bmpBytes());
    EXPECT_FLOAT_EQ(page.Objects[4]->FrameWidth, 12.0f);
    EXPECT_EQ(again.Pages[1]->Caption, QStringLiteral("Параметры"));
    EXPECT_EQ(FileDictionary(again)->Variables.GetValue(1).toString(), QStringLiteral("1 + 2"));
    EXPECT_EQ(again.ReportPassword, QStringLiteral("ab"));
    EXPECT_TRUE(again.DoublePass);
}

// A one-page template of an older version holding one text object "Hi",
// written field by field as that version stored it; `framed`: stored as the
// former framed text class, whose record has 8 bytes more.
QByteArray legacyTemplate(int version, bool framed = false)
{
    Bytes t;
    if (version > 21)
        t.u8(version);
    t.u16(0).u16(0); // default printer, two passes
    if (version < 23)
        t.old(QStringLiteral("Принтер"));
    else
        t.str(QStringLiteral("Принтер"));
    t.u8(255);
    if (version == 23)
        t.i32(-1);
    t.i32(9).i32(2100).i32(2970).i32(11).i32(12).i32(13).i32(14).u8(1);
    if (version < 23)
        t.raw(QByteArray(6, '\x7F'));
    t.u16(0).u16(1).i32(1).i32(0);
    if (version == 23)
        t.memo({QStringLiteral("PageScript")});
    if (framed)
        t.u8(10).str(QStringLiteral("TfrFramedMemoView")).u8(0);
    else
        t.u8(0).u8(0); // text object on page 0
    if (version == 23)
        t.str(QStringLiteral("Старый"));
    t.i32(10).i32(20).i32(30).i32(40).u16(1).u16(0).i32(2).i32(0).u16(0).i32(0x1FFFFFFF);
    t.i32(0);
    version < 23 ? t.old(QString()) : t.str(QString());
    if (version < 23)
        t.old(QStringLiteral("Hi\r"));
    else
        t.memo({QStringLiteral("Hi")});
    if (version == 23)
        t.memo({}).u16(1);
    version < 23 ? t.old(QStringLiteral("Arial")) : t.str(QStringLiteral("Arial"));
    t.i32(10).u16(0).i32(0).i32(0).u16(version < 23 ? 0 : 238);
    t.u16(2).i32(0).i32(0xFFFFFF);
    version < 23 ? t.old(QString()) : t.str(QString());
    if (framed)
        t.raw(QByteArray(8, '\xFF'));
    t.u8(252);
    return t.b;
}

TEST_F(ReportTemplateFileTest, OlderVersionsLoadWithTheirObjects)
{
    struct Case {
        int version;
        QString name;
        bool wordWrap;
        int charset;
        bool framed;
    };
    const Case cases[] = {
        {21, QStringLiteral("Memo1"), true, 204, false},
        {22, QStringLiteral("Memo1"), false, 204, false},
        {23, QStringLiteral("Старый"), false, 238, false},
        {23, QStringLiteral("Старый"), false, 238, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.version);
        SCOPED_TRACE(c.framed);
        TfrReport report;
        load(report, legacyTemplate(c.version, c.framed));
        ASSERT_EQ(report.Pages.size(), 1u);
        const Page &page = *report.Pages[0];
        EXPECT_EQ(page.Name, QStringLiteral("Page1"));
        EXPECT_EQ(page.pgBin, -1);
        EXPECT_EQ(page.MarginLeft, 11);
        EXPECT_EQ(page.MarginBottom, 14);
        EXPECT_EQ(page.pgOr, 1);
        EXPECT_EQ(page.Script, c.version == 23 ? QStringList{QStringLiteral("PageScript")} : QStringList{});
        EXPECT_EQ(report.PrnName, QStringLiteral("Принтер"));
        ASSERT_EQ(page.Objects.size(), 1u);
        auto *memo = dynamic_cast<MemoView *>(page.Objects[0].get());
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Name, c.name);
        EXPECT_EQ(memo->Memo, QStringList{QStringLiteral("Hi")});
        EXPECT_EQ(memo->Left, 10);
        EXPECT_EQ(memo->Height, 40);
        EXPECT_FLOAT_EQ(memo->FrameWidth, 2.0f);
        EXPECT_EQ((memo->Flags & flWordWrap) != 0, c.wordWrap);
        EXPECT_EQ(memo->Font.Charset, c.charset);
        EXPECT_EQ(memo->Font.Name, QStringLiteral("Arial"));
        EXPECT_TRUE(report.ReportName.isEmpty());
    }
}

TEST_F(ReportTemplateFileTest, ANewerVersionIsRefusedAndLeavesThePages)
{
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    TfrReport report;
    AddTemplatePage(report)->Add(std::make_unique<LineView>());
    FileDictionary(report)->Variables.SetVariable(QStringLiteral("A"), Variant(1));
    QByteArray bytes = legacyTemplate(23);
    bytes[0] = 26;
    load(report, bytes);
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный FRF формат"));
    ASSERT_EQ(report.Pages.size(), 1u);
    EXPECT_EQ(report.Pages[0]->Objects.size(), 1u);
    EXPECT_EQ(FileDictionary(report)->Variables.Count(), 0);
}

// A version 25 text record in template mode.
void textRecord(Bytes &t, const QString &name, const QString &text)
{
    t.str(name).u8(2).u8(0);
    t.i32(1).i32(2).i32(3).i32(4).u16(3).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    t.i32(0).str(QString()).memo({text}).memo({}).u16(1);
    t.u16(0).str(QString()).i32(2).i32(1).u8(0);
    t.str(QStringLiteral("Arial")).i32(10).u16(0).i32(0).i32(0).u16(204);
    t.u16(2).i32(0).i32(0xFFFFFF).str(QString()).i32(2).i32(0);
}

// The version byte, the flags, an empty printer name and one page header.
void templateStart(Bytes &t)
{
    t.u8(25).u16(0).u16(0).str(QString());
    t.u8(255).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).i32(-1);
    t.u16(0).u16(1).i32(1).i32(0).u8(0).str(QStringLiteral("Page1")).u8(3).str(QStringLiteral("Form"));
    t.i32(0).i32(220).i32(120).i32(380).i32(300).u8(4).memo({});
}

// An empty dictionary section, then the report information.
void reportInfo(Bytes &t, const QString &name, const QString &password, int flag)
{
    t.u8(254).u16(0xFFFE).i32(0).i32(0).i32(0);
    t.u8(252);
    t.info(QString()).info(name).info(QString()).info(QString()).info(QString()).info(QString()).info(QString());
    t.info(QString::fromLatin1(platform::toCp1251(password).toHex().toUpper()));
    t.u8(88).u8(flag).real(40000).real(40001);
}

// Two text objects with unregistered add-ins between them.
QByteArray templateWithMissingAddIns()
{
    Bytes t;
    templateStart(t);
    t.u8(0).u8(0);
    qsizetype at = t.mark();
    textRecord(t, QStringLiteral("First"), QStringLiteral("1"));
    t.end(at);
    for (int i = 0; i < 2; ++i) {
        t.u8(10).str(QStringLiteral("TfrMissingView")).u8(0);
        at = t.mark();
        t.raw(QByteArray(17, '\xAB'));
        t.end(at);
    }
    t.u8(0).u8(0);
    at = t.mark();
    textRecord(t, QStringLiteral("Second"), QStringLiteral("2"));
    t.end(at);
    reportInfo(t, QStringLiteral("Named"), QStringLiteral("pw"), 0);
    return t.b;
}

TEST_F(ReportTemplateFileTest, UnregisteredAddInsAreSkippedAndNamed)
{
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    TfrReport report;
    load(report, templateWithMissingAddIns());
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text,
              QStringLiteral("Report contains the following non-plugged components:\rTfrMissingView\rTfrMissingView\r"
                             "You must include these components into your project."));
    ASSERT_EQ(report.Pages.size(), 1u);
    const Page &page = *report.Pages[0];
    ASSERT_EQ(page.Objects.size(), 2u);
    EXPECT_EQ(page.Objects[0]->Name, QStringLiteral("First"));
    EXPECT_EQ(page.Objects[1]->Name, QStringLiteral("Second"));
    EXPECT_EQ(page.Objects[1]->Memo, QStringList{QStringLiteral("2")});
    // The information after the pages is kept: a save would otherwise drop
    // the report's name and password.
    EXPECT_EQ(report.ReportName, QStringLiteral("Named"));
    EXPECT_EQ(report.ReportPassword, QStringLiteral("pw"));
}

TEST_F(ReportTemplateFileTest, DamagedStreamsGiveOneEmptyPage)
{
    QByteArray truncated = templateWithMissingAddIns();
    truncated.truncate(60);
    // The first object's end position points back at its own start.
    Bytes looping;
    templateStart(looping);
    looping.u8(0).u8(0);
    const qsizetype at = looping.mark();
    looping.endAt(at, static_cast<qint32>(at - 2));
    looping.raw(QByteArray(40, '\0'));
    Bytes badMarker;
    badMarker.u8(25).u16(0).u16(0).str(QString()).u8(100);
    Bytes badPage;
    badPage.u8(25).u16(0).u16(0).str(QString()).u8(0).u8(3);
    for (const QByteArray &bytes : {truncated, looping.b, badMarker.b, badPage.b}) {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        TfrReport report;
        report.ReportName = QStringLiteral("before");
        load(report, bytes);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный FRF формат"));
        ASSERT_EQ(report.Pages.size(), 1u);
        EXPECT_TRUE(report.Pages[0]->Objects.empty());
    }
}

QByteArray protectedTemplate()
{
    Bytes t;
    templateStart(t);
    t.u8(0).u8(0);
    const qsizetype at = t.mark();
    textRecord(t, QStringLiteral("Secret"), QStringLiteral("x"));
    t.end(at);
    reportInfo(t, QStringLiteral("Закрытый"), QStringLiteral("пароль"), 1);
    return t.b;
}

TEST_F(ReportTemplateFileTest, AProtectedTemplateAsksForItsPasswordWhenReadFromAFile)
{
    testsupport::TempFolder folder;
    const QString file = folder.write(QStringLiteral("closed.frf"), protectedTemplate());
    struct Case {
        std::optional<QString> answer;
        bool opens;
    };
    const Case cases[] = {{QStringLiteral("пароль"), true}, {QStringLiteral("другой"), false}, {std::nullopt, false}};
    for (const Case &c : cases) {
        int asked = 0;
        setPasswordPrompt([&]() {
            ++asked;
            return c.answer;
        });
        TfrReport report;
        ASSERT_TRUE(report.LoadFromFile(file));
        EXPECT_EQ(asked, 1);
        ASSERT_EQ(report.Pages.size(), 1u);
        EXPECT_EQ(report.Pages[0]->Objects.size(), c.opens ? 1u : 0u);
        EXPECT_EQ(report.ReportName, c.opens ? QStringLiteral("Закрытый") : QString());
        EXPECT_EQ(report.FileName, c.opens ? file : QStringLiteral("Untitled"));
    }
    // Without a prompt of its own the report dialogs' password window asks.
    setPasswordPrompt({});
    struct Dialogs : ReportDialogs {
        int asked = 0;
        bool AskPassword(QString &password, const QString &) override
        {
            ++asked;
            password = QStringLiteral("пароль");
            return true;
        }
    } dialogs;
    {
        platform::ScopedService<ReportDialogs> use(dialogs);
        TfrReport report;
        ASSERT_TRUE(report.LoadFromFile(file));
        EXPECT_EQ(dialogs.asked, 1);
        EXPECT_EQ(report.ReportName, QStringLiteral("Закрытый"));
    }
    // A memory stream, as around every build, is not asked about.
    int asked = 0;
    setPasswordPrompt([&]() {
        ++asked;
        return std::optional<QString>();
    });
    TfrReport report;
    load(report, protectedTemplate());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(report.Pages[0]->Objects.size(), 1u);
}

TEST_F(ReportTemplateFileTest, FilesAreWrittenWholeOrNotAtAll)
{
    testsupport::TempFolder folder;
    TfrReport report;
    fillReport(report);
    const QString name = folder.file(QStringLiteral("r.frf"));
    ASSERT_TRUE(report.SaveToFile(name));
    TfrReport again;
    EXPECT_FALSE(again.LoadFromFile(folder.file(QStringLiteral("missing.frf"))));
    EXPECT_EQ(again.FileName, QStringLiteral("Untitled"));
    ASSERT_TRUE(again.LoadFromFile(name));
    EXPECT_EQ(again.FileName, name);
    EXPECT_EQ(again.Pages.size(), 2u);
    // A folder in the way: the save fails and says so.
    EXPECT_FALSE(report.SaveToFile(folder.path()));
}

TEST_F(ReportTemplateFileTest, TemplateFilesKeepDescriptionPictureAndPages)
{
    testsupport::TempFolder folder;
    const QString name = folder.file(QStringLiteral("t.frt"));
    TfrReport report;
    fillReport(report);
    ReportPicture picture;
    ASSERT_TRUE(picture.loadFromBytes(bmpBytes()));
    ASSERT_TRUE(report.SaveTemplate(name, {QStringLiteral("Описание"), QStringLiteral("шаблона")}, &picture));
    const QByteArray bytes = folder.read(QStringLiteral("t.frt"));
    // The description memo (23 bytes), the pages position, the picture flag
    // and the picture's kind.
    const qint32 pagesAt = qFromLittleEndian<qint32>(bytes.constData() + 23);
    EXPECT_EQ(static_cast<quint8>(bytes[27]), 1);
    EXPECT_EQ(static_cast<quint8>(bytes[28]), 1); // a bitmap

    QStringList description;
    ReportPicture shown;
    TfrReport header;
    ASSERT_TRUE(header.LoadTemplate(name, &description, &shown, false));
    EXPECT_EQ(description, QStringList({QStringLiteral("Описание"), QStringLiteral("шаблона")}));
    EXPECT_EQ(shown.data, bmpBytes());
    EXPECT_TRUE(header.Pages.empty());

    TfrReport full;
    ASSERT_TRUE(full.LoadTemplate(name, &description, nullptr, true));
    ASSERT_EQ(full.Pages.size(), 2u);
    EXPECT_EQ(full.Pages[0]->Objects.size(), 5u);
    EXPECT_EQ(FileDictionary(full)->Variables.Count(), 2);
    // The pages section is the template's, without version byte or
    // information; its end positions count from the file's start.
    TfrReport plain;
    fillReport(plain);
    const QByteArray section = written([&](QIODevice &s) {
        s.write(QByteArray(pagesAt, '\0'));
        SaveTemplatePages(plain, s);
    });
    EXPECT_EQ(bytes.mid(pagesAt), section.mid(pagesAt));
}

} // namespace
