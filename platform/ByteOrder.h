#pragma once
// Integers and reals as the files store them: little-endian (the Windows
// formats, dBase, shapefile records) and, for the few fields that are,
// big-endian (the shapefile header's code and length, PNG and JPEG chunks,
// TIFF of Motorola order). The reads and writes check no bounds: the caller
// has made sure the bytes are there.

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <bit>
#include <cstdint>

namespace platform {

namespace le {

inline std::uint16_t u16(const void *p) { return qFromLittleEndian<std::uint16_t>(p); }
inline std::int16_t i16(const void *p) { return qFromLittleEndian<std::int16_t>(p); }
inline std::uint32_t u32(const void *p) { return qFromLittleEndian<std::uint32_t>(p); }
inline std::int32_t i32(const void *p) { return qFromLittleEndian<std::int32_t>(p); }
inline std::uint64_t u64(const void *p) { return qFromLittleEndian<std::uint64_t>(p); }
inline float f32(const void *p) { return std::bit_cast<float>(u32(p)); }
inline double f64(const void *p) { return std::bit_cast<double>(u64(p)); }

inline void put16(void *p, std::uint16_t v) { qToLittleEndian(v, p); }
inline void put32(void *p, std::uint32_t v) { qToLittleEndian(v, p); }
inline void put64(void *p, std::uint64_t v) { qToLittleEndian(v, p); }
inline void putF32(void *p, float v) { put32(p, std::bit_cast<std::uint32_t>(v)); }
inline void putF64(void *p, double v) { put64(p, std::bit_cast<std::uint64_t>(v)); }

// The same at a byte offset of a buffer.
inline std::uint16_t u16(QByteArrayView b, qsizetype at) { return u16(b.data() + at); }
inline std::int16_t i16(QByteArrayView b, qsizetype at) { return i16(b.data() + at); }
inline std::uint32_t u32(QByteArrayView b, qsizetype at) { return u32(b.data() + at); }
inline std::int32_t i32(QByteArrayView b, qsizetype at) { return i32(b.data() + at); }
inline double f64(QByteArrayView b, qsizetype at) { return f64(b.data() + at); }
inline void put16(QByteArray &b, qsizetype at, std::uint16_t v) { put16(b.data() + at, v); }
inline void put32(QByteArray &b, qsizetype at, std::uint32_t v) { put32(b.data() + at, v); }
inline void putF64(QByteArray &b, qsizetype at, double v) { putF64(b.data() + at, v); }

} // namespace le

namespace be {

inline std::uint16_t u16(const void *p) { return qFromBigEndian<std::uint16_t>(p); }
inline std::uint32_t u32(const void *p) { return qFromBigEndian<std::uint32_t>(p); }
inline std::int32_t i32(const void *p) { return qFromBigEndian<std::int32_t>(p); }
inline void put32(void *p, std::uint32_t v) { qToBigEndian(v, p); }

} // namespace be

} // namespace platform
