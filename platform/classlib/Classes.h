#pragma once
// The class library's base classes: persistent objects (Assign, defined
// properties for the binary stream), components (an owner that frees what it
// owns, a checked Name, the loading state, free notification), lists,
// collections of persistent items and string lists.

#include "platform/classlib/Reflection.h"
#include "platform/classlib/Types.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace platform::classlib {

class TFiler;
class TStream;

// A refused operation of the base classes: an assignment between classes
// that do not know each other, a bad component name, a list index outside
// the list. The texts are the system's.
class ClassError : public std::runtime_error {
public:
    explicit ClassError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// An object that can copy another (Assign) and store more than its
// published properties in the binary property stream (DefineProperties).
class TPersistent : public TObject {
    TOLVANE_CLASSINFO
public:
    // Copies the source; a class that does not know the source asks the
    // source to assign itself (AssignTo), and that raises "Невозможно
    // присвоить ... объекту ..." when neither knows the other.
    virtual void Assign(const TPersistent *source);
    // Declares the defined properties of the binary stream (TFiler).
    virtual void DefineProperties(TFiler &filer);
    // The object that owns this one in the sense of the name path (a
    // collection's owner, a component's owner); none by default.
    virtual TPersistent *GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent *target) const;
};

enum ComponentStateFlag : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};
enum class Operation { Insert, Remove };

// A component: owned by another (which frees it), owning others, named.
class TComponent : public TPersistent {
    TOLVANE_CLASSINFO
public:
    explicit TComponent(TComponent *owner = nullptr);
    ~TComponent() override;

    TComponent *Owner() const { return owner_; }
    TPersistent *GetOwner() const override { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent *Components(int index) const;
    // An owned component by name, letter case ignored; null when none.
    TComponent *FindComponent(QStringView name) const;
    void InsertComponent(TComponent *component);
    void RemoveComponent(TComponent *component);
    // Frees every owned component, the last first.
    void DestroyComponents();

    const QString &Name() const { return name_; }
    // An identifier (letters, digits and "_", not starting with a digit) or
    // empty, unique among the owner's components (letter case ignored);
    // ClassError otherwise, the name unchanged.
    virtual void SetName(const QString &name);
    int Tag = 0;

    unsigned ComponentState() const { return state_; }
    // The reader marks a component as loading; Loaded ends it.
    void SetLoading() { state_ |= csLoading; }
    void SetDesigning(bool on) { state_ = on ? state_ | csDesigning : state_ & ~csDesigning; }
    virtual void Loaded();

    // Asks to be told (Notification with Operation::Remove) when the
    // component is freed; both sides forget each other when either goes.
    void FreeNotification(TComponent *component);
    void RemoveFreeNotification(TComponent *component);
    // Told of components inserted into and removed from the owner, and of
    // freed components this one asked about; passes it to the owned ones.
    virtual void Notification(TComponent *component, Operation operation);

private:
    void forget(TComponent *component);

    TComponent *owner_ = nullptr;
    std::vector<TComponent *> components_;
    std::vector<TComponent *> freeNotifies_;
    QString name_;
    unsigned state_ = 0;
};

// Whether the text is an identifier (letters of the Latin alphabet, digits
// and "_", not starting with a digit).
bool isValidIdent(QStringView text);

// A list of untyped pointers.
class TList : public TObject {
    TOLVANE_CLASSINFO
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void *Items(int index) const;
    void Put(int index, void *item);
    int Add(void *item);
    void Insert(int index, void *item);
    void Delete(int index);
    // Removes the first occurrence; its former index or -1.
    int Remove(void *item);
    int IndexOf(void *item) const;
    void Clear() { items_.clear(); }
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Sort(const std::function<int(void *, void *)> &compare);
    void *First() const { return Items(0); }
    void *Last() const { return Items(Count() - 1); }

private:
    void check(int index) const;
    std::vector<void *> items_;
};

// "Индекс списка вне границ (N)".
[[noreturn]] void listIndexError(int index);

class TCollection;

// An item of a collection; freeing it takes it out.
class TCollectionItem : public TPersistent {
    TOLVANE_CLASSINFO
public:
    explicit TCollectionItem(TCollection *collection = nullptr);
    ~TCollectionItem() override;

