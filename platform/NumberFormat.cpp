#include "platform/NumberFormat.h"

#include "platform/Environment.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace platform {

ConvertError::ConvertError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString floatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, correctly rounded: "-d.dddddddddddddde+XX".
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    const bool negative = sci.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = first; i < ePos; ++i)
        if (sci[i] != '.')
            digits.push_back(sci[i]);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    // value = d.ddd * 10^exponent, decided on the rounded digits
    const int exponent = std::atoi(sci.c_str() + ePos + 1);

    const QChar sep = decimalSeparator();
    QString out;
    if (negative)
        out += u'-';
    if (exponent < -5 || exponent >= 15) {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            out += sep;
            out += QLatin1StringView(digits.data() + 1, static_cast<qsizetype>(digits.size() - 1));
        }
        out += u'E';
        out += QString::number(exponent);
        return out;
    }
    if (exponent >= 0) {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        std::string intPart = digits.substr(0, std::min(intDigits, digits.size()));
        intPart.append(intDigits - intPart.size(), '0');
        out += QLatin1StringView(intPart.data(), static_cast<qsizetype>(intPart.size()));
        if (digits.size() > intDigits) {
            out += sep;
            out += QLatin1StringView(digits.data() + intDigits, static_cast<qsizetype>(digits.size() - intDigits));
        }
        return out;
    }
    out += u'0';
    out += sep;
    out += QString(-exponent - 1, u'0');
    out += QLatin1StringView(digits.data(), static_cast<qsizetype>(digits.size()));
    return out;
}

namespace {

[[noreturn]] void refuse(QStringView text)
{
    throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double strToFloat(QStringView text)
{
    // What the number must fill: the text without the blanks around it.
    const QStringView t = trimBlank(text);
    const qsizetype end = t.size();

    const QChar sep = decimalSeparator();
    std::string ascii;
    qsizetype i = 0;
    bool negative = false;
    if (i < end && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ascii.push_back(negative ? '-' : '+');
        ++i;
    }
    // Decimal magnitude of the first significant digit, to tell an overflow
    // from an underflow when the conversion is out of range.
    long intDigits = 0;
    long leadingFractionZeros = 0;
    bool significant = false;
    int mantissaDigits = 0;
    while (i < end && isDigit(t[i])) {
        if (t[i] != u'0')
            significant = true;
        if (significant)
            ++intDigits;
        ascii.push_back(static_cast<char>(t[i].unicode()));
        ++mantissaDigits;
        ++i;
    }
    if (i < end && t[i] == sep) {
        ascii.push_back('.');
        ++i;
        while (i < end && isDigit(t[i])) {
            if (t[i] != u'0')
                significant = true;
            else if (!significant)
                ++leadingFractionZeros;
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0)
        refuse(text);
    long exponent = 0;
    if (i < end && (t[i] == u'e' || t[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        bool expNegative = false;
        if (i < end && (t[i] == u'+' || t[i] == u'-')) {
            expNegative = t[i] == u'-';
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++i;
        }
        int expDigits = 0;
        while (i < end && isDigit(t[i])) {
            if (exponent < 100000000)
                exponent = exponent * 10 + (t[i].unicode() - u'0');
            ascii.push_back(static_cast<char>(t[i].unicode()));
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            refuse(text);
        if (expNegative)
            exponent = -exponent;
    }
    if (i != end)
        refuse(text);

    // from_chars takes no leading "+".
    const char *first = ascii.data();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto res = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        const long magnitude = (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent;
        if (significant && magnitude > 0)
            refuse(text);
        return negative ? -0.0 : 0.0;
    }
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        refuse(text);
    return value;
}

} // namespace platform
