// The page engine: a report page's objects turned into linked runtime bands,
// the aggregates registered, and the page formed from its data sources level
// by level, with new pages, columns, page footers and the recording a
// subreport replays.
#include "reports/build/BandRuntime.h"
#include "reports/language/FunctionSplitter.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"

#include <algorithm>
#include <cmath>

namespace reports {


namespace {

int preparedCount()
{
    TfrReport *r = MasterTfrReport();
    return r ? r->EMFPages->Count() : 0;
}

void addPreparedPage(const Page &page)
{
    if (TfrReport *r = MasterTfrReport())
        r->EMFPages->Add(page);
}

void fireEndPage(int pageNo)
{
    BuildState &state = library().State;
    auto fire = [pageNo](Report *r) {
        if (auto *report = dynamic_cast<TfrReport *>(r); report && report->OnEndPage)
            report->OnEndPage(pageNo);
    };
    fire(state.CurrentReport);
    if (state.MasterReport != state.CurrentReport)
        fire(state.MasterReport);
}

void compileInPlace(QStringList &script)
{
    if (script.isEmpty())
        return;
    QStringList errors;
    library().ReportInterpreter.PrepareScript(script, script, errors);
}

bool finalPassOfTwo()
{
    TfrReport *r = MasterTfrReport();
    return r && r->FinalPass && r->TwoPassRequested;
}

} // namespace

// Made and ended here, where its runtime bands are known: the page owns them.
Page::Page()
{
    ChangePaper(pgSize, pgWidth, pgHeight, pgBin, pgOr);
}

Page::~Page() = default;

int Page::RunBottomMargin() const
{
    int bottom = BottomMargin();
    if (library().State.DocumentMode == 1)
        if (TfrBand *footer = BandOf(btPageFooter); footer && footer->IsDefined())
            bottom -= footer->dy;
    return bottom;
}

int Page::ColumnFooterHeight() const
{
    if (!ColumnFooterCounts)
        return 0;
    TfrBand *footer = BandOf(btColumnFooter);
    return footer && footer->IsDefined() ? footer->dy : 0;
}

void Page::FreeBands()
{
    for (const auto &o : Objects)
        if (o->ObjectType == 2)
            static_cast<BandView *>(o.get())->Runtime = nullptr;
    RunBands.clear();
    OwnedBands.clear();
    LastBand = WasBand = nullptr;
    RecordList.clear();
}

// ---------------------------------------------------------------------------
// Preparing

void Page::InitReport()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    if (PageType == 1) {
        if (finalPassOfTwo())
            return;
        state.CurrentPage = this;
        ModalResult = 0;
        if (!Objects.empty() && Visible) {
            if (report && report->Windows)
                report->Windows->SetProgressVisible(false);
            RunScript(Script);
            if (ModalResult != 0) {
                if (ModalResult == 2)
                    state.StopBuild = true;
            } else {
                const int result = report && report->Windows ? report->Windows->ShowDialogPage(*this) : 1;
                if (result == 2)
                    state.StopBuild = true;
            }
            if (report && report->Windows)
                report->Windows->SetProgressVisible(true);
        } else {
            RunScript(Script);
        }
        InitFlag = true;
        return;
    }
    if (finalPassOfTwo() && !RunBands.empty()) {
        for (const auto &o : Objects)
            if (auto *memo = dynamic_cast<MemoView *>(o.get()))
                memo->LastText.clear();
        for (TfrBand *b : RunBands)
            if (b && b->DataSet)
                b->DataSet->First();
        return;
    }
    FreeBands();
    for (int t = 0; t <= btNone; ++t) {
        OwnedBands.push_back(std::make_unique<TfrBand>(t, this));
        RunBands.push_back(OwnedBands.back().get());
    }
    PrepareObjects();
    CurPos = ColPos = 1;
    InitFlag = true;
}

