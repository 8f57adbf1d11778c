#include "xmlreports/DataSets.h"

#include "platform/TextCodec.h"
#include "platform/classlib/Properties.h"
#include "xmlreports/ReportUtils.h"
#include "xmlreports/Resources.h"

#include <algorithm>
#include <mutex>

namespace xmlreports {

using namespace platform::classlib;

namespace {

std::recursive_mutex &listLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::vector<TfrxDataSet *> &globalDataSets()
{
    static std::vector<TfrxDataSet *> list;
    return list;
}

bool asciiSame(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        const auto up = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        if (up(x) != up(y))
            return false;
    }
    return true;
}

} // namespace

TfrxDataSet::TfrxDataSet(TComponent *owner) : TfrxDialogComponent(owner)
{
    std::lock_guard guard(listLock());
    globalDataSets().push_back(this);
}

TfrxDataSet::~TfrxDataSet()
{
    std::lock_guard guard(listLock());
    auto &list = globalDataSets();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TfrxDataSet::SetUserName(const QString &name)
{
    if (platform::trimBlank(name).isEmpty())
        throw ReportException(GetReportResources().Get(QStringLiteral("prInvProp")));
    userName_ = name;
}

void TfrxDataSet::SetName(const QString &name)
{
    const bool follow = !name.isEmpty() && (userName_.isEmpty() || userName_ == Name());
    TfrxDialogComponent::SetName(name);
    if (follow)
        userName_ = name;
}

void TfrxDataSet::Open()
{
    if (OnOpen)
        OnOpen(this);
}

void TfrxDataSet::Close()
{
    if (OnClose)
        OnClose(this);
}

void TfrxDataSet::First()
{
    RecNo = 0;
    if (OnFirst)
        OnFirst(this);
}

void TfrxDataSet::Next()
{
    ++RecNo;
    if (!(RangeEnd == reCount && RecNo >= RangeEndCount) && OnNext)
        OnNext(this);
}

void TfrxDataSet::Prior()
{
    --RecNo;
    if (OnPrior)
        OnPrior(this);
}

bool TfrxDataSet::Eof() const
{
    bool eof = RangeEnd == reCount && RecNo >= RangeEndCount;
    if (OnCheckEOF)
        OnCheckEOF(const_cast<TfrxDataSet *>(this), eof);
    return eof;
}

int TfrxDataSet::RecordCount() const
{
    return RangeBegin == rbFirst && RangeEnd == reCount ? RangeEndCount : 0;
}

bool TfrxDataSet::HasField(const QString &name) const
{
    QStringList list;
    GetFieldList(list);
    return std::any_of(list.begin(), list.end(), [&](const QString &f) { return platform::ansiSameText(f, name); });
}

TfrxUserDataSet::TfrxUserDataSet(TComponent *owner) : TfrxDataSet(owner), fields_(new TStringList) {}

TfrxUserDataSet::~TfrxUserDataSet()
{
    delete fields_;
}

Variant TfrxUserDataSet::Value(const QString &field) const
{
    Variant v = Variant::null();
    if (OnGetValue)
        OnGetValue(field, v);
    return v;
}

QString TfrxUserDataSet::DisplayText(const QString &field) const
{
    if (!OnGetValue)
        return {};
    return Value(field).toString();
}

void TfrxUserDataSet::GetFieldList(QStringList &list) const
{
    list.clear();
    for (int i = 0; i < fields_->Count(); ++i)
        list << fields_->Get(i);
}

void TfrxDataSetItem::SetDataSet(TfrxDataSet *dataSet)
{
    dataSet_ = dataSet;
    name_ = dataSet ? dataSet->UserName() : QString();
}

QString TfrxDataSetItem::DataSetName() const
{
    return dataSet_ ? dataSet_->UserName() : name_;
}

void TfrxDataSetItem::SetDataSetName(const QString &name)
{
    name_ = name;
    auto *sets = dynamic_cast<TfrxReportDataSets *>(Collection());
    dataSet_ = FindDataSet(dataSet_, name, sets ? sets->Report() : nullptr);
}

TfrxReportDataSets::TfrxReportDataSets(TfrxComponent *report)
    : TCollection(TfrxDataSetItem::staticClassInfo()), report_(report)
{
}

void TfrxReportDataSets::Initialize()
{
    for (int i = 0; i < Count(); ++i)
        if (TfrxDataSet *ds = Items(i)->DataSet())
            ds->Initialize();
}

void TfrxReportDataSets::Finalize()
{
    for (int i = 0; i < Count(); ++i)
        if (TfrxDataSet *ds = Items(i)->DataSet())
            ds->Finalize();
}

TfrxDataSetItem *TfrxReportDataSets::Find(const TfrxDataSet *dataSet) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DataSet() == dataSet)
            return Items(i);
    return nullptr;
}

TfrxDataSetItem *TfrxReportDataSets::FindByUserName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DataSet() && asciiSame(Items(i)->DataSet()->UserName(), name))
            return Items(i);
    return nullptr;
}

