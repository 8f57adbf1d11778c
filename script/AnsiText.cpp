#include "script/AnsiText.h"

#include "platform/TextCodec.h"

#include <array>

namespace script {

namespace {

struct CaseTables {
    std::array<char, 256> upper{}, lower{};
    CaseTables()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QChar c = platform::fromCp1251(QByteArrayView(&byte, 1)).at(0);
            const int u = platform::cp1251Byte(platform::ansiUpperChar(c));
            const int l = platform::cp1251Byte(platform::ansiLowerChar(c));
            upper[b] = static_cast<char>(u < 0 ? b : u);
            lower[b] = static_cast<char>(l < 0 ? b : l);
        }
    }
};

const CaseTables &tables()
{
    static const CaseTables t;
    return t;
}

} // namespace

char ansiUpper(char c)
{
    return tables().upper[static_cast<unsigned char>(c)];
}

char ansiLower(char c)
{
    return tables().lower[static_cast<unsigned char>(c)];
}

namespace {

QByteArray mapped(QByteArrayView text, const std::array<char, 256> &table)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = table[static_cast<unsigned char>(text[i])];
    return out;
}

} // namespace

QByteArray ansiUpperCase(QByteArrayView text)
{
    return mapped(text, tables().upper);
}

QByteArray ansiLowerCase(QByteArrayView text)
{
    return mapped(text, tables().lower);
}

int ansiCompareText(QByteArrayView a, QByteArrayView b)
{
    const auto &t = tables().upper;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int x = static_cast<unsigned char>(t[static_cast<unsigned char>(a[i])]);
        const int y = static_cast<unsigned char>(t[static_cast<unsigned char>(b[i])]);
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool ansiSameText(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const auto &t = tables().upper;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && t[static_cast<unsigned char>(a[i])] != t[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

bool parseInteger(QByteArrayView text, qint64 &value)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return false;
    quint64 v = 0;
    // Up to 2^63 for a negative value, 2^63 - 1 otherwise (hexadecimal may
    // spell the whole 64 bits, as the platform's reader takes it).
    const quint64 limit = base == 16 ? ~quint64(0) : (negative ? quint64(1) << 63 : (quint64(1) << 63) - 1);
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    value = negative ? static_cast<qint64>(0 - v) : static_cast<qint64>(v);
    return true;
}

} // namespace script