void Page::PrepareObjects()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    Page *savedPage = state.CurrentPage;
    View *savedView = state.CurrentView;
    state.CurrentPage = this;
    std::vector<View *> free;
    for (const auto &ptr : Objects) {
        View *o = ptr.get();
        o->PreparedMode = true;
        o->ParentBand = nullptr;
        o->Selected = o->ObjectType != 2;
        compileInPlace(o->Script);
        if (auto *sub = dynamic_cast<SubReportView *>(o); sub && report)
            if (Page *shown = report->PageAt(sub->PageIndex); shown && shown != this)
                shown->Skip = true;
    }

    auto fill = [](TfrBand *band, BandView *view) {
        band->View = view;
        view->Runtime = band;
        band->Memo = view->Memo;
        band->Script = view->Script;
        band->Name = view->Name;
        band->x = view->Left;
        band->dx = view->Width;
        band->y = view->Top;
        band->dy = view->Height;
        const quint16 f = view->Flags;
        band->Stretched = f & flBandStretched;
        band->FormNewPage = f & flBandNewPageAfter;
        band->PrintIfSubsetEmpty = f & flBandPrintIfSubsetEmpty;
        band->PageBreak = f & flBandBreaked;
        band->OnFirstPage = f & flBandOnFirstPage;
        band->OnLastPage = f & flBandOnLastPage;
        band->RepeatHeader = f & flBandRepeatHeader;
        band->PrintChildIfInvisible = f & flBandPrintChildIfInvisible;
        band->Visible = view->Visible;
        band->ColumnCounter = 1;
    };
    auto bandViews = [this](int type) {
        std::vector<BandView *> out;
        for (const auto &o : Objects)
            if (o->ObjectType == 2 && static_cast<BandView *>(o.get())->GetBandType() == type)
                out.push_back(static_cast<BandView *>(o.get()));
        return out;
    };

    // Cross bands take the objects lying wholly inside their columns.
    for (int t = btCrossHeader; t <= btCrossFooter; ++t) {
        const auto views = bandViews(t);
        if (views.empty())
            continue;
        TfrBand *band = RunBands[t];
        fill(band, views.front());
        state.CurrentView = views.front();
        if (!views.front()->DisplayFormatText.contains(u';'))
            band->SetDataSource(views.front()->DisplayFormatText);
        for (const auto &ptr : Objects) {
            View *o = ptr.get();
            if (o->ObjectType == 2 || o->ParentBand)
                continue;
            if (o->Left >= band->x && o->Left + o->Width <= band->x + band->dx) {
                o->ParentBand = band;
                o->Left -= band->x;
                band->Objects.push_back(o);
            }
        }
    }

    auto holds = [](const TfrBand *band, const View *o) { return o->Top >= band->y && o->Top <= band->y + band->dy; };
    for (int t = 0; t < btCrossHeader || t == btChild; t = t + 1 == btCrossHeader ? btChild : t + 1) {
        const auto views = bandViews(t);
        if (views.empty())
            continue;
        std::vector<TfrBand *> chain;
        for (size_t i = 0; i < views.size(); ++i) {
            TfrBand *band = RunBands[t];
            if (i > 0) {
                OwnedBands.push_back(std::make_unique<TfrBand>(t, this));
                band = OwnedBands.back().get();
            }
            fill(band, views[i]);
            // A source that cannot be taken is reported with the band's name.
            state.CurrentView = views[i];
            band->SetDataSource(views[i]->DisplayFormatText);
            // Loose objects first, then the cross-band objects, subreports last.
            for (int pass = 0; pass < 3; ++pass)
                for (const auto &ptr : Objects) {
                    View *o = ptr.get();
                    if (o->ObjectType == 2 || !holds(band, o))
                        continue;
                    const bool sub = o->ObjectType == 3;
                    const bool crossObject = o->ParentBand && o->ParentBand != band;
                    const bool freeObject = o->Selected && !o->ParentBand;
                    if ((pass == 0 && freeObject && !sub) || (pass == 1 && crossObject)
                        || (pass == 2 && freeObject && sub)) {
                        band->Objects.push_back(o);
                        if (!crossObject) {
                            o->ParentBand = band;
                            o->Selected = false;
                        }
                    }
                }
            chain.push_back(band);
        }
        std::stable_sort(chain.begin(), chain.end(), [](const TfrBand *a, const TfrBand *b) { return a->y < b->y; });
        RunBands[t] = chain.front();
        for (size_t i = 0; i < chain.size(); ++i) {
            chain[i]->Prev = i > 0 ? chain[i - 1] : nullptr;
            chain[i]->Next = i + 1 < chain.size() ? chain[i + 1] : nullptr;
        }
    }
    // Positions become relative to the band that holds the object.
    for (TfrBand *first : RunBands)
        for (TfrBand *b = first; b; b = b->Next)
            if (b->Typ < btCrossHeader || b->Typ == btChild)
                for (View *o : b->Objects)
                    if (o->ParentBand == b)
                        o->Top -= b->y;
    for (TfrBand *first : RunBands)
        for (TfrBand *b = first; b; b = b->Next)
            if (b->Typ < btCrossHeader || b->Typ == btChild)
                for (View *o : b->Objects)
                    if (o->ParentBand && o->ParentBand != b)
                        o->Top -= b->y;

    // The rest lie outside every band.
    TfrBand *loose = RunBands[btNone];
    loose->y = 0;
    for (const auto &ptr : Objects)
        if (ptr->ObjectType != 2 && ptr->Selected && !ptr->ParentBand) {
            ptr->ParentBand = loose;
            ptr->Selected = false;
            loose->Objects.push_back(ptr.get());
        }

    // Headers and footers of each data level.
    for (int level = 0; level < 3; ++level) {
        const int header = btMasterHeader + 3 * level, data = header + 1, footer = header + 2;
        for (TfrBand *h = RunBands[header]; h && h->View; h = h->Next)
            for (TfrBand *d = RunBands[data]; d && d->View; d = d->Next)
                if (d->y > h->y + h->dy) {
                    if (!d->HeaderBand) {
                        d->HeaderBand = h;
                        h->DataBand = d;
                    }
                    break;
                }
        for (TfrBand *f = RunBands[footer]; f && f->View; f = f->Next) {
            TfrBand *before = nullptr;
            TfrBand *d = RunBands[data];
            for (; d && d->View; d = d->Next) {
                if (d->y + d->dy > f->y)
                    break;
                before = d;
            }
            if (before && !before->FooterBand) {
                before->FooterBand = f;
                f->DataBand = before;
            }
        }
    }
    // Group headers and footers in order.
    {
        TfrBand *g = RunBands[btGroupHeader];
        TfrBand *f = RunBands[btGroupFooter];
        for (; g && g->View && f && f->View; g = g->Next, f = f->Next) {
            g->FooterBand = f;
            f->DataBand = g;
        }
    }
    // Cross data sources of row bands: "band=source;" pairs.
    if (TfrBand *cross = RunBands[btCrossData]; cross->View && cross->View->DisplayFormatText.contains(u';')) {
        const QStringList pairs = cross->View->DisplayFormatText.split(u';', Qt::SkipEmptyParts);
        for (const QString &pair : pairs) {
            const QString name = pair.section(u'=', 0, 0).trimmed();
            const QString source = pair.section(u'=', 1);
            for (int t = btMasterHeader; t <= btChild; ++t)
                for (TfrBand *b = RunBands[t]; b && b->View; b = b->Next)
                    if (b->View->Name.compare(name, Qt::CaseInsensitive) == 0) {
                        bool owned = false;
                        b->CrossDataSet = resolveBandSource(source, owned);
                        b->OwnsCrossDataSet = owned;
                        if (b->CrossDataSet)
                            b->CrossDataSet->Init();
                    }
        }
    }
    // Children; a name that is no band of the page links nothing.
    for (TfrBand *first : RunBands)
        for (TfrBand *b = first; b && b->View; b = b->Next)
            if (!b->View->ChildBand.isEmpty()) {
                View *child = FindObject(b->View->ChildBand);
                if (child && child->ObjectType == 2 && child != b->View)
                    b->Child = static_cast<BandView *>(child)->Runtime;
            }
    // Group headers join the group list of their master data band.
    if (TfrBand *master = RunBands[btMasterData]; master->View) {
        for (TfrBand *g = RunBands[btGroupHeader]; g && g->View; g = g->Next) {
            TfrBand *data = master;
            if (!g->View->Master.isEmpty()) {
                View *named = FindObject(g->View->Master);
                data = named && named->ObjectType == 2 ? static_cast<TfrBand *>(static_cast<BandView *>(named)->Runtime) : nullptr;
            }
            if (!data)
                continue;
            if (!data->FirstGroup) {
                data->FirstGroup = g;
            } else {
                data->LastGroup->NextGroup = g;
                g->PrevGroup = data->LastGroup;
            }
            data->LastGroup = g;
        }
    }
    if (ColCount == 0)
        ColCount = 1;
    ColWidth = (RightMargin() - LeftMargin() - (ColCount - 1) * ColGap) / ColCount;
    state.CurrentPage = savedPage;
    state.CurrentView = savedView;
}

