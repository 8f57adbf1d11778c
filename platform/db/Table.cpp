#include "platform/db/Table.h"

#include "platform/Paths.h"
#include "platform/db/Database.h"
#include "platform/db/DbfFile.h"
#include "platform/db/WorkTable.h"

#include <QFileInfo>

namespace platform::db {

Table::~Table()
{
    try {
        close();
    } catch (...) {
        // Closing a table raises nothing worth stopping a destructor for.
    }
}

TableFile Table::resolve(bool mustExist) const
{
    return resolveTable(resolveDatabase(databaseName_), tableName_, tableType_, mustExist);
}

QString Table::filePath() const
{
    return resolve(false).path;
}

bool Table::exists() const
{
    try {
        const TableFile f = resolve(false);
        return fileExists(f.path);
    } catch (const DbError &) {
        return false;
    }
}

void Table::addFieldDef(const QString &name, FieldType type, int size, int precision)
{
    FieldDef d;
    d.name = name;
    d.type = type;
    d.size = size;
    d.precision = precision;
    fieldDefs_.push_back(d);
}

TableStorage *Table::openStorage()
{
    const TableFile f = resolve(true);
    lease_ = TableLease::acquire(f.path, f.type, exclusive_);
    fieldDefs_ = lease_->fieldDefs();
    return lease_.get();
}

void Table::closeStorage()
{
    lease_.release();
}

QString Table::readOnlyMessage() const
{
    return QStringLiteral("Таблица ") + tableName_ + QStringLiteral(" открыта только для чтения !");
}

void Table::createTable()
{
    if (active())
        throw DbError(QStringLiteral("Таблица ") + tableName_ + QStringLiteral(" открыта: создание невозможно !"));
    const TableFile f = resolve(false);
    if (TableLease::inUse(f.path))
        throw DbError(QStringLiteral("Таблица ") + f.path + QStringLiteral(" используется и не может быть заменена !"));
    if (f.type == TableType::Paradox)
        WorkTable::create(f.path, fieldDefs_);
    else
        DbfFile::create(f.path, fieldDefs_);
}

void Table::checkSoleUser(const QString &what)
{
    if (lease_.users() > 1)
        throw DbError(QStringLiteral("Таблица ") + tableName_ + QStringLiteral(" используется другим окном или запросом: ")
                      + what + QStringLiteral(" невозможна !"));
    if (!canModify())
        throw DbError(readOnlyMessage());
}

void Table::runExclusive(void (Table::*operation)()) const
{
    Table temp;
    temp.setDatabaseName(databaseName_);
    temp.setTableName(tableName_);
    temp.setTableType(tableType_);
    temp.setExclusive(true);
    temp.open();
    (temp.*operation)();
}

void Table::emptyTable()
{
    if (!active()) {
        runExclusive(&Table::emptyTable);
        return;
    }
    if (state() != DataSetState::Browse)
        cancel();
    checkSoleUser(QStringLiteral("очистка"));
    storage()->empty();
    first();
    notifyDataSetChanged();
}

void Table::packTable()
{
    if (!active()) {
        runExclusive(&Table::packTable);
        return;
    }
    if (state() != DataSetState::Browse)
        post();
    checkSoleUser(QStringLiteral("упаковка"));
    storage()->pack();
    first();
    notifyDataSetChanged();
}

} // namespace platform::db
