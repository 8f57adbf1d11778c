#pragma once
// Small report classes for the tests of the library's base: a report that
// keeps data sets and variables in its PropData, a page and a text object.

#include "xmlreports/Component.h"
#include "xmlreports/DataSets.h"
#include "xmlreports/Options.h"

namespace xmltest {

using namespace xmlreports;

class TfrxTestReport : public TfrxComponent {
    TOLVANE_CLASSINFO
public:
    explicit TfrxTestReport(TComponent *owner = nullptr);
    ~TfrxTestReport() override;
    bool IsReport() const override { return true; }
    TStringList *ScriptText() const { return script_; }
    void SetScriptText(TStringList *list) { script_->Assign(list); }
    TfrxEngineOptions *EngineOptions() const { return engine_; }
    TfrxReportOptions *ReportOptions() const { return options_; }
    TfrxReportDataSets &DataSets() { return dataSets_; }
    TfrxVariables &Variables() { return variables_; }
    void DefineProperties(platform::classlib::TFiler &filer) override;

private:
    TStringList *script_;
    TfrxEngineOptions *engine_;
    TfrxReportOptions *options_;
    TfrxReportDataSets dataSets_;
    TfrxVariables variables_;
};

class TfrxTestPage : public TfrxComponent {
    TOLVANE_CLASSINFO
public:
    using TfrxComponent::TfrxComponent;
    bool IsPage() const override { return true; }
    double PaperWidth = 210;
};

class TfrxTestMemo : public TfrxReportComponent {
    TOLVANE_CLASSINFO
public:
    explicit TfrxTestMemo(TComponent *owner = nullptr);
    ~TfrxTestMemo() override;
    TWideStrings *TextLines() const override { return memo_; }
    TWideStrings *Memo() const { return memo_; }
    void SetMemo(TWideStrings *memo) { memo_->Assign(memo); }
    TfrxFrame *Frame() const { return frame_; }
    void SetFrame(TfrxFrame *frame) { frame_->Assign(frame); }
    TfrxComponent *Link = nullptr;
    int Align = baNone;
    bool AutoWidth = false;
    int AlignValue() const override { return Align; }
    bool AutoWidthOn() const override { return AutoWidth; }

private:
    TWideStrings *memo_;
    TfrxFrame *frame_;
};

// Registers the classes above with the library's own (once).
void registerTestClasses();

} // namespace xmltest