void Page::PrepareObjectsForBuild()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    // Objects that show one data field are bound to it for blob content.
    for (const auto &ptr : Objects) {
        View *o = ptr.get();
        o->BlobDataSet = nullptr;
        o->BlobField.clear();
        const QString text = o->Memo.join(QString());
        if (o->Memo.size() != 1 || !text.startsWith(u'[') || text.size() <= 2)
            continue;
        if (o->ObjectType == 0 && (o->Flags & flTextOnly))
            continue;
        const QString ref = text.mid(1, text.lastIndexOf(u']') - 1);
        const QString setName = ref.section(u'.', 0, -2).section(u'.', -1);
        const QString field = ref.section(u'.', -1).remove(u'"');
        if (!report || setName.isEmpty())
            continue;
        for (Dataset *d : report->Components)
            if (auto *db = dynamic_cast<DBDataSet *>(d); db && db->Name.compare(setName, Qt::CaseInsensitive) == 0) {
                o->BlobDataSet = db->DataSet();
                o->BlobField = field;
            }
    }

    // Aggregates register with the data band they sum over.
    static const std::vector<int> shownIn[3] = {{3, 15, 6, 17, 1}, {3, 15, 6, 9, 17, 1}, {3, 15, 6, 9, 12, 17, 1}};
    Variables none;
    state.RegisteringAggregates = true;
    Page *savedPage = state.CurrentPage;
    state.CurrentPage = this;
    auto search = [&](TfrBand *band) {
        QStringList calls;
        AggregateFunctionsSplitter splitter(none, calls);
        splitter.SplitScript(band->Script);
        for (View *o : band->Objects) {
            splitter.SplitMemo(o->Memo);
            splitter.SplitScript(o->Script);
        }
        state.CurrentBand = band;
        state.CurrentView = band->View;
        for (const QString &call : calls)
            library().ReportParser.Calc(call);
    };
    try {
        for (int level = 0; level < 3; ++level) {
            for (TfrBand *d = RunBands[btMasterData + 3 * level]; d && d->View; d = d->Next) {
                state.CurrentDataBand = d;
                for (int type : shownIn[level])
                    for (TfrBand *b = RunBands[type]; b && b->View; b = b->Next) {
                        search(b);
                        if (b == RunBands[type])
                            for (TfrBand *c = b->ChildBand(); c && c != b; c = c->ChildBand() == c ? nullptr : c->ChildBand())
                                search(c);
                    }
            }
        }
        if (TfrBand *cross = RunBands[btCrossData]; cross->View) {
            state.CurrentDataBand = cross;
            for (TfrBand *b = RunBands[btCrossFooter]; b && b->View; b = b->Next)
                search(b);
        }
    } catch (const std::exception &e) {
        ReportExpressionError(QString::fromUtf8(e.what()));
    }
    state.RegisteringAggregates = false;
    state.CurrentDataBand = nullptr;
    state.CurrentBand = nullptr;
    state.CurrentPage = savedPage;
}

