#include "platform/classlib/Classes.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/Streams.h"

#include <algorithm>

namespace platform::classlib {

// ---------------------------------------------------------------------------
// TPersistent

const ClassInfo &TPersistent::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TPersistent, TObject>("TPersistent", {});
    return info;
}

void TPersistent::Assign(const TPersistent *source)
{
    if (source) {
        source->AssignTo(this);
        return;
    }
    throw ClassError(QStringLiteral("Невозможно присвоить nil объекту %1").arg(className()));
}

void TPersistent::AssignTo(TPersistent *target) const
{
    throw ClassError(QStringLiteral("Невозможно присвоить %1 объекту %2").arg(className(), target->className()));
}

void TPersistent::DefineProperties(TFiler &) {}

// ---------------------------------------------------------------------------
// TComponent

const ClassInfo &TComponent::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TComponent::Name, &TComponent::SetName>("Name", tiComponentName).storedIf(never),
        field<&TComponent::Tag>("Tag", tiInteger).defaultsTo(0),
    };
    static const ClassInfo info = makeClassInfo<TComponent, TPersistent>("TComponent", props);
    return info;
}

bool isValidIdent(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

TComponent::TComponent(TComponent *owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    state_ |= csDestroying;
    // Those who asked are told first; each forgets this one.
    while (!freeNotifies_.empty()) {
        TComponent *other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->forget(this);
        other->Notification(this, Operation::Remove);
    }
    DestroyComponents();
    if (owner_)
        owner_->RemoveComponent(this);
}

TComponent *TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        listIndexError(index);
    return components_[static_cast<size_t>(index)];
}

TComponent *TComponent::FindComponent(QStringView name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TComponent *c : components_)
        if (c->name_.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent *component)
{
    if (!component->name_.isEmpty() && FindComponent(component->name_))
        throw ClassError(QStringLiteral("Компонент с именем %1 уже существует").arg(component->name_));
    if (component->owner_)
        component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, Operation::Insert);
}

void TComponent::RemoveComponent(TComponent *component)
{
    const auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end())
        return;
    Notification(component, Operation::Remove);
    components_.erase(std::find(components_.begin(), components_.end(), component));
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent *c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
}

void TComponent::SetName(const QString &name)
{
    if (name == name_)
        return;
    if (!name.isEmpty() && !isValidIdent(name))
        throw ClassError(QStringLiteral("«%1» не является допустимым именем компонента").arg(name));
    if (owner_ && !name.isEmpty()) {
        const TComponent *same = owner_->FindComponent(name);
        if (same && same != this)
            throw ClassError(QStringLiteral("Компонент с именем %1 уже существует").arg(name));
    }
    name_ = name;
}

void TComponent::Loaded()
{
    state_ &= ~csLoading;
}

void TComponent::FreeNotification(TComponent *component)
{
    if (!component || component == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent *component)
{
    if (!component)
        return;
    forget(component);
    component->forget(this);
}

void TComponent::forget(TComponent *component)
{
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
}

void TComponent::Notification(TComponent *component, Operation operation)
{
    if (operation == Operation::Remove && component)
        RemoveFreeNotification(component);
    // Index by index: a notified component may take others out.
    for (size_t i = components_.size(); i-- > 0;) {
        if (i >= components_.size())
            continue;
        if (components_[i] != component)
            components_[i]->Notification(component, operation);
    }
}

// ---------------------------------------------------------------------------
// TList

const ClassInfo &TList::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TList, TObject>("TList", {});
    return info;
}

void listIndexError(int index)
{
    throw ClassError(QStringLiteral("Индекс списка вне границ (%1)").arg(index));
}

void TList::check(int index) const
{
    if (index < 0 || index >= Count())
        listIndexError(index);
}

void *TList::Items(int index) const
{
    check(index);
    return items_[static_cast<size_t>(index)];
}

void TList::Put(int index, void *item)
{
    check(index);
    items_[static_cast<size_t>(index)] = item;
}

