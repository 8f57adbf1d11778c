#pragma once
// The report the exports are checked and timed with: a title with a filled
// rectangle, a diagonal line, an ellipse and a picture over a rule; a framed
// table of parcels (Cyrillic names, areas right-aligned) whose head repeats
// on every page; the total; the sheet number at each page's foot. Built
// through the report engine like a user's template, over rows in memory.
// bench/exports times its exports.

#include "ReportBuildSupport.h"

#include "platform/Environment.h"
#include "reports/addins/ShapeView.h"

namespace exportfixture {

using namespace reports;
using namespace reportbuild;

// A 2 x 2 bitmap file of 24 bits, byte by byte: 14 bytes of file header,
// 40 of info, two rows of 2 pixels padded to 8 bytes (bottom row first:
// blue, green; top row: red, white).
inline QByteArray pictureFile()
{
    QByteArray b(14 + 40 + 16, '\0');
    b[0] = 'B';
    b[1] = 'M';
    b[2] = 70;  // file size
    b[10] = 54; // offset of the bits
    b[14] = 40; // info size
    b[18] = 2;  // width
    b[22] = 2;  // height
    b[26] = 1;  // planes
    b[28] = 24; // bits per pixel
    const unsigned char bits[16] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
    for (int i = 0; i < 16; ++i)
        b[54 + i] = static_cast<char>(bits[i]);
    return b;
}

// Parcel i (from 1): a name in Cyrillic and an area with two decimals at
// most.
inline std::vector<std::vector<QVariant>> parcels(int count)
{
    static const char *const kDistricts[] = {"Заречный", "Луговой", "Сосновый"};
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({double(i), QStringLiteral("%1, уч. %2").arg(QString::fromUtf8(kDistricts[i % 3])).arg(i),
                        (i * 37 % 400) / 4.0});
    return rows;
}

// The report over `rows` parcels, with characters of one width and the
// decimal comma while it lives, so that its pages do not depend on the
// machine; `report.PrepareReport()` builds it.
struct ParcelReport : Built {
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> fixedWidth{measuring};
    platform::ScopedService<platform::DecimalSeparator> comma{platform::DecimalSeparator{u','}};

    explicit ParcelReport(int rows)
    {
        RegisterShapeAddIn();
        add("Parcels", {"NUM", "NAME", "AREA"}, parcels(rows));
        PageBuilder b(addPage(report, 1000, 900));

        b.band("Title", btReportTitle, 10, 56);
        MemoView &title = b.memo("Title", 0, 10, 300, 20, "Ведомость земельных участков");
        title.Font.Style = 2; // bold
        title.Font.Size = 12;
        auto shape = [&](const QString &name, int left, quint8 kind, std::uint32_t fill) {
            auto s = std::make_unique<ShapeView>();
            s->Name = name;
            s->SetBounds(left, 10, 40, 40);
            s->ShapeType = kind;
            s->FillColor = fill;
            s->FrameColor = 0x800000;
            b.page().Add(std::move(s));
        };
        shape("Fill", 310, skRectangle, 0xC0C0C0);
        shape("Cross", 360, skDiagonal1, clNone);
        shape("Oval", 410, skEllipse, 0x00FFFF);
        auto picture = std::make_unique<PictureView>();
        picture->Name = "Logo";
        picture->SetBounds(460, 10, 40, 40);
        picture->Picture.loadFromBytes(pictureFile());
        b.page().Add(std::move(picture));
        auto rule = std::make_unique<LineView>();
        rule->Name = "Rule";
        rule->SetBounds(13, 58, 286, 0);
        rule->FrameTyp = frftTop;
        b.page().Add(std::move(rule));

        b.band("Head", btPageHeader, 70, 18, QString(), flBandOnFirstPage);
        const struct {
            const char *name, *text;
            int left, width;
        } columns[] = {{"HNum", "№", 13, 39}, {"HName", "Участок", 52, 169}, {"HArea", "Площадь, га", 221, 78}};
        for (const auto &c : columns) {
            MemoView &m = b.memo(c.name, c.left, 70, c.width, 18, QString::fromUtf8(c.text));
            m.FrameTyp = 15;
            m.Alignment = frtaCenter;
            m.Font.Style = 2;
        }

        b.band("Rows", btMasterData, 100, 16, "Parcels");
        MemoView &num = b.memo("Num", 13, 100, 39, 16, "[Parcels.NUM]");
        MemoView &name = b.memo("Name", 52, 100, 169, 16, "[Parcels.NAME]");
        MemoView &area = b.memo("Area", 221, 100, 78, 16, "[Parcels.AREA]");
        for (MemoView *m : {&num, &name, &area})
            m->FrameTyp = 15;
        num.Alignment = frtaRight;
        // Right and centred down: still a right-aligned text.
        area.Alignment = frtaRight | frtaMiddle;

        b.band("Total", btReportSummary, 130, 18);
        MemoView &label = b.memo("TotalLabel", 13, 130, 208, 18, "Итого");
        MemoView &sum = b.memo("TotalArea", 221, 130, 78, 18, "[SUM([Parcels.AREA])]");
        for (MemoView *m : {&label, &sum}) {
            m->FrameTyp = 15;
            m->Font.Style = 2;
        }
        sum.Alignment = frtaRight;

        b.band("Foot", btPageFooter, 300, 16, QString(), flBandOnFirstPage | flBandOnLastPage);
        b.memo("Sheet", 221, 300, 78, 16, "Лист [PAGE#]").Alignment = frtaRight;
    }
};

} // namespace exportfixture