// ---------------------------------------------------------------------------
// Forming

void Page::ShowBand(TfrBand *band)
{
    if (!band)
        return;
    if (Mode == 1) {
        RecordList.push_back({Record::Draw, band});
        return;
    }
    band->Draw();
}

void Page::ShowBandByName(const QString &name)
{
    for (TfrBand *first : RunBands)
        for (TfrBand *b = first; b; b = b->Next)
            if (b->View && b->View->Name.compare(name, Qt::CaseInsensitive) == 0) {
                ShowBand(b);
                return;
            }
}

void Page::FormPage()
{
    BuildState &state = library().State;
    TfrReport *report = CurrentTfrReport();
    const bool manual = report && report->OnManualBuild;
    TfrBand *master = BandOf(btMasterData);

    if (report && !report->PrintIfEmpty) {
        bool empty = true;
        if (master && master->DataSet) {
            try {
                master->DataSet->First();
                empty = master->DataSet->Eof();
            } catch (const std::exception &) {
                empty = true;
            }
        }
        if (empty) {
            if (state.AppendToPrevPage)
                ++state.PageNo;
            return;
        }
    }
    DisableRepeatHeader = false;
    if (Mode == 0) {
        RunScript(Script);
        if (state.AppendToPrevPage && state.SavedCurY >= state.SavedCurBottomY) {
            state.AppendToPrevPage = false;
            state.FooterAtEnd = false;
            state.PageNo = preparedCount();
        }
        CurBottomY = state.AppendToPrevPage && state.FooterAtEnd ? state.SavedCurBottomY : RunBottomMargin();
        CurColumn = 0;
        XAdjust = LeftMargin();
        RunTopY = TopMargin();
        if (state.AppendToPrevPage) {
            // The continued page is the last one prepared.
            state.PageNo = std::max(0, preparedCount() - 1);
            CurY = state.SavedCurY;
        } else {
            addPreparedPage(*this);
            CurY = TopMargin();
            ShowBand(BandOf(btOverlay));
            ShowBand(BandOf(btNone));
        }
        LastStaticColumnY = CurY;
        if (!manual) {
            const int before = preparedCount();
            ShowBand(BandOf(btReportTitle));
            if (preparedCount() == before) {
                TfrBand *header = BandOf(btPageHeader);
                if (header && header->IsDefined() && header->OnFirstPage)
                    ShowBand(header);
                LastStaticColumnY = CurY;
                ShowBand(BandOf(btColumnHeader));
            }
        }
    }
    if (!manual) {
        int deepest = 0;
        for (int level = 1; level <= 3; ++level)
            if (TfrBand *d = BandOf(btMasterData + 3 * (level - 1)); d && d->IsDefined())
                deepest = level;
        std::vector<TfrBand *> pending;
        if (deepest > 0)
            dataLoop(1, deepest, pending);
    }
    if (Mode == 0) {
        if (manual) {
            report->OnManualBuild(this);
        } else {
            DisableRepeatHeader = true;
            ShowBand(BandOf(btColumnFooter));
            ColumnFooterCounts = false;
            ShowBand(BandOf(btReportSummary));
            ColumnFooterCounts = true;
            DisableRepeatHeader = false;
        }
        state.SavedCurY = CurColumn > 0 ? CurBottomY : CurY;
        state.SavedCurBottomY = CurBottomY;
        CurColumn = 0;
        XAdjust = LeftMargin();
        if (!manual) {
            TfrBand *footer = BandOf(btPageFooter);
            state.FooterAtEnd = false;
            if (footer && ((preparedCount() == 1 && footer->OnFirstPage) || footer->OnLastPage)) {
                state.FooterAtEnd = footer->IsDefined();
                printPageFooters(true);
            }
        }
        const int pageNo = state.PageNo;
        fireEndPage(pageNo);
        state.PageNo = pageNo + 1;
    }
    WasBand = nullptr;
}

