#include "TestClasses.h"

#include "platform/classlib/Filer.h"

namespace testclasses {

namespace {

const char *const kFrameStyleNames[] = {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"};
constexpr TypeInfo tiFrameStyle{"TfrxFrameStyle", Kind::Enum, kFrameStyleNames};
const char *const kFrameTypeNames[] = {"ftLeft", "ftRight", "ftTop", "ftBottom"};
constexpr TypeInfo tiFrameType{"TfrxFrameType", Kind::Enum, kFrameTypeNames};
constexpr TypeInfo tiFrameTypes{"TfrxFrameTypes", Kind::Set, {}, &tiFrameType};
const char *const kAlignNames[] = {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"};
constexpr TypeInfo tiAlign{"TfrxAlign", Kind::Enum, kAlignNames};
const char *const kShiftNames[] = {"smDontShift", "smAlways", "smWhenOverlapped"};
constexpr TypeInfo tiShiftMode{"TfrxShiftMode", Kind::Enum, kShiftNames};
const char *const kRestrictionNames[] = {"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete"};
constexpr TypeInfo tiRestriction{"TfrxRestriction", Kind::Enum, kRestrictionNames};
constexpr TypeInfo tiRestrictions{"TfrxRestrictions", Kind::Set, {}, &tiRestriction};
constexpr TypeInfo tiFrame{"TfrxFrame", Kind::Class, {}, nullptr, &TTestFrame::staticClassInfo};
constexpr TypeInfo tiFont{"TFont", Kind::Class, {}, nullptr, &TFont::staticClassInfo};
constexpr TypeInfo tiDataSet{"TfrxDataSet", Kind::Class, {}, nullptr, &TTestDataSet::staticClassInfo};
constexpr TypeInfo tiComponent{"TfrxComponent", Kind::Class, {}, nullptr, &TTestComponent::staticClassInfo};

bool shadowWidthStored(const TObject &o)
{
    return static_cast<const TTestFrame &>(o).ShadowWidth != 4;
}
bool typStored(const TObject &o)
{
    return static_cast<const TTestFrame &>(o).Typ != 0;
}
bool widthStored(const TObject &o)
{
    return static_cast<const TTestFrame &>(o).Width != 1;
}
bool fontStored(const TObject &o)
{
    return !static_cast<const TTestView &>(o).ParentFont;
}

} // namespace

const ClassInfo &TTestFrame::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestFrame::Color>("Color", tiColor).defaultsTo(0),
        field<&TTestFrame::DropShadow>("DropShadow", tiBoolean).defaultsTo(0),
        field<&TTestFrame::ShadowColor>("ShadowColor", tiColor).defaultsTo(0),
        field<&TTestFrame::ShadowWidth>("ShadowWidth", tiExtended).storedIf(shadowWidthStored),
        field<&TTestFrame::Style>("Style", tiFrameStyle).defaultsTo(fsSolid),
        field<&TTestFrame::Typ>("Typ", tiFrameTypes).storedIf(typStored),
        field<&TTestFrame::Width>("Width", tiExtended).storedIf(widthStored),
    };
    static const ClassInfo info = makeClassInfo<TTestFrame, TPersistent>("TfrxFrame", props);
    return info;
}

const ClassInfo &TTestComponent::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestComponent::Parent>("Parent", tiComponent).storedIf(never),
    };
    static const ClassInfo info = makeClassInfo<TTestComponent, TComponent>("TfrxComponent", props);
    return info;
}

const ClassInfo &TTestDataSet::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TTestDataSet, TTestComponent>("TfrxDataSet", {});
    return info;
}

TTestView::TTestView(TComponent *owner)
    : TTestComponent(owner), font_(new TFont), frame_(new TTestFrame)
{
}

TTestView::~TTestView()
{
    delete font_;
    delete frame_;
}

