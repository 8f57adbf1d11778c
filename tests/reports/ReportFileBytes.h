#pragma once
// A byte builder for the report library's stream fixtures: little-endian
// numbers, the library's strings and memos, and end positions patched from
// where a record ends. Fixtures are written field by field here, never with
// the writers under test.

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstring>

namespace reportbytes {

class Bytes {
public:
    QByteArray b;
    qsizetype size() const { return b.size(); }
    Bytes &u8(int v) { b.append(static_cast<char>(v & 0xFF)); return *this; }
    Bytes &u16(int v) { u8(v); return u8(v >> 8); }
    Bytes &i32(qint32 v)
    {
        const auto u = static_cast<quint32>(v);
        for (int i = 0; i < 4; ++i)
            u8(static_cast<int>((u >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes &real(double v)
    {
        quint64 u = 0;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            u8(static_cast<int>((u >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes &raw(const QByteArray &bytes) { b.append(bytes); return *this; }
    // UInt16 length, the bytes, 0.
    Bytes &str(const QString &s)
    {
        const QByteArray t = platform::toCp1251(s);
        u16(static_cast<int>(t.size()));
        b.append(t);
        return u8(0);
    }
    // Bytes up to a 0 (old form).
    Bytes &old(const QString &s) { b.append(platform::toCp1251(s)); return u8(0); }
    Bytes &memo(const QStringList &lines)
    {
        u16(static_cast<int>(lines.size()));
        if (lines.isEmpty())
            return u8(0);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray t = platform::toCp1251(lines[i]);
            u16(static_cast<int>(t.size()));
            b.append(t);
            u8(i + 1 < lines.size() ? 13 : 0);
        }
        return *this;
    }
    Bytes &info(const QString &s)
    {
        const QByteArray t = platform::toCp1251(s);
        u16(static_cast<int>(t.size()));
        b.append(t);
        return *this;
    }
    // An Int32 placeholder; end() writes the current size into it.
    qsizetype mark() { const qsizetype at = size(); i32(0); return at; }
    void end(qsizetype at) { endAt(at, size()); }
    void endAt(qsizetype at, qint32 value)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((static_cast<quint32>(value) >> (8 * i)) & 0xFF);
    }
};

} // namespace reportbytes
