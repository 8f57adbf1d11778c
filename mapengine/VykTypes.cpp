#include "mapengine/VykTypes.h"

#include "platform/ByteOrder.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace mapengine {

namespace {

// Sequential reads over the file's bytes. A read past the end gets zeros for
// the missing bytes, as a short read into a zeroed record leaves them.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    qsizetype left() const { return bytes_.size() - pos_; }
    // Whether a read ran past the end, or a count was held to the bytes.
    bool short_ = false;

    // n bytes from the current place, zero-filled beyond the end.
    void take(unsigned char *out, qsizetype n)
    {
        std::memset(out, 0, static_cast<size_t>(n));
        const qsizetype have = std::clamp<qsizetype>(left(), 0, n);
        if (have < n)
            short_ = true;
        if (have > 0)
            std::memcpy(out, bytes_.data() + pos_, static_cast<size_t>(have));
        pos_ += have;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

using platform::le::i32;
using platform::le::put32;

// The text of a zero-padded field: up to its first zero byte.
QString fieldText(const unsigned char *p, qsizetype width)
{
    qsizetype n = 0;
    while (n < width && p[n] != 0)
        ++n;
    return platform::fromCp1251(QByteArrayView(reinterpret_cast<const char *>(p), n));
}

void putText(QByteArray &b, qsizetype at, qsizetype width, const QString &text)
{
    const QByteArray raw = platform::toCp1251(text);
    const qsizetype n = std::min(width, raw.size());
    for (qsizetype i = 0; i < n; ++i)
        b[at + i] = raw[i];
}

// How many records of `size` bytes a stored count may make: none for a
// negative count, and no more than begin in the bytes left (the last one
// perhaps cut short).
std::int32_t trustedCount(Reader &in, std::int32_t stored, int size)
{
    if (stored < 0)
        in.short_ = true;
    if (stored <= 0)
        return 0;
    const qsizetype fit = (std::max<qsizetype>(in.left(), 0) + size - 1) / size;
    if (fit < stored)
        in.short_ = true;
    return static_cast<std::int32_t>(std::min<qsizetype>(stored, fit));
}

void readStroke(Reader &in, TVykStroke &s)
{
    unsigned char r[kStrokeRecordSize];
    in.take(r, kStrokeRecordSize);
    s.Kind = r[0];
    s.Spare = r[1];
    s.PenStyle = r[2];
    s.BrushStyle = r[3];
    s.BrushColor = i32(r + 4);
    s.PenColor = i32(r + 8);
    s.PenWidth = i32(r + 12);
    s.PointCount = trustedCount(in, i32(r + 16), kPointRecordSize);
    s.Left = i32(r + 20);
    s.Top = i32(r + 24);
    s.Right = i32(r + 28);
    s.Bottom = i32(r + 32);
    s.Points.resize(static_cast<size_t>(s.PointCount));
    for (TVykPoint &p : s.Points) {
        unsigned char q[kPointRecordSize];
        in.take(q, kPointRecordSize);
        p.X = i32(q);
        p.Y = i32(q + 4);
    }
}

void readStrokes(Reader &in, TVykSymbol &p, std::int32_t stored)
{
    p.StrokeCount = trustedCount(in, stored, kStrokeRecordSize);
    p.Strokes.resize(static_cast<size_t>(p.StrokeCount));
    for (TVykStroke &s : p.Strokes)
        readStroke(in, s);
}

void readOldPattern(Reader &in, TVykSymbol &p, int position)
{
    unsigned char r[kOldPatternRecordSize];
    in.take(r, kOldPatternRecordSize);
    p.Name = fieldText(r, 50);
    p.Kind = r[50];
    p.Width = i32(r + 55);
    p.Height = i32(r + 59);
    p.Number1 = position;
    p.Number2 = position;
    readStrokes(in, p, i32(r + 51));
}

void readNewPattern(Reader &in, TVykSymbol &p)
{
    unsigned char r[kNewPatternRecordSize];
    in.take(r, kNewPatternRecordSize);
    p.Name = fieldText(r, 100);
    p.Kind = r[100];
    p.Width = i32(r + 105);
    p.Height = i32(r + 109);
    p.Number1 = i32(r + 113);
    p.Number2 = i32(r + 117);
    std::copy(r + 121, r + 133, p.Reserved.begin());
    readStrokes(in, p, i32(r + 101));
}

} // namespace

TVykSymbols readStyleLibrary(QByteArrayView bytes, bool *whole)
{
    TVykSymbols lib;
    Reader in(bytes);
    unsigned char head[kLibraryHeaderSize];
    in.take(head, kLibraryHeaderSize);
    lib.Signature = fieldText(head, 10);
    lib.Count = i32(head + 10);
    const bool oldForm = lib.Signature == QLatin1String(kOldLibrarySignature);
    const bool newForm = lib.Signature == QLatin1String(kNewLibrarySignature);
    if (whole)
        *whole = (oldForm || newForm) && lib.Count >= 0 && lib.Count <= kMaxLibraryPatterns && !in.short_;
    if (lib.Count > kMaxLibraryPatterns)
        lib.Count = 0;
    if (lib.Count <= 0)
        return lib;
    lib.Items.resize(static_cast<size_t>(lib.Count));
    if (!oldForm && !newForm)
        return lib;
    for (int i = 0; i < lib.Count; ++i) {
        if (oldForm)
            readOldPattern(in, lib.Items[static_cast<size_t>(i)], i);
        else
            readNewPattern(in, lib.Items[static_cast<size_t>(i)]);
    }
    if (whole && in.short_)
        *whole = false;
    return lib;
}

QByteArray writeStyleLibrary(const TVykSymbols &library)
{
    const bool oldForm = library.Signature == QLatin1String(kOldLibrarySignature);
    QByteArray out(kLibraryHeaderSize, '\0');
    putText(out, 0, 10, QLatin1String(oldForm ? kOldLibrarySignature : kNewLibrarySignature));
    put32(out, 10, static_cast<std::int32_t>(library.Items.size()));
    for (const TVykSymbol &p : library.Items) {
        const qsizetype at = out.size();
        const std::int32_t strokes = static_cast<std::int32_t>(p.Strokes.size());
        if (oldForm) {
            out.append(kOldPatternRecordSize, '\0');
            putText(out, at, 50, p.Name);
            out[at + 50] = static_cast<char>(p.Kind);
            put32(out, at + 51, strokes);
            put32(out, at + 55, p.Width);
            put32(out, at + 59, p.Height);
        } else {
            out.append(kNewPatternRecordSize, '\0');
            putText(out, at, 100, p.Name);
            out[at + 100] = static_cast<char>(p.Kind);
            put32(out, at + 101, strokes);
            put32(out, at + 105, p.Width);
            put32(out, at + 109, p.Height);
            put32(out, at + 113, p.Number1);
            put32(out, at + 117, p.Number2);
            for (int i = 0; i < 12; ++i)
                out[at + 121 + i] = static_cast<char>(p.Reserved[static_cast<size_t>(i)]);
        }
        for (const TVykStroke &s : p.Strokes) {
            const qsizetype st = out.size();
            out.append(kStrokeRecordSize, '\0');
            out[st + 0] = static_cast<char>(s.Kind);
            out[st + 1] = static_cast<char>(s.Spare);
            out[st + 2] = static_cast<char>(s.PenStyle);
            out[st + 3] = static_cast<char>(s.BrushStyle);
            put32(out, st + 4, s.BrushColor);
            put32(out, st + 8, s.PenColor);
            put32(out, st + 12, s.PenWidth);
            put32(out, st + 16, static_cast<std::int32_t>(s.Points.size()));
            put32(out, st + 20, s.Left);
            put32(out, st + 24, s.Top);
            put32(out, st + 28, s.Right);
            put32(out, st + 32, s.Bottom);
            for (const TVykPoint &q : s.Points) {
                const qsizetype pt = out.size();
                out.append(kPointRecordSize, '\0');
                put32(out, pt, q.X);
                put32(out, pt + 4, q.Y);
            }
        }
    }
    return out;
}

void updateStrokeBounds(TVykStroke &stroke)
{
    stroke.PointCount = static_cast<std::int32_t>(stroke.Points.size());
    if (stroke.Points.empty()) {
        stroke.Left = stroke.Top = stroke.Right = stroke.Bottom = 0;
        return;
    }
    stroke.Left = stroke.Right = stroke.Points.front().X;
    stroke.Top = stroke.Bottom = stroke.Points.front().Y;
    for (const TVykPoint &p : stroke.Points) {
        stroke.Left = std::min(stroke.Left, p.X);
        stroke.Right = std::max(stroke.Right, p.X);
        stroke.Top = std::min(stroke.Top, p.Y);
        stroke.Bottom = std::max(stroke.Bottom, p.Y);
    }
}

} // namespace mapengine
