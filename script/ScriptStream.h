#pragma once
// The byte streams that the script engine's XML documents read and write.
// A small interface of its own, with the two streams the engine needs (a
// file and memory), so that the class library's stream family can take its
// place behind the same calls: its streams only need these five operations.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <stdexcept>

namespace script {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Reads up to count bytes at the position; returns how many were read.
    virtual qint64 Read(char *buffer, qint64 count) = 0;
    // Writes the bytes at the position; returns how many were written.
    virtual qint64 Write(const char *buffer, qint64 count) = 0;
    virtual qint64 Position() const = 0;
    virtual void SetPosition(qint64 position) = 0;
    virtual qint64 Size() const = 0;
};

// Bytes in memory, growing as they are written.
class MemoryStream : public ByteStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(QByteArray bytes) : bytes_(std::move(bytes)) {}
    qint64 Read(char *buffer, qint64 count) override;
    qint64 Write(const char *buffer, qint64 count) override;
    qint64 Position() const override { return position_; }
    void SetPosition(qint64 position) override { position_ = position; }
    qint64 Size() const override { return bytes_.size(); }
    const QByteArray &Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    qint64 position_ = 0;
};

// The file could not be opened or created: "Невозможно открыть файл <name>".
class FileStreamError : public std::runtime_error {
public:
    explicit FileStreamError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// A file opened for reading (others may read it, nothing writes it through
// this stream) or created anew for writing.
class FileStream : public ByteStream {
public:
    enum Mode { OpenRead, Create };
    FileStream(const QString &fileName, Mode mode);
    qint64 Read(char *buffer, qint64 count) override { return file_.read(buffer, count); }
    qint64 Write(const char *buffer, qint64 count) override { return file_.write(buffer, count); }
    qint64 Position() const override { return file_.pos(); }
    void SetPosition(qint64 position) override { file_.seek(position); }
    qint64 Size() const override { return file_.size(); }

private:
    QFile file_;
};

} // namespace script