void Page::dataLoop(int level, int deepest, std::vector<TfrBand *> &pending)
{
    auto push = [&pending](TfrBand *b) {
        if (b)
            pending.push_back(b);
    };
    auto flush = [this, &pending] {
        std::vector<TfrBand *> bands;
        bands.swap(pending);
        for (TfrBand *b : bands)
            if (b->IsDefined())
                ShowBand(b);
    };
    const int dataType = btMasterData + 3 * (level - 1);
    for (TfrBand *band = BandOf(dataType); band && !BuildStopped(); band = band->Next) {
        Dataset *ds = band->DataSet;
        if (!ds || !band->View)
            continue;
        ds->First();
        if (Mode == 1) {
            RecordList.push_back({Record::Rewind, band});
        } else {
            band->LinePos = band->LineThrough = 1;
            band->ClearLastTexts();
        }
        for (TfrBand *g = band->FirstGroup; g; g = g->NextGroup) {
            g->LinePos = g->LineThrough = 0;
            g->ClearLastTexts();
            g->HasGroupValue = false;
        }
        if (ds->Eof())
            continue;
        push(band->HeaderBand);
        for (TfrBand *g = band->FirstGroup; g; g = g->NextGroup) {
            push(g);
            ++g->LinePos;
            ++g->LineThrough;
        }
        if (band->FooterBand)
            band->FooterBand->InitValues();

        while (!ds->Eof() && !BuildStopped()) {
            push(band);
            if (band->PrintIfSubsetEmpty)
                flush();
            bool counted = true;
            if (level < deepest) {
                dataLoop(level + 1, deepest, pending);
                if (!pending.empty()) {
                    if (band->PrintIfSubsetEmpty) {
                        flush();
                    } else {
                        pending.pop_back();
                        counted = false;
                    }
                }
            } else {
                flush();
            }
            ds->Next();

            for (TfrBand *g = band->FirstGroup; g; g = g->NextGroup) {
                const bool atEnd = ds->Eof();
                bool changed = atEnd || !g->HasGroupValue;
                if (!changed) {
                    const Variant now = g->GroupCondition.isEmpty() ? Variant() : library().ReportParser.CalcPostfix(g->GroupCondition);
                    changed = platform::varCompare(now, g->LastGroupValue) != platform::VarRelation::Equal;
                }
                if (!changed)
                    continue;
                // The footers show the group's last record: the one before
                // the current, or, at the end of the data, the current one
                // (a data set at its end stays on its last record, so moving
                // back would show the one before it and print the last twice).
                bool movedBack = !atEnd;
                if (movedBack) {
                    try {
                        ds->Prior();
                    } catch (const std::exception &) {
                        movedBack = false;
                    }
                }
                for (TfrBand *h = band->LastGroup; h && h != g; h = h->PrevGroup) {
                    push(h->FooterBand);
                    h->LinePos = h->LineThrough = 0;
                    if (h->FooterBand)
                        h->FooterBand->LinePos = h->FooterBand->LineThrough = 0;
                }
                push(g->FooterBand);
                flush();
                if (movedBack)
                    ds->Next();
                if (atEnd)
                    break;
                if (Mode == 0 && g->Visible && g->FormNewPage)
                    NewPage();
                for (TfrBand *h = g; h; h = h->NextGroup) {
                    push(h);
                    ++h->LinePos;
                    ++h->LineThrough;
                }
                // Lines count from 1 in the new group; the record just left
                // adds its line below only when it counted.
                band->LinePos = counted ? 0 : 1;
                band->ClearLastTexts();
                break;
            }

            if (Mode == 1) {
                RecordList.push_back({Record::Next, band});
            } else if (counted) {
                ++CurPos;
                ++band->LineThrough;
                ++band->LinePos;
                if (band->Visible && band->FormNewPage && !ds->Eof())
                    NewPage();
            }
        }
        if (!pending.empty())
            pending.pop_back();
        else
            ShowBand(band->FooterBand);
    }
}

