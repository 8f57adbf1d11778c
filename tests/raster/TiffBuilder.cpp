#include "TiffBuilder.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>

namespace tifftest {

namespace {

void put16(QByteArray &b, qsizetype at, std::uint32_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(QByteArray &b, qsizetype at, std::uint32_t v)
{
    for (qsizetype i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

int typeSize(std::uint16_t type)
{
    switch (type) {
    case 1: case 2: return 1;
    case 3: return 2;
    case 4: return 4;
    case 5: return 8;
    default: return 4;
    }
}

QByteArray valueBytes(const Entry &e)
{
    const int size = typeSize(e.type);
    QByteArray b;
    for (std::uint32_t v : e.values) {
        const int n = e.type == 5 ? 4 : size;
        for (int i = 0; i < n; ++i)
            b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return b;
}

} // namespace

QByteArray build(const std::vector<Page> &pages, std::uint32_t lastNext)
{
    QByteArray f("II*\0\0\0\0\0", 8);
    qsizetype linkAt = 4;   // where the offset of the next directory goes
    for (const Page &p : pages) {
        // The strips first.
        std::vector<std::uint32_t> offsets, counts;
        for (const QByteArray &s : p.strips) {
            offsets.push_back(static_cast<std::uint32_t>(f.size()));
            counts.push_back(static_cast<std::uint32_t>(s.size()));
            f += s;
            if (f.size() % 2)
                f.append('\0');
        }
        std::vector<Entry> entries = p.entries;
        if (p.withStripTags && !p.strips.empty()) {
            entries.push_back({273, 4, offsets});
            entries.push_back({279, 4, counts});
        }
        // In ascending order of tags, as readers expect them.
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.tag < b.tag; });
        // The values that do not fit an entry, then the directory.
        std::vector<qsizetype> at(entries.size(), -1);
        for (size_t k = 0; k < entries.size(); ++k) {
            const QByteArray v = valueBytes(entries[k]);
            if (v.size() > 4) {
                at[k] = f.size();
                f += v;
                if (f.size() % 2)
                    f.append('\0');
            }
        }
        const qsizetype dir = f.size();
        put32(f, linkAt, static_cast<std::uint32_t>(dir));
        f.resize(dir + 2 + 12 * qsizetype(entries.size()) + 4);
        put16(f, dir, static_cast<std::uint32_t>(entries.size()));
        for (size_t k = 0; k < entries.size(); ++k) {
            const Entry &e = entries[k];
            const qsizetype o = dir + 2 + 12 * qsizetype(k);
            put16(f, o, e.tag);
            put16(f, o + 2, e.type);
            const std::int64_t count =
                e.count >= 0 ? e.count : (e.type == 5 ? qsizetype(e.values.size()) / 2 : qsizetype(e.values.size()));
            put32(f, o + 4, static_cast<std::uint32_t>(count));
            put32(f, o + 8, 0);
            if (e.offset >= 0) {
                put32(f, o + 8, static_cast<std::uint32_t>(e.offset));
            } else if (at[k] >= 0) {
                put32(f, o + 8, static_cast<std::uint32_t>(at[k]));
            } else {
                const QByteArray v = valueBytes(e);
                for (qsizetype i = 0; i < v.size(); ++i)
                    f[o + 8 + i] = v[i];
            }
        }
        linkAt = dir + 2 + 12 * qsizetype(entries.size());
        put32(f, linkAt, 0);
    }
    put32(f, linkAt, lastNext);
    return f;
}

std::int64_t rowBytes(const Picture &p)
{
    const std::uint32_t bits = std::accumulate(p.bitsPerSample.begin(), p.bitsPerSample.end(), 0u);
    return (std::int64_t(p.width) * bits + 7) / 8;
}

Page page(const Picture &p)
{
    Page g;
    g.entries.push_back({256, 4, {p.width}});
    g.entries.push_back({257, 4, {p.height}});
    g.entries.push_back({258, 3, p.bitsPerSample});
    g.entries.push_back({259, 3, {p.compression}});
    g.entries.push_back({262, 3, {p.photometric}});
    g.entries.push_back({277, 3, {static_cast<std::uint32_t>(p.bitsPerSample.size())}});
    g.entries.push_back({278, 4, {p.rowsPerStrip}});
    if (p.predictor == 2)
        g.entries.push_back({317, 3, {2}});
    if (!p.colorMap.empty())
        g.entries.push_back({320, 3, p.colorMap});
    const std::int64_t r = rowBytes(p);
    const int samples = static_cast<int>(p.bitsPerSample.size());
    for (std::uint32_t y = 0; y < p.height; y += p.rowsPerStrip) {
        const std::uint32_t rows = std::min(p.rowsPerStrip, p.height - y);
        QByteArray raw = p.pixels.mid(qsizetype(y) * r, qsizetype(rows) * r);
        if (p.predictor == 2)
            raw = differenced(raw, r, samples, static_cast<int>(p.bitsPerSample.front() / 8));
        switch (p.compression) {
        case 5: g.strips.push_back(lzw(raw)); break;
        case 32773: g.strips.push_back(packBits(raw)); break;
        default: g.strips.push_back(raw); break;
        }
    }
    return g;
}

QByteArray packBits(const QByteArray &d)
{
    QByteArray out;
    qsizetype i = 0;
    while (i < d.size()) {
        qsizetype run = 1;
        while (i + run < d.size() && run < 128 && d[i + run] == d[i])
            ++run;
        if (run >= 3) {
            out.append(static_cast<char>(1 - run));
            out.append(d[i]);
            i += run;
            continue;
        }
        // A literal up to the next run of three.
        qsizetype n = 0;
        while (i + n < d.size() && n < 128) {
            if (i + n + 2 < d.size() && d[i + n] == d[i + n + 1] && d[i + n] == d[i + n + 2])
                break;
            ++n;
        }
        out.append(static_cast<char>(n - 1));
        out += d.mid(i, n);
        i += n;
    }
    return out;
}

QByteArray lzw(const QByteArray &data)
{
    QByteArray out;
    std::uint32_t bits = 0;
    int held = 0, width = 9, next = 258;
    auto put = [&](int code) {
        bits = bits << width | static_cast<std::uint32_t>(code);
        held += width;
        while (held >= 8) {
            out.append(static_cast<char>((bits >> (held - 8)) & 0xFF));
            held -= 8;
        }
    };
    // The decoder lags one entry behind: the width rises when the table
    // reaches 512, 1024 and 2048 entries here.
    auto grow = [&] {
        ++next;
        if (next > (1 << width) - 1 && width < 12)
            ++width;
    };
    std::map<std::pair<int, unsigned char>, int> table;
    put(256);
    int w = -1;
    for (char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        if (w < 0) {
            w = c;
            continue;
        }
        const auto it = table.find({w, c});
        if (it != table.end()) {
            w = it->second;
            continue;
        }
        put(w);
        table[{w, c}] = next;
        grow();
        w = c;
        if (next == 4094) {
            put(256);
            table.clear();
            next = 258;
            width = 9;
        }
    }
    if (w >= 0) {
        put(w);
        grow();
    }
    put(257);
    if (held > 0)
        out.append(static_cast<char>((bits << (8 - held)) & 0xFF));
    return out;
}

QByteArray differenced(const QByteArray &rows, std::int64_t rowBytes, int distance, int sampleBytes)
{
    QByteArray out = rows;
    auto sample = [&](qsizetype at) {
        return sampleBytes == 2 ? unsigned(static_cast<unsigned char>(rows[at])) |
                                      unsigned(static_cast<unsigned char>(rows[at + 1])) << 8
                                : unsigned(static_cast<unsigned char>(rows[at]));
    };
    const qsizetype n = static_cast<qsizetype>(rowBytes) / sampleBytes;
    for (qsizetype start = 0; start + rowBytes <= out.size(); start += static_cast<qsizetype>(rowBytes))
        for (qsizetype k = n - 1; k >= distance; --k) {
            const unsigned v = sample(start + k * sampleBytes) - sample(start + (k - distance) * sampleBytes);
            out[start + k * sampleBytes] = static_cast<char>(v & 0xFF);
            if (sampleBytes == 2)
                out[start + k * sampleBytes + 1] = static_cast<char>((v >> 8) & 0xFF);
        }
    return out;
}

} // namespace tifftest
