// The text object: expansion of bracketed expressions, wrapping, drawing,
// measuring for the band engine and printing into prepared pages, also split
// over pages.

#include "reports/model/ReportViews.h"

#include "platform/Rounding.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/SystemColors.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/language/ResourceTexts.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace reports {

using platform::roundToInt;

std::unique_ptr<TextMeasurer> TextMeasuring::measurer(const gdi::LogFont &font, int charSpacing)
{
    gdi::Canvas &canvas = library().MeasureBitmap->canvas();
    canvas.setFont(font);
    return std::make_unique<CanvasMeasurer>(canvas, charSpacing);
}

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(160);
}

QString withoutMarker(const QString &line, bool *hadMarker = nullptr)
{
    const bool marked = line.endsWith(kParagraphEnd);
    if (hadMarker)
        *hadMarker = marked;
    return marked ? line.left(line.size() - 1) : line;
}

} // namespace

void DrawTextLine(gdi::Canvas &canvas, int x, int y, const QString &text, int spacing, int justifyWidth, bool upward)
{
    const int blanks = static_cast<int>(std::count_if(text.begin(), text.end(), isBlank));
    const bool justify = justifyWidth > 0 && blanks > 0;
    if (!justify && spacing == 0) {
        canvas.textOut(x, y, text);
        return;
    }
    // Runs between blanks (or single characters with extra spacing) placed
    // one after another; the extra room of a justified line goes to its
    // blanks, the first ones taking the odd units.
    int extra = 0;
    if (justify)
        extra = justifyWidth - (canvas.textExtent(text).cx + spacing * static_cast<int>(text.size()));
    int blankIndex = 0;
    int advance = 0;
    auto place = [&](const QString &piece) {
        if (upward)
            canvas.textOut(x, y - advance, piece);
        else
            canvas.textOut(x + advance, y, piece);
    };
    if (spacing != 0) {
        for (QChar c : text) {
            const QString one(c);
            place(one);
            advance += canvas.textExtent(one).cx + spacing;
            if (justify && isBlank(c)) {
                advance += extra / blanks + (blankIndex < extra % blanks ? 1 : 0);
                ++blankIndex;
            }
        }
        return;
    }
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBlank(text[i]))
            continue;
        // The run up to this blank, with the blank itself.
        const QString run = text.mid(runStart, i - runStart + (i < text.size() ? 1 : 0));
        if (!run.isEmpty())
            place(run);
        advance += canvas.textExtent(run).cx;
        if (i < text.size()) {
            advance += extra / blanks + (blankIndex < extra % blanks ? 1 : 0);
            ++blankIndex;
        }
        runStart = i + 1;
    }
}

MemoView::MemoView()
{
    BaseName = QStringLiteral("Memo");
    ObjectType = 0;
    Flags = flStretched | flWordWrap;
    Font.Charset = library().Charset;
}

namespace {

// Geometry of texts read from damaged files may hold huge values; sums and
// products are worked out wide and held to half the integer range, so the
// sums the drawing makes of two of them stay in range.
constexpr qint64 kGeometryLimit = qint64(1) << 30;
int saturated(qint64 value)
{
    return static_cast<int>(std::clamp(value, -kGeometryLimit, kGeometryLimit));
}

} // namespace

int MemoView::FontHeight(double scale) const
{
    const double points = Font.Size * 96.0 / 72.0 * scale;
    if (scale == 1.0)
        return -roundToInt(points);
    return -static_cast<int>(std::trunc(points));
}

// ---------------------------------------------------------------------------
// Properties

