#pragma once
// What a data set walks: the rows of one table file or of one query result.
// Table files are shared: every handle of this program on the same file uses
// one storage object, so an append through one handle is seen by the others,
// and exclusive use is honoured between them.

#include "platform/db/DbTypes.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace platform::db {

class TableStorage {
public:
    virtual ~TableStorage() = default;

    const FieldDefs &fieldDefs() const { return defs_; }
    // The file (or, for a query result, the SQL) for messages.
    virtual QString displayName() const = 0;

    // Rows are numbered from 1. For a dBase file the number is the physical
    // record number and a deleted record keeps its place until the file is
    // packed; in the other storages deleting a row closes the gap.
    virtual int recordCount() = 0;
    virtual bool isDeleted(int /*recNo*/) { return false; }
    virtual QVariant value(int recNo, int field) = 0;
    // A number that stays with the row while rows before it are removed
    // (bookmarks), and the row that has it now (0 when gone).
    virtual qint64 rowId(int recNo) { return recNo; }
    virtual int recNoOf(qint64 rowId) { return rowId >= 1 && rowId <= recordCount() ? static_cast<int>(rowId) : 0; }

    virtual bool canWrite() const { return true; }
    virtual bool canWriteField(int /*field*/) const { return canWrite(); }
    // Appends a row of the given values (one per field, null for blank) and
    // returns its number. Nothing is written when a value does not fit.
    virtual int append(const std::vector<QVariant> &values) = 0;
    // Changes the fields that have a value in `changes`.
    virtual void update(int recNo, const std::vector<std::optional<QVariant>> &changes) = 0;
    virtual void remove(int recNo) = 0;
    virtual bool keepsDeletedRecords() const { return false; }
    // Removes every row.
    virtual void empty() = 0;
    // Removes the rows marked deleted, keeping the order of the others.
    virtual void pack() {}

    // Grows with every change of the rows, so that readers know when what
    // they hold is stale.
    quint64 version() const { return version_; }

protected:
    void changed() { ++version_; }
    FieldDefs defs_;
    quint64 version_ = 1;
};

// One handle's use of a shared table file: released when the lease goes.
class TableLease {
public:
    TableLease() = default;
    TableLease(TableLease &&other) noexcept;
    TableLease &operator=(TableLease &&other) noexcept;
    TableLease(const TableLease &) = delete;
    TableLease &operator=(const TableLease &) = delete;
    ~TableLease();

    TableStorage *get() const { return storage_.get(); }
    TableStorage *operator->() const { return storage_.get(); }
    explicit operator bool() const { return storage_ != nullptr; }
    bool exclusive() const { return exclusive_; }
    // How many handles of this program use the file now (this one included).
    int users() const;
    void release();

    // Opens the existing file (dBase or a work table by `type`), sharing the
    // storage with other handles. Raises DbError when the file is held
    // exclusively by another handle, or when `exclusive` is asked while
    // another handle has it open.
    static TableLease acquire(const QString &path, TableType type, bool exclusive);
    // Whether any handle of this program has the file open.
    static bool inUse(const QString &path);

private:
    std::shared_ptr<TableStorage> storage_;
    QString key_;
    bool exclusive_ = false;
};

} // namespace platform::db
