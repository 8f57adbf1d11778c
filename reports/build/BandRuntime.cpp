#include "reports/build/BandRuntime.h"

#include "platform/NumberFormat.h"
#include "reports/language/ExpressionParser.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

constexpr double kMinStart = 1e300;

// The stream of the prepared page being written.
QIODevice *outputStream()
{
    TfrReport *report = MasterTfrReport();
    const int page = library().State.PageNo;
    if (!report || page < 0 || page >= report->EMFPages->Count())
        return nullptr;
    return (*report->EMFPages)[page].Stream.get();
}

bool isStretchable(const View *v)
{
    return dynamic_cast<const Stretcheable *>(v) != nullptr && (v->Flags & flStretched);
}

// The parts of an aggregate entry's name; a copy of a cross-tab template
// starts with its column number.
struct EntryName {
    QString column;
    QString band;
    int kind = 0;
    QString expression;
    QString flag;
    bool valid = false;
};

EntryName splitEntry(const QString &name, bool withColumn)
{
    EntryName e;
    QStringList parts = name.split(kAggregateSeparator);
    if (withColumn) {
        if (parts.isEmpty())
            return e;
        e.column = parts.takeFirst();
    }
    if (parts.size() < 4 || parts[1].isEmpty())
        return e;
    e.band = parts[0];
    e.kind = parts[1].at(0).unicode();
    e.expression = parts[2];
    e.flag = parts[3];
    e.valid = true;
    return e;
}

} // namespace

TfrReport *CurrentTfrReport()
{
    return dynamic_cast<TfrReport *>(library().State.CurrentReport);
}

TfrReport *MasterTfrReport()
{
    return dynamic_cast<TfrReport *>(library().State.MasterReport);
}

bool BuildStopped()
{
    const Report *r = library().State.MasterReport;
    return r && r->Terminated;
}

TfrBand::TfrBand(int type, Page *page) : Parent(page)
{
    Typ = type;
}

TfrBand::~TfrBand()
{
    FreeDataSources();
}

void TfrBand::FreeDataSources()
{
    if (DataSet) {
        DataSet->Exit();
        if (OwnsDataSet)
            delete DataSet;
    }
    DataSet = nullptr;
    OwnsDataSet = false;
    if (CrossDataSet) {
        CrossDataSet->Exit();
        if (OwnsCrossDataSet)
            delete CrossDataSet;
    }
    CrossDataSet = nullptr;
    OwnsCrossDataSet = false;
}

Dataset *resolveBandSource(const QString &text, bool &owned)
{
    owned = false;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return nullptr;
    if (t.at(0) >= u'1' && t.at(0) <= u'9') {
        // A count that is no number would print no rows without a word: it
        // stops the build as any bad source does.
        bool ok = false;
        const int count = t.toInt(&ok);
        if (!ok)
            throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(t));
        auto *counting = new UserDataset;
        counting->RangeEnd = TRangeEnd::reCount;
        counting->RangeEndCount = count;
        owned = true;
        return counting;
    }
    if (TfrReport *report = CurrentTfrReport()) {
        // "Form.Component": the component's own name is what counts here.
        const QString name = t.section(u'.', -1);
        for (Dataset *d : report->Components)
            if (d && d->Name.compare(name, Qt::CaseInsensitive) == 0)
                return d;
    }
    return nullptr;
}

void TfrBand::SetDataSource(const QString &text)
{
    if (Typ == btGroupHeader) {
        GroupCondition = Parser::ToPostfix(text);
        return;
    }
    if (text.contains(u';'))
        return;
    FreeDataSources();
    DataSourceName = text;
    bool owned = false;
    DataSet = resolveBandSource(text, owned);
    OwnsDataSet = owned;
    if (!DataSet && Typ == btMasterData) {
        TfrReport *report = CurrentTfrReport();
        if (report && report->ReportType == TfrReportType::rtSimple)
            DataSet = report->ReportDataset;
    }
    if (DataSet)
        DataSet->Init();
}

void TfrBand::BindDataSource(const QString &name)
{
    SetDataSource(name);
}

bool TfrBand::IsDefined() const
{
    return View != nullptr || (Typ == btNone && !Objects.empty());
}

bool TfrBand::HasCross() const
{
    if (Typ == btPageFooter)
        return false;
    return std::any_of(Objects.begin(), Objects.end(), [this](const reports::View *o) { return o->ParentBand != this; });
}