void MemoView::BuildPropertyList()
{
    View::BuildPropertyList();
    const EditorHooks &hooks = editorHooks();
    AddProperty(QStringLiteral("Font.Name"), 0);
    AddProperty(QStringLiteral("Font.Size"), 0);
    AddProperty(QStringLiteral("Font.Style"), 0);
    AddProperty(QStringLiteral("Font.Color"), 0);
    AddProperty(QStringLiteral("Font"), pkEditor, hooks.Font);
    AddProperty(QStringLiteral("Alignment"), 0);
    AddProperty(QStringLiteral("DisplayFormat"), pkEditor);
    AddProperty(QStringLiteral("Highlight"), pkEditor, hooks.Highlight);
    AddProperty(QStringLiteral("LineSpacing"), pkInteger);
    AddProperty(QStringLiteral("CharSpacing"), pkInteger);
    AddProperty(QStringLiteral("GapX"), pkInteger);
    AddProperty(QStringLiteral("GapY"), pkInteger);
    for (const char *name : {"Stretched", "WordWrap", "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros"})
        AddProperty(QString::fromLatin1(name), pkBoolean);
    AddProperty(QStringLiteral("Lines.Count"), 0);
    AddProperty(QStringLiteral("Underlines"), pkBoolean);
    AddProperty(QStringLiteral("RTLReading"), pkBoolean);
}

namespace {

const struct {
    const char *name;
    quint16 bit;
} kMemoFlags[] = {
    {"WORDWRAP", flWordWrap},   {"WORDBREAK", flWordBreak}, {"AUTOWIDTH", flAutoWidth},
    {"TEXTONLY", flTextOnly},   {"SUPPRESS", flSuppress},   {"HIDEZEROS", flHideZeros},
    {"UNDERLINES", flUnderlines}, {"RTLREADING", flRTLReading},
};

} // namespace

void MemoView::SetProperty(const QString &name, const Variant &value)
{
    View::SetProperty(name, value);
    const QString n = name.toUpper();
    if (n.startsWith(u"FONT.")) {
        SetFontProperty(Font, n, value);
    } else if (n == u"ALIGNMENT") {
        Alignment = value.toInt();
    } else if (n == u"LINESPACING") {
        LineSpacing = value.toInt();
    } else if (n == u"CHARSPACING") {
        CharSpacing = value.toInt();
    } else {
        for (const auto &f : kMemoFlags)
            if (n == QLatin1String(f.name))
                setFlag(f.bit, value.toBool());
    }
}

