#pragma once
// The class library's streams: a position over bytes, read and written in
// blocks; a memory stream and a file stream.

#include "platform/classlib/Reflection.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>

namespace platform::classlib {

// A stream failure: "Ошибка чтения потока", "Ошибка записи потока", a file
// that cannot be opened or made.
class StreamError : public std::runtime_error {
public:
    explicit StreamError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

enum class SeekOrigin { Beginning, Current, End };

class TStream : public TObject {
    TOLVANE_CLASSINFO
public:
    // Reads up to count bytes; the number read.
    virtual std::int64_t Read(void *buffer, std::int64_t count) = 0;
    // Writes count bytes; the number written.
    virtual std::int64_t Write(const void *buffer, std::int64_t count) = 0;
    // The new position (kept within 0 and, for reading streams, the size).
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Beginning); }
    std::int64_t Size();
    // All count bytes or StreamError.
    void ReadBuffer(void *buffer, std::int64_t count);
    void WriteBuffer(const void *buffer, std::int64_t count);
    // Copies count bytes from the source's position (0: the whole source
    // from its start); the number copied.
    std::int64_t CopyFrom(TStream &source, std::int64_t count);

    // Helpers over the block operations.
    QByteArray ReadBytes(std::int64_t count);
    void WriteBytes(const QByteArray &bytes) { WriteBuffer(bytes.constData(), bytes.size()); }
    // What is left from the position to the end.
    QByteArray ReadRest();
};

// A stream in memory.
class TMemoryStream : public TStream {
    TOLVANE_CLASSINFO
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray bytes) : data_(std::move(bytes)) {}

    std::int64_t Read(void *buffer, std::int64_t count) override;
    std::int64_t Write(const void *buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    void Clear();
    const QByteArray &Memory() const { return data_; }
    void LoadFromStream(TStream &source);
    void SaveToStream(TStream &target);
    // Reads the whole file; StreamError when it cannot be read.
    void LoadFromFile(const QString &fileName);
    // Replaces the file whole (a failed write leaves the old one).
    void SaveToFile(const QString &fileName);

private:
    QByteArray data_;
    std::int64_t position_ = 0;
};

// Open modes of file streams.
enum FileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020,
    fmCreate = 0xFFFF,
};

// A stream over a file: fmCreate makes the file anew (empty), the open
// modes open an existing one. StreamError "Не удаётся открыть файл «...»" or
// "Не удаётся создать файл «...»" when that fails.
class TFileStream : public TStream {
    TOLVANE_CLASSINFO
public:
    TFileStream(const QString &fileName, unsigned mode);

    std::int64_t Read(void *buffer, std::int64_t count) override;
    std::int64_t Write(const void *buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

private:
    QFile file_;
};

} // namespace platform::classlib