int TList::Add(void *item)
{
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void *item)
{
    if (index < 0 || index > Count())
        listIndexError(index);
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index)
{
    check(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void *item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

int TList::IndexOf(void *item) const
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int a, int b)
{
    check(a);
    check(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

void TList::Move(int from, int to)
{
    if (from == to)
        return;
    check(from);
    check(to);
    void *item = items_[static_cast<size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
}

void TList::Sort(const std::function<int(void *, void *)> &compare)
{
    std::stable_sort(items_.begin(), items_.end(), [&](void *a, void *b) { return compare(a, b) < 0; });
}

// ---------------------------------------------------------------------------
// Collections

const ClassInfo &TCollectionItem::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TCollectionItem, TPersistent>("TCollectionItem", {});
    return info;
}

TCollectionItem::TCollectionItem(TCollection *collection)
{
    if (collection)
        collection->insertItem(this);
}

TCollectionItem::~TCollectionItem()
{
    if (collection_)
        collection_->removeItem(this);
}

void TCollectionItem::SetCollection(TCollection *collection)
{
    if (collection == collection_)
        return;
    if (collection_)
        collection_->removeItem(this);
    if (collection)
        collection->insertItem(this);
}

int TCollectionItem::Index() const
{
    if (!collection_)
        return -1;
    const auto &items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index)
{
    const int current = Index();
    if (current < 0 || index == current)
        return;
    auto &items = collection_->items_;
    index = std::clamp(index, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    collection_->changed();
}

TPersistent *TCollectionItem::GetOwner() const
{
    return collection_;
}

const ClassInfo &TCollection::staticClassInfo()
{
    // Made with its item class only, never by class name.
    static const ClassInfo info("TCollection", &TPersistent::staticClassInfo(), nullptr, {});
    return info;
}

TCollection::TCollection(const ClassInfo &itemClass, TPersistent *owner) : itemClass_(&itemClass), owner_(owner) {}

TCollection::~TCollection()
{
    ++updating_;
    Clear();
}

TCollectionItem *TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    return items_[static_cast<size_t>(index)];
}

TCollectionItem *TCollection::Add()
{
    TObject *made = itemClass_->create() ? itemClass_->create()(nullptr) : nullptr;
    auto *item = dynamic_cast<TCollectionItem *>(made);
    if (!item) {
        delete made;
        throw ClassError(QStringLiteral("Невозможно создать элемент коллекции %1").arg(itemClass_->className()));
    }
    item->SetCollection(this);
    return item;
}

TCollectionItem *TCollection::Insert(int index)
{
    TCollectionItem *item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    delete Items(index);
}

void TCollection::Clear()
{
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem *TCollection::FindItemID(int id) const
{
    for (TCollectionItem *item : items_)
        if (item->id_ == id)
            return item;
    return nullptr;
}

void TCollection::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TCollection *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    Clear();
    for (const TCollectionItem *item : other->items_)
        Add()->Assign(item);
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0)
        changed();
}

void TCollection::Update(TCollectionItem *) {}

void TCollection::insertItem(TCollectionItem *item)
{
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    changed();
}

void TCollection::removeItem(TCollectionItem *item)
{
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    changed();
}

void TCollection::changed()
{
    if (updating_ == 0)
        Update(nullptr);
}

// ---------------------------------------------------------------------------
// TStrings

const ClassInfo &TStrings::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TStrings, TPersistent>("TStrings", {});
    return info;
}

int TStrings::AddObject(const QString &text, TObject *object)
{
    const int index = Count();
    InsertObject(index, text, object);
    return index;
}

void TStrings::AddStrings(const TStrings &other)
{
    BeginUpdate();
    for (int i = 0; i < other.Count(); ++i)
        AddObject(other.Get(i), other.GetObject(i));
    EndUpdate();
}

int TStrings::IndexOf(const QString &text) const
{
    for (int i = 0; i < Count(); ++i)
        if (ansiCompareText(Get(i), text) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject *object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

QString TStrings::Text() const
{
    QString text;
    for (int i = 0; i < Count(); ++i)
        text += Get(i) + QStringLiteral("\r\n");
    return text;
}

void TStrings::SetText(QStringView text)
{
    BeginUpdate();
    Clear();
    qsizetype at = 0;
    const qsizetype n = text.size();
    while (at < n) {
        qsizetype end = at;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        Add(text.mid(at, end - at).toString());
        at = end;
        if (at < n && text[at] == u'\r')
            ++at;
        if (at < n && text[at] == u'\n')
            ++at;
    }
    EndUpdate();
}

void TStrings::Assign(const TPersistent *source)
{
    if (const auto *other = dynamic_cast<const TStrings *>(source)) {
        BeginUpdate();
        Clear();
        AddStrings(*other);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::DefineProperties(TFiler &filer)
{
    filer.DefineProperty(
        QStringLiteral("Strings"),
        [this](TReader &reader) {
            reader.ReadListBegin();
            BeginUpdate();
            Clear();
            while (!reader.EndOfList())
                Add(reader.ReadString());
            EndUpdate();
            reader.ReadListEnd();
        },
        [this](TWriter &writer) {
            writer.WriteListBegin();
            for (int i = 0; i < Count(); ++i)
                writer.WriteString(Get(i));
            writer.WriteListEnd();
        },
        Count() > 0);
}

void TStrings::LoadFromStream(TStream &stream)
{
    SetText(fromCp1251(stream.ReadRest()));
}

void TStrings::SaveToStream(TStream &stream) const
{
    stream.WriteBytes(toCp1251(Text()));
}

void TStrings::LoadFromFile(const QString &fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const QString &fileName) const
{
    if (!writeFileAtomically(fileName, toCp1251(Text())))
        throw StreamError(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
}

void TStrings::BeginUpdate()
{
    if (updateCount_++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        SetUpdateState(false);
}

// ---------------------------------------------------------------------------
// TStringList

const ClassInfo &TStringList::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TStringList, TStrings>("TStringList", {});
    return info;
}

void TStringList::check(int index) const
{
    if (index < 0 || index >= Count())
        listIndexError(index);
}

int TStringList::compare(const QString &a, const QString &b) const
{
    return caseSensitive_ ? QString::compare(a, b, Qt::CaseSensitive) : ansiCompareText(a, b);
}

void TStringList::changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        changing();
    else
        changed();
}

QString TStringList::Get(int index) const
{
    check(index);
    return items_[static_cast<size_t>(index)].text;
}

TObject *TStringList::GetObject(int index) const
{
    check(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::Put(int index, const QString &text)
{
    if (sorted_)
        throw ClassError(QStringLiteral("Операция не допускается для отсортированного списка строк"));
    check(index);
    changing();
    items_[static_cast<size_t>(index)].text = text;
    changed();
}

void TStringList::PutObject(int index, TObject *object)
{
    check(index);
    changing();
    items_[static_cast<size_t>(index)].object = object;
    changed();
}

void TStringList::InsertObject(int index, const QString &text, TObject *object)
{
    if (sorted_)
        throw ClassError(QStringLiteral("Операция не допускается для отсортированного списка строк"));
    if (index < 0 || index > Count())
        listIndexError(index);
    changing();
    items_.insert(items_.begin() + index, Item{text, object});
    changed();
}

void TStringList::Delete(int index)
{
    check(index);
    changing();
    items_.erase(items_.begin() + index);
    changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    changing();
    items_.clear();
    changed();
}

int TStringList::AddObject(const QString &text, TObject *object)
{
    int index = Count();
    if (sorted_) {
        if (Find(text, index)) {
            if (duplicates_ == Duplicates::Ignore)
                return index;
            if (duplicates_ == Duplicates::Error)
                throw ClassError(QStringLiteral("Список строк не допускает повторяющихся строк"));
        }
    }
    changing();
    items_.insert(items_.begin() + index, Item{text, object});
    changed();
    return index;
}

int TStringList::IndexOf(const QString &text) const
{
    if (!sorted_) {
        for (int i = 0; i < Count(); ++i)
            if (compare(items_[static_cast<size_t>(i)].text, text) == 0)
                return i;
        return -1;
    }
    int index = 0;
    return Find(text, index) ? index : -1;
}

bool TStringList::Find(const QString &text, int &index) const
{
    int low = 0, high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = compare(items_[static_cast<size_t>(mid)].text, text);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != Duplicates::Accept)
                    low = mid;
            }
        }
    }
    index = low;
    return found;
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !sorted_)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool on)
{
    if (on == caseSensitive_)
        return;
    caseSensitive_ = on;
    if (sorted_)
        Sort();
}

void TStringList::Sort()
{
    CustomSort([](const TStringList &list, int a, int b) {
        return list.compare(list.items_[static_cast<size_t>(a)].text, list.items_[static_cast<size_t>(b)].text);
    });
}

void TStringList::CustomSort(const std::function<int(const TStringList &, int, int)> &compare)
{
    if (items_.size() < 2)
        return;
    changing();
    // Sorts an index permutation, so the comparison sees the lines where
    // they stand.
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (const int i : order)
        sorted.push_back(items_[static_cast<size_t>(i)]);
    items_ = std::move(sorted);
    changed();
}

} // namespace platform::classlib
