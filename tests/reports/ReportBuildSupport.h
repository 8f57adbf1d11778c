#pragma once
// Building reports in tests: each prepared page read back as lines of its
// objects' names, positions, sizes and texts; templates put together in
// code; data sets in memory.

#include "platform/db/MemoryTable.h"
#include "reports/build/BandRuntime.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/model/TextLayout.h"

#include <QBuffer>
#include <QFile>

#include <memory>

namespace reportbuild {

using namespace reports;
namespace db = platform::db;

// Every character 6 units wide, so that wrapping does not depend on fonts.
class FixedMeasuring : public TextMeasuring {
public:
    std::unique_ptr<TextMeasurer> measurer(const gdi::LogFont &, int spacing) override
    {
        return std::make_unique<FixedWidthMeasurer>(6, spacing);
    }
};

// The objects of one prepared page as "name x y w h text" (text lines
// joined by "|"), in print order.
inline QStringList pageDump(TfrReport &report, int index)
{
    report.EMFPages->ObjectsToPage(index);
    QStringList out;
    for (const auto &o : (*report.EMFPages)[index].Page->Objects) {
        QStringList lines;
        for (QString line : o->Memo)
            lines << line.remove(kParagraphEnd);
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                   .arg(o->Name)
                   .arg(o->Left)
                   .arg(o->Top)
                   .arg(o->Width)
                   .arg(o->Height)
                   .arg(lines.join(u'|'));
    }
    (*report.EMFPages)[index].Page.reset();
    return out;
}

// Every page: "--- page N" and its records.
inline QStringList reportDump(TfrReport &report)
{
    QStringList out;
    for (int i = 0; i < report.EMFPages->Count(); ++i) {
        out << QStringLiteral("--- page %1").arg(i + 1);
        out << pageDump(report, i);
    }
    return out;
}

// A template page in code: bands and text objects at given places.
class PageBuilder {
public:
    explicit PageBuilder(Page &page) : page_(page) {}
    BandView &band(const QString &name, int type, int top, int height, const QString &source = QString(),
                   quint16 flags = 0)
    {
        auto b = std::make_unique<BandView>();
        b->Name = name;
        b->SetBandType(type);
        b->Left = 0;
        b->Top = top;
        b->Width = 700;
        b->Height = height;
        b->DisplayFormatText = source;
        b->Flags = flags;
        return static_cast<BandView &>(*page_.Add(std::move(b)));
    }
    MemoView &memo(const QString &name, int left, int top, int width, int height, const QString &text)
    {
        auto m = std::make_unique<MemoView>();
        m->Name = name;
        m->SetBounds(left, top, width, height);
        m->Memo = text.split(u'\n');
        return static_cast<MemoView &>(*page_.Add(std::move(m)));
    }
    Page &page() { return page_; }

private:
    Page &page_;
};

// A report page on user-size paper of the given size in tenths of a
// millimetre, all margins 10 units.
inline Page &addPage(TfrReport &report, int width = 2000, int height = 1000)
{
    auto page = std::make_unique<Page>();
    page->ChangePaper(256, width, height, -1, 0);
    page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = 10;
    report.Pages.push_back(std::move(page));
    return *report.Pages.back();
}

inline std::unique_ptr<db::MemoryTable> table(const QStringList &names, const std::vector<std::vector<QVariant>> &rows)
{
    db::FieldDefs defs;
    for (const QString &n : names) {
        const bool number = !rows.empty() && rows.front()[defs.size()].typeId() != QMetaType::QString;
        defs.push_back({n, number ? db::FieldType::Float : db::FieldType::String, number ? 8 : 40, 0});
    }
    auto t = std::make_unique<db::MemoryTable>(defs, rows);
    t->open();
    return t;
}

inline std::unique_ptr<DBDataSet> source(const QString &name, db::DataSet &data)
{
    auto s = std::make_unique<DBDataSet>();
    s->Name = name;
    s->SetDataSet(&data);
    return s;
}

inline QStringList readGolden(const QString &name)
{
    QFile f(QStringLiteral(TOLVANE_SOURCE_DIR "/tests/reports/pages/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("missing golden file ") + name};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A report over tables in memory; each table is a data set of the report.
struct Built {
    TfrReport report;
    std::vector<std::unique_ptr<db::MemoryTable>> tables;
    std::vector<std::unique_ptr<DBDataSet>> sources;
    Built() { report.ShowProgress = false; }
    DBDataSet &add(const QString &name, const QStringList &fields, const std::vector<std::vector<QVariant>> &rows)
    {
        tables.push_back(table(fields, rows));
        sources.push_back(source(name, *tables.back()));
        report.Components.push_back(sources.back().get());
        return *sources.back();
    }
    QStringList build()
    {
        if (!report.PrepareReport())
            return {QStringLiteral("not built: ") + library().State.ClassErrorText};
        return reportDump(report);
    }
};

} // namespace reportbuild
