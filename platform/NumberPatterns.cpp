// The number writers of the platform besides the general float text: the
// digits as they round them, the float forms and the number formats.

#include "platform/NumberFormat.h"

#include "platform/Environment.h"
#include "platform/FormatSettings.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace platform {

FloatDigits floatToDecimal(double value, int precision, int decimals)
{
    FloatDigits out;
    if (value == 0 || !std::isfinite(value))
        return out;
    out.negative = value < 0;
    precision = std::clamp(precision, 1, 18);

    // 18 significant digits, correctly rounded: "d.ddddddddddddddddde+XX".
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    std::string digits;
    const char *p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits.push_back(*p);
    int exponent = std::atoi(p + 1) + 1;

    const long keep = decimals >= kNoDecimalLimit ? precision
                                                  : std::min<long>(precision, static_cast<long>(exponent) + decimals);
    if (keep < 0)
        return {};
    if (keep < static_cast<long>(digits.size())) {
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9') {
                digits[i - 1] = '0';
                --i;
            }
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                ++exponent;
            } else {
                ++digits[i - 1];
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return {};
    out.exponent = exponent;
    out.digits = std::move(digits);
    return out;
}

namespace {

QString latin(const std::string &s, std::size_t from, std::size_t count)
{
    if (from >= s.size())
        return {};
    return QString::fromLatin1(s.data() + from, static_cast<qsizetype>(std::min(count, s.size() - from)));
}

// The integer digits of a value (at least "0"), grouped when asked.
QString integerPart(const FloatDigits &d, bool grouped)
{
    QString whole;
    if (d.exponent <= 0) {
        whole = QStringLiteral("0");
    } else {
        whole = latin(d.digits, 0, static_cast<std::size_t>(d.exponent));
        whole += QString(d.exponent - whole.size(), u'0');
    }
    if (grouped) {
        const QChar sep = thousandSeparator();
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, sep);
    }
    return whole;
}

// `count` decimals of a value, padded with zeros.
QString fractionPart(const FloatDigits &d, int count)
{
    QString fraction;
    for (int i = 0; i < count; ++i) {
        const long at = static_cast<long>(d.exponent) + i;
        fraction += at >= 0 && at < static_cast<long>(d.digits.size()) ? QChar(QLatin1Char(d.digits[static_cast<std::size_t>(at)]))
                                                                       : QChar(u'0');
    }
    return fraction;
}

QString exponentText(int exponent, int minDigits, bool alwaysSign)
{
    QString out;
    if (exponent < 0)
        out += u'-';
    else if (alwaysSign)
        out += u'+';
    QString digits = QString::number(std::abs(exponent));
    if (digits.size() < minDigits)
        digits.prepend(QString(minDigits - digits.size(), u'0'));
    return out + digits;
}

QString generalText(const FloatDigits &d, int precision, int expDigits)
{
    if (d.digits.empty())
        return QStringLiteral("0");
    const QChar sep = decimalSeparator();
    QString out = d.negative ? QStringLiteral("-") : QString();
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent > precision || d.exponent < -4) {
        out += QLatin1Char(d.digits[0]);
        if (n > 1)
            out += sep + latin(d.digits, 1, d.digits.size());
        return out + u'E' + exponentText(d.exponent - 1, expDigits, false);
    }
    if (d.exponent <= 0)
        return out + u'0' + sep + QString(-d.exponent, u'0') + latin(d.digits, 0, d.digits.size());
    out += integerPart(d, false);
    if (n > d.exponent)
        out += sep + latin(d.digits, static_cast<std::size_t>(d.exponent), d.digits.size());
    return out;
}

QString currencyText(const QString &amount, bool negative)
{
    const FormatSettings &s = formatSettings();
    const QString &c = s.currencyString;
    if (!negative) {
        switch (s.currencyFormat) {
        case 0: return c + amount;
        case 1: return amount + c;
        case 2: return c + u' ' + amount;
        default: return amount + u' ' + c;
        }
    }
    switch (s.negCurrFormat) {
    case 0: return u'(' + c + amount + u')';
    case 1: return u'-' + c + amount;
    case 2: return c + u'-' + amount;
    case 3: return c + amount + u'-';
    case 4: return u'(' + amount + c + u')';
    case 5: return u'-' + amount + c;
    case 6: return amount + u'-' + c;
    case 7: return amount + c + u'-';
    case 9: return u'-' + c + u' ' + amount;
    case 10: return amount + u' ' + c + u'-';
    case 11: return c + u' ' + amount + u'-';
    case 12: return c + u' ' + u'-' + amount;
    case 13: return amount + u'-' + u' ' + c;
    case 14: return u'(' + c + u' ' + amount + u')';
    case 15: return u'(' + amount + u' ' + c + u')';
    default: return u'-' + amount + u' ' + c;
    }
}

} // namespace

QString floatToStrF(double value, FloatForm form, int precision, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, 18);
    switch (form) {
    case FloatForm::General:
        return generalText(floatToDecimal(value, precision, kNoDecimalLimit), precision, std::clamp(digits, 0, 4));
    case FloatForm::Exponent: {
        const FloatDigits d = floatToDecimal(value, precision, kNoDecimalLimit);
        QString out = d.negative ? QStringLiteral("-") : QString();
        out += d.digits.empty() ? QChar(u'0') : QChar(QLatin1Char(d.digits[0]));
        if (precision > 1) {
            QString rest = latin(d.digits, 1, d.digits.size());
            out += decimalSeparator() + rest + QString(precision - 1 - rest.size(), u'0');
        }
        return out + u'E' + exponentText(d.digits.empty() ? 0 : d.exponent - 1, std::clamp(digits, 0, 4), true);
    }
    case FloatForm::Fixed:
    case FloatForm::Number:
    case FloatForm::Currency: {
        digits = std::clamp(digits, 0, 18);
        const FloatDigits d = floatToDecimal(value, 18, digits);
        if (form == FloatForm::Fixed && d.exponent > precision)
            return generalText(floatToDecimal(value, precision, kNoDecimalLimit), precision, 0);
        QString amount = integerPart(d, form != FloatForm::Fixed);
        if (digits > 0)
            amount += decimalSeparator() + fractionPart(d, digits);
        if (form == FloatForm::Currency)
            return currencyText(amount, d.negative);
        return d.negative ? u'-' + amount : amount;
    }
    }
    return {};
}

