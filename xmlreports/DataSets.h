#pragma once
// Row sources of reports and the report's lists of data sets and
// variables. Every data set alive is in one global list under its own lock,
// so a report finds a data set by user name wherever it sits.

#include "platform/Variant.h"
#include "platform/classlib/Types.h"
#include "xmlreports/Component.h"

#include <functional>

namespace xmlreports {

using platform::Variant;
using platform::classlib::TCollection;
using platform::classlib::TCollectionItem;
using platform::classlib::TStringList;

enum TfrxRangeBegin { rbFirst, rbCurrent };
enum TfrxRangeEnd { reLast, reCurrent, reCount };
enum TfrxFieldType { fftNumeric, fftString, fftBoolean };

class TfrxDataSet : public TfrxDialogComponent {
    TOLVANE_CLASSINFO
public:
    explicit TfrxDataSet(TComponent *owner = nullptr);
    ~TfrxDataSet() override;

    bool Enabled = true;
    TfrxRangeBegin RangeBegin = rbFirst;
    TfrxRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    int RecNo = 0;
    bool OpenDataSource = true;
    bool CloseDataSource = false;
    std::function<void(TObject *, bool &)> OnCheckEOF;
    platform::classlib::TNotifyEvent OnFirst, OnNext, OnPrior, OnOpen, OnClose;

    const QString &UserName() const { return userName_; }
    // Empty after trimming: the text of "prInvProp", the name unchanged.
    virtual void SetUserName(const QString &name);
    // UserName follows a new name while it is empty or equal to the old.
    void SetName(const QString &name) override;

    virtual QString DisplayText(const QString &) const { return {}; }
    virtual int DisplayWidth(const QString &) const { return 10; }
    virtual TfrxFieldType FieldType(const QString &) const { return fftNumeric; }
    virtual Variant Value(const QString &) const { return Variant::null(); }
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof() const;
    virtual int FieldsCount() const { return 0; }
    virtual bool IsBlobField(const QString &) const { return false; }
    virtual int RecordCount() const;
    virtual void GetFieldList(QStringList &list) const { list.clear(); }
    bool HasField(const QString &name) const;

private:
    QString userName_;
};

// Rows from the host's events.
class TfrxUserDataSet : public TfrxDataSet {
    TOLVANE_CLASSINFO
public:
    explicit TfrxUserDataSet(TComponent *owner = nullptr);
    ~TfrxUserDataSet() override;
    TStringList *Fields() const { return fields_; }
    void SetFields(TStringList *list) { fields_->Assign(list); }
    std::function<void(const QString &field, Variant &value)> OnGetValue;

    Variant Value(const QString &field) const override;
    QString DisplayText(const QString &field) const override;
    int FieldsCount() const override { return fields_->Count(); }
    void GetFieldList(QStringList &list) const override;

private:
    TStringList *fields_;
};

// The data set a report uses, by reference and by user name.
class TfrxDataSetItem : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    using TCollectionItem::TCollectionItem;
    TfrxDataSet *DataSet() const { return dataSet_; }
    void SetDataSet(TfrxDataSet *dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString &name);

private:
    TfrxDataSet *dataSet_ = nullptr;
    QString name_;
};

class TfrxReportDataSets : public TCollection {
    TOLVANE_CLASSINFO
public:
    explicit TfrxReportDataSets(TfrxComponent *report = nullptr);
    TfrxComponent *Report() const { return report_; }
    TfrxDataSetItem *Items(int index) const { return static_cast<TfrxDataSetItem *>(TCollection::Items(index)); }
    TfrxDataSetItem *Add() { return static_cast<TfrxDataSetItem *>(TCollection::Add()); }
    void Initialize();
    void Finalize();
    TfrxDataSetItem *Find(const TfrxDataSet *dataSet) const;
    // ASCII letter case ignored.
    TfrxDataSetItem *FindByUserName(const QString &name) const;

private:
    TfrxComponent *report_;
};

// The data set of that user name (letter case ignored, Cyrillic too) in the
// global list; a report does not see another report's data sets. Without
// a name none, without a report or a match the current one.
TfrxDataSet *FindDataSet(TfrxDataSet *current, const QString &userName, TfrxComponent *report);

class TfrxVariable : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    using TCollectionItem::TCollectionItem;
    QString Name;
    Variant Value = Variant::null();
    void Assign(const TPersistent *source) override;
};

class TfrxVariables : public TCollection {
    TOLVANE_CLASSINFO
public:
    TfrxVariables();
    TfrxVariable *Add() { return static_cast<TfrxVariable *>(TCollection::Add()); }
    TfrxVariable *Items(int index) const { return static_cast<TfrxVariable *>(TCollection::Items(index)); }
    // Letter case ignored (Cyrillic too); -1.
    int IndexOf(const QString &name) const;
    // Null for a name that is not there.
    Variant Variables(const QString &name) const;
    // Replaces the first of that name or appends.
    void SetVariable(const QString &name, const Variant &value);
};

void RegisterDataSetClasses();

} // namespace xmlreports
