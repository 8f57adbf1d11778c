#include "platform/classlib/Streams.h"

#include "platform/SafeFile.h"
#include "platform/classlib/Properties.h"

#include <algorithm>
#include <cstring>

namespace platform::classlib {

const ClassInfo &TStream::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TStream, TObject>("TStream", {});
    return info;
}

const ClassInfo &TMemoryStream::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TMemoryStream, TStream>("TMemoryStream", {});
    return info;
}

const ClassInfo &TFileStream::staticClassInfo()
{
    // Made with a file name only, never by class name.
    static const ClassInfo info("TFileStream", &TStream::staticClassInfo(), nullptr, {});
    return info;
}

std::int64_t TStream::Size()
{
    const std::int64_t here = Seek(0, SeekOrigin::Current);
    const std::int64_t size = Seek(0, SeekOrigin::End);
    Seek(here, SeekOrigin::Beginning);
    return size;
}

void TStream::ReadBuffer(void *buffer, std::int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw StreamError(QStringLiteral("Ошибка чтения потока"));
}

void TStream::WriteBuffer(const void *buffer, std::int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw StreamError(QStringLiteral("Ошибка записи потока"));
}

std::int64_t TStream::CopyFrom(TStream &source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::int64_t done = 0;
    char block[65536];
    while (done < count) {
        const std::int64_t n = std::min<std::int64_t>(sizeof block, count - done);
        source.ReadBuffer(block, n);
        WriteBuffer(block, n);
        done += n;
    }
    return done;
}

QByteArray TStream::ReadBytes(std::int64_t count)
{
    if (count < 0)
        throw StreamError(QStringLiteral("Ошибка чтения потока"));
    const std::int64_t left = Size() - Position();
    if (count > left)
        throw StreamError(QStringLiteral("Ошибка чтения потока"));
    QByteArray bytes(static_cast<qsizetype>(count), Qt::Uninitialized);
    ReadBuffer(bytes.data(), count);
    return bytes;
}

QByteArray TStream::ReadRest()
{
    return ReadBytes(std::max<std::int64_t>(0, Size() - Position()));
}

// ---------------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void *buffer, std::int64_t count)
{
    const std::int64_t n = std::clamp<std::int64_t>(data_.size() - position_, 0, std::max<std::int64_t>(count, 0));
    if (n > 0)
        std::memcpy(buffer, data_.constData() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void *buffer, std::int64_t count)
{
    if (count <= 0)
        return 0;
    const std::int64_t end = position_ + count;
    if (end > data_.size())
        data_.resize(static_cast<qsizetype>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin)
{
    const std::int64_t base = origin == SeekOrigin::Beginning ? 0 : origin == SeekOrigin::Current ? position_ : data_.size();
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    data_.resize(static_cast<qsizetype>(std::max<std::int64_t>(0, size)));
    position_ = std::min<std::int64_t>(position_, data_.size());
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream &source)
{
    source.SetPosition(0);
    data_ = source.ReadRest();
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream &target)
{
    target.WriteBytes(data_);
}

void TMemoryStream::LoadFromFile(const QString &fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const QString &fileName)
{
    if (!writeFileAtomically(fileName, data_))
        throw StreamError(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const QString &fileName, unsigned mode) : file_(fileName)
{
    if (mode == fmCreate) {
        if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw StreamError(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
        return;
    }
    const unsigned access = mode & 3;
    const QIODevice::OpenMode open = access == fmOpenWrite       ? QIODevice::WriteOnly | QIODevice::ExistingOnly
                                     : access == fmOpenReadWrite ? QIODevice::ReadWrite | QIODevice::ExistingOnly
                                                                 : QIODevice::ReadOnly;
    if (!file_.open(open))
        throw StreamError(QStringLiteral("Не удаётся открыть файл «%1»").arg(fileName));
}

std::int64_t TFileStream::Read(void *buffer, std::int64_t count)
{
    const qint64 n = file_.read(static_cast<char *>(buffer), std::max<std::int64_t>(count, 0));
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Write(const void *buffer, std::int64_t count)
{
    const qint64 n = file_.write(static_cast<const char *>(buffer), std::max<std::int64_t>(count, 0));
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin)
{
    const std::int64_t base = origin == SeekOrigin::Beginning ? 0 : origin == SeekOrigin::Current ? file_.pos() : file_.size();
    file_.seek(std::max<std::int64_t>(0, base + offset));
    return file_.pos();
}

void TFileStream::SetSize(std::int64_t size)
{
    if (!file_.resize(std::max<std::int64_t>(0, size)))
        throw StreamError(QStringLiteral("Ошибка записи потока"));
}

} // namespace platform::classlib
