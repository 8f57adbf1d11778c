#include "platform/db/WorkTable.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/SqlSupport.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <sqlite3.h>

namespace platform::db {

namespace {

// The first bytes of every SQLite database file.
constexpr char kSqliteMagic[] = "SQLite format 3";

sqlite3 *openConnection(const QString &path, bool create, bool &writable)
{
    sqlite3 *db = nullptr;
    const QByteArray name = path.toUtf8();
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    writable = true;
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        writable = false;
        if (create || sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            throw DbError(QStringLiteral("Невозможно открыть таблицу ") + path + u'!');
        }
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sql::registerTextFunctions(db);
    return db;
}

} // namespace

bool WorkTable::isWorkTableFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(100);
    if (head.size() < 100 || !head.startsWith(kSqliteMagic))
        return false;
    // The application id is a big-endian integer at byte 68 of the database header.
    const quint32 id = (static_cast<quint32>(static_cast<quint8>(head[68])) << 24)
        | (static_cast<quint32>(static_cast<quint8>(head[69])) << 16)
        | (static_cast<quint32>(static_cast<quint8>(head[70])) << 8) | static_cast<quint8>(head[71]);
    return id == static_cast<quint32>(kApplicationId);
}

std::unique_ptr<WorkTable> WorkTable::open(const QString &path)
{
    const QString found = findExistingPath(path);
    if (found.isEmpty() || !QFileInfo(found).isFile())
        throw DbError(QStringLiteral("Таблица ") + path + QStringLiteral(" не найдена !"));
    if (!isWorkTableFile(found))
        throw DbError(QStringLiteral("Файл ") + found
                      + QStringLiteral(" не является рабочей таблицей программы: таблицы Paradox других программ не читаются !"));
    std::unique_ptr<WorkTable> t(new WorkTable(found));
    t->db_ = openConnection(found, false, t->writable_);
    t->load();
    return t;
}

WorkTable::~WorkTable()
{
    sqlite3_close(db_);
}

void WorkTable::fail(const QString &what) const
{
    throw DbError(what + QStringLiteral(" (таблица ") + path_ + QStringLiteral(")"));
}

void WorkTable::exec(const QString &sql)
{
    sql::execute(db_, sql);
}

void WorkTable::load()
{
    defs_.clear();
    {
        sql::Statement s(db_, QStringLiteral("SELECT name, type, size, precision FROM ") + QLatin1String(kFieldTable)
                                  + QStringLiteral(" ORDER BY pos"));
        while (s.step()) {
            FieldDef d;
            d.name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 0)));
            d.type = static_cast<FieldType>(sqlite3_column_int(s.get(), 1));
            d.size = sqlite3_column_int(s.get(), 2);
            d.precision = sqlite3_column_int(s.get(), 3);
            defs_.push_back(d);
        }
    }
    rows_.clear();
    QString sqlText = QStringLiteral("SELECT rowid");
    for (const FieldDef &d : defs_)
        sqlText += QStringLiteral(", ") + sql::quoteName(d.name);
    sqlText += QStringLiteral(" FROM ") + QLatin1String(kDataTable) + QStringLiteral(" ORDER BY rowid");
    sql::Statement s(db_, sqlText);
    while (s.step()) {
        Row r;
        r.rowid = sqlite3_column_int64(s.get(), 0);
        for (size_t i = 0; i < defs_.size(); ++i)
            r.values.push_back(sql::columnValue(s.get(), static_cast<int>(i) + 1, defs_[i].type));
        rows_.push_back(std::move(r));
    }
}

void WorkTable::create(const QString &path, const FieldDefs &defs)
{
    if (defs.empty())
        throw DbError(QStringLiteral("Нет полей для создания таблицы ") + path);
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].name.trimmed().isEmpty())
            throw DbError(QStringLiteral("Пустое имя поля в таблице ") + path);
        for (size_t j = 0; j < i; ++j)
            if (ansiSameText(defs[i].name.trimmed(), defs[j].name.trimmed()))
                throw DbError(QStringLiteral("Поле ") + defs[i].name + QStringLiteral(" повторяется в таблице ") + path);
    }
    const QString target = resolvePath(path);
    // Built beside the target and put in its place only when complete.
    const QString temp = target + QStringLiteral(".new~");
    QFile::remove(temp);
    bool writable = false;
    sqlite3 *db = nullptr;
    try {
        db = openConnection(temp, true, writable);
    } catch (const DbError &) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Невозможно создать таблицу ") + target + u'!');
    }
    try {
        sql::execute(db, QStringLiteral("PRAGMA application_id = ") + QString::number(kApplicationId));
        sql::execute(db, QStringLiteral("CREATE TABLE ") + QLatin1String(kFieldTable)
                             + QStringLiteral("(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL, "
                                              "size INTEGER NOT NULL, precision INTEGER NOT NULL)"));
        QString columns;
        for (size_t i = 0; i < defs.size(); ++i) {
            const FieldDef &d = defs[i];
            if (i)
                columns += QStringLiteral(", ");
            columns += sql::quoteName(d.name.trimmed()) + u' ' + sql::sqlColumnType(d.type);
            sql::Statement ins(db, QStringLiteral("INSERT INTO ") + QLatin1String(kFieldTable)
                                       + QStringLiteral(" VALUES (?, ?, ?, ?, ?)"));
            sqlite3_bind_int(ins.get(), 1, static_cast<int>(i));
            const QByteArray name = d.name.trimmed().toUtf8();
            sqlite3_bind_text(ins.get(), 2, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(ins.get(), 3, static_cast<int>(d.type));
            sqlite3_bind_int(ins.get(), 4, d.size);
            sqlite3_bind_int(ins.get(), 5, d.precision);
            ins.step();
        }
        sql::execute(db, QStringLiteral("CREATE TABLE ") + QLatin1String(kDataTable) + u'(' + columns + u')');
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(temp);
        throw;
    }
    sqlite3_close(db);
    if (QFile::exists(target) && !QFile::remove(target)) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Невозможно заменить таблицу ") + target + u'!');
    }
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Невозможно создать таблицу ") + target + u'!');
    }
}

