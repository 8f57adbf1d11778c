#include "platform/db/SqlEngine.h"

#include "platform/TextCodec.h"
#include "platform/db/Database.h"
#include "platform/db/DbfFile.h"
#include "platform/db/SqlSupport.h"
#include "platform/db/WorkTable.h"

#include <QFileInfo>
#include <QUrl>

#include <array>
#include <cstring>
#include <sqlite3.h>
#include <string>

namespace platform::db {

namespace {

constexpr const char *kModuleName = "tolvane_dbf";

// UTF-8 of every Windows-1251 byte, for text columns read straight from the record.
struct Utf8Char {
    std::array<char, 4> bytes{};
    int length = 0;
};

const std::array<Utf8Char, 256> &cp1251Utf8()
{
    static const std::array<Utf8Char, 256> table = [] {
        std::array<Utf8Char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QByteArray u = fromCp1251(QByteArrayView(&byte, 1)).toUtf8();
            t[b].length = static_cast<int>(std::min<qsizetype>(u.size(), 4));
            std::memcpy(t[b].bytes.data(), u.constData(), static_cast<size_t>(t[b].length));
        }
        return t;
    }();
    return table;
}

// Column names of a dBase file as SQLite sees them: a name that repeats
// (without regard to case) gets a number.
FieldDefs columnDefs(const FieldDefs &defs)
{
    FieldDefs out = defs;
    for (size_t i = 0; i < out.size(); ++i) {
        for (int n = 2;; ++n) {
            bool clash = false;
            for (size_t j = 0; j < i; ++j)
                clash = clash || ansiSameText(out[j].name, out[i].name);
            if (!clash)
                break;
            out[i].name = defs[i].name + u'_' + QString::number(n);
        }
    }
    return out;
}

struct VTab {
    sqlite3_vtab base{};
    DbfFile *file = nullptr;
    bool readOnly = false;
};

// A LIKE condition the table takes over: the rows are filtered on the
// record's bytes, before any of them is converted for SQLite.
struct LikeFilter {
    dbf::DbfField field;
    sql::LikePattern pattern;
};

struct VCursor {
    sqlite3_vtab_cursor base{};
    int recNo = 1;
    int end = 0;
    QByteArrayView record; // valid while the file's cache generation stays
    quint64 generation = 0;
    std::vector<LikeFilter> likes;
};

// A character field's text as SQLite gets it: without trailing blanks and
// zeros, empty for a null.
QByteArrayView fieldText(QByteArrayView record, const dbf::DbfField &f)
{
    const char *p = record.constData() + f.offset;
    int len = f.length;
    while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\0'))
        --len;
    return QByteArrayView(p, len);
}

bool likesHold(const VCursor *c)
{
    for (const LikeFilter &like : c->likes) {
        const QByteArrayView text = fieldText(c->record, like.field);
        // A null (empty) text matches no pattern.
        if (text.isEmpty() || !like.pattern.matchesCp1251(text.constData(), static_cast<int>(text.size())))
            return false;
    }
    return true;
}

VTab *vtabOf(sqlite3_vtab_cursor *c)
{
    return reinterpret_cast<VTab *>(c->pVtab);
}

int setError(sqlite3_vtab *vtab, const QString &message, int code)
{
    sqlite3_free(vtab->zErrMsg);
    vtab->zErrMsg = sqlite3_mprintf("%s", message.toUtf8().constData());
    return code;
}

int xConnect(sqlite3 *db, void *aux, int argc, const char *const *argv, sqlite3_vtab **out, char **err)
{
    auto *conn = static_cast<SqlConnection *>(aux);
    DbfFile *file = argc > 3 ? conn->dbfFile(std::atoi(argv[3])) : nullptr;
    if (!file) {
        *err = sqlite3_mprintf("no table");
        return SQLITE_ERROR;
    }
    const FieldDefs defs = columnDefs(file->fieldDefs());
    QString decl = QStringLiteral("CREATE TABLE x(");
    for (size_t i = 0; i < defs.size(); ++i)
        decl += (i ? QStringLiteral(", ") : QString()) + sql::quoteName(defs[i].name) + u' ' + sql::sqlColumnType(defs[i].type);
    if (defs.empty())
        decl += QStringLiteral("\"_\" TEXT HIDDEN");
    decl += u')';
    const int rc = sqlite3_declare_vtab(db, decl.toUtf8().constData());
    if (rc != SQLITE_OK)
        return rc;
    auto *v = new VTab;
    v->file = file;
    v->readOnly = conn->selectOnly();
    *out = &v->base;
    return SQLITE_OK;
}

int xDisconnect(sqlite3_vtab *vtab)
{
    delete reinterpret_cast<VTab *>(vtab);
    return SQLITE_OK;
}

// Plans: 1, a record by its number; 2, every record, filtered by the LIKE
// conditions on character fields listed in idxStr (their field numbers,
// in the order of the patterns); 0, every record.
int xBestIndex(sqlite3_vtab *vtab, sqlite3_index_info *info)
{
    auto *v = reinterpret_cast<VTab *>(vtab);
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (c.usable && c.iColumn == -1 && c.op == SQLITE_INDEX_CONSTRAINT_EQ) {
            info->aConstraintUsage[i].argvIndex = 1;
            info->aConstraintUsage[i].omit = 1;
            info->idxNum = 1;
            info->estimatedCost = 1;
            info->estimatedRows = 1;
            info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
            return SQLITE_OK;
        }
    }
    // like(pattern, field) with two arguments; the costs stay those of a
    // plain scan, so that the plans of joins do not change.
    const auto &fields = v->file->header().fields;
    QByteArray likeFields;
    int argument = 0;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_LIKE || c.iColumn < 0
            || c.iColumn >= static_cast<int>(fields.size()) || fields[static_cast<size_t>(c.iColumn)].type != 'C')
            continue;
        info->aConstraintUsage[i].argvIndex = ++argument;
        info->aConstraintUsage[i].omit = 1;
        likeFields += QByteArray::number(c.iColumn) + ' ';
    }
    info->idxNum = argument ? 2 : 0;
    if (argument) {
        info->idxStr = sqlite3_mprintf("%s", likeFields.constData());
        info->needToFreeIdxStr = 1;
    }
    info->estimatedRows = std::max(1, v->file->recordCount());
    info->estimatedCost = static_cast<double>(info->estimatedRows);
    return SQLITE_OK;
}