std::vector<TfrBand *> TfrBand::sourceChain()
{
    std::vector<TfrBand *> chain{this};
    for (TfrBand *b = Next; b && !b->DataSet; b = b->Next)
        chain.push_back(b);
    return chain;
}

void TfrBand::clearLastTexts()
{
    for (reports::View *o : Objects)
        if (auto *memo = dynamic_cast<MemoView *>(o))
            memo->LastText.clear();
}

// ---------------------------------------------------------------------------
// Drawing

bool TfrBand::Draw()
{
    BuildState &state = library().State;
    Page *page = Parent;
    TfrReport *report = CurrentTfrReport();
    const bool savedBreaked = PageBreak;
    // A page printed as a subreport does not split a band where it stands:
    // a band that does not fit goes to the host's next page whole.
    if (page->Skip)
        PageBreak = false;
    state.CurrentView = View;
    state.CurrentBand = this;
    CalculatedHeight = -1;
    NewPageRequests = NewColumnRequests = 0;
    if (report && report->OnBeginBand)
        report->OnBeginBand(this);

    if (TfrBand *was = page->WasBand; was && was != this && was->IsDefined() && was->ColumnCounter > 1) {
        // A row of a multi-column band was left unfinished: go below it.
        page->XAdjust = was->SavedXAdjust;
        page->CurY += was->CalculatedHeight > 0 ? was->CalculatedHeight : was->dy;
        was->ColumnCounter = 1;
    }

    KeepCurY = false;
    if (!SkipScript && !Script.isEmpty())
        library().ReportInterpreter.DoScript(Script);
    SkipScript = false;
    const int scriptY = page->CurY;
    if (BuildStopped())
        return false;

    for (int i = 0; i < NewPageRequests; ++i) {
        page->CurColumn = page->ColCount - 1;
        page->NewColumn(this);
    }
    for (int i = 0; i < NewColumnRequests; ++i)
        page->NewColumn(this);
    if (KeepCurY)
        page->CurY = scriptY;
    // The new pages printed other bands: this one is the current band again.
    state.CurrentBand = this;
    state.CurrentView = View;

    bool result = false;
    if (Visible) {
        if (Typ == btColumnHeader)
            page->LastStaticColumnY = page->CurY;
        if (Typ == btPageFooter)
            y = page->CurBottomY;
        if (IsDefined()) {
            CalculatedHeight = std::max(CalculatedHeight, dy);
            if (Typ != btPageFooter && Typ != btOverlay && Typ != btColumnFooter && Typ != btNone) {
                const int h = CalcHeight();
                const int emptySpace = page->CurBottomY - page->ColumnFooterHeight() - page->RunTopY;
                if (!PageBreak && page->CurY + h > page->CurBottomY) {
                    const bool atTop = page->CurY == page->RunTopY;
                    if (h <= emptySpace || !atTop) {
                        if (page->Skip)
                            return true;
                        CheckPageBreak(page->CurY, 10000, false);
                        state.CurrentBand = this;
                        state.CurrentView = View;
                        result = true;
                    }
                    if (h > emptySpace && page->CurY == page->RunTopY)
                        PageBreak = true;
                }
            }
            if (IsDataBand() && DataSet && Next && !Next->DataSet) {
                for (TfrBand *b : sourceChain())
                    if (b->Visible) {
                        state.CurrentBand = b;
                        state.CurrentView = b->View;
                        if (b != this)
                            b->CalculatedHeight = std::max(b->CalculatedHeight, b->dy);
                        b->DoDraw();
                    }
                state.CurrentBand = this;
            } else {
                DoDraw();
                if (TfrBand *child = ChildBand(); child && child != this)
                    child->Draw();
                if (!IsDataBand() && Typ != btGroupHeader && FormNewPage && !page->Skip)
                    page->NewPage();
            }
            if (!AllDone)
                result = true;
        }
    } else {
        if (PrintChildIfInvisible)
            if (TfrBand *child = ChildBand(); child && child != this)
                child->Draw();
        if (IsDataBand())
            DoAggregate();
    }

    if (!Reprinting) {
        if (Typ != btPageFooter)
            InitValues();
        else if (report && state.PageNo == report->EMFPages->Count() - 1)
            InitValues();
    }
    if (report && report->OnEndBand)
        report->OnEndBand(this);
    PageBreak = savedBreaked;
    return result;
}