void Page::NewPage()
{
    BuildState &state = library().State;
    // A page printed inside another one starts no pages of its own.
    if (Skip)
        return;
    if (TfrReport *report = MasterTfrReport())
        report->ShowProgressPage(state.PageNo + 1);
    if (!DisableRepeatHeader)
        ShowBand(BandOf(btColumnFooter));
    PrintPageFooters();
    CurBottomY = RunBottomMargin();
    addPreparedPage(*this);
    state.AppendToPrevPage = false;
    ShowBand(BandOf(btOverlay));
    ShowBand(BandOf(btNone));
    CurY = TopMargin();
    RunTopY = CurY;
    ShowBand(BandOf(btPageHeader));
    LastStaticColumnY = CurY;
    ShowBand(BandOf(btColumnHeader));
}

void Page::PrintPageFooters()
{
    printPageFooters(false);
}

void Page::printPageFooters(bool firstPageToo)
{
    BuildState &state = library().State;
    CurColumn = 0;
    XAdjust = LeftMargin();
    TfrBand *footer = BandOf(btPageFooter);
    const int count = preparedCount();
    if (state.PageNo != 0 || firstPageToo || (footer && footer->OnFirstPage)) {
        for (; state.PageNo < count; ++state.PageNo) {
            if (state.AppendToPrevPage && state.FooterAtEnd)
                continue;
            fireEndPage(state.PageNo);
            ShowBand(footer);
        }
    }
    state.PageNo = count;
}

bool Page::ContinueOnHostPage()
{
    Page *host = HostPage;
    if (!host || host == this)
        return false;
    BuildState &state = library().State;
    state.CurrentPage = host;
    bool moved = true;
    if (host->Skip)
        moved = host->ContinueOnHostPage();
    else
        host->NewPage();
    state.CurrentPage = this;
    if (!moved)
        return false;
    CurY = RunTopY = host->CurY;
    CurBottomY = host->CurBottomY;
    return true;
}

void Page::NewColumn(TfrBand *band)
{
    if (Skip)
        return;
    if (CurColumn < ColCount - 1) {
        ShowBand(BandOf(btColumnFooter));
        ++CurColumn;
        XAdjust += ColWidth + ColGap;
        CurY = LastStaticColumnY;
        ShowBand(BandOf(btColumnHeader));
    } else {
        NewPage();
    }
    const bool fromGroup = band && band->Typ == btGroupHeader;
    for (TfrBand *g = BandOf(btGroupHeader); g && g->View; g = g->Next) {
        if (fromGroup && g == band)
            break;
        g->Reprinting = true;
        if (g->RepeatHeader && !DisableRepeatHeader)
            ShowBand(g);
        g->Reprinting = false;
    }
    if (band && band->IsDataBand() && band->HeaderBand && band->HeaderBand->RepeatHeader)
        ShowBand(band->HeaderBand);
}

// ---------------------------------------------------------------------------
// Replay

