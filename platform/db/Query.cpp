#include "platform/db/Query.h"

#include "platform/TextCodec.h"
#include "platform/db/Database.h"
#include "platform/db/SqlEngine.h"
#include "platform/db/SqlSupport.h"

#include <QHash>

#include <sqlite3.h>

namespace platform::db {

namespace {

QString columnText(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

[[noreturn]] void refuseChange()
{
    throw DbError(QStringLiteral("Запрос другой программы отклонён: допускается только выборка данных (Select) !"));
}

// The rows of a select, held in memory. A live result knows the table row
// of each of its rows and writes changes there through SQL.
class ResultStorage : public TableStorage {
public:
    ResultStorage(SqlConnection &connection, const sql::TranslatedSql &statement)
        : connection_(connection), live_(statement.live), table_(statement.liveTable)
    {
        sql::Statement st(connection.db(), statement.text);
        if (connection.selectOnly() && !sqlite3_stmt_readonly(st.get()))
            refuseChange();
        const int columns = sqlite3_column_count(st.get());
        const int first = live_ ? 1 : 0;
        std::vector<bool> typed;
        for (int c = first; c < columns; ++c) {
            FieldDef def;
            def.name = columnText(sqlite3_column_name(st.get(), c));
            def.type = FieldType::Unknown;
            QString origin;
            const QString schema = columnText(sqlite3_column_database_name(st.get(), c));
            const QString table = columnText(sqlite3_column_table_name(st.get(), c));
            const QString column = columnText(sqlite3_column_origin_name(st.get(), c));
            if (!table.isEmpty() && !column.isEmpty()) {
                if (const FieldDefs *defs = connection.fieldsOf(schema, table)) {
                    const int i = findFieldDef(*defs, column);
                    if (i >= 0) {
                        const FieldDef &src = (*defs)[static_cast<size_t>(i)];
                        def.type = src.type;
                        def.size = src.size;
                        def.precision = src.precision;
                        def.dbfType = src.dbfType;
                        if (live_ && connection.isTable(schema, table, table_))
                            origin = src.name;
                    }
                }
            }
            // Repeated names (a join of tables with common fields) get a number, as
            // the platform names them: ID_Object, ID_Object_1.
            const QString base = def.name;
            for (int n = 1; findFieldDef(defs_, def.name) >= 0; ++n)
                def.name = base + u'_' + QString::number(n);
            typed.push_back(def.type != FieldType::Unknown);
            defs_.push_back(def);
            origins_.push_back(origin);
        }
        while (st.step()) {
            if (live_)
                rowids_.push_back(sqlite3_column_int64(st.get(), 0));
            std::vector<QVariant> row(defs_.size());
            for (size_t i = 0; i < defs_.size(); ++i)
                row[i] = sql::columnValue(st.get(), static_cast<int>(i) + first, defs_[i].type);
            rows_.push_back(std::move(row));
        }
        // Expressions take the type of the values they gave.
        for (size_t i = 0; i < defs_.size(); ++i) {
            if (typed[i])
                continue;
            bool anyInt = false, anyFloat = false, anyText = false, anyBlob = false, wide = false;
            int longest = 0;
            for (const auto &row : rows_) {
                const QVariant &v = row[i];
                switch (v.metaType().id()) {
                case QMetaType::Int:
                    anyInt = true;
                    break;
                case QMetaType::LongLong:
                    anyInt = wide = true;
                    break;
                case QMetaType::Double:
                    anyFloat = true;
                    break;
                case QMetaType::QByteArray:
                    anyBlob = true;
                    break;
                case QMetaType::QString:
                    anyText = true;
                    longest = std::max(longest, static_cast<int>(v.toString().size()));
                    break;
                default:
                    break;
                }
            }
            FieldDef &d = defs_[i];
            if (anyText || (!anyInt && !anyFloat && !anyBlob)) {
                d.type = FieldType::String;
                d.size = std::max(longest, 1);
            } else if (anyBlob) {
                d.type = FieldType::Blob;
            } else if (anyFloat) {
                d.type = FieldType::Float;
            } else {
                d.type = wide ? FieldType::Largeint : FieldType::Integer;
            }
            if (anyText)
                for (auto &row : rows_)
                    if (row[i].isValid() && row[i].metaType().id() != QMetaType::QString)
                        row[i] = row[i].toString();
            if (anyFloat && !anyText)
                for (auto &row : rows_)
                    if (row[i].isValid())
                        row[i] = row[i].toDouble();
        }
        bool anyOrigin = false;
        for (const QString &o : origins_)
            anyOrigin = anyOrigin || !o.isEmpty();
        live_ = live_ && anyOrigin && !connection.selectOnly();
    }

    QString displayName() const override { return QStringLiteral("запрос"); }
    int recordCount() override { return static_cast<int>(rows_.size()); }
    QVariant value(int recNo, int field) override
    {
        if (recNo < 1 || recNo > recordCount() || field < 0 || field >= static_cast<int>(defs_.size()))
            return {};
        return rows_[static_cast<size_t>(recNo - 1)][static_cast<size_t>(field)];
    }
    qint64 rowId(int recNo) override
    {
        if (recNo < 1 || recNo > recordCount())
            return 0;
        return live_ ? rowids_[static_cast<size_t>(recNo - 1)] : recNo;
    }
    int recNoOf(qint64 rowId) override
    {
        if (!live_)
            return TableStorage::recNoOf(rowId);
        if (indexDirty_) {
            index_.clear();
            for (size_t i = 0; i < rowids_.size(); ++i)
                index_.insert(rowids_[i], static_cast<int>(i) + 1);
            indexDirty_ = false;
        }
        return index_.value(rowId, 0);
    }
    bool canWrite() const override { return live_; }
    bool canWriteField(int field) const override
    {
        return live_ && field >= 0 && field < static_cast<int>(origins_.size()) && !origins_[static_cast<size_t>(field)].isEmpty();
    }

    int append(const std::vector<QVariant> &values) override
    {
        checkLive();
        QString names, marks;
        std::vector<size_t> fields;
        for (size_t i = 0; i < origins_.size(); ++i) {
            if (origins_[i].isEmpty())
                continue;
            names += (fields.empty() ? QString() : QStringLiteral(", ")) + sql::quoteName(origins_[i]);
            marks += fields.empty() ? QStringLiteral("?") : QStringLiteral(", ?");
            fields.push_back(i);
        }
        sql::Statement st(connection_.db(), QStringLiteral("INSERT INTO ") + table_ + u'(' + names
                                               + QStringLiteral(") VALUES (") + marks + u')');
        int k = 1;
        for (size_t i : fields)
            sql::bindValue(st.get(), k++, defs_[i], i < values.size() ? values[i] : QVariant());
        st.step();
        const qint64 rowid = sqlite3_last_insert_rowid(connection_.db());
        rowids_.push_back(rowid);
        rows_.emplace_back(defs_.size());
        indexDirty_ = true;
        reread(recordCount());
        changed();
        return recordCount();
    }

    void update(int recNo, const std::vector<std::optional<QVariant>> &changes) override
    {
        checkLive();
        checkRecNo(recNo);
        QString sets;
        std::vector<size_t> fields;
        for (size_t i = 0; i < changes.size() && i < origins_.size(); ++i) {
            if (!changes[i])
                continue;
            if (origins_[i].isEmpty())
                throw DbError(QStringLiteral("Поле ") + defs_[i].name + QStringLiteral(" не может быть изменено !"));
            sets += (fields.empty() ? QString() : QStringLiteral(", ")) + sql::quoteName(origins_[i]) + QStringLiteral(" = ?");
            fields.push_back(i);
        }
        if (fields.empty())
            return;
        sql::Statement st(connection_.db(), QStringLiteral("UPDATE ") + table_ + QStringLiteral(" SET ") + sets
                                               + QStringLiteral(" WHERE rowid = ?"));
        int k = 1;
        for (size_t i : fields)
            sql::bindValue(st.get(), k++, defs_[i], *changes[i]);
        sqlite3_bind_int64(st.get(), k, rowids_[static_cast<size_t>(recNo - 1)]);
        st.step();
        if (sqlite3_changes(connection_.db()) == 0)
            throw DbError(QStringLiteral("Запись не найдена в таблице: она удалена или изменена другим пользователем !"));
        reread(recNo);
        changed();
    }

    void remove(int recNo) override
    {
        checkLive();
        checkRecNo(recNo);
        sql::Statement st(connection_.db(), QStringLiteral("DELETE FROM ") + table_ + QStringLiteral(" WHERE rowid = ?"));
        sqlite3_bind_int64(st.get(), 1, rowids_[static_cast<size_t>(recNo - 1)]);
        st.step();
        rows_.erase(rows_.begin() + (recNo - 1));
        rowids_.erase(rowids_.begin() + (recNo - 1));
        indexDirty_ = true;
        changed();
    }

    void empty() override { throw DbError(QStringLiteral("Результат запроса нельзя очистить !")); }

private:
    void checkLive() const
    {
        if (!live_)
            throw DbError(QStringLiteral("Результат запроса не может быть изменён !"));
    }
    void checkRecNo(int recNo) const
    {
        if (recNo < 1 || recNo > static_cast<int>(rows_.size()))
            throw DbError(QStringLiteral("Нет записи ") + QString::number(recNo) + QStringLiteral(" в результате запроса !"));
    }
    // Reads the table's fields of a result row back from the table.
    void reread(int recNo)
    {
        QString names;
        std::vector<size_t> fields;
        for (size_t i = 0; i < origins_.size(); ++i) {
            if (origins_[i].isEmpty())
                continue;
            names += (fields.empty() ? QString() : QStringLiteral(", ")) + sql::quoteName(origins_[i]);
            fields.push_back(i);
        }
        sql::Statement st(connection_.db(), QStringLiteral("SELECT ") + names + QStringLiteral(" FROM ") + table_
                                               + QStringLiteral(" WHERE rowid = ?"));
        sqlite3_bind_int64(st.get(), 1, rowids_[static_cast<size_t>(recNo - 1)]);
        if (!st.step())
            return;
        auto &row = rows_[static_cast<size_t>(recNo - 1)];
        int c = 0;
        for (size_t i : fields)
            row[i] = sql::columnValue(st.get(), c++, defs_[i].type);
    }

    SqlConnection &connection_;
    bool live_;
    QString table_;
    std::vector<QString> origins_; // per field: the table's column it shows (live results)
    std::vector<std::vector<QVariant>> rows_;
    std::vector<qint64> rowids_;
    QHash<qint64, int> index_;
    bool indexDirty_ = true;
};

} // namespace

Query::Query() = default;

Query::~Query()
{
    try {
        close();
    } catch (...) {
        // Nothing to report from a destructor.
    }
}

void Query::setSql(const QStringList &lines)
{
    close();
    sql_ = lines;
}

void Query::setSqlText(const QString &text)
{
    close();
    sql_ = text.split(u'\n');
}

bool Query::live() const
{
    return result_ && result_->canWrite();
}

QString Query::readOnlyMessage() const
{
    return QStringLiteral("Результат запроса не может быть изменён !");
}

TableStorage *Query::openStorage()
{
    auto connection = std::make_unique<SqlConnection>(resolveDatabase(databaseName_), selectOnly_);
    SqlConnection *c = connection.get();
    const sql::TranslatedSql statement =
        sql::translate(sqlText(), [c](const QString &name) { return c->table(name); }, !selectOnly_);
    if (statement.kind != sql::StatementKind::Select) {
        if (selectOnly_)
            refuseChange();
        throw DbError(QStringLiteral("Текст запроса не является выборкой данных (Select): его можно только выполнить !"));
    }
    auto result = std::make_unique<ResultStorage>(*c, statement);
    connection_ = std::move(connection);
    result_ = std::move(result);
    return result_.get();
}

void Query::closeStorage()
{
    result_.reset();
    connection_.reset();
}

void Query::execSql()
{
    close();
    rowsAffected_ = 0;
    SqlConnection connection(resolveDatabase(databaseName_), selectOnly_);
    const sql::TranslatedSql statement =
        sql::translate(sqlText(), [&connection](const QString &name) { return connection.table(name); }, false);
    if (selectOnly_ && statement.kind != sql::StatementKind::Select)
        refuseChange();
    if (statement.kind == sql::StatementKind::Other)
        throw DbError(QStringLiteral("Оператор SQL ") + statement.firstWord + QStringLiteral(" не поддерживается !"));
    sql::Statement st(connection.db(), statement.text);
    if (selectOnly_ && !sqlite3_stmt_readonly(st.get()))
        refuseChange();
    while (st.step()) {
    }
    rowsAffected_ = statement.kind == sql::StatementKind::Select ? 0 : sqlite3_changes(connection.db());
}

} // namespace platform::db