void TfrBand::DoDraw()
{
    Page *page = Parent;
    const int oldY = y;
    const bool ownY = Typ == btPageFooter || Typ == btOverlay || Typ == btNone;
    if (!ownY)
        y = page->CurY;
    const bool multi = View && View->Columns > 1 && View->NewColumnAfter == 1;
    if (multi) {
        if (page->WasBand != this)
            ColumnCounter = 1;
        page->WasBand = this;
        if (ColumnCounter == 1)
            SavedXAdjust = page->XAdjust;
    }
    if (CalculatedHeight < dy)
        CalculatedHeight = dy;

    subReportMoved_ = false;
    std::vector<std::pair<reports::View *, int>> stretchedHeights;
    if (Stretched) {
        for (reports::View *o : Objects)
            if ((o->Flags & flStretched) && o->Height > 0 && dynamic_cast<Stretcheable *>(o)) {
                stretchedHeights.emplace_back(o, o->Height);
                o->Height = CalculatedHeight - o->Top;
            }
    }
    const int step = Stretched ? CalculatedHeight : dy;
    SplitHeight = CalculatedHeight;
    if (!PageBreak && !ownY) {
        if (CheckPageBreak(y, step, false)) {
            y = page->CurY;
            library().State.CurrentBand = this;
        }
    }
    if (PageBreak) {
        DrawPageBreak();
    } else {
        DrawObjects();
        if (HasCross())
            DrawCross();
        if (!ownY && !subReportMoved_)
            page->CurY += step;
    }
    for (auto &[o, h] : stretchedHeights)
        o->Height = h;

    if (multi) {
        const int k = ColumnCounter;
        if (k < View->Columns) {
            page->XAdjust = SavedXAdjust + k * (View->ColumnWidth + View->ColumnGap);
            page->CurY -= step;
            ++ColumnCounter;
        } else {
            page->XAdjust = SavedXAdjust;
            ColumnCounter = 1;
        }
    }
    y = oldY;
    if (IsDataBand())
        DoAggregate();
}

int TfrBand::CalcHeight()
{
    int h;
    if (Next && !Next->DataSet && (IsDataBand() || DataSet)) {
        h = 0;
        for (TfrBand *b : sourceChain())
            h += b->CalcBandHeight();
    } else if (Stretched) {
        h = CalcBandHeight();
    } else {
        h = dy;
    }
    CalculatedHeight = std::max(CalculatedHeight, h);
    return h;
}

int TfrBand::CalcBandHeight()
{
    BuildState &state = library().State;
    Band *savedBand = state.CurrentBand;
    state.CurrentBand = this;
    int h = dy;
    std::vector<std::pair<reports::View *, int>> heights;
    auto measure = [&] {
        for (reports::View *o : Objects) {
            if (!isStretchable(o))
                continue;
            heights.emplace_back(o, o->Height);
            const int bottom = o->Top + static_cast<Stretcheable *>(o)->CalcHeight();
            h = std::max(h, bottom);
        }
    };
    TfrReport *report = CurrentTfrReport();
    TfrBand *crossData = Parent->BandOf(btCrossData);
    if (HasCross() && crossData) {
        Dataset *source = crossData->DataSet ? crossData->DataSet : CrossDataSet;
        Parent->ColPos = 1;
        if (report)
            report->BeginColumn(this);
        if (source) {
            source->First();
            while (!source->Eof() && !BuildStopped()) {
                int width = 0;
                if (report)
                    report->PrintColumn(Parent->ColPos, width);
                measure();
                ++Parent->ColPos;
                source->Next();
            }
        }
    } else {
        measure();
    }
    // Measuring changes no design size.
    for (auto it = heights.rbegin(); it != heights.rend(); ++it)
        it->first->Height = it->second;
    state.CurrentBand = savedBand;
    return h;
}

bool TfrBand::CheckPageBreak(int atY, int height, bool testOnly)
{
    if (Typ == btColumnFooter)
        return false;
    if (atY + height + Parent->ColumnFooterHeight() <= Parent->CurBottomY)
        return false;
    if (!testOnly)
        Parent->NewColumn(this);
    return true;
}

