#pragma once
// A growing byte buffer for the megabytes of one batch write (the journal's
// records of a whole layer). Where the system offers large pages it takes
// them: filling megabytes of fresh 4 KB pages costs a page fault each, which
// on a virtual machine outweighs everything written into them.

#include <QByteArray>

namespace mapdata {

class BulkBuffer {
public:
    BulkBuffer() = default;
    ~BulkBuffer();
    BulkBuffer(const BulkBuffer &) = delete;
    BulkBuffer &operator=(const BulkBuffer &) = delete;

    void reserve(qsizetype bytes);
    // n more bytes at the end, zeroed; the pointer holds until the buffer grows.
    char *append(qsizetype n);
    char *data() { return data_; }
    const char *data() const { return data_; }
    qsizetype size() const { return size_; }
    // The bytes from `from` on, not copied: valid while the buffer lives and
    // does not grow.
    QByteArray view(qsizetype from = 0) const;

private:
    char *data_ = nullptr;
    qsizetype size_ = 0;
    qsizetype capacity_ = 0;
};

} // namespace mapdata
