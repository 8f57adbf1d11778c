#pragma once
// The text export: the text lines of a report's text objects put on a
// character grid that follows their places on the page, with frames drawn
// in plain or box-drawing characters and pages ended by form feeds. The RTF
// export derives from it and shares its collection of lines.

#include "platform/Service.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportObjects.h"

#include <QByteArray>
#include <QStringList>

namespace reports {

// One text line of one object as the report hands it over.
struct TfrTextRec {
    int X = 0;
    QString Text;
    QString FontName;
    int FontSize = 0;
    int FontStyle = 0; // 1 italic, 2 bold, 4 underline, 8 strike-out
    std::uint32_t FontColor = 0;
    int FontCharset = 0;
    std::uint32_t FillColor = clNone;
    QRect DrawRect;    // left, top, right, bottom in report units
    int FrameTyp = 0;  // the frame sides belonging to this line
    int Alignment = 0;
};

// The records of one text line of a page, by ascending X.
class TfrTextLine : public ExportLine {
public:
    std::vector<TfrTextRec> Records;
};

// What the text export's dialog shows and gives back.
struct TextExportChoices {
    bool KillEmptyLines = true;
    bool ConvertToOEM = false;
    bool ExportFrames = false;
    bool UsePseudographic = false;
    bool PageBreaks = true;
    QString ScaleX, ScaleY;
};

// What the RTF export's dialog shows and gives back.
struct RtfExportChoices {
    bool KillEmptyLines = true;
    bool ExportBitmaps = false;
    bool ConvertToTable = false;
    bool PageBreaks = true;
    QString ScaleX, ScaleY;
};

// The export filters' dialogs; the default shows nothing and answers OK
// with the choices unchanged.
class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    virtual int ShowTextExport(TextExportChoices &) { return 1; }
    virtual int ShowRtfExport(RtfExportChoices &) { return 1; }
};

inline ExportDialogs &exportDialogs()
{
    return platform::Service<ExportDialogs>::get();
}

// A scale as the dialog's edit gives it: either decimal separator; a text
// that is no number gives 1.
double ScaleFromText(const QString &text);

// Text in the OEM (DOS) code page 866; characters it lacks become "?".
QByteArray toOemCp866(QStringView text);

class TfrTextExport : public ExportFilter {
public:
    // Registered as the plain text filter.
    TfrTextExport();
    ~TfrTextExport() override;

    double ScaleX = 1;
    double ScaleY = 1;
    bool KillEmptyLines = true;
    bool ConvertToOEM = false;
    bool ExportFrames = false;
    bool UsePseudographic = false;
    bool PageBreaks = true;

    int ShowModal() override;
    void OnBeginPage() override;
    void OnText(const QRect &drawRect, int x, int y, const QString &text, int frameTyp, View *view) override;
    void OnEndPage() override;

    // The right-aligned records are those of horizontal alignment "right"
    // (bits 0-1 equal to 1), whatever their vertical alignment.
    static bool isRightAligned(int alignment) { return (alignment & 3) == 1; }

protected:
    // For derived filters, which register themselves.
    explicit TfrTextExport(bool registerAsText);
    // The line of an index, the table grown as far as needed.
    TfrTextLine &line(int index);
    // The last line index holding a record; -1 for none.
    int lastUsedLine() const;

private:
    bool registered_ = false;
};

} // namespace reports
