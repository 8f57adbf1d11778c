// The report component's building half: creation, the passes of a build and
// the progress display.
#include "reports/model/ReportComponent.h"

#include "reports/build/BandRuntime.h"
#include "reports/model/DataDictionary.h"
#include "reports/build/FunctionLibraries.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/language/ResourceTexts.h"

#include "platform/UserAnswers.h"

#include <QBuffer>


namespace reports {

namespace {

// What a script of the report being built may change.
class ReportHost : public ScriptHost {
public:
    explicit ReportHost(TfrReport &report) : report_(report) {}
    bool SetDictionaryVariable(const QString &, const Variant &) override { return false; }
    void SetModalResult(int result) override
    {
        if (Page *page = library().State.CurrentPage; page && page->PageType == 1)
            page->ModalResult = result;
    }
    void SetCurY(int y) override
    {
        BuildState &state = library().State;
        if (Page *page = state.CurrentPage)
            page->CurY = y;
        if (auto *band = static_cast<TfrBand *>(state.CurrentBand))
            band->KeepCurY = true;
    }
    void ShowProgress(const QString &text) override
    {
        if (report_.Windows)
            report_.Windows->SetProgressLine(text);
    }
    bool SetObjectProperty(const QString &name, const Variant &value) override
    {
        const PropertyTarget target = FindObjectForProperty(name);
        if (!target.Object)
            return false;
        if (target.Object->GetProperty(target.Property).isNull() && !target.Object->FindProperty(target.Property))
            return false;
        target.Object->SetProperty(target.Property, value);
        return true;
    }

private:
    TfrReport &report_;
};

QString progressCaption(const TfrReport &report)
{
    QString caption = GetResourceText(55203);
    if (!report.Title.isEmpty())
        caption += QStringLiteral(" - ") + report.Title;
    return caption;
}

} // namespace

std::unique_ptr<ScriptHost> MakeReportHost(TfrReport &report)
{
    return std::make_unique<ReportHost>(report);
}

void TfrReport::Clear()
{
    Pages.clear();
    Dictionary->Clear();
    DoublePass = false;
    ResetReportInfo();
    BuildState &state = library().State;
    state.CurrentView = nullptr;
    state.CurrentBand = nullptr;
    state.CurrentPage = nullptr;
    state.DocumentMode = 0;
}

void TfrReport::installHandlers()
{
    if (!host_)
        host_ = std::make_unique<ReportHost>(*this);
    ReportLibrary &lib = library();
    lib.ReportParser.OnGetValue = [this](const QString &name, Variant &value) { GetVariableValue(name, value); };
    lib.ReportParser.OnFunction = [this](const QString &name, const QString &p1, const QString &p2,
                                         const QString &p3, Variant &value) { DoFunction(name, p1, p2, p3, value); };
    lib.State.CurrentScriptHost = host_.get();
}

void TfrReport::SetPrinterTo(const QString &name)
{
    if (!PrintToDefault) {
        Printer &printer = ReportPrinter();
        const int index = printer.Printers.indexOf(name);
        if (index >= 0 && index != printer.PrinterIndex())
            printer.SetPrinterIndex(index);
    }
    PrnName = name;
}

bool TfrReport::PrepareReport()
{
    BuildState &state = library().State;
    // The library's own functions (the aggregates among them) are there for
    // every build, whoever started the program.
    RegisterStandardFunctionLibraries();
    SetPrinterTo(PrnName);
    state.DocumentMode = 1;
    RunDateTime = QDateTime::currentDateTime();
    state.CurrentPage = nullptr;
    state.CurrentBand = nullptr;
    state.CurrentReport = state.MasterReport = this;
    TwoPassRequested = DoublePass;
    installHandlers();

    // The build runs on the template; its stored form is put back afterwards,
    // so nothing a script changed stays in it.
    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    SaveToStream(saved);
    if (OnBeginDoc)
        OnBeginDoc();
    const bool completed = RunPasses();
    if (OnEndDoc)
        OnEndDoc();
    const bool errorFlag = state.ClassErrorFlag;
    const QString errorText = state.ClassErrorText;
    if (saved.size() > 0) {
        saved.seek(0);
        LoadFromStream(saved);
    }
    FinalPass = false;
    bool result = completed && !Terminated;
    if (state.StopBuild)
        result = false;
    if (errorFlag) {
        platform::answers().messageDlg(errorText, platform::MsgType::Error, platform::mbOK, GetResourceText(55206));
        EMFPages->Clear();
        result = false;
    } else if (state.StopBuild) {
        EMFPages->Clear();
    }
    state.ClassErrorFlag = false;
    state.ClassErrorText.clear();
    state.MeasuringPass = 0;
    state.CurrentBand = nullptr;
    return result;
}

void TfrReport::RunPass()
{
    DoBuildReport();
}

bool TfrReport::RunPasses()
{
    BuildState &state = library().State;
    auto begin = [&] {
        Terminated = false;
        state.AppendToPrevPage = false;
        state.MeasuringPass = 0;
        FinalPass = true;
        state.PageNo = 0;
        EMFPages->Clear();
    };
    begin();
    QString line;
    if (DoublePass) {
        state.MeasuringPass = 1;
        FinalPass = false;
        line = GetResourceText(55204);
    } else {
        line = GetResourceText(55205);
        if (!TwoPassRequested)
            TotalPages = 0;
    }
    auto work = [this, &state] {
        RunPass();
        if (FinalPass) {
            if (Windows)
                Windows->CloseProgress(Terminated ? 2 : 1);
            return;
        }
        TotalPages = EMFPages->Count();
        if (Terminated) {
            EMFPages->Clear();
            if (Windows)
                Windows->CloseProgress(2);
            return;
        }
        // The second pass is the final one: it knows the page count.
        Terminated = false;
        state.AppendToPrevPage = false;
        state.MeasuringPass = 0;
        FinalPass = true;
        state.PageNo = 0;
        EMFPages->Clear();
        if (Windows)
            Windows->SetProgressLine(GetResourceText(55205) + QStringLiteral("  1"));
        DoublePass = false;
        RunPass();
        DoublePass = true;
        if (Windows)
            Windows->CloseProgress(Terminated ? 2 : 1);
    };
    if (OnProgress || !ShowProgress || !Windows) {
        work();
        return true;
    }
    return Windows->RunProgress(progressCaption(*this), line + QStringLiteral("  1"), work);
}

void TfrReport::DoBuildReport()
{
    BuildState &state = library().State;
    CanRebuild = true;
    state.DocumentMode = 1;
    state.CurrentReport = this;
    Dictionary->PrepareValues();
    installHandlers();
    state.ClassErrorFlag = false;
    const bool multiple = ReportDataset && ReportType == TfrReportType::rtMultiple;
    if (multiple) {
        ReportDataset->Init();
        ReportDataset->First();
    }
    const bool finalOfTwo = FinalPass && TwoPassRequested;
    if (!finalOfTwo) {
        for (const auto &p : Pages)
            p->Skip = false;
        state.StopBuild = false;
    }
    auto guarded = [this](const std::function<void()> &step) {
        try {
            step();
        } catch (const std::exception &e) {
            ReportExpressionError(QString::fromUtf8(e.what()));
            Terminated = true;
        }
    };
    for (const auto &p : Pages) {
        if (p->PageType != 1)
            continue;
        guarded([&] { p->InitReport(); });
        if (state.StopBuild)
            break;
    }
    if (!state.StopBuild) {
        for (const auto &p : Pages)
            if (p->PageType == 0) {
                state.CurrentPage = p.get();
                guarded([&] { p->InitReport(); });
            }
        if (!finalOfTwo || !DoublePass)
            for (const auto &p : Pages)
                if (p->PageType == 0 && !Terminated) {
                    state.CurrentPage = p.get();
                    guarded([&] { p->PrepareObjectsForBuild(); });
                }
        while (!Terminated) {
            ShowProgressPage(state.PageNo + 1);
            for (size_t i = 0; i < Pages.size() && !Terminated; ++i) {
                Page *page = Pages[i].get();
                state.CurrentPage = page;
                page->PageNumber = static_cast<int>(i) + 1;
                if (!page->Visible)
                    guarded([&] { page->RunScript(page->Script); });
                else if (page->PageType == 0 && !page->Skip) {
                    page->Mode = 0;
                    guarded([&] { page->FormPage(); });
                }
                if (i + 1 < Pages.size() && Pages[i + 1]->PrintToPrevPage) {
                    --state.PageNo;
                    state.AppendToPrevPage = true;
                } else {
                    state.PageNo = EMFPages->Count();
                    ShowProgressPage(state.PageNo);
                }
            }
            ShowProgressPage(state.PageNo);
            if (!multiple)
                break;
            ReportDataset->Next();
            if (ReportDataset->Eof())
                break;
        }
    }
    for (const auto &p : Pages)
        if (p->PageType == 0)
            p->DoneReport();
    for (const auto &p : Pages)
        if (p->PageType == 1)
            p->DoneReport();
    if (multiple)
        ReportDataset->Exit();
}

void TfrReport::ShowProgressPage(int n)
{
    if (OnProgress) {
        OnProgress(n);
        return;
    }
    if (!ShowProgress || !Windows)
        return;
    QString text = (FinalPass || !TwoPassRequested ? GetResourceText(55205) : GetResourceText(55204))
                   + QStringLiteral("  ") + QString::number(n);
    if ((FinalPass && TwoPassRequested) || CurrentFilter)
        text += QStringLiteral(" ") + GetResourceText(55199) + QStringLiteral(" ") + QString::number(TotalPages);
    Windows->SetProgressLine(text);
}

void TfrReport::ShowReport()
{
    if (PrepareReport())
        ShowPreparedReport();
}

TfrReport::~TfrReport()
{
    BuildState &state = library().State;
    if (state.CurrentReport == this)
        state.CurrentReport = nullptr;
    if (state.MasterReport == this)
        state.MasterReport = nullptr;
    if (state.CurrentScriptHost == host_.get())
        state.CurrentScriptHost = nullptr;
}

void TfrReport::ResetReportInfo()
{
    ReportComment.clear();
    ReportName.clear();
    ReportAutor.clear();
    ReportVersionMajor.clear();
    ReportVersionMinor.clear();
    ReportVersionRelease.clear();
    ReportVersionBuild.clear();
    ReportPassword.clear();
    ReportCreateDate = ReportLastChange = NowAsDays();
    ReportPasswordFlag = 0;
    ReportGeneratorVersion = 88;
}

} // namespace reports
