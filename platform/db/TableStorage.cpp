#include "platform/db/TableStorage.h"

#include "platform/Paths.h"
#include "platform/db/DbfFile.h"
#include "platform/db/WorkTable.h"

#include <QFileInfo>

#include <map>
#include <mutex>

namespace platform::db {

namespace {

struct OpenEntry {
    std::shared_ptr<TableStorage> storage;
    int users = 0;
    bool exclusive = false;
};

std::mutex &registryMutex()
{
    static std::mutex m;
    return m;
}

std::map<QString, OpenEntry> &registry()
{
    static std::map<QString, OpenEntry> r;
    return r;
}

QString keyOf(const QString &path)
{
    const QString found = findExistingPath(path);
    if (found.isEmpty())
        return {};
    const QString canonical = QFileInfo(found).canonicalFilePath();
    return canonical.isEmpty() ? found : canonical;
}

} // namespace

TableLease::TableLease(TableLease &&other) noexcept
    : storage_(std::move(other.storage_)), key_(std::move(other.key_)), exclusive_(other.exclusive_)
{
    other.storage_.reset();
}

TableLease &TableLease::operator=(TableLease &&other) noexcept
{
    if (this != &other) {
        release();
        storage_ = std::move(other.storage_);
        key_ = std::move(other.key_);
        exclusive_ = other.exclusive_;
        other.storage_.reset();
    }
    return *this;
}

TableLease::~TableLease()
{
    release();
}

void TableLease::release()
{
    if (!storage_)
        return;
    std::shared_ptr<TableStorage> last;
    {
        std::lock_guard lock(registryMutex());
        auto it = registry().find(key_);
        if (it != registry().end() && it->second.storage == storage_) {
            if (exclusive_)
                it->second.exclusive = false;
            if (--it->second.users <= 0) {
                last = std::move(it->second.storage);
                registry().erase(it);
            }
        }
    }
    storage_.reset();
    // The file is closed here, outside the lock.
    last.reset();
}

int TableLease::users() const
{
    std::lock_guard lock(registryMutex());
    const auto it = registry().find(key_);
    return it == registry().end() ? 0 : it->second.users;
}

bool TableLease::inUse(const QString &path)
{
    const QString key = keyOf(path);
    std::lock_guard lock(registryMutex());
    return !key.isEmpty() && registry().count(key) > 0;
}

TableLease TableLease::acquire(const QString &path, TableType type, bool exclusive)
{
    const QString key = keyOf(path);
    if (key.isEmpty())
        throw DbError(QStringLiteral("Таблица ") + path + QStringLiteral(" не найдена !"));
    std::lock_guard lock(registryMutex());
    auto it = registry().find(key);
    if (it != registry().end()) {
        if (it->second.exclusive)
            throw DbError(QStringLiteral("Таблица ") + key + QStringLiteral(" открыта монопольно и сейчас недоступна !"));
        if (exclusive)
            throw DbError(QStringLiteral("Таблица ") + key
                          + QStringLiteral(" уже открыта и не может быть открыта монопольно !"));
    }
    TableLease lease;
    lease.key_ = key;
    lease.exclusive_ = exclusive;
    if (it == registry().end()) {
        OpenEntry e;
        if (type == TableType::Paradox)
            e.storage = WorkTable::open(key);
        else
            e.storage = DbfFile::open(key);
        it = registry().emplace(key, std::move(e)).first;
    }
    it->second.users += 1;
    it->second.exclusive = exclusive;
    lease.storage_ = it->second.storage;
    return lease;
}

} // namespace platform::db
