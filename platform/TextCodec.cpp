#include "platform/TextCodec.h"

#include <array>

namespace platform {

namespace {

// Characters of the bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,};

} // namespace

QString fromCp1251(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = b < 0x80 ? QChar(b) : QChar(kHighHalf[b - 0x80]);
    }
    return out;
}

int cp1251Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u;
    // Cyrillic capitals and small letters are contiguous: the common case first.
    if (u >= 0x0410 && u <= 0x044F)
        return 0xC0 + (u - 0x0410);
    for (int i = 0; i < 128; ++i)
        if (kHighHalf[i] == u)
            return 0x80 + i;
    return -1;
}

QByteArray toCp1251(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = cp1251Byte(text[i]);
        out[i] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

QChar ansiUpperChar(QChar c)
{
    const QChar u = c.toUpper();
    return (u != c && cp1251Byte(u) >= 0 && cp1251Byte(c) >= 0) ? u : c;
}

QChar ansiLowerChar(QChar c)
{
    const QChar l = c.toLower();
    return (l != c && cp1251Byte(l) >= 0 && cp1251Byte(c) >= 0) ? l : c;
}

QString ansiUpperCase(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        c = ansiUpperChar(c);
    return out;
}

QString ansiLowerCase(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        c = ansiLowerChar(c);
    return out;
}

int ansiCompareText(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = ansiUpperChar(a[i]).unicode();
        const char16_t y = ansiUpperChar(b[i]).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QStringView trimBlank(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace platform
