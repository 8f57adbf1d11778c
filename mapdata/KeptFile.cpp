#include "mapdata/KeptFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mapdata {

namespace {

// The kept files that hold a handle, and the count of writes so far.
std::vector<KeptFile *> &openFiles()
{
    static std::vector<KeptFile *> files;
    return files;
}
std::uint64_t writes = 0;

std::int64_t nanoseconds(const struct timespec &t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

bool statPath(const QString &path, struct stat &st)
{
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

// Reads n bytes at pos, going on after short reads; the count read.
qint64 readFully(int fd, char *buf, qint64 n, qint64 pos)
{
    qint64 done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, buf + done, static_cast<size_t>(n - done), pos + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

KeptFile::~KeptFile() { close(); }

bool KeptFile::open(const QString &path)
{
    close();
    path_ = path;
    if (reopen())
        return true;
    path_.clear();
    return false;
}

void KeptFile::close()
{
    release();
    path_.clear();
}

void KeptFile::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    drop();
    if (registered_) {
        auto &files = openFiles();
        files.erase(std::remove(files.begin(), files.end(), this), files.end());
        registered_ = false;
    }
}

void KeptFile::drop()
{
    head_.clear();
    window_.clear();
    windowPos_ = 0;
    big_.clear();
}

bool KeptFile::reopen()
{
    release();
    if (path_.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = st.st_size;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    mtimeNs_ = nanoseconds(st.st_mtim);
    ctimeNs_ = nanoseconds(st.st_ctim);
    generation_ = writes;
    head_.resize(static_cast<qsizetype>(std::min<qint64>(size_, 100)));
    head_.resize(static_cast<qsizetype>(readFully(fd_, head_.data(), head_.size(), 0)));
    openFiles().push_back(this);
    registered_ = true;
    return true;
}

bool KeptFile::stale() const
{
    struct stat st;
    if (!statPath(path_, st))
        return true;
    return std::uint64_t(st.st_dev) != dev_ || std::uint64_t(st.st_ino) != ino_ || st.st_size != size_ ||
           nanoseconds(st.st_mtim) != mtimeNs_ || nanoseconds(st.st_ctim) != ctimeNs_;
}

bool KeptFile::ready()
{
    if (path_.isEmpty())
        return false;
    if (fd_ < 0)
        return reopen();
    if (generation_ != writes) {
        // Something was written since the last look: one check of the file.
        if (stale())
            return reopen();
        generation_ = writes;
    }
    return true;
}

void KeptFile::check()
{
    if (fd_ >= 0 && stale())
        reopen();
}

qint64 KeptFile::size() { return ready() ? size_ : 0; }

QByteArrayView KeptFile::head()
{
    if (!ready())
        return {};
    return QByteArrayView(head_);
}

QByteArrayView KeptFile::read(qint64 pos, qint64 n)
{
    if (pos < 0 || n <= 0 || !ready())
        return {};
    if (n > size_ - pos) {
        // Past the end as known: the file may have grown since.
        struct stat st;
        if (::fstat(fd_, &st) == 0 && st.st_size != size_) {
            size_ = st.st_size;
            drop();
            head_.resize(static_cast<qsizetype>(std::min<qint64>(size_, 100)));
            head_.resize(static_cast<qsizetype>(readFully(fd_, head_.data(), head_.size(), 0)));
        }
        if (pos >= size_)
            return {};
        n = size_ - pos;
    }
    if (!window_.isEmpty() && pos >= windowPos_ && pos + n <= windowPos_ + window_.size())
        return QByteArrayView(window_).sliced(pos - windowPos_, n);
    if (n > WindowSize) {
        big_.resize(static_cast<qsizetype>(n));
        big_.resize(static_cast<qsizetype>(readFully(fd_, big_.data(), n, pos)));
        return QByteArrayView(big_);
    }
    const qint64 length = std::min<qint64>(WindowSize, size_ - pos);
    window_.resize(static_cast<qsizetype>(length));
    window_.resize(static_cast<qsizetype>(readFully(fd_, window_.data(), length, pos)));
    windowPos_ = pos;
    return QByteArrayView(window_).first(std::min<qint64>(n, window_.size()));
}

void releaseKeptFiles(const QString &path)
{
    keptFilesChanged();
    struct stat st;
    if (!statPath(path, st))
        return;
    // Copied: releasing a file takes it off the list.
    const std::vector<KeptFile *> files = openFiles();
    for (KeptFile *f : files) {
        if (f->holds(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)))
            f->release();
    }
}

void keptFilesChanged() { ++writes; }

} // namespace mapdata
