// Feeds arbitrary bytes to the dBase reader: first to the codec in memory
// (header, descriptors, every value of every record, and writing each value
// back), then as a file on disk (with the same bytes as its memo file) through
// the file reader. Every failure must be a DbError; nothing may read out of
// bounds.

#include "platform/db/DbfCodec.h"
#include "platform/db/DbfFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace platform::db;

namespace {

// Records looked at per input, so that a header claiming millions stays quick.
constexpr qint64 kMaxRecords = 4096;

void inMemory(QByteArrayView bytes)
{
    const dbf::DbfHeader h = dbf::parseHeader(bytes, bytes.size(), QStringLiteral("fuzz.dbf"));
    const qint64 n = std::min(h.availableRecords, kMaxRecords);
    for (qint64 r = 0; r < n; ++r) {
        const qint64 at = h.headerLength + r * h.recordLength;
        if (at + h.recordLength > bytes.size())
            break;
        const QByteArrayView rec = bytes.sliced(at, h.recordLength);
        for (const dbf::DbfField &f : h.fields) {
            const QVariant v = dbf::decodeValue(f, rec);
            QByteArray copy = rec.toByteArray();
            try {
                dbf::encodeValue(f, copy, v);
            } catch (const DbError &) {
                // A value that does not fit back (a memo block, an unknown type).
            }
        }
    }
}

void onDisk(QByteArrayView bytes)
{
    static QTemporaryDir dir;
    const QString dbfPath = dir.filePath(QStringLiteral("fuzz.dbf"));
    for (const QString &name : {dbfPath, dir.filePath(QStringLiteral("fuzz.dbt"))}) {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        f.write(bytes.data(), bytes.size());
    }
    std::unique_ptr<DbfFile> file = DbfFile::open(dbfPath);
    const int n = static_cast<int>(std::min<qint64>(file->recordCount(), kMaxRecords));
    const int fields = static_cast<int>(file->fieldDefs().size());
    for (int r = 1; r <= n; ++r) {
        file->isDeleted(r);
        for (int i = 0; i < fields; ++i)
            file->value(r, i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        inMemory(bytes);
    } catch (const DbError &) {
    }
    try {
        onDisk(bytes);
    } catch (const DbError &) {
    }
    return 0;
}
