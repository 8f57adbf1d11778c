#include "mapdata/BulkBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace mapdata {

namespace {

constexpr qsizetype largePage = qsizetype(2) << 20;

char *allocate(qsizetype &capacity)
{
    if (capacity < largePage)
        return static_cast<char *>(std::malloc(static_cast<size_t>(capacity)));
    capacity = (capacity + largePage - 1) / largePage * largePage;
    void *p = std::aligned_alloc(static_cast<size_t>(largePage), static_cast<size_t>(capacity));
#if defined(MADV_HUGEPAGE)
    if (p)
        madvise(p, static_cast<size_t>(capacity), MADV_HUGEPAGE); // a hint: small pages still work
#endif
    return static_cast<char *>(p);
}

} // namespace

BulkBuffer::~BulkBuffer() { std::free(data_); }

void BulkBuffer::reserve(qsizetype bytes)
{
    if (bytes <= capacity_)
        return;
    qsizetype capacity = bytes;
    char *p = allocate(capacity);
    if (!p)
        throw std::bad_alloc();
    if (size_ > 0)
        std::memcpy(p, data_, static_cast<size_t>(size_));
    std::free(data_);
    data_ = p;
    capacity_ = capacity;
}

char *BulkBuffer::append(qsizetype n)
{
    if (n <= 0)
        return data_ + size_;
    if (size_ + n > capacity_)
        reserve(std::max(size_ + n, 2 * capacity_));
    char *p = data_ + size_;
    std::memset(p, 0, static_cast<size_t>(n));
    size_ += n;
    return p;
}

QByteArray BulkBuffer::view(qsizetype from) const
{
    return from < size_ ? QByteArray::fromRawData(data_ + from, size_ - from) : QByteArray();
}

} // namespace mapdata
