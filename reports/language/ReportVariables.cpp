#include "reports/language/ReportVariables.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace reports {

int Variables::lowerBound(const QString &name) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), name, [](const Entry &e, const QString &n) {
        return platform::ansiCompareText(e.name, n) < 0;
    });
    return static_cast<int>(it - entries_.begin());
}

int Variables::IndexOf(const QString &name) const
{
    if (sorted_) {
        const int at = lowerBound(name);
        return at < Count() && platform::ansiSameText(entries_[static_cast<std::size_t>(at)].name, name) ? at : -1;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (platform::ansiSameText(entries_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

const Variant *Variables::Find(const QString &name) const
{
    const int at = IndexOf(name);
    return at < 0 ? nullptr : &entries_[static_cast<std::size_t>(at)].value;
}

void Variables::addEntry(const QString &name, const Variant &value)
{
    if (!sorted_) {
        entries_.push_back({name, value});
        return;
    }
    const int at = lowerBound(name);
    if (at < Count() && platform::ansiSameText(entries_[static_cast<std::size_t>(at)].name, name))
        return;
    entries_.insert(entries_.begin() + at, Entry{name, value});
}

void Variables::SetVariable(const QString &name, const Variant &value)
{
    const int at = IndexOf(name);
    if (at >= 0)
        entries_[static_cast<std::size_t>(at)].value = value;
    else
        addEntry(name, value);
}

Variant Variables::GetVariable(const QString &name) const
{
    const Variant *v = Find(name);
    return v ? *v : Variant::null();
}

QString Variables::GetName(int index) const
{
    return index >= 0 && index < Count() ? entries_[static_cast<std::size_t>(index)].name : QString();
}

void Variables::SetName(int index, const QString &name)
{
    if (index < 0 || index >= Count())
        return;
    if (!sorted_) {
        entries_[static_cast<std::size_t>(index)].name = name;
        return;
    }
    Entry e = std::move(entries_[static_cast<std::size_t>(index)]);
    entries_.erase(entries_.begin() + index);
    addEntry(name, e.value);
}

Variant Variables::GetValue(int index) const
{
    return index >= 0 && index < Count() ? entries_[static_cast<std::size_t>(index)].value : Variant(0);
}

void Variables::SetValueAt(int index, const Variant &value)
{
    if (index >= 0 && index < Count())
        entries_[static_cast<std::size_t>(index)].value = value;
}

void Variables::Insert(int index, const QString &name)
{
    if (sorted_) {
        addEntry(name, Variant(0));
        return;
    }
    index = std::clamp(index, 0, Count());
    entries_.insert(entries_.begin() + index, Entry{name, Variant(0)});
}

void Variables::Delete(int index)
{
    if (index >= 0 && index < Count())
        entries_.erase(entries_.begin() + index);
}

void Variables::Assign(const Variables &other)
{
    if (&other == this)
        return;
    Clear();
    for (const Entry &e : other.entries_)
        addEntry(e.name, e.value);
}

void Variables::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    sorted_ = sorted;
    if (!sorted_)
        return;
    std::vector<Entry> old = std::move(entries_);
    entries_.clear();
    std::stable_sort(old.begin(), old.end(),
                     [](const Entry &a, const Entry &b) { return platform::ansiCompareText(a.name, b.name) < 0; });
    for (Entry &e : old)
        addEntry(e.name, e.value);
}

} // namespace reports
