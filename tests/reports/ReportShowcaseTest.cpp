// One report that uses the engine's main roads together, over a dBase table
// and data in memory: a page header and footer, two page columns, groups
// with repeated headers, masters with details, a script that starts a new
// page, a band printed in pieces over pages, a subreport and the page count
// of a two-pass build. Each prepared page is compared with its golden dump
// (tests/reports/pages/showcase.txt) and drawn to PNG for a person to look at.
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/db/Table.h"
#include "platform/gdi/Bitmap.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportShowcaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> pinMeasuring{measuring};
};

struct Owner {
    const char *district;
    const char *name;
    std::vector<double> parcels;
};

const Owner kOwners[] = {
    {"Заречный", "Андреев", {12.5, 3.25}},
    {"Заречный", "Белова", {7.0}},
    {"Заречный", "Волков", {}},
    {"Луговой", "Григорьев", {1.5, 2.5, 4.0}},
    {"Луговой", "Дмитриева", {10.0}},
    {"Луговой", "Егоров", {0.75, 6.0}},
    {"Сосновый", "Жуков", {2.0}},
    {"Сосновый", "Зайцева", {3.5, 3.5, 1.0, 8.0}},
};

TEST_F(ReportShowcaseTest, BuildsTheGoldenPages)
{
    testsupport::TempFolder folder;
    db::Table owners;
    owners.setDatabaseName(folder.path());
    owners.setTableName(QStringLiteral("Owners.dbf"));
    owners.addFieldDef(QStringLiteral("ID"), db::FieldType::Integer);
    owners.addFieldDef(QStringLiteral("DISTRICT"), db::FieldType::String, 20);
    owners.addFieldDef(QStringLiteral("NAME"), db::FieldType::String, 20);
    owners.addFieldDef(QStringLiteral("TOTAL"), db::FieldType::Float);
    owners.createTable();
    owners.open();
    int id = 0;
    for (const Owner &o : kOwners) {
        owners.append();
        owners.fieldByName(u"ID").setAsInteger(++id);
        owners.fieldByName(u"DISTRICT").setAsString(QString::fromUtf8(o.district));
        owners.fieldByName(u"NAME").setAsString(QString::fromUtf8(o.name));
        double total = 0;
        for (double a : o.parcels)
            total += a;
        owners.fieldByName(u"TOTAL").setAsFloat(total);
        owners.post();
    }

    Built r;
    r.report.DoublePass = true;
    r.report.Name = "Ведомость";
    auto ownerSource = source("Owners", owners);
    r.report.Components.push_back(ownerSource.get());
    // The parcels of the current owner, from memory.
    UserDataset parcels;
    parcels.Name = "Parcels";
    parcels.OnCheckEOF = [&owners](Dataset &d, bool &eof) {
        eof = d.RecNo >= static_cast<int>(kOwners[owners.fieldByName(u"ID").asInteger() - 1].parcels.size());
    };
    r.report.Components.push_back(&parcels);
    r.report.OnGetValue = [&](const QString &name, Variant &value) {
        if (name == u"AREA")
            value = Variant(kOwners[owners.fieldByName(u"ID").asInteger() - 1].parcels[parcels.RecNo]);
    };
    r.add("Districts", {"NAME", "HEAD"}, {{QStringLiteral("Заречный"), QStringLiteral("Иванов")},
                                          {QStringLiteral("Луговой"), QStringLiteral("Петрова")},
                                          {QStringLiteral("Сосновый"), QStringLiteral("Сидоров")}});

    // An A6 sheet: 378 x 533 units, margins of 10.
    Page &page = addPage(r.report, 1050, 1480);
    page.ColCount = 2;
    page.ColGap = 10;
    PageBuilder b(page);
    b.band("Title", btReportTitle, 10, 36);
    b.memo("Caption", 0, 10, 350, 16, "Ведомость участков");
    auto sub = std::make_unique<SubReportView>();
    sub->Name = "Heads";
    sub->SetBounds(0, 28, 300, 16);
    sub->PageIndex = 1;
    page.Add(std::move(sub));
    b.band("PageHead", btPageHeader, 50, 18);
    b.memo("PageNo", 0, 50, 350, 16, "Лист [PAGE#] из [TOTALPAGES]");
    b.band("District", btGroupHeader, 70, 18, "[Owners.DISTRICT]", flBandRepeatHeader);
    b.memo("DistrictName", 0, 70, 170, 16, "Район [Owners.DISTRICT]");
    auto &master = b.band("Owner", btMasterData, 90, 18, "Owners");
    master.Script = QStringList{"if [Owners.ID] = 7 then begin NewPage end"};
    b.memo("OwnerName", 0, 90, 120, 16, "[LINE#]. [Owners.NAME]");
    b.memo("OwnerTotal", 120, 90, 50, 16, "[Owners.TOTAL #N6,2]");
    b.band("Parcel", btDetailData, 110, 16, "Parcels");
    b.memo("ParcelArea", 20, 110, 150, 16, "участок [LINE#]: [AREA #N6,2] га");
    b.band("DistrictEnd", btGroupFooter, 130, 18);
    b.memo("DistrictSum", 0, 130, 170, 16, "итого [SUM([Owners.TOTAL]) #N6,2] ([COUNT(Owner)])");
    auto &notes = b.band("Notes", btReportSummary, 150, 20, QString(), flBandStretched | flBandBreaked);
    (void)notes;
    QString text = QStringLiteral("Примечание.");
    for (int i = 1; i <= 24; ++i)
        text += QStringLiteral(" Строка %1 примечания к ведомости.").arg(i);
    b.memo("Note", 0, 150, 170, 20, text).Flags = flStretched | flWordWrap;
    b.band("PageFoot", btPageFooter, 500, 18, QString(), flBandOnFirstPage | flBandOnLastPage);
    b.memo("Footer", 0, 500, 350, 16, "— [PAGE#] —");

    Page &heads = addPage(r.report, 1050, 1480);
    PageBuilder h(heads);
    h.band("Head", btMasterData, 10, 16, "Districts");
    h.memo("HeadName", 0, 10, 300, 16, "[Districts.NAME]: [Districts.HEAD]");

    ASSERT_TRUE(r.report.PrepareReport()) << library().State.ClassErrorText.toStdString();
    const QStringList dump = reportDump(r.report);
    const QStringList golden = readGolden(QStringLiteral("showcase.txt"));
    if (qEnvironmentVariableIsSet("TOLVANE_WRITE_GOLDEN")) {
        QFile out(QStringLiteral(TOLVANE_SOURCE_DIR "/tests/reports/pages/showcase.txt"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(dump.join(u'\n').toUtf8() + '\n');
    }
    EXPECT_EQ(dump, golden);

    // Every page drawn at its size, for a person to look at.
    const QString artefacts = testsupport::artefactFolder(QStringLiteral("reports"));
    std::vector<QImage> pictures;
    for (int i = 0; i < r.report.EMFPages->Count(); ++i) {
        TfrEMFPage &p = (*r.report.EMFPages)[i];
        platform::gdi::Bitmap picture(p.Metrics.PaperWidth, p.Metrics.PaperHeight);
        p.Visible = true;
        r.report.EMFPages->Draw(i, picture.canvas(), QRect(0, 0, picture.width(), picture.height()));
        p.Visible = false;
        const QImage &pixels = picture.image();
        EXPECT_LT(pixels.pixel(5, 5) & 0xFFFFFF, 0x1000000u);
        ASSERT_TRUE(pixels.save(QDir(artefacts).filePath(QStringLiteral("report-build-page%1.png").arg(i + 1))));
        pictures.push_back(pixels);
    }
    // The pages side by side on grey.
    QImage sheet(static_cast<int>(pictures.size()) * (pictures[0].width() + 8) + 8, pictures[0].height() + 16,
                 QImage::Format_RGB32);
    sheet.fill(Qt::gray);
    for (size_t i = 0; i < pictures.size(); ++i)
        for (int y = 0; y < pictures[i].height(); ++y)
            for (int x = 0; x < pictures[i].width(); ++x)
                sheet.setPixel(8 + static_cast<int>(i) * (pictures[0].width() + 8) + x, 8 + y, pictures[i].pixel(x, y));
    ASSERT_TRUE(sheet.save(QDir(artefacts).filePath(QStringLiteral("report-build.png"))));
}

} // namespace