int xOpen(sqlite3_vtab *, sqlite3_vtab_cursor **out)
{
    auto *c = new VCursor;
    *out = &c->base;
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor *cursor)
{
    delete reinterpret_cast<VCursor *>(cursor);
    return SQLITE_OK;
}

// Loads the record at recNo, or the next live one after it that the LIKE
// conditions take.
int settle(VCursor *c)
{
    VTab *v = vtabOf(&c->base);
    try {
        while (c->recNo <= c->end) {
            c->record = v->file->recordView(c->recNo);
            c->generation = v->file->cacheGeneration();
            if ((c->record.isEmpty() || c->record[0] != dbf::kDeletedFlag) && likesHold(c))
                break;
            ++c->recNo;
        }
    } catch (const DbError &e) {
        return setError(&v->base, e.message(), SQLITE_IOERR);
    }
    return SQLITE_OK;
}

int xFilter(sqlite3_vtab_cursor *cursor, int idxNum, const char *idxStr, int argc, sqlite3_value **argv)
{
    auto *c = reinterpret_cast<VCursor *>(cursor);
    VTab *v = vtabOf(cursor);
    const int count = v->file->recordCount();
    c->likes.clear();
    if (idxNum == 2) {
        const auto &fields = v->file->header().fields;
        const QList<QByteArray> columns = QByteArray(idxStr ? idxStr : "").split(' ');
        bool none = false;
        for (int i = 0; i < argc && i < columns.size(); ++i) {
            const size_t column = columns[i].toUInt();
            const unsigned char *pattern = sqlite3_value_text(argv[i]);
            // A null pattern matches nothing.
            none = none || !pattern || column >= fields.size();
            if (!none)
                c->likes.push_back({fields[column], sql::LikePattern(pattern, sqlite3_value_bytes(argv[i]))});
        }
        c->recNo = 1;
        c->end = none ? 0 : count;
    } else if (idxNum == 1 && argc == 1) {
        const int type = sqlite3_value_numeric_type(argv[0]);
        const sqlite3_int64 id = type == SQLITE_INTEGER ? sqlite3_value_int64(argv[0]) : 0;
        if (id >= 1 && id <= count) {
            c->recNo = c->end = static_cast<int>(id);
        } else {
            c->recNo = 1;
            c->end = 0;
        }
    } else {
        c->recNo = 1;
        c->end = count;
    }
    return settle(c);
}

int xNext(sqlite3_vtab_cursor *cursor)
{
    auto *c = reinterpret_cast<VCursor *>(cursor);
    ++c->recNo;
    return settle(c);
}

int xEof(sqlite3_vtab_cursor *cursor)
{
    auto *c = reinterpret_cast<VCursor *>(cursor);
    return c->recNo > c->end;
}

