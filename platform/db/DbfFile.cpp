#include "platform/db/DbfFile.h"

#include "platform/ByteOrder.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFileInfo>

namespace platform::db {

namespace {

constexpr int kMemoBlock = 512;
// A memo longer than this is taken as a damaged memo file.
constexpr qint64 kMaxMemo = 16 * 1024 * 1024;
// Records read at once while walking a table.
constexpr int kCacheBytes = 64 * 1024;

QDate today()
{
    return currentDateTime().date();
}

QByteArray le32Bytes(quint32 v)
{
    QByteArray b(4, '\0');
    le::put32(b, 0, v);
    return b;
}

} // namespace

DbfFile::DbfFile(const QString &path) : path_(path), file_(path) {}

DbfFile::~DbfFile() = default;

std::unique_ptr<DbfFile> DbfFile::open(const QString &path)
{
    const QString found = findExistingPath(path);
    if (found.isEmpty() || !QFileInfo(found).isFile())
        throw DbError(QStringLiteral("Таблица ") + path + QStringLiteral(" не найдена !"));
    std::unique_ptr<DbfFile> f(new DbfFile(found));
    f->load();
    return f;
}

void DbfFile::load()
{
    writable_ = file_.open(QIODevice::ReadWrite);
    if (!writable_ && !file_.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Невозможно открыть таблицу ") + path_ + QStringLiteral(": ")
                      + file_.errorString());
    const qint64 size = file_.size();
    QByteArray head = file_.read(dbf::kHeaderSize);
    if (head.size() == dbf::kHeaderSize) {
        const int headerLength = static_cast<quint8>(head[8]) | (static_cast<quint8>(head[9]) << 8);
        if (headerLength > dbf::kHeaderSize)
            head += file_.read(headerLength - dbf::kHeaderSize);
    }
    header_ = dbf::parseHeader(head, size, path_);
    headerBytes_ = head.left(header_.headerLength);
    defs_.clear();
    for (const dbf::DbfField &f : header_.fields)
        defs_.push_back(f.def);
    count_ = committedCount_ = static_cast<int>(std::min<qint64>(header_.availableRecords, 0x7FFFFFFF));
    cacheCount_ = 0;
}

void DbfFile::reopen()
{
    changed();
    ++generation_;
    file_.close();
    memo_.reset();
    memoLooked_ = false;
    load();
}

void DbfFile::create(const QString &path, const FieldDefs &defs)
{
    bool withMemo = false;
    for (const FieldDef &d : defs)
        withMemo = withMemo || d.type == FieldType::Memo || d.type == FieldType::FmtMemo || d.type == FieldType::Blob;
    QByteArray bytes = dbf::buildHeader(defs, today(), 0, withMemo);
    bytes.append(dbf::kFileEnd);
    const QString target = resolvePath(path);
    if (!writeFileAtomically(target, bytes))
        throw DbError(QStringLiteral("Невозможно создать таблицу ") + target + u'!');
    if (withMemo) {
        QByteArray memo(kMemoBlock, '\0');
        memo.replace(0, 4, le32Bytes(1));
        memo[16] = 0x03;
        if (!writeFileAtomically(changeFileExt(target, u".dbt"), memo))
            throw DbError(QStringLiteral("Невозможно создать файл примечаний таблицы ") + target + u'!');
    }
}

void DbfFile::checkWritable() const
{
    if (!writable_)
        throw DbError(QStringLiteral("Таблица ") + path_ + QStringLiteral(" открыта только для чтения !"));
}

void DbfFile::checkRecNo(int recNo) const
{
    if (recNo < 1 || recNo > count_)
        throw DbError(QStringLiteral("Нет записи ") + QString::number(recNo) + QStringLiteral(" в таблице ") + path_);
}

void DbfFile::writeFailed() const
{
    throw DbError(QStringLiteral("Ошибка записи в таблицу ") + path_ + QStringLiteral(": ") + file_.errorString());
}

QByteArrayView DbfFile::cachedRecord(int recNo)
{
    const int len = header_.recordLength;
    if (recNo < cacheFirst_ || recNo >= cacheFirst_ + cacheCount_) {
        const int n = std::max(1, std::min(kCacheBytes / len, committedCount_ - recNo + 1));
        const qint64 at = header_.headerLength + static_cast<qint64>(recNo - 1) * len;
        if (!file_.seek(at))
            throw DbError(QStringLiteral("Ошибка чтения таблицы ") + path_);
        ++generation_;
        cache_ = file_.read(static_cast<qint64>(n) * len);
        cacheFirst_ = recNo;
        cacheCount_ = static_cast<int>(cache_.size() / len);
        if (cacheCount_ < 1)
            throw DbError(QStringLiteral("Ошибка чтения таблицы ") + path_);
    }
    return QByteArrayView(cache_).sliced(static_cast<qsizetype>(recNo - cacheFirst_) * len, len);
}

QByteArray DbfFile::readRecordFromFile(int recNo)
{
    return cachedRecord(recNo).toByteArray();
}

QByteArrayView DbfFile::recordView(int recNo)
{
    checkRecNo(recNo);
    if (batch_) {
        const auto it = pending_.find(recNo);
        if (it != pending_.end())
            return it->second;
    }
    return cachedRecord(recNo);
}

QByteArray DbfFile::record(int recNo)
{
    checkRecNo(recNo);
    if (batch_) {
        const auto it = pending_.find(recNo);
        if (it != pending_.end())
            return it->second;
    }
    return readRecordFromFile(recNo);
}

bool DbfFile::isDeleted(int recNo)
{
    const QByteArrayView r = recordView(recNo);
    return !r.isEmpty() && r[0] == dbf::kDeletedFlag;
}

QVariant DbfFile::value(int recNo, int field)
{
    if (field < 0 || field >= static_cast<int>(header_.fields.size()))
        return {};
    const dbf::DbfField &f = header_.fields[static_cast<size_t>(field)];
    QVariant v = dbf::decodeValue(f, recordView(recNo));
    if (f.type == 'M' && v.isValid())
        return readMemo(v.toLongLong());
    if (f.type == 'B')
        return v.isValid() ? QVariant(readMemoBytes(v.toLongLong())) : QVariant();
    return v;
}

QByteArray DbfFile::encodeRecord(QByteArray record, const std::vector<std::optional<QVariant>> &values)
{
    for (size_t i = 0; i < values.size() && i < header_.fields.size(); ++i) {
        if (!values[i])
            continue;
        const dbf::DbfField &f = header_.fields[i];
        if (f.type == 'M') {
            const QVariant &v = *values[i];
            const QString text = v.isNull() ? QString() : v.toString();
            dbf::encodeValue(f, record, text.isEmpty() ? QVariant() : QVariant(writeMemo(text)));
        } else if (f.type == 'B') {
            const QVariant &v = *values[i];
            const QByteArray bytes = v.isNull() ? QByteArray() : v.toByteArray();
            dbf::encodeValue(f, record, bytes.isEmpty() ? QVariant() : QVariant(writeMemoBytes(bytes)));
        } else {
            dbf::encodeValue(f, record, *values[i]);
        }
    }
    return record;
}

int DbfFile::append(const std::vector<QVariant> &values)
{
    checkWritable();
    std::vector<std::optional<QVariant>> all(values.begin(), values.end());
    const QByteArray rec = encodeRecord(dbf::blankRecord(header_.recordLength), all);
    const int recNo = count_ + 1;
    writeRecord(recNo, rec, true);
    return recNo;
}

void DbfFile::update(int recNo, const std::vector<std::optional<QVariant>> &changes)
{
    checkWritable();
    checkRecNo(recNo);
    writeRecord(recNo, encodeRecord(record(recNo), changes), false);
}

void DbfFile::remove(int recNo)
{
    checkWritable();
    QByteArray r = record(recNo);
    if (r[0] == dbf::kDeletedFlag)
        return;
    r[0] = dbf::kDeletedFlag;
    writeRecord(recNo, r, false);
}

void DbfFile::writeAt(qint64 offset, const QByteArray &bytes)
{
    if (!file_.seek(offset) || file_.write(bytes) != bytes.size())
        writeFailed();
}

void DbfFile::writeRecord(int recNo, const QByteArray &bytes, bool appended)
{
    changed();
    ++generation_;
    if (appended)
        ++count_;
    if (batch_) {
        pending_[recNo] = bytes;
        return;
    }
    const qint64 at = header_.headerLength + static_cast<qint64>(recNo - 1) * header_.recordLength;
    if (appended) {
        // The new record takes the place of the end mark, and a new mark follows it.
        QByteArray withEnd = bytes;
        withEnd.append(dbf::kFileEnd);
        try {
            writeAt(at, withEnd);
        } catch (...) {
            --count_;
            throw;
        }
        committedCount_ = count_;
    } else {
        writeAt(at, bytes);
    }
    if (recNo >= cacheFirst_ && recNo < cacheFirst_ + cacheCount_)
        cache_.replace(static_cast<qsizetype>(recNo - cacheFirst_) * header_.recordLength, bytes.size(), bytes);
    if (!committing_)
        writeHeaderCountAndDate();
}

void DbfFile::writeHeaderCountAndDate()
{
    dbf::putDateAndCount(headerBytes_, today(), static_cast<quint32>(committedCount_));
    header_.recordCount = static_cast<quint32>(committedCount_);
    writeAt(1, headerBytes_.mid(1, 7));
    if (!file_.flush())
        writeFailed();
}

void DbfFile::beginBatch()
{
    pending_.clear();
    batch_ = true;
}

void DbfFile::commitBatch()
{
    ++generation_;
    if (!batch_)
        return;
    batch_ = false;
    std::map<int, QByteArray> pending;
    pending.swap(pending_);
    if (pending.empty())
        return;
    const int target = count_;
    count_ = committedCount_;
    committing_ = true;
    try {
        for (const auto &[recNo, bytes] : pending) {
            if (recNo > committedCount_) {
                // Appends come in order after the records on disk.
                count_ = recNo - 1;
                writeRecord(recNo, bytes, true);
            } else {
                writeRecord(recNo, bytes, false);
            }
        }
    } catch (...) {
        committing_ = false;
        count_ = committedCount_;
        writeHeaderCountAndDate();
        throw;
    }
    committing_ = false;
    count_ = target;
    writeHeaderCountAndDate();
}

void DbfFile::rollbackBatch()
{
    ++generation_;
    if (!pending_.empty())
        changed();
    batch_ = false;
    pending_.clear();
    count_ = committedCount_;
}

void DbfFile::empty()
{
    checkWritable();
    rollbackBatch();
    QByteArray bytes = headerBytes_;
    dbf::putDateAndCount(bytes, today(), 0);
    bytes.append(dbf::kFileEnd);
    if (!writeFileAtomically(path_, bytes))
        throw DbError(QStringLiteral("Невозможно очистить таблицу ") + path_ + u'!');
    reopen();
}

void DbfFile::pack()
{
    checkWritable();
    rollbackBatch();
    QByteArray bytes = headerBytes_;
    quint32 kept = 0;
    for (int r = 1; r <= committedCount_; ++r) {
        const QByteArray rec = readRecordFromFile(r);
        if (rec[0] == dbf::kDeletedFlag)
            continue;
        bytes.append(rec);
        ++kept;
    }
    bytes.append(dbf::kFileEnd);
    dbf::putDateAndCount(bytes, today(), kept);
    if (!writeFileAtomically(path_, bytes))
        throw DbError(QStringLiteral("Невозможно упаковать таблицу ") + path_ + u'!');
    reopen();
}

QFile *DbfFile::memoFile(bool create)
{
    if (memo_)
        return memo_.get();
    QString name = findExistingPath(changeFileExt(path_, u".dbt"));
    if (name.isEmpty()) {
        if (!create)
            return nullptr;
        name = changeFileExt(path_, u".dbt");
        QByteArray head(kMemoBlock, '\0');
        head.replace(0, 4, le32Bytes(1));
        head[16] = 0x03;
        if (!writeFileAtomically(name, head))
            throw DbError(QStringLiteral("Невозможно создать файл примечаний ") + name + u'!');
    }
    auto f = std::make_unique<QFile>(name);
    if (!f->open(writable_ ? QIODevice::ReadWrite : QIODevice::ReadOnly) && !f->open(QIODevice::ReadOnly))
        return nullptr;
    memo_ = std::move(f);
    return memo_.get();
}

// A memo's bytes: those behind a length (FF FF 08 00 and the length with
// these 8 bytes; any byte, 0x1A too, is data), or, for `text`, those up to
// 0x1A of a block without one (the older layout of text memos).
QByteArray DbfFile::readMemoBlock(qint64 block, bool text)
{
    QFile *f = memoFile(false);
    if (!f)
        return {};
    const qint64 size = f->size();
    const qint64 at = block * kMemoBlock;
    if (block <= 0 || at >= size || !f->seek(at))
        return {};
    const QByteArray head = f->read(8);
    if (head.size() == 8 && static_cast<quint8>(head[0]) == 0xFF && static_cast<quint8>(head[1]) == 0xFF
        && head[2] == 0x08 && head[3] == 0x00) {
        const qint64 len = std::min<qint64>({static_cast<qint64>(le::u32(head, 4)) - 8, size - at - 8, kMaxMemo});
        return len > 0 ? f->read(len) : QByteArray();
    }
    if (!text)
        return {};
    f->seek(at);
    QByteArray bytes;
    while (bytes.size() < kMaxMemo) {
        const QByteArray chunk = f->read(kMemoBlock);
        if (chunk.isEmpty())
            break;
        const qsizetype end = chunk.indexOf(dbf::kFileEnd);
        if (end >= 0) {
            bytes.append(chunk.left(end));
            break;
        }
        bytes.append(chunk);
    }
    return bytes;
}

QString DbfFile::readMemo(qint64 block)
{
    return fromCp1251(readMemoBlock(block, true));
}

QByteArray DbfFile::readMemoBytes(qint64 block)
{
    return readMemoBlock(block, false);
}

// Appends `bytes` in whole blocks after the last one in use; answers the
// first block.
qint64 DbfFile::writeMemoBlocks(QByteArray bytes)
{
    QFile *f = memoFile(true);
    if (!f || !f->isWritable())
        throw DbError(QStringLiteral("Файл примечаний таблицы ") + path_ + QStringLiteral(" недоступен для записи !"));
    f->seek(0);
    const QByteArray head = f->read(4);
    qint64 next = head.size() == 4 ? le::u32(head, 0) : 0;
    const qint64 byEnd = (f->size() + kMemoBlock - 1) / kMemoBlock;
    if (next < 1 || next < byEnd)
        next = std::max<qint64>(byEnd, 1);
    const qint64 blocks = (bytes.size() + kMemoBlock - 1) / kMemoBlock;
    bytes.append(QByteArray(blocks * kMemoBlock - bytes.size(), '\0'));
    if (!f->seek(next * kMemoBlock) || f->write(bytes) != bytes.size() || !f->seek(0)
        || f->write(le32Bytes(static_cast<quint32>(next + blocks))) != 4 || !f->flush())
        throw DbError(QStringLiteral("Ошибка записи в файл примечаний таблицы ") + path_);
    return next;
}

qint64 DbfFile::writeMemo(const QString &text)
{
    QByteArray bytes = toCp1251(text);
    bytes.append(dbf::kFileEnd);
    bytes.append(dbf::kFileEnd);
    return writeMemoBlocks(bytes);
}

qint64 DbfFile::writeMemoBytes(const QByteArray &data)
{
    if (data.size() > kMaxMemo - 8)
        throw DbError(QStringLiteral("Ошибка записи в файл примечаний таблицы ") + path_);
    QByteArray bytes("\xFF\xFF\x08\x00", 4);
    bytes.append(le32Bytes(static_cast<quint32>(data.size() + 8)));
    bytes.append(data);
    return writeMemoBlocks(bytes);
}

} // namespace platform::db
