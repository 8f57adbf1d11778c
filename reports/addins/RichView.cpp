// The rich-text object: its text expanded in place, measured for the band
// engine, cut into the parts of a split, drawn through a picture and kept
// in templates and prepared pages as RTF.

#include "reports/addins/RichView.h"

#include "platform/Rounding.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/SystemColors.h"
#include "platform/richtext/RichLayout.h"
#include "reports/model/DataSets.h"
#include "reports/model/Fr3Writer.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace reports {

using platform::roundToInt;

richtext::RichDocument &richWorkDocument()
{
    static richtext::RichDocument work;
    return work;
}

RichEditorWindow &richEditorWindow()
{
    static RichEditorWindow window;
    return window;
}

RichView::RichView()
{
    BaseName = QStringLiteral("Rich");
    ObjectType = 10;
}

// ---------------------------------------------------------------------------
// Properties

void RichView::BuildPropertyList()
{
    View::BuildPropertyList();
    AddProperty(QStringLiteral("GapX"), pkInteger);
    AddProperty(QStringLiteral("GapY"), pkInteger);
    AddProperty(QStringLiteral("Lines"), pkEditor, [](ReportObject *object) {
        if (auto *view = dynamic_cast<RichView *>(object))
            view->ShowEditor();
    });
    AddProperty(QStringLiteral("Stretched"), pkBoolean);
    AddProperty(QStringLiteral("TextOnly"), pkBoolean);
    AddProperty(QStringLiteral("DataField"), pkEditor, editorHooks().DataField);
}

void RichView::SetProperty(const QString &name, const Variant &value)
{
    View::SetProperty(name, value);
    if (name.toUpper() == u"TEXTONLY")
        Flags = static_cast<quint16>(value.toBool() ? (Flags | flTextOnly) : (Flags & ~flTextOnly));
}

Variant RichView::GetProperty(const QString &name)
{
    Variant v = View::GetProperty(name);
    if (v.isNull() && name.toUpper() == u"TEXTONLY")
        return Variant((Flags & flTextOnly) != 0);
    return v;
}

void RichView::LoadBlob(const platform::db::Field &field)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    AssignBlobField(field, buffer);
    RichEdit = richtext::RichDocument::fromRtf(buffer.readAll());
}

// ---------------------------------------------------------------------------
// Expanding, measuring

void RichView::ExpandText(richtext::RichDocument &text)
{
    if (Flags & flTextOnly)
        return;
    BuildState &state = library().State;
    state.CurrentView = this;
    Report *report = state.CurrentReport;
    int pos = 0;
    for (;;) {
        const int open = text.find(QStringLiteral("["), pos);
        if (open < 0)
            break;
        qsizetype close = open;
        const QString expression = ExtractBracketed(text.text(), close);
        // An expression no bracket closes stays as it is.
        if (close >= text.length())
            break;
        const QString value = report ? report->ValueText(expression, *this) : Report().ValueText(expression, *this);
        const int before = text.length();
        text.replace(open, static_cast<int>(close) + 1, value);
        const int inserted = text.length() - (before - (static_cast<int>(close) + 1 - open));
        text.setCharset(open, open + inserted, library().Charset);
        pos = open + inserted;
    }
}

int RichView::twips(int length, int gap, int pixelsPerInch)
{
    return pixelsPerInch > 0 ? (length * 1440 - gap * 2880) / pixelsPerInch : 0;
}

int RichView::measure(const richtext::RichDocument &text, int start, int height)
{
    gdi::Canvas &screen = library().MeasureBitmap->canvas();
    const int ppi = screen.deviceMetrics().logPixelsY;
    const gdi::Rect page{0, 0, twips(Width, GapX, screen.deviceMetrics().logPixelsX), twips(height, GapY, ppi)};
    return richtext::formatRange(text, screen, richtext::FormatRange{start, page, false});
}

int RichView::searchHeight(const richtext::RichDocument &text)
{
    // The least height at which the measurement reaches the end. Only an
    // empty text fits in no room at all: a stop at the start of a text that
    // has characters is no fit.
    int low = 0, high = 1000000;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (measure(text, CurrentStart, mid) >= text.length())
            high = mid;
        else
            low = mid + 1;
    }
    return (low < 2 ? 8 : low) + 2 * GapY;
}

void RichView::prepareWork()
{
    richtext::RichDocument &work = richWorkDocument();
    work = RichEdit;
    ExpandText(work);
}

int RichView::CalcHeight()
{
    BeginDraw(library().MeasureBitmap->canvas());
    if (!Script.isEmpty())
        library().ReportInterpreter.DoScript(Script);
    if (!Visible)
        return 0;
    OutputMemo = Memo;
    if (Report *report = library().State.CurrentReport)
        report->BeforePrint(OutputMemo, *this);
    prepareWork();
    CurrentStart = LastEnd = NextStart = 0;
    return searchHeight(richWorkDocument());
}

int RichView::RemainHeight()
{
    // The room the part printed last left unused below its last line: the
    // rest is laid out from a fresh top, so the band gives it that much more
    // height, or the rest's last lines would not fit and be lost.
    const int lastEnd = LastEnd, nextStart = NextStart, currentStart = CurrentStart;
    richtext::RichDocument &work = richWorkDocument();
    prepareWork();
    work.remove(lastEnd, work.length());
    work.remove(0, currentStart);
    CurrentStart = 0;
    const int used = work.isEmpty() ? 2 * GapY : searchHeight(work);
    LastEnd = lastEnd;
    NextStart = nextStart;
    CurrentStart = currentStart;
    return std::max(0, partHeight_ - used) + roundToInt(2 * GapY + 2 * FrameWidth);
}

