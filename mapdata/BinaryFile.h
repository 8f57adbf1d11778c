#pragma once
// Layer files opened for one operation: reads never go past the end of the
// file, and every read says how many bytes it got.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace mapdata {

class BinaryFile {
public:
    enum Mode { ReadOnly, ReadWrite };

    BinaryFile() = default;
    BinaryFile(const BinaryFile &) = delete;
    BinaryFile &operator=(const BinaryFile &) = delete;

    // Opens an existing file (the name as found on disk).
    bool open(const QString &path, Mode mode = ReadOnly);
    bool isOpen() const { return file_.isOpen(); }
    void close() { file_.close(); }
    qint64 size() const { return file_.isOpen() ? file_.size() : 0; }

    // Reads up to n bytes at pos into buf; the count read (0 at or past the end).
    qint64 readAt(qint64 pos, char *buf, qint64 n);
    // Whether all n bytes at pos were read.
    bool readExact(qint64 pos, char *buf, qint64 n) { return n >= 0 && readAt(pos, buf, n) == n; }
    // Up to n bytes at pos, fewer at the end of the file.
    QByteArray readBytes(qint64 pos, qint64 n);

    bool writeAt(qint64 pos, const char *buf, qint64 n);

private:
    QFile file_;
};

// A file counts as read-only when its owner may not write it: the stand-in for
// the read-only attribute of the files the layers come from (also for root).
bool isReadOnlyFile(const QString &path);

// Copies a file onto another, replacing it whole or not at all.
bool copyFileOverwrite(const QString &from, const QString &to);

// Deletes a file when it exists; true when it is gone.
bool deleteFileIfExists(const QString &path);

} // namespace mapdata
