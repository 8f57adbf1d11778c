#pragma once
// A data set: the rows of a table or of a query result, walked one current
// record at a time, with fields read and written by name, append / edit /
// post / cancel / delete, locate, bookmarks, calculated fields and links
// that follow the current record (grids, bound controls).

#include "platform/db/DbTypes.h"
#include "platform/db/TableStorage.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace platform::db {

class DataSet;

// Read access to one record of a data set, for calculated fields.
class RecordView {
public:
    RecordView(DataSet &dataSet, int recNo) : dataSet_(dataSet), recNo_(recNo) {}
    // The stored value of a data field of that record (null for an unknown name).
    QVariant value(QStringView fieldName) const;
    int recNo() const { return recNo_; }
private:
    DataSet &dataSet_;
    int recNo_;
};

using CalcFunction = std::function<QVariant(const RecordView &)>;

class Field {
public:
    const QString &fieldName() const { return def_.name; }
    FieldType dataType() const { return def_.type; }
    int size() const { return def_.size; }
    int precision() const { return def_.precision; }
    const FieldDef &def() const { return def_; }
    int index() const { return index_; }
    bool isCalculated() const { return calculated_; }
    bool isBlob() const { return isBlobType(def_.type); }
    bool readOnly() const;
    DataSet &dataSet() const { return *dataSet_; }

    // The caption a grid shows (the field name unless set).
    QString displayLabel() const { return label_.isEmpty() ? def_.name : label_; }
    void setDisplayLabel(const QString &label) { label_ = label; }

    QVariant value() const;
    bool isNull() const;
    // Text as the platform shows it: numbers with the regional decimal
    // separator, dates as "dd.MM.yyyy", logicals as "True" / "False"; "" for null.
    QString asString() const;
    double asFloat() const;     // 0 for null or a text that is no number
    int asInteger() const;      // rounded half to even
    qint64 asLargeInt() const;
    bool asBoolean() const;
    QDate asDate() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;
    // Writes the bytes of a blob (or the text of any other field, Windows-1251) to a stream.
    void saveToStream(QIODevice &out) const;

    // Writing needs the data set in edit or insert mode. A value that cannot
    // be one of the field's type raises DbError.
    void setValue(const QVariant &value);
    void setAsString(const QString &text);
    void setAsFloat(double v) { setValue(v); }
    void setAsInteger(int v) { setValue(v); }
    void setAsBoolean(bool v) { setValue(v); }
    void setAsDate(const QDate &d) { setValue(d); }
    void setAsDateTime(const QDateTime &dt) { setValue(dt); }
    void setAsBytes(const QByteArray &bytes) { setValue(bytes); }
    void loadFromStream(QIODevice &in);
    void clear() { setValue(QVariant()); }

private:
    friend class DataSet;
    Field(DataSet *dataSet, int index, const FieldDef &def, bool calculated)
        : dataSet_(dataSet), index_(index), def_(def), calculated_(calculated) {}
    DataSet *dataSet_;
    int index_;
    FieldDef def_;
    bool calculated_;
    QString label_;
};

// A place in a data set; stays with its row while other rows come and go.
struct Bookmark {
    qint64 id = 0;
    bool isValid() const { return id != 0; }
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

struct LocateOptions {
    bool caseInsensitive = true;
    bool partialKey = false;
};

// Follows a data set: a grid or a bound control.
class DataLink {
public:
    virtual ~DataLink();
    DataSet *dataSet() const { return dataSet_; }
    // Opened or closed.
    virtual void activeChanged() {}
    // Rows came or went, or the data set was opened anew.
    virtual void dataSetChanged() {}
    // The current record moved.
    virtual void dataSetScrolled() {}
    // A value of the current record changed (field null: the whole record, after post or cancel).
    virtual void recordChanged(Field * /*field*/) {}
    // Edit or insert mode began or ended.
    virtual void editingChanged() {}
    // Asked before a post: write what the control holds into its field.
    virtual void updateData() {}

private:
    friend class DataSet;
    DataSet *dataSet_ = nullptr;
};

// Binds one field of the current record to a control: tells it when the value
// changes and asks for its value before a post when the control was changed.
class FieldDataLink : public DataLink {
public:
    void setFieldName(const QString &name) { fieldName_ = name; }
    const QString &fieldName() const { return fieldName_; }
    Field *field() const;
    bool modified() const { return modified_; }
    // The control changed its value; the data set must be in edit or insert mode.
    void setModified();
    void reset() { modified_ = false; }

    std::function<void()> onDataChange;
    std::function<void()> onUpdateData;