// ---------------------------------------------------------------------------
// Drawing

void RichView::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    SaveCoordinates();
    ShowBackground();
    const gdi::Rect target{DrawRect.left + GapX, DrawRect.top + GapY, DrawRect.right - GapX, DrawRect.bottom - GapY};
    if (target.width() > 0 && target.height() > 0 && !RichEdit.isEmpty()) {
        // The text laid out at the object's own size into a picture, which
        // is then stretched to the scale drawn at.
        const gdi::DeviceMetrics screen = gdi::screenMetrics();
        gdi::Metafile picture(screen);
        const int w = std::max(1, saved_.Width - 2 * saved_.GapX);
        const int h = std::max(1, saved_.Height - 2 * saved_.GapY);
        picture.setSizeInPixels(w, h);
        {
            gdi::MetafileCanvas recorder(picture);
            recorder.setBrush(gdi::Brush{gdi::BS_NULL, 0, 0});
            const gdi::Rect page{0, 0, twips(saved_.Width, saved_.GapX, screen.logPixelsX),
                                 twips(saved_.Height, saved_.GapY, screen.logPixelsY)};
            richtext::formatRange(RichEdit, recorder, richtext::FormatRange{0, page, true});
            recorder.finish();
        }
        canvas.drawMetafile(picture, target);
    }
    ShowFrame();
    RestoreCoordinates();
}

// ---------------------------------------------------------------------------
// Printing and the stored form

void RichView::PrintToStream(QIODevice &stream)
{
    // The base runs the script, expands the tag and writes the record's
    // head; the record is the work document, made as SaveToStream starts.
    saveWork_ = true;
    View::PrintToStream(stream);
    saveWork_ = false;
    StretchPhase = 0;
}

void RichView::SaveToStream(QIODevice &stream)
{
    View::SaveToStream(stream);
    const richtext::RichDocument *text = &RichEdit;
    if (saveWork_) {
        prepareWork();
        richtext::RichDocument &work = richWorkDocument();
        if (StretchPhase == 2) {
            // The part that fits the object's height on this page, after
            // the part printed last.
            CurrentStart = LastEnd;
            partHeight_ = Height;
            LastEnd = measure(work, CurrentStart, Height);
            work.remove(LastEnd, work.length());
            work.remove(0, NextStart);
            NextStart = LastEnd;
        }
        text = &work;
    }
    const bool hasText = !text->isEmpty();
    stream.putChar(hasText ? 1 : 0);
    const qint64 at = stream.pos();
    char end[4] = {};
    stream.write(end, 4);
    if (hasText)
        stream.write(text->toRtf());
    const qint64 after = stream.pos();
    qToLittleEndian<qint32>(static_cast<qint32>(after), end);
    stream.seek(at);
    stream.write(end, 4);
    stream.seek(after);
}

void RichView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    char flag = 0;
    const QByteArray end = stream.read(5);
    if (end.size() < 5)
        throw std::runtime_error("Ошибка чтения объекта RichText: запись обрезана");
    flag = end[0];
    const qint64 here = stream.pos();
    // The end is kept within the stream and never before the block: a
    // damaged position must neither read past the end nor send the reader
    // back over records it has read.
    const qint64 stop = std::clamp<qint64>(qFromLittleEndian<qint32>(end.constData() + 1), here, stream.size());
    RichEdit.clear();
    if (flag)
        RichEdit = richtext::RichDocument::fromRtf(stream.read(stop - here));
    stream.seek(stop);
}

// ---------------------------------------------------------------------------
// Editing

void RichView::ShowEditor()
{
    RichEditorWindow &window = richEditorWindow();
    if (!window)
        return;
    richtext::RichDocument text = RichEdit;
    if (window(text)) {
        if (ReportDesigner *designer = library().State.CurrentDesigner)
            designer->BeforeChange();
        RichEdit = text;
    }
}

void RichView::AddPopupItems(PopupItems &items)
{
    View::AddPopupItems(items);
    addFlagItem(items, QStringLiteral("Только текст"), flTextOnly);
}

std::vector<std::pair<QString, QString>> RichView::FR3Attributes(const FR3FieldResolver &resolve) const
{
    // The binary property of the class library's component stream: the
    // name, the type byte 10, the int32 size and the bytes.
    const QByteArray rtf = RichEdit.toRtf();
    QByteArray property;
    property.append(char(8)).append("RichEdit").append(char(10));
    char size[4];
    qToLittleEndian<qint32>(static_cast<qint32>(rtf.size()), size);
    property.append(size, 4).append(rtf);
    std::vector<std::pair<QString, QString>> out = {{QStringLiteral("Propdata"), StreamToHex(property)}};
    if (Flags & flStretched)
        out.emplace_back(QStringLiteral("StretchMode"), QStringLiteral("smMaxHeight"));
    if (Flags & flTextOnly)
        out.emplace_back(QStringLiteral("AllowExpressions"), QStringLiteral("False"));
    QString dataSet, field;
    if (resolve && !Memo.isEmpty() && resolve(Memo.first(), dataSet, field)) {
        out.emplace_back(QStringLiteral("DataSet"), dataSet);
        out.emplace_back(QStringLiteral("DataField"), field);
    }
    return out;
}

void RegisterRichAddIn()
{
    RegisterAddIn(QStringLiteral("TfrRichView"), [] { return std::make_unique<RichView>(); },
                  QStringLiteral("FR_RICHVIEW"), QStringLiteral("Вставить RichText объект"));
}

} // namespace reports
