#pragma once
// The records of a metafile in compact form. A map picture holds millions of
// records, most of them a pen position or a pen, so each record is a few
// 32-bit words in one stream (its kind and the fields of that kind only), the
// points of all figures lie in one shared array, and the objects that own
// memory (fonts, texts, images, transforms, regions) in arrays of their own.
// Every record's place in the side arrays follows from the records before it,
// so the stream needs no indexes; records are read in order, as views into the
// storage, without copying. The stream and the points grow in blocks: nothing
// is moved as a picture grows, and little memory stands unused.

#include "platform/gdi/MetaRecord.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace platform::gdi {

namespace detail {

// Elements kept in blocks; a run of elements added at once is never split
// between two blocks, so it can be read back as one span.
template <typename T>
class BlockArray {
public:
    static constexpr std::size_t kBlock = 65536 / sizeof(T);

    // Where reading has come to.
    struct Cursor {
        std::size_t block = 0;
        std::size_t offset = 0;
    };

    // Makes room for a run of n elements in the last block.
    void reserveRun(std::size_t n)
    {
        if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < n) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max(kBlock, n));
        }
    }
    // Adds to the run made room for.
    void add(const T &v) { blocks_.back().push_back(v); }
    void add(const T *v, std::size_t n) { blocks_.back().insert(blocks_.back().end(), v, v + n); }
    // A run of n elements as it was added: it went to the block being read
    // when it fitted there, to the next block when not.
    const T *run(Cursor &c, std::size_t n) const
    {
        if (n == 0)
            return nullptr;
        if (c.offset + n > blocks_[c.block].size()) {
            ++c.block;
            c.offset = 0;
        }
        const T *p = blocks_[c.block].data() + c.offset;
        c.offset += n;
        return p;
    }
    // Moves a cursor from the end of a block to the start of the next.
    void settle(Cursor &c) const
    {
        while (c.block < blocks_.size() && c.offset == blocks_[c.block].size()) {
            ++c.block;
            c.offset = 0;
        }
    }
    const T *at(const Cursor &c) const { return blocks_[c.block].data() + c.offset; }
    void clear() { blocks_.clear(); }
    std::size_t capacity() const
    {
        std::size_t n = 0;
        for (const std::vector<T> &b : blocks_)
            n += b.capacity();
        return n;
    }

private:
    std::vector<std::vector<T>> blocks_;
};

} // namespace detail

class RecordList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = RecordView;
        using difference_type = std::ptrdiff_t;
        using pointer = const RecordView *;
        using reference = const RecordView &;

        const_iterator() = default;
        reference operator*() const { return view_; }
        pointer operator->() const { return &view_; }
        const_iterator &operator++()
        {
            ++index_;
            decode();
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const const_iterator &o) const { return index_ == o.index_; }

    private:
        friend class RecordList;
        const_iterator(const RecordList *list, std::size_t index);
        void decode();

        const RecordList *list_ = nullptr;
        std::size_t index_ = 0;  // the record's number
        // Where the next record starts in the stream and its share of each side array.
        detail::BlockArray<std::int32_t>::Cursor word_;
        detail::BlockArray<QPoint>::Cursor point_;
        std::size_t font_ = 0, text_ = 0, image_ = 0, transform_ = 0, region_ = 0, other_ = 0;
        int form_ = -1;          // the form of the record in view_ (none yet)
        RecordView view_;
    };
    using iterator = const_iterator;
    using value_type = RecordView;

    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, count_); }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    void clear();

    void append(const RecordView &record);
    void append(const MetaRecord &record) { append(record.view()); }
    void append(const RecordList &records);

    // The bytes the list holds (its arrays' capacity and the memory of the
    // objects it keeps).
    std::size_t memoryUsage() const;

private:
    static std::size_t wordsOf(int type, std::size_t counts);
    void word(std::int32_t w) { words_.add(w); }
    void word64(std::int64_t v);
    void rect(const Rect &r);
    void qrect(const QRect &r);

    detail::BlockArray<std::int32_t> words_;
    detail::BlockArray<QPoint> points_;
    std::vector<LogFont> fonts_;
    std::vector<QString> texts_;
    std::vector<QImage> images_;
    std::vector<QTransform> transforms_;
    std::vector<QRegion> regions_;
    std::vector<MetaRecord> others_;   // records of kinds without a form of their own
    std::size_t count_ = 0;
};

} // namespace platform::gdi
