#pragma once
// The system's own work tables ("points.db", "Tolvane.Db", "Transform"): one
// table per file, kept as an SQLite database under the table's file name.
// Only this system creates and reads them; a ".db" file of another program is
// refused with a clear message. The rows live in memory while the table is
// open (these tables are small); every change goes to the file at once.

#include "platform/db/TableStorage.h"

#include <memory>

struct sqlite3;

namespace platform::db {

class WorkTable : public TableStorage {
public:
    // The application id stamped into every work table file.
    static constexpr int kApplicationId = 0x54564442; // "TVDB"
    // The SQLite table that holds the rows, and the one that holds the field list.
    static constexpr const char *kDataTable = "data";
    static constexpr const char *kFieldTable = "fields";

    static std::unique_ptr<WorkTable> open(const QString &path);
    // Creates the table anew, replacing a file of that name.
    static void create(const QString &path, const FieldDefs &defs);
    // Whether the file is a work table of this system (SQLite with our id).
    static bool isWorkTableFile(const QString &path);

    ~WorkTable() override;

    QString displayName() const override { return path_; }
    int recordCount() override { return static_cast<int>(rows_.size()); }
    QVariant value(int recNo, int field) override;
    qint64 rowId(int recNo) override;
    int recNoOf(qint64 rowId) override;
    bool canWrite() const override { return writable_; }
    int append(const std::vector<QVariant> &values) override;
    void update(int recNo, const std::vector<std::optional<QVariant>> &changes) override;
    void remove(int recNo) override;
    void empty() override;

private:
    explicit WorkTable(const QString &path) : path_(path) {}
    void load();
    void exec(const QString &sql);
    [[noreturn]] void fail(const QString &what) const;
    std::vector<QVariant> readRow(qint64 rowid);

    struct Row {
        qint64 rowid = 0;
        std::vector<QVariant> values;
    };
    QString path_;
    sqlite3 *db_ = nullptr;
    bool writable_ = false;
    std::vector<Row> rows_; // in rowid order
};

} // namespace platform::db
