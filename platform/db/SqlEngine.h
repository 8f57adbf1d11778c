#pragma once
// One SQLite connection of a query: an in-memory database in which every
// dBase file the statement names is a virtual table over the file (rowid =
// physical record number; deleted records are not seen; inserts, updates and
// deletes are written to the file when the statement succeeds), and every
// work table is its SQLite file, attached. The connection holds the tables
// open (shared with the other handles of this program) while it lives.

#include "platform/db/SqlDialect.h"
#include "platform/db/TableStorage.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

struct sqlite3;

namespace platform::db {

class DbfFile;

class SqlConnection {
public:
    // folder: the database folder; selectOnly: statements may not change
    // anything (requests of other programs).
    SqlConnection(const QString &folder, bool selectOnly);
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    sqlite3 *db() const { return db_; }
    bool selectOnly() const { return selectOnly_; }
    const QString &folder() const { return folder_; }

    // The table of a file name of the statement, made known to SQLite on
    // first use. Raises DbError for a missing table.
    sql::TableSource table(const QString &fileName);
    // The fields of a table by its SQLite name and schema (as the column
    // metadata of a result tells them), or null.
    const FieldDefs *fieldsOf(const QString &schema, const QString &table) const;
    // Whether the schema and table (column metadata) are the table of that SQLite name.
    bool isTable(const QString &schema, const QString &table, const QString &sqlName) const;

    // Used by the virtual table module.
    DbfFile *dbfFile(int index) const;

private:
    struct Source {
        QString schema;
        QString table;
        sql::TableSource source;
    };
    QString folder_;
    bool selectOnly_;
    sqlite3 *db_ = nullptr;
    std::vector<TableLease> leases_;
    std::vector<DbfFile *> dbfFiles_;
    QHash<QString, int> byPath_; // the file's path -> sources_ index
    std::vector<Source> sources_;
};

} // namespace platform::db
