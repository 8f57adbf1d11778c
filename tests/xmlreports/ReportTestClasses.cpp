#include "ReportTestClasses.h"

#include "platform/classlib/Filer.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/Types.h"
#include "xmlreports/Resources.h"
#include "xmlreports/Serializer.h"

namespace xmltest {

using namespace platform::classlib;

namespace {

constexpr TypeInfo tiStrings{"TStrings", Kind::Class, {}, nullptr, &TStringList::staticClassInfo};
constexpr TypeInfo tiWide{"TWideStrings", Kind::Class, {}, nullptr, &TWideStrings::staticClassInfo};
constexpr TypeInfo tiEngine{"TfrxEngineOptions", Kind::Class, {}, nullptr, &TfrxEngineOptions::staticClassInfo};
constexpr TypeInfo tiReportOptions{"TfrxReportOptions", Kind::Class, {}, nullptr,
                                   &TfrxReportOptions::staticClassInfo};
constexpr TypeInfo tiFont{"TFont", Kind::Class, {}, nullptr, &TFont::staticClassInfo};
constexpr TypeInfo tiFrame{"TfrxFrame", Kind::Class, {}, nullptr, &TfrxFrame::staticClassInfo};
constexpr TypeInfo tiComponentRef{"TfrxComponent", Kind::Class, {}, nullptr, &TfrxComponent::staticClassInfo};
const char *const kAlignNames[] = {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"};
constexpr TypeInfo tiAlign{"TfrxAlign", Kind::Enum, kAlignNames};

bool fontStored(const TObject &o)
{
    return !static_cast<const TfrxComponent &>(o).ParentFont();
}

} // namespace

TfrxTestReport::TfrxTestReport(TComponent *owner)
    : TfrxComponent(owner), script_(new TStringList), engine_(new TfrxEngineOptions),
      options_(new TfrxReportOptions), dataSets_(this)
{
}

TfrxTestReport::~TfrxTestReport()
{
    Clear();
    delete script_;
    delete engine_;
    delete options_;
}

void TfrxTestReport::DefineProperties(TFiler &filer)
{
    TfrxComponent::DefineProperties(filer);
    filer.DefineProperty(
        QStringLiteral("Datasets"), [this](TReader &r) { ReadReportCollection(dataSets_, r, this); },
        [this](TWriter &w) { WriteReportCollection(dataSets_, w, this); }, dataSets_.Count() > 0);
    filer.DefineProperty(
        QStringLiteral("Variables"), [this](TReader &r) { ReadReportCollection(variables_, r, this); },
        [this](TWriter &w) { WriteReportCollection(variables_, w, this); }, variables_.Count() > 0);
}

TfrxTestMemo::TfrxTestMemo(TComponent *owner)
    : TfrxReportComponent(owner), memo_(new TWideStrings), frame_(new TfrxFrame)
{
}

TfrxTestMemo::~TfrxTestMemo()
{
    delete memo_;
    delete frame_;
}

const ClassInfo &TfrxTestReport::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxTestReport::EngineOptions>("EngineOptions", tiEngine),
        property<&TfrxTestReport::ReportOptions>("ReportOptions", tiReportOptions),
        property<&TfrxTestReport::ScriptText, &TfrxTestReport::SetScriptText>("ScriptText", tiStrings),
    };
    static const ClassInfo info = makeClassInfo<TfrxTestReport, TfrxComponent>("TfrxTestReport", props);
    return info;
}

const ClassInfo &TfrxTestPage::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxTestPage::PaperWidth>("PaperWidth", tiExtended),
    };
    static const ClassInfo info = makeClassInfo<TfrxTestPage, TfrxComponent>("TfrxTestPage", props);
    return info;
}

const ClassInfo &TfrxTestMemo::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxComponent::Left, &TfrxComponent::SetLeft>("Left", tiExtended),
        property<&TfrxComponent::Top, &TfrxComponent::SetTop>("Top", tiExtended),
        property<&TfrxComponent::Width, &TfrxComponent::SetWidth>("Width", tiExtended),
        property<&TfrxComponent::Height, &TfrxComponent::SetHeight>("Height", tiExtended),
        field<&TfrxTestMemo::Align>("Align", tiAlign).defaultsTo(baNone),
        field<&TfrxTestMemo::AutoWidth>("AutoWidth", tiBoolean).defaultsTo(0),
        property<&TfrxComponent::Font, &TfrxComponent::SetFont>("Font", tiFont).storedIf(fontStored),
        property<&TfrxTestMemo::Frame, &TfrxTestMemo::SetFrame>("Frame", tiFrame),
        field<&TfrxTestMemo::Link>("Link", tiComponentRef),
        property<&TfrxTestMemo::Memo, &TfrxTestMemo::SetMemo>("Memo", tiWide),
        property<&TfrxComponent::ParentFont, &TfrxComponent::SetParentFont>("ParentFont", tiBoolean).defaultsTo(0),
        property<&TfrxComponent::Visible, &TfrxComponent::SetVisible>("Visible", tiBoolean).defaultsTo(1),
    };
    static const ClassInfo info = makeClassInfo<TfrxTestMemo, TfrxReportComponent>("TfrxTestMemo", props);
    return info;
}

void registerTestClasses()
{
    static const bool done = [] {
        LoadReportTexts();
        RegisterComponentClasses();
        RegisterDataSetClasses();
        RegisterOptionClasses();
        registerClass(TfrxTestReport::staticClassInfo());
        registerClass(TfrxTestPage::staticClassInfo());
        registerClass(TfrxTestMemo::staticClassInfo());
        return true;
    }();
    (void)done;
}

} // namespace xmltest