    TCollection *Collection() const { return collection_; }
    void SetCollection(TCollection *collection);
    int Index() const;
    void SetIndex(int index);
    int ID() const { return id_; }
    virtual QString DisplayName() const { return className(); }
    TPersistent *GetOwner() const override;

private:
    friend class TCollection;
    TCollection *collection_ = nullptr;
    int id_ = 0;
};

// An owned list of items of one class (made through its constructor entry).
class TCollection : public TPersistent {
    TOLVANE_CLASSINFO
public:
    explicit TCollection(const ClassInfo &itemClass, TPersistent *owner = nullptr);
    ~TCollection() override;

    const ClassInfo &ItemClass() const { return *itemClass_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem *Items(int index) const;
    TCollectionItem *Add();
    TCollectionItem *Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem *FindItemID(int id) const;
    // Copies the items of another collection through their Assign.
    void Assign(const TPersistent *source) override;
    TPersistent *GetOwner() const override { return owner_; }
    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    // Called after a change (item null: the whole collection).
    virtual void Update(TCollectionItem *item);

private:
    friend class TCollectionItem;
    void insertItem(TCollectionItem *item);
    void removeItem(TCollectionItem *item);
    void changed();

    const ClassInfo *itemClass_;
    TPersistent *owner_;
    std::vector<TCollectionItem *> items_;
    int nextId_ = 0;
    int updating_ = 0;
};

// A list of 8-bit strings (held as QString, characters of the code page),
// each with an object pointer the list does not own.
class TStrings : public TPersistent {
    TOLVANE_CLASSINFO
public:
    virtual int Count() const = 0;
    // The line; ClassError "Индекс списка вне границ" outside the list.
    virtual QString Get(int index) const = 0;
    virtual TObject *GetObject(int index) const = 0;
    virtual void Put(int index, const QString &text) = 0;
    virtual void PutObject(int index, TObject *object) = 0;
    virtual void InsertObject(int index, const QString &text, TObject *object) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    QString Strings(int index) const { return Get(index); }
    void Insert(int index, const QString &text) { InsertObject(index, text, nullptr); }
    virtual int Add(const QString &text) { return AddObject(text, nullptr); }
    virtual int AddObject(const QString &text, TObject *object);
    void AddStrings(const TStrings &other);
    // The first line equal to the text (letter case ignored, as the code
    // page's case rules say), -1 when none.
    virtual int IndexOf(const QString &text) const;
    int IndexOfObject(const TObject *object) const;

    // Every line followed by CR LF.
    QString Text() const;
    // Lines end at CR, LF or CR LF; an end mark at the very end adds no
    // empty line.
    void SetText(QStringView text);

    void Assign(const TPersistent *source) override;
    // "Strings": the lines as a list of strings.
    void DefineProperties(TFiler &filer) override;
    // The 8-bit text of the code page from the position to the end.
    void LoadFromStream(TStream &stream);
    void SaveToStream(TStream &stream) const;
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    virtual void SetUpdateState(bool /*updating*/) {}

private:
    int updateCount_ = 0;
};

enum class Duplicates { Ignore, Accept, Error };

class TStringList : public TStrings {
    TOLVANE_CLASSINFO
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    QString Get(int index) const override;
    TObject *GetObject(int index) const override;
    void Put(int index, const QString &text) override;
    void PutObject(int index, TObject *object) override;
    void InsertObject(int index, const QString &text, TObject *object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const QString &text) override { return AddObject(text, nullptr); }
    int AddObject(const QString &text, TObject *object) override;
    int IndexOf(const QString &text) const override;

    // Sorted: kept in order, Add puts a line in its place and Insert and
    // Put are refused; Duplicates says what Add does with a line the sorted
    // list holds.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    Duplicates DuplicatesMode() const { return duplicates_; }
    void SetDuplicates(Duplicates mode) { duplicates_ = mode; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool on);
    // In a sorted list: whether the line is there, and the index of it or
    // of where it would go.
    bool Find(const QString &text, int &index) const;
    void Sort();
    void CustomSort(const std::function<int(const TStringList &, int, int)> &compare);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;

private:
    struct Item {
        QString text;
        TObject *object = nullptr;
    };
    int compare(const QString &a, const QString &b) const;
    void check(int index) const;
    void changing();
    void changed();

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    Duplicates duplicates_ = Duplicates::Ignore;
};

} // namespace platform::classlib
