#pragma once
// TfrVariables: an ordered list of named values (report variables, script
// constants, dictionary variables, band aggregates). Names compare without
// regard to letter case. A sorted list keeps its entries in name order, finds
// them by halving and ignores a second entry of a name it holds.

#include "platform/Variant.h"

#include <QString>

#include <vector>

namespace reports {

using platform::Variant;

class Variables {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    // Sets the value of a name, adding the entry when it is missing.
    void SetVariable(const QString &name, const Variant &value);
    // The value of a name; null when the list has no such name.
    Variant GetVariable(const QString &name) const;
    // Null when missing; the entry's value otherwise (no copy).
    const Variant *Find(const QString &name) const;
    int IndexOf(const QString &name) const;
    // Empty out of range.
    QString GetName(int index) const;
    // Ignored out of range; a sorted list takes the entry to its new place.
    void SetName(int index, const QString &name);
    // The integer 0 out of range.
    Variant GetValue(int index) const;
    // Ignored out of range.
    void SetValueAt(int index, const Variant &value);
    // A new entry of the value 0 at the index (clamped to the list); a sorted
    // list puts it in name order and ignores a name it holds.
    void Insert(int index, const QString &name);
    // Ignored out of range.
    void Delete(int index);
    void Clear() { entries_.clear(); }
    // Clears, then copies every entry of the other list in order.
    void Assign(const Variables &other);
    void SetSorted(bool sorted);
    bool Sorted() const { return sorted_; }

private:
    struct Entry {
        QString name;
        Variant value;
    };
    // Where a name is or would go in a sorted list.
    int lowerBound(const QString &name) const;
    void addEntry(const QString &name, const Variant &value);

    std::vector<Entry> entries_;
    bool sorted_ = false;
};

} // namespace reports
