#pragma once
// Databases and table names: a database is a folder or an alias; a table is a
// file of that folder (".dbf" a dBase table, ".db" a work table of the
// system), named with any letter case.
//
// Aliases live in the settings store under the local machine's key
// "SOFTWARE\Tolvane 2\Aliases": one string value per alias, the folder.

#include "platform/db/DbTypes.h"

#include <QString>

namespace platform::db {

// The settings key of the aliases.
QString aliasesKey();
// Writes an alias into the settings store (false when the store cannot be written).
bool setAlias(const QString &alias, const QString &folder);

// The folder a database name stands for: an alias first, then an existing
// folder; an empty name is the current folder. Raises DbError for an unknown
// alias or a missing folder.
QString resolveDatabase(const QString &databaseName);

struct TableFile {
    QString path;   // the existing file, or the name to create
    TableType type = TableType::DBase;
};

// The file of a table name in a database folder. A name with a folder is
// taken as it is (a relative one below the database folder); a name without
// extension is looked for as ".db", then ".dbf" (or by the given type); the
// type follows the extension. With mustExist a missing file raises DbError.
TableFile resolveTable(const QString &folder, const QString &tableName, TableType type, bool mustExist);

} // namespace platform::db
