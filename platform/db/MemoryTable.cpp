#include "platform/db/MemoryTable.h"

namespace platform::db {

class MemoryTable::Storage : public TableStorage {
public:
    Storage(FieldDefs fields, std::vector<std::vector<QVariant>> rows)
    {
        defs_ = std::move(fields);
        for (auto &row : rows) {
            row.resize(defs_.size());
            rows_.push_back({nextId_++, std::move(row)});
        }
    }
    QString displayName() const override { return QStringLiteral("memory"); }
    int recordCount() override { return static_cast<int>(rows_.size()); }
    QVariant value(int recNo, int field) override
    {
        return rows_[static_cast<std::size_t>(recNo - 1)].values[static_cast<std::size_t>(field)];
    }
    qint64 rowId(int recNo) override { return rows_[static_cast<std::size_t>(recNo - 1)].id; }
    int recNoOf(qint64 rowId) override
    {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].id == rowId)
                return static_cast<int>(i) + 1;
        return 0;
    }
    int append(const std::vector<QVariant> &values) override
    {
        std::vector<QVariant> row = values;
        row.resize(defs_.size());
        rows_.push_back({nextId_++, std::move(row)});
        changed();
        return recordCount();
    }
    void update(int recNo, const std::vector<std::optional<QVariant>> &changes) override
    {
        auto &row = rows_[static_cast<std::size_t>(recNo - 1)].values;
        for (std::size_t i = 0; i < changes.size() && i < row.size(); ++i)
            if (changes[i])
                row[i] = *changes[i];
        changed();
    }
    void remove(int recNo) override
    {
        rows_.erase(rows_.begin() + (recNo - 1));
        changed();
    }
    void empty() override
    {
        rows_.clear();
        changed();
    }

private:
    struct Row {
        qint64 id;
        std::vector<QVariant> values;
    };
    std::vector<Row> rows_;
    qint64 nextId_ = 1;
};

MemoryTable::MemoryTable(FieldDefs fields, std::vector<std::vector<QVariant>> rows)
    : storage_(std::make_unique<Storage>(std::move(fields), std::move(rows)))
{
}

MemoryTable::~MemoryTable()
{
    close();
}

TableStorage *MemoryTable::openStorage()
{
    return storage_.get();
}

} // namespace platform::db
