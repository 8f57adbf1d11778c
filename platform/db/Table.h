#pragma once
// A table: a dBase file or a work table of the system, named by its file name
// in a database folder (or alias), or by a full path.
//
//   Table t;
//   t.setDatabaseName(workDir);
//   t.setTableName("parcels.Dbf");
//   t.open();
//   for (t.first(); !t.eof(); t.next()) ... t.fieldByName("ID").asInteger() ...

#include "platform/db/DataSet.h"
#include "platform/db/Database.h"

namespace platform::db {

class Table : public DataSet {
public:
    Table() = default;
    ~Table() override;

    void setDatabaseName(const QString &name) { databaseName_ = name; }
    const QString &databaseName() const { return databaseName_; }
    void setTableName(const QString &name) { tableName_ = name; }
    const QString &tableName() const { return tableName_; }
    // DBase for ".dbf" files, Paradox for the work tables (".db"); Default
    // goes by the extension.
    void setTableType(TableType type) { tableType_ = type; }
    TableType tableType() const { return tableType_; }
    // While open exclusively, no other handle of this program may open the
    // file, and opening fails when another handle has it open.
    void setExclusive(bool on) { exclusive_ = on; }
    bool exclusive() const { return exclusive_; }

    // The table's file as it resolves now (it need not exist).
    QString filePath() const;
    bool exists() const;

    // Field definitions for createTable; when the table is open, its fields.
    FieldDefs &fieldDefs() { return fieldDefs_; }
    void addFieldDef(const QString &name, FieldType type, int size = 0, int precision = 0);
    // Creates the table from the field definitions, replacing a file of that
    // name. The table must be closed.
    void createTable();
    // Removes every row. An open table must have no other user in this
    // program; a closed one is opened exclusively for the time of it.
    void emptyTable();
    // Removes the records marked deleted from a dBase table, keeping the order
    // of the others; same conditions as emptyTable.
    void packTable();

protected:
    TableStorage *openStorage() override;
    void closeStorage() override;
    QString readOnlyMessage() const override;

private:
    TableFile resolve(bool mustExist) const;
    void checkSoleUser(const QString &what);
    // Runs an operation of a closed table through an exclusive handle of
    // its own, open for the time of it.
    void runExclusive(void (Table::*operation)()) const;

    QString databaseName_;
    QString tableName_;
    TableType tableType_ = TableType::Default;
    bool exclusive_ = false;
    FieldDefs fieldDefs_;
    TableLease lease_;
};

} // namespace platform::db
