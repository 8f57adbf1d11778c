#pragma once
// A data set over rows kept in memory: fields, navigation, editing and
// bookmarks as any table has them, without a file (tests, computed lists).

#include "platform/db/DataSet.h"

#include <memory>
#include <vector>

namespace platform::db {

class MemoryTable : public DataSet {
public:
    explicit MemoryTable(FieldDefs fields, std::vector<std::vector<QVariant>> rows = {});
    ~MemoryTable() override;

protected:
    TableStorage *openStorage() override;
    void closeStorage() override {}

private:
    class Storage;
    std::unique_ptr<Storage> storage_;
};

} // namespace platform::db