Variant MemoView::GetProperty(const QString &name)
{
    Variant v = View::GetProperty(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    if (n.startsWith(u"FONT."))
        return GetFontProperty(Font, n);
    if (n == u"ALIGNMENT")
        return Variant(Alignment);
    if (n == u"LINESPACING")
        return Variant(LineSpacing);
    if (n == u"CHARSPACING")
        return Variant(CharSpacing);
    if (n == u"LINES.COUNT")
        return Variant(static_cast<int>(Memo.size()));
    for (const auto &f : kMemoFlags)
        if (n == QLatin1String(f.name))
            return Variant(flag(f.bit));
    return Variant::null();
}

Variant MemoView::CallMethod(const QString &method, const Variant &par1, const Variant &par2, const Variant &par3)
{
    Variant result = Stretcheable::CallMethod(method, par1, par2, par3);
    if (!result.isNull())
        return result;
    CallStringsMethod(Memo, method, result, par1, par2, par3, QStringLiteral("LINES"));
    return result;
}

// ---------------------------------------------------------------------------
// Text

void MemoView::ExpandMemo()
{
    QString text;
    bool any = false;
    for (const QString &line : Memo) {
        const QString s = !line.isEmpty() && !flag(flTextOnly) ? ExpandVariables(line) : line;
        text += s + QStringLiteral("\r\n");
        any = true;
    }
    OutputMemo.clear();
    if (!any)
        return;
    text.chop(2);
    // A value holding line breaks becomes several lines.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    OutputMemo = text.split(u'\n');
}

void MemoView::applyHighlight()
{
    if (HighlightCondition.isEmpty())
        return;
    try {
        const Variant v = library().ReportParser.Calc(HighlightCondition);
        if (platform::varCompare(v, Variant(0)) != platform::VarRelation::Equal) {
            Font.Style = Highlight.FontStyle;
            Font.Color = Highlight.FontColor;
            FillColor = Highlight.FillColor;
        }
    } catch (...) {
        // A condition that fails leaves the object as it is.
    }
}

void MemoView::WrapMemo()
{
    const bool rotated = (Alignment & frtaVertical) != 0;
    gdi::LogFont font = Font.logFont(FontHeight());
    if (rotated)
        font.escapement = font.orientation = 900;
    const std::unique_ptr<TextMeasurer> measurer =
        platform::Service<TextMeasuring>::get().measurer(font, CharSpacing);
    WrappedLines.clear();
    const int available = rotated ? Height - 2 * GapY : Width - 2 * GapX;
    LineStep = saturated(qint64(LineSpacing) - FontHeight());
    const qint64 origin = rotated ? qint64(Left) + GapX : qint64(Top) + GapY;
    if (library().State.DocumentMode == 0 && !rotated && OutputMemo.size() == 1
        && measurer->width(OutputMemo.first()) > available && OutputMemo.first().startsWith(u'[')) {
        WrappedLines << OutputMemo.first() + kParagraphEnd;
    } else {
        for (const QString &line : OutputMemo) {
            if (PreWrapped)
                WrappedLines << line;
            else if (flag(flWordWrap))
                WrapLine(line, available, flag(flWordBreak), *measurer, WrappedLines);
            else
                WrappedLines << (rotated ? line : line + kParagraphEnd);
        }
    }
    const qint64 end = origin + qint64(LineStep) * WrappedLines.size();
    TextHeight = saturated(rotated ? end + GapX - Left : end + GapY - Top);
}

int MemoView::CalcWidth(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += withoutMarker(line) + QStringLiteral("\r\n");
    text.chop(2);
    gdi::LogFont font = Font.logFont(FontHeight(ScaleY));
    const std::unique_ptr<TextMeasurer> measurer =
        platform::Service<TextMeasuring>::get().measurer(font, roundToInt(CharSpacing * ScaleX));
    int widest = 0;
    for (const QString &line : text.split(QStringLiteral("\r\n")))
        widest = std::max(widest, measurer->width(line));
    return roundToInt(widest / ScaleX + FrameWidth + 2 * GapX + 1);
}

// ---------------------------------------------------------------------------
// Drawing

void MemoView::drawUnderlines()
{
    gdi::Canvas &c = *Canvas;
    const int fontHeight = FontHeight(ScaleY);
    const int step = roundToInt(LineSpacing * ScaleY) - fontHeight;
    if (step <= 0)
        return;
    c.setPen(gdi::Pen{gdi::PS_SOLID, std::max(1, roundToInt(FrameWidth)), gdi::resolveColor(FrameColor)});
    const int count = Height / step;
    for (int i = 0; i < count; ++i) {
        const int y = Top + GapY + step * i + roundToInt(2 * ScaleY) - fontHeight;
        c.moveTo(Left, y);
        c.lineTo(Left + Width - 1, y);
    }
}

void MemoView::Draw(gdi::Canvas &canvas)
{
    const BuildState &state = library().State;
    const bool prepared = state.DocumentMode == 1;
    const bool rotated = (Alignment & frtaVertical) != 0;
    if (flag(flAutoWidth) && prepared && !Memo.isEmpty()) {
        const int w = CalcWidth(Memo);
        if (rotated) {
            Height = w;
        } else {
            if (Alignment & 1)
                Left += Width - w;
            Width = w;
        }
    }
    BeginDraw(canvas);
    ClipToBottom = false;
    OutputMemo = Memo;
    if (!OutputMemo.isEmpty()) {
        PreWrapped = OutputMemo.join(QString()).contains(kParagraphEnd);
        if (OutputMemo.last() == QString(kParagraphEnd))
            OutputMemo.removeLast();
        const double sx = ScaleX, sy = ScaleY;
        ScaleX = ScaleY = 1.0;
        SaveCoordinates();
        if (flag(flAutoWidth) && prepared)
            Width += 100;
        WrapMemo();
        ScaleX = sx;
        ScaleY = sy;
        RestoreCoordinates();
        OutputMemo = WrappedLines;
    }
    SaveCoordinates();
    if (!Exporting) {
        ShowBackground();
        ShowFrame();
        if (flag(flUnderlines) && !state.MeasuringPass)
            drawUnderlines();
    }
    if (!OutputMemo.isEmpty())
        ShowMemo();
    RestoreCoordinates();
}

void MemoView::ShowMemo()
{
    showLines();
}

void MemoView::showLines()
{
    gdi::Canvas &c = *Canvas;
    const BuildState &state = library().State;
    const bool rotated = (Alignment & frtaVertical) != 0;
    const int fontHeight = FontHeight(ScaleY);
    gdi::LogFont font = Font.logFont(fontHeight);
    if (rotated)
        font.escapement = font.orientation = 900;
    c.setFont(font);
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextColor(gdi::resolveColor(Font.Color));
    c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    const int spacing = roundToInt(CharSpacing * ScaleX);
    const gdi::Rect clip{DrawRect.left + 1, DrawRect.top, DrawRect.right - 2, DrawRect.bottom - 1};
    const int textHeight = roundToInt(TextHeight * ScaleY);
    // Right-to-left reading: the line embedded in a right-to-left run, so
    // that the text layout orders its neutral characters from the right.
    auto shownLine = [this](const QString &line) {
        return flag(flRTLReading) ? QChar(0x202B) + line + QChar(0x202C) : line;
    };
    auto widthOf = [&](const QString &s) {
        return s.isEmpty() ? 0 : c.textExtent(s).cx + spacing * static_cast<int>(s.size());
    };

    const int horizontal = Alignment & 3;
    const int count = static_cast<int>(OutputMemo.size());
    LinesShown = 0;
    if (!measureOnly_) {
        c.saveDC();
        c.intersectClipRect(clip);
    }
    // Line positions advance wide: a damaged file's many lines of a huge
    // spacing run past the integer range long after they left the object.
    if (!rotated) {
        qint64 y = qint64(Top) + GapY;
        if (!ClipToBottom) {
            if (Alignment & frtaMiddle)
                y += (Height - textHeight) / 2;
            else if (Alignment & frtaDown)
                y = Top + Height - textHeight - 1 + GapY;
        }
        const int step = roundToInt(LineSpacing * ScaleY) - fontHeight;
        const bool bracketRight = state.DocumentMode == 0 && count == 1
                                  && widthOf(withoutMarker(OutputMemo.first())) > clip.width()
                                  && OutputMemo.first().startsWith(u'[');
        for (int i = 0; i < count; ++i) {
            if (ClipToBottom && y + step > clip.bottom)
                break;
            bool last = false;
            const QString line = withoutMarker(OutputMemo[i], &last);
            if (!measureOnly_) {
                const int tw = widthOf(line);
                int x = Left + GapX;
                if (horizontal == frtaRight || bracketRight)
                    x = DrawRect.right - GapX - tw - 1;
                else if (horizontal == frtaCenter)
                    x = Left + GapX + (DrawRect.width() - 2 * GapX - tw) / 2;
                const bool justify = horizontal == frtaJustify && !last;
                if (Exporting) {
                    int frame = FrameTyp;
                    if (count > 1) {
                        if (i == 0)
                            frame &= ~frftBottom;
                        else if (i == count - 1)
                            frame &= ~frftTop;
                        else
                            frame &= ~(frftTop | frftBottom);
                    }
                    if (Report *report = state.CurrentReport)
                        report->ExportText(QRect(clip.left, clip.top, clip.width(), clip.height()), x, saturated(y),
                                           line, frame, *this);
                } else {
                    DrawTextLine(c, x, saturated(y), shownLine(line), spacing,
                                 justify ? DrawRect.width() - 2 * GapX : 0, false);
                }
            }
            ++LinesShown;
            y += step;
        }
    } else {
        qint64 x = qint64(Left) + GapX;
        if (Alignment & frtaMiddle)
            x += (Width - textHeight) / 2;
        else if (Alignment & frtaDown)
            x = Left + Width - textHeight + GapX;
        const int step = roundToInt(LineSpacing * ScaleX) - fontHeight;
        for (int i = 0; i < count; ++i) {
            bool last = false;
            const QString line = withoutMarker(OutputMemo[i], &last);
            if (!measureOnly_) {
                const int tw = widthOf(line);
                int y = DrawRect.bottom - GapY;
                if (horizontal == frtaRight)
                    y = Top + GapY + tw;
                else if (horizontal == frtaCenter)
                    y = DrawRect.bottom - GapY - (DrawRect.height() - 2 * GapY - tw) / 2 - 1;
                else if (horizontal == frtaJustify)
                    y = DrawRect.bottom - DrawRect.top + Top - GapY;
                const bool justify = horizontal == frtaJustify && !last;
                if (Exporting) {
                    if (Report *report = state.CurrentReport)
                        report->ExportText(QRect(clip.left, clip.top, clip.width(), clip.height()), saturated(x), y,
                                           line, 0, *this);
                } else {
                    DrawTextLine(c, saturated(x), y, shownLine(line), spacing,
                                 justify ? DrawRect.height() - 2 * GapY : 0, true);
                }
            }
            ++LinesShown;
            x += step;
        }
    }
    if (!measureOnly_)
        c.restoreDC(-1);
}

// ---------------------------------------------------------------------------
// Measuring and printing

int MemoView::CalcHeight()
{
    BuildState &state = library().State;
    StretchPhase = 1;
    BeginDraw(library().MeasureBitmap->canvas());
    if (!Script.isEmpty())
        library().ReportInterpreter.DoScript(Script);
    if (!Visible)
        return 0;
    OutputMemo = Memo;
    if (state.CurrentReport)
        state.CurrentReport->BeforePrint(OutputMemo, *this);
    if (OutputMemo == Memo)
        ExpandMemo();
    const ReportFont savedFont = Font;
    const std::uint32_t savedFill = FillColor;
    applyHighlight();
    SaveCoordinates();
    int result = 0;
    const QString text = OutputMemo.join(QStringLiteral("\r\n"));
    if (!text.isEmpty()) {
        PreWrapped = text.contains(kParagraphEnd);
        WrapMemo();
        OutputMemo = WrappedLines;
        result = TextHeight;
        if (flag(flSuppress) && text == LastText)
            result = 0;
        if (state.MeasuringPass && flag(flSuppress))
            LastText = text;
    }
    RestoreCoordinates();
    Font = savedFont;
    FillColor = savedFill;
    return result;
}

int MemoView::MinHeight()
{
    LineStep = saturated(qint64(LineSpacing) - FontHeight());
    return saturated(qint64(roundToInt(2 * FrameWidth)) + LineStep + 2 * qint64(GapY));
}

int MemoView::RemainHeight()
{
    LineStep = saturated(qint64(LineSpacing) - FontHeight());
    const qint64 frame = roundToInt(2 * FrameWidth);
    // A line step of 0 or less fits no line: nothing remains of one.
    const qint64 rest = LineStep > 0 ? (qint64(Height) - frame - 2 * qint64(GapY)) % LineStep : 0;
    return saturated(2 * qint64(GapY) + frame + rest);
}

void MemoView::PrintToStream(QIODevice &stream)
{
    BuildState &state = library().State;
    BeginDraw(library().MeasureBitmap->canvas());
    ClipToBottom = true;
    if (StretchPhase == 0 && !Script.isEmpty())
        library().ReportInterpreter.DoScript(Script);
    bool unchanged = true;
    Report *report = state.CurrentReport;
    const bool hasEvent = report && report->HasBeforePrint();
    if (StretchPhase == 0 && hasEvent) {
        OutputMemo = Memo;
        report->BeforePrint(OutputMemo, *this);
        unchanged = OutputMemo == Memo;
    }
    if (ExpandPending || (StretchPhase == 0 && (!hasEvent || unchanged)))
        ExpandMemo();
    ExpandPending = false;
    if (!Visible) {
        StretchPhase = 0;
        return;
    }
    const ReportFont savedFont = Font;
    const std::uint32_t savedFill = FillColor;
    const QString savedTag = Tag;
    const quint8 savedAlign = BandAlign;
    applyHighlight();

    QStringList all;
    if (StretchPhase == 2) {
        // Count the lines that fit at the object's height.
        SaveCoordinates();
        PreWrapped = OutputMemo.join(QString()).contains(kParagraphEnd);
        if (!PreWrapped) {
            WrapMemo();
            OutputMemo = WrappedLines;
            PreWrapped = true;
        }
        all = OutputMemo;
        WrappedLines = all;
        measureOnly_ = true;
        showLines();
        measureOnly_ = false;
        RestoreCoordinates();
        OutputMemo = all.mid(0, LinesShown);
        if (!OutputMemo.join(QString()).contains(kParagraphEnd))
            OutputMemo << QString(kParagraphEnd);
    }

    const int savedFormat = DisplayFormatCode;
    DisplayFormatCode = 0;
    Tag = ExpandVariables(Tag);
    DisplayFormatCode = savedFormat;
    if (BandAlign == baBottom)
        BandAlign = baNone;
    if (const Band *band = state.CurrentBand) {
        if (BandAlign == baTop) {
            Top = band->y;
        } else if (BandAlign == baWidth && band->View && band->View->IsCross()) {
            Left = band->x;
            Width = band->dx;
            BandAlign = baNone;
        }
    }

    const QString text = OutputMemo.join(QStringLiteral("\r\n"));
    if (!(flag(flSuppress) && text == LastText)) {
        stream.putChar(static_cast<char>(ObjectType));
        const bool wasPrepared = PreparedMode;
        PreparedMode = true;
        SaveToStream(stream);
        PreparedMode = wasPrepared;
        if (flag(flSuppress))
            LastText = text;
    }
    if (StretchPhase == 2)
        OutputMemo = all.mid(LinesShown);

    Font = savedFont;
    FillColor = savedFill;
    Tag = savedTag;
    BandAlign = savedAlign;
    StretchPhase = 0;
}

void MemoView::ExportData()
{
    View::ExportData();
    Exporting = true;
    Draw(library().MeasureBitmap->canvas());
    Exporting = false;
}

void MemoView::LoadBlob(const platform::db::Field &field)
{
    AssignBlobField(field, OutputMemo);
}

void MemoView::ShowEditor()
{
    if (editorHooks().Memo)
        editorHooks().Memo(this);
}

// ---------------------------------------------------------------------------
// Pop-up items

void MemoView::AddPopupItems(PopupItems &items)
{
    items.push_back(PopupItem{QStringLiteral("Формат переменной..."), false, false, true, {}});
    items.push_back(PopupItem{QStringLiteral("Шрифт..."), false, false, true, [this] {
                                  if (editorHooks().Font)
                                      editorHooks().Font(this);
                              }});
    items.push_back(PopupItem{QStringLiteral("Очистить содержимое"), false, false, true, [this] {
                                  BuildState &state = library().State;
                                  if (state.CurrentDesigner)
                                      state.CurrentDesigner->BeforeChange();
                                  for (View *v : SelectedViews())
                                      if (!(v->Restrictions & frrfDontEditContents)) {
                                          v->Memo.clear();
                                          v->Script.clear();
                                      }
                                  if (state.CurrentDesigner)
                                      state.CurrentDesigner->AfterChange();
                              }});
    View::AddPopupItems(items);
    addFlagItem(items, QStringLiteral("Перенос слов"), flWordWrap);
    addFlagItem(items, QStringLiteral("Перенос по слогам"), flWordBreak, flag(flWordWrap));
    addFlagItem(items, QStringLiteral("Авторазмер"), flAutoWidth);
    addFlagItem(items, QStringLiteral("Только текст"), flTextOnly);
    addFlagItem(items, QStringLiteral("Скрывать повторяющиеся"), flSuppress);
    addFlagItem(items, QStringLiteral("Скрывать нулевые значения"), flHideZeros);
    addFlagItem(items, QStringLiteral("Линии подчеркивания"), flUnderlines);
}

} // namespace reports