void TfrBand::DrawObjects()
{
    BuildState &state = library().State;
    for (size_t i = 0; i < Objects.size(); ++i) {
        reports::View *o = Objects[i];
        if (o->ObjectType == 3 && o->Visible) {
            const int top = Parent->CurY;
            const int startPage = state.PageNo;
            SubReportIndex = static_cast<int>(i);
            DrawSubReports();
            if (state.PageNo == startPage && AllDone)
                Parent->CurY = std::max(Parent->CurY, std::max(top, y) + dy);
            break;
        }
        if (o->ParentBand != this)
            continue;
        if (state.MeasuringPass && !PageBreak) {
            if (auto *memo = dynamic_cast<MemoView *>(o); memo && memo->StretchPhase != 0)
                continue;
            state.CurrentView = o;
            try {
                if (!o->Script.isEmpty())
                    library().ReportInterpreter.DoScript(o->Script);
            } catch (const std::exception &e) {
                ReportExpressionError(QString::fromUtf8(e.what()));
                return;
            }
            continue;
        }
        try {
            DrawObject(*o);
        } catch (const std::exception &e) {
            ReportExpressionError(QString::fromUtf8(e.what()));
            return;
        }
        if (BuildStopped())
            return;
    }
}

void TfrBand::DrawObject(reports::View &view)
{
    BuildState &state = library().State;
    state.CurrentView = &view;
    QIODevice *stream = outputStream();
    const int left = view.Left, top = view.Top;
    view.Left += Parent->XAdjust - Parent->LeftMargin();
    view.Top += y;
    if (stream) {
        view.PrintToStream(*stream);
    } else {
        QBuffer scratch;
        scratch.open(QIODevice::WriteOnly);
        view.PrintToStream(scratch);
    }
    view.Left = left;
    view.Top = top;
}

void TfrBand::DrawPageBreak()
{
    BuildState &state = library().State;
    struct Saved {
        int top, height;
        bool printed = false;
        bool started = false; // part of it printed on an earlier piece
    };
    std::vector<Saved> saved;
    saved.reserve(Objects.size());
    for (reports::View *o : Objects) {
        saved.push_back({o->Top, o->Height});
        if (!o->OutputMemo.join(QString()).contains(QChar(1)))
            o->ExpandPending = true;
        if (o->BandAlign == baBottom)
            o->Top = CalculatedHeight - o->Height;
        // Aligned to the bottom of a band lower than itself, it starts above
        // the first piece: it goes on as an object cut on an earlier piece
        // (it used to wait for a piece it could start in, with no end of
        // pages and never printed).
        saved.back().started = o->Top < 0;
    }

    if (!CheckPageBreak(y, CalculatedHeight, true)) {
        DrawObjects();
        SplitHeight = CalculatedHeight;
    } else {
        int lowest = 0;
        bool freshPiece = y == Parent->RunTopY;
        // A cut object's rest grows by a sliver, and what lies below it
        // within its width moves down as much.
        const auto grow = [&](size_t i, int bottom, int sliver) {
            reports::View *o = Objects[i];
            for (size_t j = 0; j < Objects.size(); ++j) {
                reports::View *other = Objects[j];
                if (j == i || saved[j].printed)
                    continue;
                if (other->Top >= bottom && other->Left >= o->Left && other->Left <= o->Left + o->Width)
                    other->Top += sliver;
            }
            o->Height += sliver;
        };
        for (;;) {
            const int space = Parent->CurBottomY - Parent->ColumnFooterHeight() - y - 2;
            lowest = 0;
            bool progress = false;
            for (size_t i = 0; i < Objects.size(); ++i) {
                reports::View *o = Objects[i];
                Saved &s = saved[i];
                if (s.printed || o->ParentBand != this || o->ObjectType == 3)
                    continue;
                auto *stretch = dynamic_cast<Stretcheable *>(o);
                if (s.started) {
                    // The rest of an object cut on an earlier piece.
                    const int bottom = o->Top + o->Height;
                    const int part = bottom <= space ? bottom : space + 1;
                    const int ownTop = o->Top, ownHeight = o->Height;
                    o->Top = 0;
                    o->Height = part;
                    if (stretch)
                        stretch->StretchPhase = 2;
                    DrawObject(*o);
                    o->Top = ownTop;
                    o->Height = ownHeight;
                    progress = true;
                    if (bottom <= space) {
                        s.printed = true;
                        lowest = std::max(lowest, bottom);
                    } else {
                        // A further cut: the rest gets the room this part
                        // left unused, as after the first cut.
                        if (isStretchable(o))
                            grow(i, bottom, stretch->RemainHeight());
                        lowest = std::max(lowest, space);
                    }
                    continue;
                }
                if (o->Top < 0 || o->Top >= space)
                    continue;
                const int bottom = o->Top + o->Height;
                if (bottom <= space) {
                    DrawObject(*o);
                    s.printed = true;
                    progress = true;
                    lowest = std::max(lowest, bottom);
                    continue;
                }
                const int part = space - o->Top + 1;
                if (isStretchable(o) && part >= stretch->MinHeight()) {
                    const int h = o->Height;
                    o->Height = part;
                    stretch->StretchPhase = 2;
                    DrawObject(*o);
                    o->Height = h;
                    // What is left of its text is printed as it stands: it
                    // is not expanded again.
                    o->ExpandPending = false;
                    grow(i, bottom, stretch->RemainHeight());
                    s.started = true;
                    progress = true;
                    lowest = std::max(lowest, space);
                } else if (freshPiece && o->Top == 0) {
                    // It cannot fit any piece: printed cut to the space, so
                    // that every piece moves on.
                    const int h = o->Height;
                    o->Height = space;
                    DrawObject(*o);
                    o->Height = h;
                    s.printed = true;
                    progress = true;
                    lowest = std::max(lowest, space);
                } else {
                    o->Top = space;
                }
            }
            bool left = false;
            for (size_t i = 0; i < Objects.size(); ++i)
                if (!saved[i].printed && Objects[i]->ParentBand == this && Objects[i]->ObjectType != 3) {
                    Objects[i]->Top -= space;
                    left = true;
                }
            if (!left || BuildStopped())
                break;
            if (!progress && freshPiece && space <= 0)
                break; // a page with no room at all
            // A page printed as a subreport starts no pages itself: the next
            // piece goes to its host's next page (else it would print over
            // this one).
            if (Parent->Skip) {
                if (!Parent->ContinueOnHostPage())
                    break;
            } else {
                CheckPageBreak(y, 10000, false);
            }
            state.CurrentBand = this;
            y = Parent->CurY;
            freshPiece = true;
        }
        SplitHeight = lowest;
    }
    for (size_t i = 0; i < Objects.size(); ++i) {
        Objects[i]->Top = saved[i].top;
        Objects[i]->Height = saved[i].height;
    }
    Parent->CurY += SplitHeight;
}