bool Page::PlayRecords()
{
    BuildState &state = library().State;
    Mode = 0;
    while (PlayFrom < static_cast<int>(RecordList.size()) && !BuildStopped()) {
        const Record &r = RecordList[PlayFrom];
        TfrBand *band = r.band;
        switch (r.kind) {
        case Record::Draw:
            if (LastBand && LastBand == band) {
                if (band->DrawSubReports()) {
                    Mode = 1;
                    return true;
                }
                LastBand = nullptr;
            } else {
                state.CurrentPage = this;
                if (band->Draw()) {
                    Mode = 1;
                    return true;
                }
            }
            break;
        case Record::Rewind:
            if (band->DataSet)
                band->DataSet->First();
            band->LinePos = 1;
            band->ClearLastTexts();
            break;
        case Record::Next:
            if (band->DataSet)
                band->DataSet->Next();
            ++CurPos;
            ++band->LineThrough;
            ++band->LinePos;
            break;
        }
        ++PlayFrom;
    }
    Mode = 1;
    return false;
}

// ---------------------------------------------------------------------------

void Page::DoneReport()
{
    TfrReport *report = MasterTfrReport();
    if (report && !report->FinalPass && report->TwoPassRequested)
        return;
    if (PageType == 1)
        ModalResult = 0;
    else
        FreeBands();
    InitFlag = false;
}

void Page::RunScript(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    BuildState &state = library().State;
    state.CurrentView = nullptr;
    QStringList compiled, errors;
    library().ReportInterpreter.PrepareScript(lines, compiled, errors);
    if (!errors.isEmpty() && compiled.isEmpty())
        return;
    library().ReportInterpreter.DoScript(compiled);
}

// ---------------------------------------------------------------------------
// Properties

namespace {

// Paper in tenths of a millimetre as report units of 5/18 mm, and back.
int tenthsToUnits(int tenths)
{
    return static_cast<int>(std::lround(tenths / 10.0 * 18.0 / 5.0));
}
int unitsToTenths(int units)
{
    return static_cast<int>(std::lround(units * 10.0 * 5.0 / 18.0));
}

} // namespace

void Page::BuildPropertyList()
{
    ClearPropertyList();
    AddEnumProperty(QStringLiteral("Type"), QStringLiteral("ptReport;ptDialog"), {Variant(0), Variant(1)});
    AddProperty(QStringLiteral("Visible"), pkBoolean);
    if (PageType == 1) {
        AddEnumProperty(QStringLiteral("BorderStyle"), QStringLiteral("bsDialog;bsSizeable"), {Variant(3), Variant(2)});
        AddProperty(QStringLiteral("Caption"), pkString);
        AddProperty(QStringLiteral("Color"), pkColor);
        AddProperty(QStringLiteral("Left"), pkInteger);
        AddProperty(QStringLiteral("Top"), pkInteger);
        AddProperty(QStringLiteral("Width"), pkInteger);
        AddProperty(QStringLiteral("Height"), pkInteger);
        AddEnumProperty(QStringLiteral("Position"), QStringLiteral("poDesigned;poScreenCenter"), {Variant(0), Variant(4)});
        AddProperty(QStringLiteral("OnActivate"), pkEditor);
        return;
    }
    const QStringList papers = ReportPrinter().PaperNames;
    AddEnumProperty(QStringLiteral("Size"), papers.isEmpty() ? QStringLiteral("No data") : papers.join(u';') + u';',
                    {Variant::null()});
    AddProperty(QStringLiteral("Width"), pkInteger | pkLength);
    AddProperty(QStringLiteral("Height"), pkInteger | pkLength);
    AddProperty(QStringLiteral("LeftMargin"), pkInteger | pkLength);
    AddProperty(QStringLiteral("TopMargin"), pkInteger | pkLength);
    AddProperty(QStringLiteral("RightMargin"), pkInteger | pkLength);
    AddProperty(QStringLiteral("BottomMargin"), pkInteger | pkLength);
    AddEnumProperty(QStringLiteral("Orientation"), QStringLiteral("poPortrait;poLandscape"), {Variant(0), Variant(1)});
    AddProperty(QStringLiteral("PrintToPrevPage"), pkBoolean);
    AddProperty(QStringLiteral("StretchToPrintable"), pkBoolean);
    AddProperty(QStringLiteral("Columns"), pkInteger);
    AddProperty(QStringLiteral("ColumnWidth"), pkInteger | pkLength);
    AddProperty(QStringLiteral("ColumnGap"), pkInteger | pkLength);
    AddProperty(QStringLiteral("OnBeforePrint"), pkEditor);
}

