#pragma once
// A layer file kept open while its layer is open, read through a window of
// the file's bytes: walking the records in file order reads the disk in large
// pieces, and no read asks the file's size.
//
// A kept file never hands out bytes of a file that a writer changed or
// replaced meanwhile: every writer of layer files (mapdata::FileOps, the copy
// and delete helpers, BinaryFile opened for writing) first releases the kept
// files it is about to change (releaseKeptFiles), and any write makes the
// next read check the file on disk once (inode, size, time of change) and
// open it again when it differs. A released file opens again on its next
// read.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace mapdata {

class KeptFile {
public:
    KeptFile() = default;
    ~KeptFile();
    KeptFile(const KeptFile &) = delete;
    KeptFile &operator=(const KeptFile &) = delete;

    // Keeps the file of that name (as found on disk); false when it cannot
    // be opened for reading.
    bool open(const QString &path);
    // Closes it and forgets the name.
    void close();
    // Closes the handle but keeps the name: the next read opens it again.
    void release();
    // Whether the file could be read (opened again when it was released).
    bool ready();
    // Looks at the file on disk once and opens it again when it is no longer
    // the one read (another program may have changed it): for the start of
    // an operation over the layer.
    void check();
    const QString &path() const { return path_; }
    // The size as of the last check; no call to the file system.
    qint64 size();

    // Up to n bytes at pos, fewer at the end of the file; the view lasts
    // until the next read of this file. A read past the size known checks the
    // file once more (it may have grown).
    QByteArrayView read(qint64 pos, qint64 n);
    // The first 100 bytes (the header of a layer file), fewer for a shorter
    // file; kept apart from the window.
    QByteArrayView head();

    // Whether the handle held is that of this file on disk.
    bool holds(std::uint64_t dev, std::uint64_t ino) const { return fd_ >= 0 && dev == dev_ && ino == ino_; }

    // The window's size.
    static constexpr qint64 WindowSize = 256 * 1024;

private:
    bool reopen();
    bool stale() const;
    void drop();

    QString path_;
    int fd_ = -1;
    qint64 size_ = 0;
    std::uint64_t dev_ = 0, ino_ = 0;
    std::int64_t mtimeNs_ = 0, ctimeNs_ = 0;
    std::uint64_t generation_ = 0;
    QByteArray head_;
    QByteArray window_;
    qint64 windowPos_ = 0;
    QByteArray big_;    // a read larger than the window
    bool registered_ = false;
};

// Closes the kept files of the file of that name (any name of the same file
// on disk), before a writer changes, replaces or deletes it; and marks every
// kept file for a check on its next read.
void releaseKeptFiles(const QString &path);
// Marks every kept file for a check on its next read (after a write).
void keptFilesChanged();

} // namespace mapdata