// ---------------------------------------------------------------------------
// Subreports

bool TfrBand::DrawSubReports()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    Page *page = Parent;
    if (!report || SubReportIndex < 0)
        return false;
    struct Sub {
        SubReportView *view;
        Page *page;
        bool done = false;
    };
    std::vector<Sub> subs;
    for (size_t i = static_cast<size_t>(SubReportIndex); i < Objects.size(); ++i) {
        auto *view = dynamic_cast<SubReportView *>(Objects[i]);
        if (!view || !view->Visible)
            continue;
        Page *sp = report->PageAt(view->PageIndex);
        if (!sp || sp == page)
            continue;
        subs.push_back({view, sp});
    }
    const int startY = y;
    Band *savedBand = state.CurrentBand;
    for (Sub &s : subs) {
        Page *sp = s.page;
        state.CurrentPage = sp;
        sp->Mode = 1;
        sp->ClearRecords();
        sp->FormPage();
        sp->CurY = startY + s.view->Top;
        sp->CurBottomY = page->CurBottomY;
        sp->RunTopY = page->RunTopY;
        sp->UseMargins = page->UseMargins;
        sp->MarginLeft = page->MarginLeft;
        sp->MarginTop = page->MarginTop;
        sp->MarginRight = page->MarginRight;
        sp->MarginBottom = page->MarginBottom;
        sp->XAdjust = page->XAdjust + s.view->Left;
        sp->HostPage = page;
        sp->ColCount = 1;
        sp->CurColumn = 0;
        sp->PlayFrom = 0;
    }
    state.CurrentPage = page;
    page->LastBand = nullptr;
    AllDone = subs.empty();
    int maxY = page->CurY;
    bool newPageStarted = false;
    bool handedUp = false;
    while (!subs.empty()) {
        bool unfinished = false;
        for (Sub &s : subs) {
            if (s.done)
                continue;
            if (newPageStarted) {
                // On a fresh page the subreport's top is where it starts.
                s.page->CurY = s.page->RunTopY = page->CurY;
                s.page->CurBottomY = page->CurBottomY;
            }
            state.CurrentPage = s.page;
            const int pageBefore = state.PageNo;
            const bool stoppedAtEnd = s.page->PlayRecords();
            state.CurrentPage = page;
            if (state.PageNo != pageBefore) {
                // A band of the subreport went on to the next page itself:
                // what follows lies on that page.
                newPageStarted = true;
                maxY = page->CurY;
            }
            if (stoppedAtEnd)
                unfinished = true;
            else {
                s.done = true;
                maxY = std::max(maxY, s.page->CurY);
            }
        }
        state.CurrentPage = page;
        if (!unfinished || BuildStopped())
            break;
        if (page->Skip) {
            page->LastBand = this;
            handedUp = true;
            AllDone = false;
            state.CurrentBand = savedBand;
            return true;
        }
        if (auto *current = static_cast<TfrBand *>(savedBand))
            current->SkipScript = true;
        page->NewPage();
        newPageStarted = true;
        maxY = page->CurY;
    }
    (void)handedUp;
    for (Sub &s : subs) {
        s.page->ClearRecords();
        s.page->Mode = 0;
        s.page->HostPage = nullptr;
    }
    AllDone = true;
    state.CurrentBand = savedBand;
    state.CurrentView = View;
    const int height = std::max(CalculatedHeight, dy);
    if (newPageStarted)
        page->CurY = maxY;
    else
        page->CurY = std::max(startY + height, maxY);
    subReportMoved_ = true;
    page->LastBand = nullptr;
    return newPageStarted;
}