int xColumn(sqlite3_vtab_cursor *cursor, sqlite3_context *ctx, int column)
{
    if (sqlite3_vtab_nochange(ctx))
        return SQLITE_OK; // an update that leaves this column alone
    auto *c = reinterpret_cast<VCursor *>(cursor);
    VTab *v = vtabOf(cursor);
    const auto &fields = v->file->header().fields;
    if (column < 0 || column >= static_cast<int>(fields.size()))
        return SQLITE_OK;
    const dbf::DbfField &f = fields[static_cast<size_t>(column)];
    if (c->generation != v->file->cacheGeneration()) {
        // Another cursor on the same file (a self-join) or a write moved the bytes.
        try {
            c->record = v->file->recordView(c->recNo);
        } catch (const DbError &e) {
            return setError(&v->base, e.message(), SQLITE_IOERR);
        }
        c->generation = v->file->cacheGeneration();
    }
    if (f.type == 'C') {
        const QByteArrayView text = fieldText(c->record, f);
        if (text.isEmpty())
            return SQLITE_OK; // null
        thread_local std::string buffer;
        buffer.clear();
        const auto &table = cp1251Utf8();
        for (const char byte : text) {
            const Utf8Char &u = table[static_cast<unsigned char>(byte)];
            buffer.append(u.bytes.data(), static_cast<size_t>(u.length));
        }
        sqlite3_result_text(ctx, buffer.data(), static_cast<int>(buffer.size()), SQLITE_TRANSIENT);
        return SQLITE_OK;
    }
    QVariant value;
    try {
        value = f.type == 'M' || f.type == 'B' ? v->file->value(c->recNo, column) : dbf::decodeValue(f, c->record);
    } catch (const DbError &e) {
        return setError(&v->base, e.message(), SQLITE_IOERR);
    }
    if (!value.isValid() || value.isNull())
        return SQLITE_OK;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_result_int64(ctx, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_result_double(ctx, value.toDouble());
        break;
    case QMetaType::Bool:
        sqlite3_result_int(ctx, value.toBool() ? 1 : 0);
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_result_blob(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QDate: {
        const QByteArray iso = value.toDate().toString(Qt::ISODate).toLatin1();
        sqlite3_result_text(ctx, iso.constData(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    }
    return SQLITE_OK;
}

int xRowid(sqlite3_vtab_cursor *cursor, sqlite3_int64 *rowid)
{
    *rowid = reinterpret_cast<VCursor *>(cursor)->recNo;
    return SQLITE_OK;
}

int xUpdate(sqlite3_vtab *vtab, int argc, sqlite3_value **argv, sqlite3_int64 *rowid)
{
    auto *v = reinterpret_cast<VTab *>(vtab);
    if (v->readOnly)
        return setError(vtab, QStringLiteral("Запрос другой программы не может изменять таблицы !"), SQLITE_READONLY);
    try {
        if (argc == 1) {
            const sqlite3_int64 id = sqlite3_value_int64(argv[0]);
            if (id >= 1 && id <= v->file->recordCount())
                v->file->remove(static_cast<int>(id));
            return SQLITE_OK;
        }
        const int columns = argc - 2;
        const bool inserting = sqlite3_value_type(argv[0]) == SQLITE_NULL;
        if (inserting) {
            if (sqlite3_value_type(argv[1]) != SQLITE_NULL)
                return setError(vtab, QStringLiteral("Номер записи таблицы dBase задать нельзя !"), SQLITE_CONSTRAINT);
            std::vector<QVariant> values(static_cast<size_t>(columns));
            for (int i = 0; i < columns; ++i)
                values[static_cast<size_t>(i)] = sql::sqliteValue(argv[2 + i], FieldType::Unknown);
            *rowid = v->file->append(values);
            return SQLITE_OK;
        }
        const sqlite3_int64 id = sqlite3_value_int64(argv[0]);
        if (sqlite3_value_int64(argv[1]) != id)
            return setError(vtab, QStringLiteral("Номер записи таблицы dBase изменить нельзя !"), SQLITE_CONSTRAINT);
        std::vector<std::optional<QVariant>> changes(static_cast<size_t>(columns));
        for (int i = 0; i < columns; ++i)
            if (!sqlite3_value_nochange(argv[2 + i]))
                changes[static_cast<size_t>(i)] = sql::sqliteValue(argv[2 + i], FieldType::Unknown);
        v->file->update(static_cast<int>(id), changes);
        return SQLITE_OK;
    } catch (const DbError &e) {
        return setError(vtab, e.message(), SQLITE_CONSTRAINT);
    }
}

int xBegin(sqlite3_vtab *vtab)
{
    reinterpret_cast<VTab *>(vtab)->file->beginBatch();
    return SQLITE_OK;
}

int xSync(sqlite3_vtab *vtab)
{
    try {
        reinterpret_cast<VTab *>(vtab)->file->commitBatch();
    } catch (const DbError &e) {
        return setError(vtab, e.message(), SQLITE_IOERR);
    }
    return SQLITE_OK;
}

int xCommit(sqlite3_vtab *vtab)
{
    return xSync(vtab);
}

int xRollback(sqlite3_vtab *vtab)
{
    reinterpret_cast<VTab *>(vtab)->file->rollbackBatch();
    return SQLITE_OK;
}

const sqlite3_module &dbfModule()
{
    static const sqlite3_module m = [] {
        sqlite3_module mod{};
        mod.iVersion = 1;
        mod.xCreate = xConnect;
        mod.xConnect = xConnect;
        mod.xBestIndex = xBestIndex;
        mod.xDisconnect = xDisconnect;
        mod.xDestroy = xDisconnect;
        mod.xOpen = xOpen;
        mod.xClose = xClose;
        mod.xFilter = xFilter;
        mod.xNext = xNext;
        mod.xEof = xEof;
        mod.xColumn = xColumn;
        mod.xRowid = xRowid;
        mod.xUpdate = xUpdate;
        mod.xBegin = xBegin;
        mod.xSync = xSync;
        mod.xCommit = xCommit;
        mod.xRollback = xRollback;
        return mod;
    }();
    return m;
}

} // namespace

SqlConnection::SqlConnection(const QString &folder, bool selectOnly) : folder_(folder), selectOnly_(selectOnly)
{
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(QStringLiteral("Невозможно запустить обработку запросов SQL !"));
    }
    // Double-quoted names are decided by the dialect, never taken by SQLite as texts.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(db_, 1);
    sql::registerTextFunctions(db_);
    sqlite3_create_module_v2(db_, kModuleName, &dbfModule(), this, nullptr);
}

SqlConnection::~SqlConnection()
{
    sqlite3_close(db_);
    leases_.clear();
}

DbfFile *SqlConnection::dbfFile(int index) const
{
    return index >= 0 && index < static_cast<int>(dbfFiles_.size()) ? dbfFiles_[static_cast<size_t>(index)] : nullptr;
}

sql::TableSource SqlConnection::table(const QString &fileName)
{
    const TableFile tf = resolveTable(folder_, fileName, TableType::Default, true);
    QString key = QFileInfo(tf.path).canonicalFilePath();
    if (key.isEmpty())
        key = tf.path;
    const auto it = byPath_.constFind(key);
    if (it != byPath_.constEnd())
        return sources_[static_cast<size_t>(*it)].source;

    TableLease lease = TableLease::acquire(tf.path, tf.type, false);
    Source s;
    if (tf.type == TableType::DBase) {
        const int index = static_cast<int>(dbfFiles_.size());
        dbfFiles_.push_back(static_cast<DbfFile *>(lease.get()));
        const QString name = QStringLiteral("t") + QString::number(index);
        try {
            sql::execute(db_, QStringLiteral("CREATE VIRTUAL TABLE temp.") + name + QStringLiteral(" USING ")
                                  + QLatin1String(kModuleName) + u'(' + QString::number(index) + u')');
        } catch (...) {
            dbfFiles_.pop_back();
            throw;
        }
        s.schema = QStringLiteral("temp");
        s.table = name;
        s.source.sqlName = sql::quoteName(name);
        s.source.fields = columnDefs(lease->fieldDefs());
    } else {
        const QString schema = QStringLiteral("w") + QString::number(sources_.size());
        QString uri = QUrl::fromLocalFile(tf.path).toString(QUrl::FullyEncoded);
        if (selectOnly_)
            uri += QStringLiteral("?mode=ro");
        sql::Statement attach(db_, QStringLiteral("ATTACH DATABASE ?1 AS ") + schema);
        const QByteArray u = uri.toUtf8();
        sqlite3_bind_text(attach.get(), 1, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        attach.step();
        s.schema = schema;
        s.table = QLatin1String(WorkTable::kDataTable);
        s.source.sqlName = schema + u'.' + sql::quoteName(s.table);
        s.source.fields = lease->fieldDefs();
    }
    leases_.push_back(std::move(lease));
    byPath_.insert(key, static_cast<int>(sources_.size()));
    sources_.push_back(s);
    return s.source;
}

const FieldDefs *SqlConnection::fieldsOf(const QString &schema, const QString &table) const
{
    for (const Source &s : sources_)
        if (s.schema.compare(schema, Qt::CaseInsensitive) == 0 && s.table.compare(table, Qt::CaseInsensitive) == 0)
            return &s.source.fields;
    return nullptr;
}

bool SqlConnection::isTable(const QString &schema, const QString &table, const QString &sqlName) const
{
    for (const Source &s : sources_)
        if (s.source.sqlName == sqlName)
            return s.schema.compare(schema, Qt::CaseInsensitive) == 0 && s.table.compare(table, Qt::CaseInsensitive) == 0;
    return false;
}

} // namespace platform::db
