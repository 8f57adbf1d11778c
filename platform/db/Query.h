#pragma once
// A query: SQL text (the lines of a memo) over the tables of a database
// folder or alias.
//
//   Query q;
//   q.setDatabaseName(workDir);
//   q.setSql({"Select *", "From \"parcels.dbf\"", "Where (STREET Like \"%Шевченка%\")", "ORDER BY STREET"});
//   q.open();
//
// The result of a select over one table (no joins, grouping or aggregates) is
// live: editing, appending and deleting its rows writes the table. Other
// results are read-only. A query that runs requests of other programs is set
// select-only: anything but one select statement is refused and nothing can
// be written through it.

#include "platform/db/DataSet.h"

#include <QStringList>

#include <memory>

namespace platform::db {

class SqlConnection;

class Query : public DataSet {
public:
    Query();
    ~Query() override;

    void setDatabaseName(const QString &name) { databaseName_ = name; }
    const QString &databaseName() const { return databaseName_; }

    // The SQL text as lines; changing it closes the query.
    const QStringList &sql() const { return sql_; }
    void setSql(const QStringList &lines);
    void setSqlText(const QString &text);
    QString sqlText() const { return sql_.join(u'\n'); }

    void setSelectOnly(bool on) { selectOnly_ = on; }
    bool selectOnly() const { return selectOnly_; }

    // Runs a statement that gives no rows (or discards them); raises DbError.
    void execSql();
    // Rows changed by the last execSql.
    int rowsAffected() const { return rowsAffected_; }
    // Whether the open result can be edited.
    bool live() const;

protected:
    TableStorage *openStorage() override;
    void closeStorage() override;
    QString readOnlyMessage() const override;

private:
    QString databaseName_;
    QStringList sql_;
    bool selectOnly_ = false;
    int rowsAffected_ = 0;
    std::unique_ptr<SqlConnection> connection_;
    std::unique_ptr<TableStorage> result_;
};

} // namespace platform::db