// ---------------------------------------------------------------------------
// Cross-tab columns

int TfrBand::CheckNextColumn(int cx, int width, TfrBand *crossHeader)
{
    BuildState &state = library().State;
    TfrReport *report = MasterTfrReport();
    Page *page = Parent;
    if (cx + width <= page->RightMargin() || !report)
        return cx;
    cx = page->LeftMargin();
    ++state.PageNo;
    if (state.PageNo >= report->EMFPages->Count()) {
        report->EMFPages->Add(*page);
        if (TfrBand *overlay = page->BandOf(btOverlay); overlay && overlay->IsDefined())
            overlay->Draw();
        TfrBand *header = page->BandOf(btPageHeader);
        const bool skipHeader = crossStartPage_ == 0 && header && !header->OnFirstPage;
        if (header && header->IsDefined() && !skipHeader) {
            const int savedY = page->CurY;
            page->CurY = page->RunTopY;
            header->Draw();
            page->CurY = savedY;
        }
    }
    report->ShowProgressPage(state.PageNo + 1);
    if (crossHeader && crossHeader->IsDefined() && crossHeader->RepeatHeader) {
        DrawCrossCell(crossHeader, cx);
        cx += crossHeader->dx;
    }
    return cx;
}

void TfrBand::DrawCrossCell(TfrBand *crossBand, int cellX)
{
    BuildState &state = library().State;
    crossBand->LinePos = LinePos;
    crossBand->LineThrough = LineThrough;
    if (crossBand->Typ == btCrossData)
        crossBand->AggregateSource = this;
    for (reports::View *o : Objects) {
        if (o->ParentBand != crossBand)
            continue;
        if (state.MeasuringPass) {
            state.CurrentView = o;
            if (!o->Script.isEmpty())
                library().ReportInterpreter.DoScript(o->Script);
            continue;
        }
        // The cell's objects stand at the cell's x (DrawObject adds the
        // row's y and the page column's offset).
        const int left = o->Left;
        o->Left = cellX + o->Left;
        try {
            DrawObject(*o);
        } catch (const std::exception &e) {
            ReportExpressionError(QString::fromUtf8(e.what()));
        }
        o->Left = left;
    }
}