TfrxDataSet *FindDataSet(TfrxDataSet *current, const QString &userName, TfrxComponent *report)
{
    if (userName.isEmpty())
        return nullptr;
    if (!report)
        return current;
    std::lock_guard guard(listLock());
    for (TfrxDataSet *ds : globalDataSets()) {
        if (!platform::ansiSameText(ds->UserName(), userName))
            continue;
        auto *owner = dynamic_cast<TfrxComponent *>(ds->Owner());
        if (report->IsReport() && owner && owner->IsReport() && owner != report)
            continue;
        return ds;
    }
    return current;
}

void TfrxVariable::Assign(const TPersistent *source)
{
    if (auto *v = dynamic_cast<const TfrxVariable *>(source)) {
        Name = v->Name;
        Value = v->Value;
        return;
    }
    TCollectionItem::Assign(source);
}

TfrxVariables::TfrxVariables() : TCollection(TfrxVariable::staticClassInfo()) {}

int TfrxVariables::IndexOf(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (platform::ansiSameText(Items(i)->Name, name))
            return i;
    return -1;
}

Variant TfrxVariables::Variables(const QString &name) const
{
    const int i = IndexOf(name);
    return i < 0 ? Variant::null() : Items(i)->Value;
}

void TfrxVariables::SetVariable(const QString &name, const Variant &value)
{
    const int i = IndexOf(name);
    TfrxVariable *v = i < 0 ? Add() : Items(i);
    if (i < 0)
        v->Name = name;
    v->Value = value;
}

namespace {

const char *const kRangeBeginNames[] = {"rbFirst", "rbCurrent"};
constexpr TypeInfo tiRangeBegin{"TfrxRangeBegin", Kind::Enum, kRangeBeginNames};
const char *const kRangeEndNames[] = {"reLast", "reCurrent", "reCount"};
constexpr TypeInfo tiRangeEnd{"TfrxRangeEnd", Kind::Enum, kRangeEndNames};
constexpr TypeInfo tiCheckEOFEvent{"TfrxCheckEOFEvent", Kind::Method};
constexpr TypeInfo tiUserDataSetGetValue{"TfrxUserDataSetGetValue", Kind::Method};
constexpr TypeInfo tiDataSetRef{"TfrxDataSet", Kind::Class, {}, nullptr, &TfrxDataSet::staticClassInfo};
constexpr TypeInfo tiStringList{"TStringList", Kind::Class, {}, nullptr, &TStringList::staticClassInfo};

} // namespace

const ClassInfo &TfrxDataSet::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxDataSet::Enabled>("Enabled", tiBoolean).defaultsTo(1),
        field<&TfrxDataSet::RangeBegin>("RangeBegin", tiRangeBegin).defaultsTo(rbFirst),
        field<&TfrxDataSet::RangeEnd>("RangeEnd", tiRangeEnd).defaultsTo(reLast),
        field<&TfrxDataSet::RangeEndCount>("RangeEndCount", tiInteger).defaultsTo(0),
        property<&TfrxDataSet::UserName, &TfrxDataSet::SetUserName>("UserName", tiString),
        event<&TfrxDataSet::OnCheckEOF>("OnCheckEOF", tiCheckEOFEvent),
        event<&TfrxDataSet::OnFirst>("OnFirst", tiNotifyEvent),
        event<&TfrxDataSet::OnNext>("OnNext", tiNotifyEvent),
        event<&TfrxDataSet::OnPrior>("OnPrior", tiNotifyEvent),
    };
    static const ClassInfo info = makeClassInfo<TfrxDataSet, TfrxDialogComponent>("TfrxDataSet", props);
    return info;
}

const ClassInfo &TfrxUserDataSet::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxUserDataSet::Fields, &TfrxUserDataSet::SetFields>("Fields", tiStringList),
        event<&TfrxUserDataSet::OnGetValue>("OnGetValue", tiUserDataSetGetValue),
    };
    static const ClassInfo info = makeClassInfo<TfrxUserDataSet, TfrxDataSet>("TfrxUserDataSet", props);
    return info;
}

const ClassInfo &TfrxDataSetItem::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxDataSetItem::DataSet, &TfrxDataSetItem::SetDataSet>("DataSet", tiDataSetRef),
        property<&TfrxDataSetItem::DataSetName, &TfrxDataSetItem::SetDataSetName>("DataSetName", tiString),
    };
    static const ClassInfo info = makeClassInfo<TfrxDataSetItem, TCollectionItem>("TfrxDataSetItem", props);
    return info;
}

const ClassInfo &TfrxReportDataSets::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TfrxReportDataSets, TCollection>("TfrxReportDataSets", {});
    return info;
}

const ClassInfo &TfrxVariable::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxVariable::Name>("Name", tiString),
        field<&TfrxVariable::Value>("Value", tiVariant),
    };
    static const ClassInfo info = makeClassInfo<TfrxVariable, TCollectionItem>("TfrxVariable", props);
    return info;
}

const ClassInfo &TfrxVariables::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TfrxVariables, TCollection>("TfrxVariables", {});
    return info;
}

void RegisterDataSetClasses()
{
    registerClass(TfrxDataSet::staticClassInfo());
    registerClass(TfrxUserDataSet::staticClassInfo());
    registerClass(TfrxDataSetItem::staticClassInfo());
    registerClass(TfrxVariable::staticClassInfo());
}

} // namespace xmlreports