void Page::SetProperty(const QString &name, const Variant &value)
{
    const QString n = name.toUpper();
    if (n == u"NAME")
        Name = value.toString();
    else if (n == u"TYPE")
        PageType = value.toInt();
    else if (n == u"VISIBLE")
        Visible = value.toBool();
    else if (PageType == 1) {
        if (n == u"BORDERSTYLE")
            BorderStyle = value.toInt();
        else if (n == u"CAPTION")
            Caption = value.toString();
        else if (n == u"COLOR")
            Color = static_cast<std::uint32_t>(value.toInt64());
        else if (n == u"LEFT")
            WindowLeft = value.toInt();
        else if (n == u"TOP")
            WindowTop = value.toInt();
        else if (n == u"WIDTH")
            WindowWidth = value.toInt();
        else if (n == u"HEIGHT")
            WindowHeight = value.toInt();
        else if (n == u"POSITION")
            Position = value.toInt();
    } else if (n == u"SIZE") {
        const Printer &printer = ReportPrinter();
        const int index = value.isString() ? printer.PaperNames.indexOf(value.rawString()) : value.toInt();
        if (index >= 0 && index < printer.PaperSizesCount)
            ChangePaper(printer.PaperSizes[index], pgWidth, pgHeight, pgBin, pgOr);
    } else if (n == u"WIDTH" || n == u"HEIGHT") {
        const int tenths = unitsToTenths(value.toInt());
        ChangePaper(256, n == u"WIDTH" ? tenths : pgWidth, n == u"HEIGHT" ? tenths : pgHeight, pgBin, pgOr);
    } else if (n == u"LEFTMARGIN")
        MarginLeft = value.toInt();
    else if (n == u"TOPMARGIN")
        MarginTop = value.toInt();
    else if (n == u"RIGHTMARGIN")
        MarginRight = value.toInt();
    else if (n == u"BOTTOMMARGIN")
        MarginBottom = value.toInt();
    else if (n == u"ORIENTATION")
        ChangePaper(pgSize, pgWidth, pgHeight, pgBin, value.toInt());
    else if (n == u"PRINTTOPREVPAGE")
        PrintToPrevPage = value.toBool();
    else if (n == u"STRETCHTOPRINTABLE")
        UseMargins = !value.toBool();
    else if (n == u"COLUMNS")
        ColCount = value.toInt();
    else if (n == u"COLUMNWIDTH")
        ColWidth = value.toInt();
    else if (n == u"COLUMNGAP")
        ColGap = value.toInt();
}

Variant Page::GetProperty(const QString &name)
{
    const QString n = name.toUpper();
    const bool running = library().State.DocumentMode == 1;
    if (n == u"NAME")
        return Variant(Name);
    if (n == u"TYPE")
        return Variant(PageType);
    if (n == u"VISIBLE")
        return Variant(Visible);
    if (PageType == 1) {
        if (n == u"BORDERSTYLE")
            return Variant(BorderStyle);
        if (n == u"CAPTION")
            return Variant(Caption);
        if (n == u"COLOR")
            return Variant(static_cast<qint64>(Color));
        if (n == u"LEFT")
            return Variant(WindowLeft);
        if (n == u"TOP")
            return Variant(WindowTop);
        if (n == u"WIDTH")
            return Variant(WindowWidth);
        if (n == u"HEIGHT")
            return Variant(WindowHeight);
        if (n == u"POSITION")
            return Variant(Position);
        return Variant::null();
    }
    if (n == u"SIZE") {
        const int index = ReportPrinter().PaperSizeIndex(pgSize);
        return Variant(index);
    }
    if (n == u"WIDTH")
        return Variant(tenthsToUnits(pgWidth));
    if (n == u"HEIGHT")
        return Variant(tenthsToUnits(pgHeight));
    if (n == u"LEFTMARGIN")
        return Variant(running ? LeftMargin() : MarginLeft);
    if (n == u"TOPMARGIN")
        return Variant(running ? TopMargin() : MarginTop);
    if (n == u"RIGHTMARGIN")
        return Variant(running ? RightMargin() : MarginRight);
    if (n == u"BOTTOMMARGIN")
        return Variant(running ? RunBottomMargin() : MarginBottom);
    if (n == u"ORIENTATION")
        return Variant(pgOr);
    if (n == u"PRINTTOPREVPAGE")
        return Variant(PrintToPrevPage);
    if (n == u"STRETCHTOPRINTABLE")
        return Variant(!UseMargins);
    if (n == u"COLUMNS")
        return Variant(ColCount);
    if (n == u"COLUMNWIDTH")
        return Variant(ColWidth);
    if (n == u"COLUMNGAP")
        return Variant(ColGap);
    return Variant::null();
}

} // namespace reports