void TfrBand::DrawCross()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    Page *page = Parent;
    const int savedPage = state.PageNo;
    crossStartPage_ = savedPage;
    page->ColPos = 1;
    int cx = 0;
    if (report)
        report->BeginColumn(this);
    const int savedY = y;
    // Cells print at the band's row: DrawObject adds y, so the cell's top is
    // relative to it.
    auto cell = [&](TfrBand *b, int at) {
        const int keep = y;
        y = savedY;
        DrawCrossCell(b, at);
        y = keep;
    };
    TfrBand *header = page->BandOf(btCrossHeader);
    if (header && header->IsDefined()) {
        if (!header->Script.isEmpty())
            library().ReportInterpreter.DoScript(header->Script);
        cell(header, header->x);
        cx = header->x + header->dx;
    }
    TfrBand *data = page->BandOf(btCrossData);
    if (data && data->IsDefined()) {
        if (cx == 0)
            cx = data->x;
        Dataset *source = data->DataSet ? data->DataSet : CrossDataSet;
        std::unique_ptr<UserDataset> temporary;
        if (source) {
            source->First();
            if (Typ == btMasterFooter && source->Eof()) {
                temporary = std::make_unique<UserDataset>();
                temporary->RangeEnd = TRangeEnd::reCount;
                temporary->RangeEndCount = MaxCrossColumns;
                source = temporary.get();
                source->First();
            }
            int columns = 0;
            while (!source->Eof() && !BuildStopped()) {
                int width = data->dx;
                if (report)
                    report->PrintColumn(page->ColPos, width);
                if (!data->Script.isEmpty())
                    library().ReportInterpreter.DoScript(data->Script);
                cx = CheckNextColumn(cx, width, header);
                const int keepDx = data->dx;
                data->dx = width;
                cell(data, cx);
                data->dx = keepDx;
                data->DoAggregate();
                if (IsDataBand())
                    DoAggregate();
                cx += width;
                ++page->ColPos;
                ++columns;
                source->Next();
            }
            MaxCrossColumns = std::max(MaxCrossColumns, columns);
        }
    }
    TfrBand *footer = page->BandOf(btCrossFooter);
    if (footer && footer->IsDefined()) {
        cx = CheckNextColumn(cx, footer->dx, header);
        cell(footer, cx);
        footer->InitValues();
    }
    state.PageNo = savedPage;
}

// ---------------------------------------------------------------------------
// Totals

void TfrBand::DoAggregate()
{
    const bool cross = HasCross();
    const QString column = QString::number(Parent->ColPos);
    if (cross) {
        const QString templ = QStringLiteral("0") + kAggregateSeparator;
        const int n = Values.Count();
        for (int i = 0; i < n; ++i) {
            const QString name = Values.GetName(i);
            if (!name.startsWith(templ))
                continue;
            const QString copy = column + name.mid(1);
            if (Values.IndexOf(copy) < 0)
                Values.SetVariable(copy, Variant(0));
        }
    }
    QString lastExpression;
    Variant lastValue;
    bool haveLast = false;
    for (int i = 0; i < Values.Count(); ++i) {
        const QString name = Values.GetName(i);
        if (cross && !name.startsWith(column + kAggregateSeparator))
            continue;
        const EntryName e = splitEntry(name, cross);
        if (!e.valid)
            continue;
        Variant v(0);
        if (e.kind != agCount) {
            if (haveLast && e.expression == lastExpression) {
                v = lastValue;
            } else {
                v = library().ReportParser.Calc(e.expression);
                if (v.isNull())
                    v = Variant(0);
                lastExpression = e.expression;
                lastValue = v;
                haveLast = true;
            }
        }
        if (!Visible && e.flag != u"1")
            continue;
        const Variant current = Values.GetValue(i);
        Variant next = current;
        switch (e.kind) {
        case agMin:
            if (v.toDouble() < current.toDouble())
                next = v;
            break;
        case agMax:
            if (v.toDouble() > current.toDouble())
                next = v;
            break;
        case agCount:
            next = Variant(current.toInt() + 1);
            break;
        default:
            next = Variant(current.toDouble() + v.toDouble());
            break;
        }
        Values.SetValueAt(i, next);
        ++AggregateRows[name];
    }
}

Variant TfrBand::GetAggregate(const QString &key) const
{
    const Variant *value = Values.Find(key);
    if (!value)
        return Variant(0);
    const QStringList parts = key.split(kAggregateSeparator);
    // The kind is the part after the band's name (and the column number).
    for (int i = 1; i < parts.size() && i <= 2; ++i)
        if (parts[i].size() == 1 && parts[i].at(0).unicode() == agAvg) {
            // Counted under the entry's own name (names match in any case).
            const int rows = AggregateRows.value(Values.GetName(Values.IndexOf(key)));
            if (rows == 0)
                return Variant(0);
            return Variant(value->toDouble() / rows);
        }
    return *value;
}

void TfrBand::SetAggregate(const QString &key, const Variant &value)
{
    Values.SetVariable(key, value);
}

