#pragma once
// An open dBase file: records by physical number, soft delete, append at the
// end (overwriting the end mark 0x1A and writing a new one), pack and empty,
// with the header's record count and date kept right after every change.
// Memo texts live in the ".dbt" file beside the table (blocks of 512 bytes).

#include "platform/db/DbfCodec.h"
#include "platform/db/TableStorage.h"

#include <QFile>

#include <map>
#include <memory>

namespace platform::db {

class DbfFile : public TableStorage {
public:
    // Opens an existing file, for writing when the file allows it. Raises
    // DbError when the file is missing, unreadable or no dBase table.
    static std::unique_ptr<DbfFile> open(const QString &path);
    // Writes a new empty table, replacing a file of that name; a memo field
    // makes an empty ".dbt" beside it.
    static void create(const QString &path, const FieldDefs &defs);

    ~DbfFile() override;

    QString displayName() const override { return path_; }
    int recordCount() override { return count_; }
    bool isDeleted(int recNo) override;
    QVariant value(int recNo, int field) override;
    bool canWrite() const override { return writable_; }
    int append(const std::vector<QVariant> &values) override;
    void update(int recNo, const std::vector<std::optional<QVariant>> &changes) override;
    void remove(int recNo) override;
    bool keepsDeletedRecords() const override { return true; }
    void empty() override;
    void pack() override;

    const dbf::DbfHeader &header() const { return header_; }
    // The bytes of a record, delete flag first.
    QByteArray record(int recNo);
    // The same without a copy; valid while cacheGeneration() stays the same.
    QByteArrayView recordView(int recNo);
    quint64 cacheGeneration() const { return generation_; }

    // While a batch is open, changes are held in memory and read back from
    // there; commit writes them all, rollback drops them. SQL statements run
    // in a batch so that a failing statement writes nothing.
    void beginBatch();
    void commitBatch();
    void rollbackBatch();
    bool inBatch() const { return batch_; }

private:
    explicit DbfFile(const QString &path);
    void load();
    void reopen();
    void checkWritable() const;
    void checkRecNo(int recNo) const;
    QByteArray readRecordFromFile(int recNo);
    QByteArrayView cachedRecord(int recNo);
    QByteArray encodeRecord(QByteArray record, const std::vector<std::optional<QVariant>> &values);
    void writeRecord(int recNo, const QByteArray &bytes, bool appended);
    void writeHeaderCountAndDate();
    void writeAt(qint64 offset, const QByteArray &bytes);
    [[noreturn]] void writeFailed() const;

    QString readMemo(qint64 block);
    qint64 writeMemo(const QString &text);
    QByteArray readMemoBytes(qint64 block);
    QByteArray readMemoBlock(qint64 block, bool text);
    qint64 writeMemoBlocks(QByteArray bytes);
    qint64 writeMemoBytes(const QByteArray &data);
    QFile *memoFile(bool create);

    QString path_;
    QFile file_;
    bool writable_ = false;
    dbf::DbfHeader header_;
    QByteArray headerBytes_;
    int count_ = 0;          // records, the pending appends of a batch included
    int committedCount_ = 0; // records on disk

    QByteArray cache_;
    int cacheFirst_ = 0;
    int cacheCount_ = 0;
    quint64 generation_ = 0; // grows whenever bytes handed out by recordView may move

    bool batch_ = false;
    bool committing_ = false; // the header is written once at the end of a commit
    std::map<int, QByteArray> pending_;

    std::unique_ptr<QFile> memo_;
    bool memoLooked_ = false;
};

} // namespace platform::db