QVariant WorkTable::value(int recNo, int field)
{
    if (recNo < 1 || recNo > recordCount() || field < 0 || field >= static_cast<int>(defs_.size()))
        return {};
    return rows_[static_cast<size_t>(recNo - 1)].values[static_cast<size_t>(field)];
}

qint64 WorkTable::rowId(int recNo)
{
    return recNo >= 1 && recNo <= recordCount() ? rows_[static_cast<size_t>(recNo - 1)].rowid : 0;
}

int WorkTable::recNoOf(qint64 rowId)
{
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), rowId,
                                     [](const Row &r, qint64 id) { return r.rowid < id; });
    return it != rows_.end() && it->rowid == rowId ? static_cast<int>(it - rows_.begin()) + 1 : 0;
}

std::vector<QVariant> WorkTable::readRow(qint64 rowid)
{
    QString sqlText = QStringLiteral("SELECT 0");
    for (const FieldDef &d : defs_)
        sqlText += QStringLiteral(", ") + sql::quoteName(d.name);
    sqlText += QStringLiteral(" FROM ") + QLatin1String(kDataTable) + QStringLiteral(" WHERE rowid = ?");
    sql::Statement s(db_, sqlText);
    sqlite3_bind_int64(s.get(), 1, rowid);
    std::vector<QVariant> values;
    if (s.step())
        for (size_t i = 0; i < defs_.size(); ++i)
            values.push_back(sql::columnValue(s.get(), static_cast<int>(i) + 1, defs_[i].type));
    return values;
}

int WorkTable::append(const std::vector<QVariant> &values)
{
    if (!writable_)
        fail(QStringLiteral("Таблица открыта только для чтения"));
    QString names, marks;
    for (size_t i = 0; i < defs_.size(); ++i) {
        names += (i ? QStringLiteral(", ") : QString()) + sql::quoteName(defs_[i].name);
        marks += i ? QStringLiteral(", ?") : QStringLiteral("?");
    }
    sql::Statement s(db_, QStringLiteral("INSERT INTO ") + QLatin1String(kDataTable) + u'(' + names
                              + QStringLiteral(") VALUES (") + marks + u')');
    for (size_t i = 0; i < defs_.size(); ++i)
        sql::bindValue(s.get(), static_cast<int>(i) + 1, defs_[i], i < values.size() ? values[i] : QVariant());
    s.step();
    Row r;
    r.rowid = sqlite3_last_insert_rowid(db_);
    r.values = readRow(r.rowid);
    rows_.push_back(std::move(r));
    changed();
    return recordCount();
}

void WorkTable::update(int recNo, const std::vector<std::optional<QVariant>> &changes)
{
    if (!writable_)
        fail(QStringLiteral("Таблица открыта только для чтения"));
    if (recNo < 1 || recNo > recordCount())
        fail(QStringLiteral("Нет записи ") + QString::number(recNo));
    QString sets;
    std::vector<size_t> fields;
    for (size_t i = 0; i < changes.size() && i < defs_.size(); ++i) {
        if (!changes[i])
            continue;
        sets += (fields.empty() ? QString() : QStringLiteral(", ")) + sql::quoteName(defs_[i].name) + QStringLiteral(" = ?");
        fields.push_back(i);
    }
    if (fields.empty())
        return;
    Row &row = rows_[static_cast<size_t>(recNo - 1)];
    sql::Statement s(db_, QStringLiteral("UPDATE ") + QLatin1String(kDataTable) + QStringLiteral(" SET ") + sets
                              + QStringLiteral(" WHERE rowid = ?"));
    int k = 1;
    for (size_t i : fields)
        sql::bindValue(s.get(), k++, defs_[i], *changes[i]);
    sqlite3_bind_int64(s.get(), k, row.rowid);
    s.step();
    row.values = readRow(row.rowid);
    changed();
}

void WorkTable::remove(int recNo)
{
    if (!writable_)
        fail(QStringLiteral("Таблица открыта только для чтения"));
    if (recNo < 1 || recNo > recordCount())
        fail(QStringLiteral("Нет записи ") + QString::number(recNo));
    sql::Statement s(db_, QStringLiteral("DELETE FROM ") + QLatin1String(kDataTable) + QStringLiteral(" WHERE rowid = ?"));
    sqlite3_bind_int64(s.get(), 1, rows_[static_cast<size_t>(recNo - 1)].rowid);
    s.step();
    rows_.erase(rows_.begin() + (recNo - 1));
    changed();
}

void WorkTable::empty()
{
    if (!writable_)
        fail(QStringLiteral("Таблица открыта только для чтения"));
    exec(QStringLiteral("DELETE FROM ") + QLatin1String(kDataTable));
    rows_.clear();
    changed();
}

} // namespace platform::db