const ClassInfo &TTestView::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestView::Alignment>("Align", tiAlign).defaultsTo(baNone),
        field<&TTestView::Printable>("Printable", tiBoolean).defaultsTo(1),
        field<&TTestView::Shift>("ShiftMode", tiShiftMode).defaultsTo(smAlways),
        field<&TTestView::Left>("Left", tiExtended),
        field<&TTestView::Top>("Top", tiExtended),
        field<&TTestView::Width>("Width", tiExtended),
        field<&TTestView::Height>("Height", tiExtended),
        field<&TTestView::GroupIndex>("GroupIndex", tiInteger).defaultsTo(0),
        field<&TTestView::Restrictions>("Restrictions", tiRestrictions).defaultsTo(0),
        field<&TTestView::Visible>("Visible", tiBoolean).defaultsTo(1),
        field<&TTestView::OnAfterData>("OnAfterData", tiString),
        field<&TTestView::OnAfterPrint>("OnAfterPrint", tiString),
        field<&TTestView::OnBeforePrint>("OnBeforePrint", tiString),
        field<&TTestView::OnPreviewClick>("OnPreviewClick", tiString),
        property<&TTestView::Font, &TTestView::SetFont>("Font", tiFont).storedIf(fontStored),
        field<&TTestView::ParentFont>("ParentFont", tiBoolean).defaultsTo(1),
        property<&TTestView::Frame, &TTestView::SetFrame>("Frame", tiFrame),
        field<&TTestView::DataSet>("DataSet", tiDataSet),
    };
    static const ClassInfo info = makeClassInfo<TTestView, TTestComponent>("TfrxView", props);
    return info;
}

const ClassInfo &TTestMemo::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TTestMemo, TTestView>("TfrxMemoView", {});
    return info;
}

const ClassInfo &TTestKinds::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestKinds::Letter>("Letter", tiChar),
        field<&TTestKinds::WideLetter>("WideLetter", tiWideChar),
        field<&TTestKinds::Text>("Text", tiString),
        field<&TTestKinds::WideText>("WideText", tiWideString),
        field<&TTestKinds::Big>("Big", tiInt64),
        field<&TTestKinds::Value>("Value", tiVariant),
        event<&TTestKinds::OnClick>("OnClick", tiNotifyEvent),
    };
    static const ClassInfo info = makeClassInfo<TTestKinds, TPersistent>("TTestKinds", props);
    return info;
}

const ClassInfo &TTestDataSetItem::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestDataSetItem::DataSet>("DataSet", tiDataSet),
        field<&TTestDataSetItem::DataSetName>("DataSetName", tiString),
    };
    static const ClassInfo info = makeClassInfo<TTestDataSetItem, TCollectionItem>("TfrxDataSetItem", props);
    return info;
}

const ClassInfo &TTestVariable::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TTestVariable::Name>("Name", tiString),
        field<&TTestVariable::Value>("Value", tiVariant),
    };
    static const ClassInfo info = makeClassInfo<TTestVariable, TCollectionItem>("TfrxVariable", props);
    return info;
}

const ClassInfo &TTestReport::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TTestReport, TTestComponent>("TfrxReport", {});
    return info;
}

void TTestReport::DefineProperties(TFiler &filer)
{
    filer.DefineProperty(
        QStringLiteral("Datasets"), [this](TReader &r) { r.ReadCollection(&DataSets); },
        [this](TWriter &w) { w.WriteCollection(&DataSets); }, true);
    filer.DefineProperty(
        QStringLiteral("Variables"), [this](TReader &r) { r.ReadCollection(&Variables); },
        [this](TWriter &w) { w.WriteCollection(&Variables); }, true);
}

void registerTestClasses()
{
    for (const ClassInfo *info : {&TTestFrame::staticClassInfo(), &TTestComponent::staticClassInfo(),
                                  &TTestDataSet::staticClassInfo(), &TTestView::staticClassInfo(),
                                  &TTestMemo::staticClassInfo(), &TTestReport::staticClassInfo()})
        registerClass(*info);
}

} // namespace testclasses