    void activeChanged() override { dataChange(); }
    void dataSetChanged() override { dataChange(); }
    void dataSetScrolled() override { dataChange(); }
    void recordChanged(Field *field) override;
    void updateData() override;

private:
    void dataChange();
    QString fieldName_;
    bool modified_ = false;
};

class DataSet {
public:
    DataSet();
    virtual ~DataSet();
    DataSet(const DataSet &) = delete;
    DataSet &operator=(const DataSet &) = delete;

    void open();
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    DataSetState state() const { return state_; }

    // Fields: the data fields in table order, then the calculated ones.
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field &field(int index) const;
    Field *findField(QStringView name) const;
    // Raises DbError "Поле X не найдено" for an unknown name.
    Field &fieldByName(QStringView name) const;
    QStringList fieldNames() const;
    // A calculated field: its value comes from the function for each record.
    // Added while the data set is closed.
    void addCalculatedField(const QString &name, FieldType type, int size, CalcFunction function);

    // Navigation. Record numbers count from 1; for a dBase table they are the
    // physical record numbers, and records marked deleted are visited too
    // (isDeletedRecord tells them) so that row k + 1 stays row k + 1.
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int moveBy(int distance);
    int recNo() const;
    // Moves to a record; false (and Eof, or Bof below 1) when there is none.
    bool setRecNo(int recNo);
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool isDeletedRecord() const;

    // Editing. Moving to another record posts a changed record first.
    void append();
    void insert() { append(); }
    void edit();
    void post();
    void cancel();
    // Deletes the current record; the data set then stands on the following one.
    void deleteRecord();
    bool modified() const { return modified_; }
    bool canModify() const;
    void setReadOnly(bool on) { readOnly_ = on; }
    bool readOnly() const { return readOnly_; }
    // Called after append() makes a new record, to give it starting values.
    void setOnNewRecord(std::function<void(DataSet &)> handler) { onNewRecord_ = std::move(handler); }

    // Moves to the first record (deleted ones passed over) whose fields, named
    // in one text with ";" between the names, equal the values; text compares
    // without regard to case (Cyrillic too) unless asked otherwise. The data
    // set stays where it was when none matches.
    bool locate(const QString &keyFields, const QVariantList &values, LocateOptions options = {});
    bool locate(const QString &keyField, const QVariant &value, LocateOptions options = {})
    {
        return locate(keyField, QVariantList{value}, options);
    }

    Bookmark getBookmark() const;
    // The bookmark of any record, without moving to it.
    Bookmark bookmarkAt(int recNo) const;
    // Raises DbError when the bookmarked record is gone.
    void gotoBookmark(const Bookmark &bookmark);
    void freeBookmark(Bookmark &bookmark) { bookmark = {}; }
    bool bookmarkValid(const Bookmark &bookmark) const;
    // <0, 0, >0 by the order of the two records.
    int compareBookmarks(const Bookmark &a, const Bookmark &b) const;

    // The value of any record without moving to it (grids); the current record
    // shows its unposted changes.
    QVariant valueAt(int recNo, int fieldIndex);
    bool isDeletedAt(int recNo);

    void addLink(DataLink *link);
    void removeLink(DataLink *link);

protected:
    // Opens the rows; raises DbError.
    virtual TableStorage *openStorage() = 0;
    virtual void closeStorage() = 0;
    // The message for a data set that cannot be changed.
    virtual QString readOnlyMessage() const;
    TableStorage *storage() const { return storage_; }
    void notifyDataSetChanged();

private:
    friend class Field;
    friend class RecordView;
    void checkActive() const;
    void checkBrowseMode();
    void setPosition(int recNo, bool eof, bool bof);
    QVariant fieldValue(int index) const;
    QVariant storedValue(int recNo, int index);
    void setFieldValue(int index, const QVariant &value);
    bool matches(int recNo, const std::vector<int> &fields, const QVariantList &values, LocateOptions options);
    template <typename F> void notify(F f);

    TableStorage *storage_ = nullptr;
    DataSetState state_ = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> fields_;
    struct CalcDef {
        QString name;
        FieldType type;
        int size;
        CalcFunction function;
    };
    std::vector<CalcDef> calcDefs_;
    int dataFieldCount_ = 0;
    int recNo_ = 0;
    int savedRecNo_ = 0; // where an append began
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    bool readOnly_ = false;
    std::vector<std::optional<QVariant>> edits_;
    mutable std::vector<std::optional<QVariant>> cache_;
    mutable int cacheRecNo_ = 0;
    mutable quint64 cacheVersion_ = 0;
    std::function<void(DataSet &)> onNewRecord_;
    std::vector<DataLink *> links_;
};

} // namespace platform::db