void TfrBand::InitValues()
{
    if (Typ == btGroupHeader) {
        for (TfrBand *g = this; g; g = g->Next) {
            g->LastGroupValue = g->GroupCondition.isEmpty() ? Variant() : library().ReportParser.CalcPostfix(g->GroupCondition);
            g->HasGroupValue = true;
        }
        return;
    }
    TfrBand *source = AggregateSource;
    if (!source)
        return;
    const bool cross = source->HasCross();
    for (int i = 0; i < source->Values.Count(); ++i) {
        const EntryName e = splitEntry(source->Values.GetName(i), false);
        EntryName c = splitEntry(source->Values.GetName(i), true);
        const EntryName &use = cross && c.valid && c.band == Name ? c : e;
        if (!use.valid || use.band != Name)
            continue;
        source->Values.SetValueAt(i, use.kind == agMin ? Variant(kMinStart) : Variant(0));
        source->AggregateRows.remove(source->Values.GetName(i));
    }
}

// ---------------------------------------------------------------------------
// The aggregate functions

namespace {

int expectedDataType(int currentType)
{
    switch (currentType) {
    case btReportSummary:
    case btPageFooter:
    case btMasterFooter:
    case btGroupFooter:
        return btMasterData;
    case btDetailFooter:
        return btDetailData;
    case btSubDetailFooter:
        return btSubDetailData;
    case btCrossFooter:
        return btCrossData;
    default:
        return -1;
    }
}

// The data band whose rows a footer closes: a data footer's data band (a
// chain of bands without a source counts as its first band with one), a
// group footer's the data band of its group; none for the other bands.
TfrBand *closedDataBand(TfrBand *footer)
{
    TfrBand *data = nullptr;
    switch (footer->Typ) {
    case btMasterFooter:
    case btDetailFooter:
    case btSubDetailFooter:
        data = footer->DataBand;
        break;
    case btGroupFooter:
        if (TfrBand *group = footer->DataBand; group && footer->Parent)
            for (TfrBand *d = footer->Parent->BandOf(btMasterData); d && !data; d = d->Next)
                for (TfrBand *g = d->FirstGroup; g; g = g->NextGroup)
                    if (g == group) {
                        data = d;
                        break;
                    }
        break;
    default:
        break;
    }
    if (!data || !data->IsDataBand())
        return nullptr;
    for (TfrBand *b = data; b; b = b->Prev)
        if (b->DataSet)
            return b;
    return data;
}

} // namespace

void AggregateFunction(int kind, const QString &p1, const QString &p2, const QString &p3, Variant &result)
{
    BuildState &state = library().State;
    result = Variant(QStringLiteral("0"));
    auto *current = static_cast<TfrBand *>(state.CurrentBand);
    if (!current)
        return;
    const QString bandArg = (kind == agCount ? p1 : p2).trimmed();
    const QString flag = kind == agCount ? p2 : p3;
    const QString expression = kind == agCount ? p1 : p1;
    auto keyFor = [&](const QString &bandPart) {
        return bandPart + kAggregateSeparator + QChar(kind) + kAggregateSeparator + expression + kAggregateSeparator
               + flag + kAggregateSeparator;
    };
    if (state.RegisteringAggregates) {
        auto *setup = static_cast<TfrBand *>(state.CurrentDataBand);
        if (!setup)
            return;
        QString name = bandArg;
        if (name.isEmpty()) {
            if (setup->Typ != expectedDataType(current->Typ))
                return;
            // A footer's total belongs to the data band it closes, not to
            // every data band of its level in turn (the last one would
            // keep it, and the first list's footer would show 0).
            if (TfrBand *closed = closedDataBand(current); closed && closed != setup)
                return;
            name = setup->Name;
        }
        if (name.compare(setup->Name, Qt::CaseInsensitive) != 0)
            return;
        QString bandPart = current->Name;
        if (current->Typ != btCrossFooter && current->HasCross())
            bandPart = QStringLiteral("0") + kAggregateSeparator + bandPart;
        setup->Values.SetVariable(keyFor(bandPart), kind == agMin ? Variant(kMinStart) : Variant(0));
        current->AggregateSource = setup;
        return;
    }
    TfrBand *source = current->AggregateSource;
    if (!source)
        return;
    if (current->Typ == btCrossData) {
        TfrBand *row = source;
        if (!row->AggregateSource)
            return;
        result = row->AggregateSource->GetAggregate(QString::number(current->Parent->ColPos) + kAggregateSeparator
                                                    + keyFor(row->Name));
        return;
    }
    if (source->HasCross() || current->HasCross())
        result = source->GetAggregate(QString::number(current->Parent->ColPos) + kAggregateSeparator + keyFor(current->Name));
    else
        result = source->GetAggregate(keyFor(current->Name));
}

} // namespace reports