// ---------------------------------------------------------------------------
// Number formats

namespace {

// The sections of a number format, split at ";" outside quotes.
QStringList formatSections(const QString &format)
{
    QStringList out;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            current += c;
        } else if (c == u';') {
            out << current;
            current.clear();
        } else {
            current += c;
        }
    }
    out << current;
    return out;
}

bool isExponentMark(const QString &section, qsizetype i)
{
    return (section[i] == u'E' || section[i] == u'e') && i + 1 < section.size() &&
           (section[i + 1] == u'+' || section[i + 1] == u'-');
}

// What the placeholders of a section ask for.
struct SectionShape {
    int intPlaces = 0;      // "0" and "#" before the decimal point
    int firstIntZero = -1;  // index of the first "0" among them
    int fracPlaces = 0;     // placeholders after it
    int fracZeros = 0;      // position of the last "0" after it
    bool grouping = false;
    bool scientific = false;
};

SectionShape scanSection(const QString &section)
{
    SectionShape shape;
    bool point = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            i = end < 0 ? section.size() : end;
        } else if (c == u'0' || c == u'#') {
            if (point) {
                ++shape.fracPlaces;
                if (c == u'0')
                    shape.fracZeros = shape.fracPlaces;
            } else {
                if (c == u'0' && shape.firstIntZero < 0)
                    shape.firstIntZero = shape.intPlaces;
                ++shape.intPlaces;
            }
        } else if (c == u'.') {
            point = true;
        } else if (c == u',') {
            shape.grouping = true;
        } else if (isExponentMark(section, i)) {
            shape.scientific = true;
            // The exponent's own "0"s are not digit places.
            i += 2;
            while (i < section.size() && section[i] == u'0')
                ++i;
            --i;
        }
    }
    return shape;
}

QString formatSection(const QString &section, double value, bool withSign)
{
    const SectionShape shape = scanSection(section);
    FloatDigits d;
    int shownExponent = 0;
    if (shape.scientific) {
        d = floatToDecimal(value, shape.intPlaces + shape.fracPlaces, kNoDecimalLimit);
        if (!d.digits.empty()) {
            shownExponent = d.exponent - shape.intPlaces;
            d.exponent = shape.intPlaces;
        }
    } else {
        d = floatToDecimal(value, 18, shape.fracPlaces);
    }
    const int numberInt = std::max(d.exponent, 0);
    // Digits of the number on the integer places, right-aligned; the extra
    // ones go with the first placeholder.
    const int extra = std::max(numberInt - shape.intPlaces, 0);
    const int fracDigits = std::max(static_cast<int>(d.digits.size()) - d.exponent, 0);
    const int fracShown = std::max(std::min(fracDigits, shape.fracPlaces), shape.fracZeros);
    auto digitAt = [&](long index) -> QChar { // index into 0.<digits> positions
        return index >= 0 && index < static_cast<long>(d.digits.size()) ? QChar(QLatin1Char(d.digits[static_cast<std::size_t>(index)]))
                                                                          : QChar(u'0');
    };
    const QChar thousands = thousandSeparator();
    QString out;
    // A section without placeholders is its text alone.
    if (withSign && !d.digits.empty() && value < 0 && shape.intPlaces + shape.fracPlaces > 0)
        out += u'-';

    int intPlace = 0;  // integer placeholders met
    int fracPlace = 0; // fraction placeholders met
    bool point = false;
    // Writes the integer digit whose place counts `fromRight` digits from the
    // decimal point (1 = units), with the thousands separator after it.
    auto putInteger = [&](int fromRight, bool forced) {
        if (fromRight <= numberInt) {
            out += digitAt(numberInt - fromRight);
        } else if (forced) {
            out += u'0';
        } else {
            return;
        }
        if (shape.grouping && fromRight > 1 && (fromRight - 1) % 3 == 0)
            out += thousands;
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            out += section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
        } else if ((c == u'0' || c == u'#') && !point) {
            if (intPlace == 0)
                for (int k = 0; k < extra; ++k)
                    putInteger(numberInt - k, true);
            const int fromRight = shape.intPlaces - intPlace;
            putInteger(fromRight, shape.firstIntZero >= 0 && intPlace >= shape.firstIntZero);
            ++intPlace;
        } else if (c == u'0' || c == u'#') {
            ++fracPlace;
            if (fracPlace <= fracShown)
                out += digitAt(static_cast<long>(d.exponent) + fracPlace - 1);
        } else if (c == u'.') {
            if (!point && fracShown > 0)
                out += decimalSeparator();
            point = true;
        } else if (c == u',') {
            continue;
        } else if (isExponentMark(section, i)) {
            out += c;
            i += 2;
            int zeros = 0;
            while (i < section.size() && section[i] == u'0') {
                ++zeros;
                ++i;
            }
            --i;
            out += exponentText(shownExponent, zeros, section[i - zeros] == u'+');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString formatNumber(const QString &format, double value)
{
    if (format.isEmpty() || !std::isfinite(value))
        return floatToStr(value);
    const QStringList sections = formatSections(format);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(sections[1], -value, false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(sections[2], 0, false);
    return formatSection(sections[0], value, true);
}

} // namespace platform
