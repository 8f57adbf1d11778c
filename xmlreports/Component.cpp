#include "xmlreports/Component.h"

#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/Types.h"
#include "xmlreports/ReportUtils.h"
#include "xmlreports/Resources.h"
#include "xmlreports/Serializer.h"
#include "xmlreports/XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace xmlreports {

using namespace platform::classlib;

namespace {

TComponent *ownerFor(TComponent *owner)
{
    if (auto *parent = dynamic_cast<TfrxComponent *>(owner))
        return parent->Report();
    return owner;
}

bool differs(double a, double b)
{
    return std::fabs(a - b) > 0.0001;
}

QString pair(const QString &key, const QString &value)
{
    return u' ' + key + QStringLiteral("=\"") + value + u'"';
}

bool asciiSameText(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x -= 32;
        if (y >= u'a' && y <= u'z')
            y -= 32;
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- component

TfrxComponent::TfrxComponent(TComponent *owner) : TComponent(ownerFor(owner)), font_(new TFont)
{
    font_->SetName(QStringLiteral("Arial"));
    font_->SetSize(10);
    font_->SetColor(0);
    font_->SetCharset(1);
    font_->OnChange = [this](TObject *) { FontChangeNotify(); };
    if (auto *parent = dynamic_cast<TfrxComponent *>(owner))
        SetParent(parent);
}

TfrxComponent::~TfrxComponent()
{
    SetParent(nullptr);
    Clear();
    font_->OnChange = nullptr;
    delete font_;
}

void TfrxComponent::SetParent(TfrxComponent *parent)
{
    if (parent == parent_)
        return;
    if (parent_) {
        auto &list = parent_->objects_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    parent_ = parent;
    if (parent_) {
        parent_->objects_.push_back(this);
        SetParentFont(parentFont_);
    }
}

void TfrxComponent::SetLeft(double value)
{
    if (!(designing_ && (restrictions_ & rfDontMove)))
        left_ = value;
}

void TfrxComponent::SetTop(double value)
{
    if (!(designing_ && (restrictions_ & rfDontMove)))
        top_ = value;
}

void TfrxComponent::SetWidth(double value)
{
    if (!(designing_ && (restrictions_ & rfDontSize)))
        width_ = value;
}

void TfrxComponent::SetHeight(double value)
{
    if (!(designing_ && (restrictions_ & rfDontSize)))
        height_ = value;
}

void TfrxComponent::SetBounds(double left, double top, double width, double height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

double TfrxComponent::AbsLeft() const
{
    return parent_ && !parent_->IsDialogPage() ? left_ + parent_->AbsLeft() : left_;
}

double TfrxComponent::AbsTop() const
{
    return parent_ && !parent_->IsDialogPage() ? top_ + parent_->AbsTop() : top_;
}

void TfrxComponent::SetFont(TFont *font)
{
    if (font && font != font_)
        font_->Assign(font);
    parentFont_ = false;
}

void TfrxComponent::SetParentFont(bool on)
{
    if (on && parent_)
        SetFont(parent_->Font());
    parentFont_ = on;
}

void TfrxComponent::FontChangeNotify()
{
    parentFont_ = false;
    for (TfrxComponent *child : objects_)
        if (child->parentFont_)
            child->SetParentFont(true);
}

QString TfrxComponent::BaseName() const
{
    QString name = className();
    name.remove(QStringLiteral("Tfrx"));
    name.remove(QStringLiteral("View"));
    return name;
}

TfrxComponent *TfrxComponent::Page() const
{
    for (auto *c = const_cast<TfrxComponent *>(this); c; c = c->parent_)
        if (c->IsPage())
            return c;
    return nullptr;
}

TfrxComponent *TfrxComponent::Report() const
{
    for (auto *c = const_cast<TfrxComponent *>(this); c; c = c->parent_)
        if (c->IsReport())
            return c;
    return nullptr;
}

bool TfrxComponent::IsLoading() const
{
    return loading_ || (ComponentState() & csLoading) != 0;
}

std::vector<TfrxComponent *> TfrxComponent::AllObjects() const
{
    std::vector<TfrxComponent *> list;
    for (TfrxComponent *child : objects_) {
        list.push_back(child);
        const auto sub = child->AllObjects();
        list.insert(list.end(), sub.begin(), sub.end());
    }
    return list;
}

TfrxComponent *TfrxComponent::FindObject(const QString &name) const
{
    for (TfrxComponent *c : AllObjects())
        if (asciiSameText(c->Name(), name))
            return c;
    return nullptr;
}

void TfrxComponent::MakeUniqueName()
{
    const TfrxComponent *scope = Report() ? Report() : parent_;
    std::vector<TfrxComponent *> all;
    if (scope)
        all = scope->AllObjects();
    const QString base = BaseName();
    for (int n = 1;; ++n) {
        const QString candidate = base + QString::number(n);
        const bool taken = std::any_of(all.begin(), all.end(), [&](TfrxComponent *c) {
            return c != this && c->Name().compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (!taken) {
            SetName(candidate);
            return;
        }
    }
}

void TfrxComponent::SetName(const QString &name)
{
    if (!name.isEmpty()) {
        if (TfrxComponent *report = Report()) {
            TfrxComponent *same = report->FindObject(name);
            if (same && same != this)
                throw ReportException(GetReportResources().Get(QStringLiteral("prDupl")));
        }
    }
    TComponent::SetName(name);
}

void TfrxComponent::Clear()
{
    while (!objects_.empty())
        delete objects_.back();
}

void TfrxComponent::Assign(const TPersistent *source)
{
    auto *other = dynamic_cast<const TfrxComponent *>(source);
    if (!other) {
        TComponent::Assign(source);
        return;
    }
    TMemoryStream stream;
    const_cast<TfrxComponent *>(other)->SaveToStream(stream, false, true);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TfrxComponent::AssignWithChildren(const TfrxComponent *source)
{
    TMemoryStream stream;
    const_cast<TfrxComponent *>(source)->SaveToStream(stream, true, true);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TfrxComponent::SaveToStream(TStream &stream, bool saveChildren, bool saveDefaults)
{
    const QString name = Name();
    TComponent::SetName(QString());
    try {
        TfrxXMLSerializer serializer(&stream);
        serializer.Owner = Report();
        serializer.SerializeDefaultValues = saveDefaults;
        serializer.SaveObjectTree(this, saveChildren);
    } catch (...) {
        TComponent::SetName(name);
        throw;
    }
    TComponent::SetName(name);
}

void TfrxComponent::LoadFromStream(TStream &stream)
{
    const QString name = Name();
    Clear();
    TfrxComponent *report = Report();
    TfrxXMLSerializer serializer(&stream);
    serializer.Owner = report;
    if (report)
        report->SetCurrentSerializer(&serializer);
    auto finish = [&] {
        if (report) {
            report->Errors() << serializer.Errors();
            report->SetCurrentSerializer(nullptr);
        } else {
            errors_ << serializer.Errors();
        }
        TComponent::SetName(name);
    };
    TComponent::SetName(QString());
    try {
        serializer.LoadObjectTree(this);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TfrxComponent::ArrangeAlignedChildren()
{
    // Children ordered by "1" + Left (or "0" + -Left) in a nine-character
    // field with two decimals, as the alignment passes expect.
    std::multimap<QString, TfrxComponent *> sorted;
    for (TfrxComponent *c : objects_) {
        const QString key = c->Left() >= 0 ? u'1' + QString::asprintf("%9.2f", c->Left())
                                           : u'0' + QString::asprintf("%9.2f", -c->Left());
        sorted.emplace(key, c);
    }
    std::vector<TfrxComponent *> list;
    for (const auto &[key, c] : sorted)
        list.push_back(c);
    auto overlaps = [](const TfrxComponent *a, const TfrxComponent *b) {
        return b->AbsTop() < a->AbsTop() + a->Height() && a->AbsTop() < b->AbsTop() + b->Height();
    };
    const int n = static_cast<int>(list.size());
    for (int i = 0; i < n; ++i) {
        TfrxComponent *c = list[size_t(i)];
        const int align = c->AlignValue();
        if (align != baLeft && align != baWidth)
            continue;
        TfrxComponent *found = nullptr;
        for (int j = i - 1; j >= 0; --j) {
            TfrxComponent *o = list[size_t(j)];
            if (align == baWidth && o->Left() > c->Left())
                continue;
            if (overlaps(c, o)) {
                found = o;
                break;
            }
        }
        c->SetLeft(found ? found->Left() + found->Width() : 0);
    }
    for (int i = n - 1; i >= 0; --i) {
        TfrxComponent *c = list[size_t(i)];
        const int align = c->AlignValue();
        if (align != baRight && align != baWidth)
            continue;
        TfrxComponent *found = nullptr;
        for (int j = i + 1; j < n; ++j) {
            TfrxComponent *o = list[size_t(j)];
            if (align == baWidth && o->Left() + o->Width() < c->Left() + c->Width())
                continue;
            if (overlaps(c, o)) {
                found = o;
                break;
            }
        }
        const double edge = found ? found->Left() : Width();
        if (align == baRight)
            c->SetLeft(edge - c->Width());
        else
            c->SetWidth(edge - c->Left());
    }
    for (TfrxComponent *c : objects_) {
        switch (c->AlignValue()) {
        case baCenter:
            c->SetLeft((Width() - c->Width()) / 2);
            break;
        case baBottom:
            c->SetTop(Height() - c->Height());
            break;
        case baClient:
            c->SetBounds(0, 0, Width(), Height());
            break;
        default:
            break;
        }
    }
}

QString TfrxComponent::DifferenceText(const TfrxComponent *reference) const
{
    QString s;
    if (differs(left_, reference->left_) && AlignValue() == baNone)
        s += pair(QStringLiteral("l"), platform::floatToStr(left_));
    if (differs(top_, reference->top_) || IsBand())
        s += pair(QStringLiteral("t"), platform::floatToStr(top_));
    if (differs(width_, reference->width_) && !AutoWidthOn())
        s += pair(QStringLiteral("w"), platform::floatToStr(width_));
    if (differs(height_, reference->height_))
        s += pair(QStringLiteral("h"), platform::floatToStr(height_));
    if (visible_ != reference->visible_)
        s += pair(QStringLiteral("Visible"), visible_ ? QStringLiteral("1") : QStringLiteral("0"));
    if (!parentFont_)
        s += FontDifferenceText(*font_, *reference->font_, QStringLiteral(" "));
    if (parentFont_ != reference->parentFont_)
        s += pair(QStringLiteral("ParentFont"), parentFont_ ? QStringLiteral("1") : QStringLiteral("0"));
    if (Tag != reference->Tag)
        s += pair(QStringLiteral("Tag"), QString::number(Tag));
    return s;
}

QString TfrxComponent::AttributesWithDifference(const TfrxComponent *reference) const
{
    TfrxXMLSerializer serializer;
    serializer.Owner = Report();
    const QByteArray tag = serializer.ObjectToTagText(const_cast<TfrxComponent *>(this));
    QString s = platform::fromCp1251(tag.mid(className().size()));
    if (reference)
        s += u' ' + DifferenceText(reference);
    return s;
}

QString FontDifferenceText(const TFont &font, const TFont &reference, const QString &prefix)
{
    QString s;
    auto add = [&](const char *key, const QString &value) {
        s += prefix + QLatin1String(key) + QStringLiteral("=\"") + value + u'"';
    };
    if (font.Name() != reference.Name())
        add("Font.Name", platform::fromCp1251(EscapeXMLText(platform::toCp1251(font.Name()))));
    if (font.Size() != reference.Size())
        add("Font.Size", QString::number(font.Size()));
    if (font.Color() != reference.Color())
        add("Font.Color", QString::number(font.Color()));
    if (font.Style() != reference.Style())
        add("Font.Style", QString::number(font.Style()));
    if (font.Charset() != reference.Charset())
        add("Font.Charset", QString::number(font.Charset() & 0xFF));
    return s;
}

void TfrxReportComponent::PrePrint()
{
    saved_[0] = Left();
    saved_[1] = Top();
    saved_[2] = Width();
    saved_[3] = Height();
}

void TfrxReportComponent::PostPrint()
{
    SetBounds(saved_[0], saved_[1], saved_[2], saved_[3]);
}

TfrxDialogComponent::TfrxDialogComponent(TComponent *owner) : TfrxReportComponent(owner)
{
    SetLeft(-10000);
    SetTop(-10000);
}

void TfrxDialogComponent::DefineProperties(TFiler &filer)
{
    TfrxReportComponent::DefineProperties(filer);
    if (!Report())
        return;
    filer.DefineProperty(
        QStringLiteral("pLeft"), [this](TReader &r) { SetLeft(r.ReadInteger()); }, nullptr, false);
    filer.DefineProperty(
        QStringLiteral("pTop"), [this](TReader &r) { SetTop(r.ReadInteger()); }, nullptr, false);
}

// ---------------------------------------------------------------- frame

void TfrxFrame::Assign(const TPersistent *source)
{
    if (auto *f = dynamic_cast<const TfrxFrame *>(source)) {
        Color = f->Color;
        DropShadow = f->DropShadow;
        ShadowColor = f->ShadowColor;
        ShadowWidth = f->ShadowWidth;
        Style = f->Style;
        Typ = f->Typ;
        Width = f->Width;
        return;
    }
    TPersistent::Assign(source);
}

QString TfrxFrame::FrameDifferenceText(const TfrxFrame &r) const
{
    QString s;
    if (Color != r.Color)
        s += pair(QStringLiteral("Frame.Color"), QString::number(Color));
    if (DropShadow != r.DropShadow)
        s += pair(QStringLiteral("Frame.DropShadow"), DropShadow ? QStringLiteral("1") : QStringLiteral("0"));
    if (ShadowColor != r.ShadowColor)
        s += pair(QStringLiteral("Frame.ShadowColor"), QString::number(ShadowColor));
    if (differs(ShadowWidth, r.ShadowWidth))
        s += pair(QStringLiteral("Frame.ShadowWidth"), platform::floatToStr(ShadowWidth));
    if (Style != r.Style)
        s += pair(QStringLiteral("Frame.Style"), QString::number(int(Style)));
    if (Typ != r.Typ)
        s += pair(QStringLiteral("Frame.Typ"), QString::number(Typ));
    if (differs(Width, r.Width))
        s += pair(QStringLiteral("Frame.Width"), platform::floatToStr(Width));
    return s;
}

// ---------------------------------------------------------------- tables

namespace {

const char *const kFrameStyleNames[] = {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"};
constexpr TypeInfo tiFrameStyle{"TfrxFrameStyle", Kind::Enum, kFrameStyleNames};
const char *const kFrameTypeNames[] = {"ftLeft", "ftRight", "ftTop", "ftBottom"};
constexpr TypeInfo tiFrameType{"TfrxFrameType", Kind::Enum, kFrameTypeNames};
constexpr TypeInfo tiFrameTypes{"TfrxFrameTypes", Kind::Set, {}, &tiFrameType};

bool shadowWidthStored(const TObject &o)
{
    return static_cast<const TfrxFrame &>(o).ShadowWidth != 4;
}
bool frameTypStored(const TObject &o)
{
    return static_cast<const TfrxFrame &>(o).Typ != 0;
}
bool frameWidthStored(const TObject &o)
{
    return static_cast<const TfrxFrame &>(o).Width != 1;
}

} // namespace

const ClassInfo &TfrxComponent::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TfrxComponent, TComponent>("TfrxComponent", {});
    return info;
}

const ClassInfo &TfrxReportComponent::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxComponent::Description, &TfrxComponent::SetDescription>("Description", tiString),
    };
    static const ClassInfo info = makeClassInfo<TfrxReportComponent, TfrxComponent>("TfrxReportComponent", props);
    return info;
}

const ClassInfo &TfrxDialogComponent::staticClassInfo()
{
    static const ClassInfo info =
        makeClassInfo<TfrxDialogComponent, TfrxReportComponent>("TfrxDialogComponent", {});
    return info;
}

const ClassInfo &TfrxFrame::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxFrame::Color>("Color", tiColor).defaultsTo(0),
        field<&TfrxFrame::DropShadow>("DropShadow", tiBoolean).defaultsTo(0),
        field<&TfrxFrame::ShadowColor>("ShadowColor", tiColor).defaultsTo(0),
        field<&TfrxFrame::ShadowWidth>("ShadowWidth", tiExtended).storedIf(shadowWidthStored),
        field<&TfrxFrame::Style>("Style", tiFrameStyle).defaultsTo(fsSolid),
        field<&TfrxFrame::Typ>("Typ", tiFrameTypes).storedIf(frameTypStored),
        field<&TfrxFrame::Width>("Width", tiExtended).storedIf(frameWidthStored),
    };
    static const ClassInfo info = makeClassInfo<TfrxFrame, TPersistent>("TfrxFrame", props);
    return info;
}

void RegisterComponentClasses()
{
    registerClassLibrary();
    registerClass(TfrxComponent::staticClassInfo());
    registerClass(TfrxReportComponent::staticClassInfo());
    registerClass(TfrxDialogComponent::staticClassInfo());
    registerClass(TfrxFrame::staticClassInfo());
}

} // namespace xmlreports
