#include "platform/TextFormat.h"

#include "platform/FormatSettings.h"
#include "platform/NumberFormat.h"

#include <algorithm>

namespace platform {

namespace {

[[noreturn]] void invalidFormat(QStringView pattern)
{
    throw ConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(pattern));
}

[[noreturn]] void missingArgument(QStringView pattern)
{
    throw ConvertError(QStringLiteral("No argument for format '%1'").arg(pattern));
}

QString hex(quint64 value, int minDigits)
{
    QString s = QString::number(value, 16).toUpper();
    if (s.size() < minDigits)
        s.prepend(QString(minDigits - s.size(), u'0'));
    return s;
}

} // namespace

QString format(QStringView pattern, std::span<const FormatArg> args)
{
    QString out;
    std::size_t next = 0;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    auto argument = [&]() -> const FormatArg & {
        if (next >= args.size())
            missingArgument(pattern);
        return args[next++];
    };
    // Digits, or "*" taking an Integer argument; -1 when neither is there.
    auto readCount = [&]() -> int {
        if (i < n && pattern[i] == u'*') {
            ++i;
            const FormatArg &a = argument();
            if (a.kind() != FormatArg::Kind::Integer)
                invalidFormat(pattern);
            return static_cast<int>(a.integer());
        }
        if (i >= n || !pattern[i].isDigit() || pattern[i].unicode() > u'9')
            return -1;
        qint64 value = 0;
        while (i < n && pattern[i] >= u'0' && pattern[i] <= u'9') {
            value = std::min<qint64>(value * 10 + (pattern[i].unicode() - u'0'), 1 << 20);
            ++i;
        }
        return static_cast<int>(value);
    };

    while (i < n) {
        const QChar c = pattern[i++];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i < n && pattern[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // An argument index: digits followed by ":".
        qsizetype digitsEnd = i;
        while (digitsEnd < n && pattern[digitsEnd] >= u'0' && pattern[digitsEnd] <= u'9')
            ++digitsEnd;
        if (digitsEnd > i && digitsEnd < n && pattern[digitsEnd] == u':') {
            next = static_cast<std::size_t>(readCount());
            ++i;
        }
        bool left = false;
        if (i < n && pattern[i] == u'-') {
            left = true;
            ++i;
        }
        int width = readCount();
        int precision = -1;
        if (i < n && pattern[i] == u'.') {
            ++i;
            precision = readCount();
            if (precision < 0)
                precision = 0;
        }
        if (i >= n)
            invalidFormat(pattern);
        const QChar kind = pattern[i++].toLower();
        const FormatArg &a = argument();
        using K = FormatArg::Kind;
        const bool integer = a.kind() == K::Integer || a.kind() == K::Int64;
        const bool real = a.kind() == K::Float || a.kind() == K::Currency;
        QString piece;
        switch (kind.unicode()) {
        case u'd':
        case u'u': {
            if (!integer)
                invalidFormat(pattern);
            qint64 v = a.integer();
            bool negative = false;
            QString digits;
            if (kind == u'u' && v < 0)
                digits = QString::number(a.kind() == K::Integer ? static_cast<quint64>(static_cast<quint32>(v))
                                                                : static_cast<quint64>(v));
            else {
                negative = v < 0;
                digits = QString::number(v).remove(u'-');
            }
            if (precision > digits.size())
                digits.prepend(QString(precision - digits.size(), u'0'));
            piece = negative ? u'-' + digits : digits;
            break;
        }
        case u'x':
            if (!integer)
                invalidFormat(pattern);
            piece = hex(a.kind() == K::Integer ? static_cast<quint32>(a.integer()) : static_cast<quint64>(a.integer()),
                        precision);
            break;
        case u'p':
            if (a.kind() != K::Pointer)
                invalidFormat(pattern);
            piece = hex(static_cast<quint64>(a.integer()), 8);
            break;
        case u'e':
            if (!real)
                invalidFormat(pattern);
            piece = floatToStrF(a.real(), FloatForm::Exponent, precision < 0 ? 15 : std::min(precision, 18), 3);
            break;
        case u'g':
            if (!real)
                invalidFormat(pattern);
            piece = floatToStrF(a.real(), FloatForm::General, precision < 0 ? 15 : std::min(precision, 18), 3);
            break;
        case u'f':
        case u'n':
            if (!real)
                invalidFormat(pattern);
            piece = floatToStrF(a.real(), kind == u'f' ? FloatForm::Fixed : FloatForm::Number, 18,
                                precision < 0 ? 2 : std::min(precision, 18));
            break;
        case u'm':
            if (!real)
                invalidFormat(pattern);
            piece = floatToStrF(a.real(), FloatForm::Currency, 18,
                                precision < 0 ? formatSettings().currencyDecimals : std::min(precision, 18));
            break;
        case u's':
            if (a.kind() != K::String && a.kind() != K::Char)
                invalidFormat(pattern);
            piece = a.text();
            if (precision >= 0 && precision < piece.size())
                piece.truncate(precision);
            break;
        default:
            invalidFormat(pattern);
        }
        if (width > piece.size()) {
            const QString pad(width - piece.size(), u' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Edit masks

namespace {

enum class MaskChar { None, Literal, IntlLiteral, Directive, Mask, MaskOpt, FieldSeparator, Field };

// What the character at an index of the whole mask text is; the last four
// characters may hold the fields ";1;_".
MaskChar maskCharType(QStringView mask, qsizetype at)
{
    const qsizetype len = mask.size();
    if (at < 0 || at >= len)
        return MaskChar::None;
    const QChar c = mask[at];
    if (at > 0 && mask[at - 1] == u'\\' && !(at > 1 && mask[at - 2] == u'\\'))
        return MaskChar::Literal;
    if (c == u';' && len >= 4 && at >= len - 4)
        return MaskChar::FieldSeparator;
    if (len >= 4 && at >= len - 4 && at > 0 && mask[at - 1] == u';' && !(at > 1 && mask[at - 2] == u'\\'))
        return MaskChar::Field;
    switch (c.unicode()) {
    case u':':
    case u'/':
        return MaskChar::IntlLiteral;
    case u'!':
    case u'>':
    case u'<':
    case u'\\':
        return MaskChar::Directive;
    case u'l':
    case u'a':
    case u'c':
    case u'#':
    case u'9':
        return MaskChar::MaskOpt;
    case u'L':
    case u'A':
    case u'C':
    case u'0':
        return MaskChar::Mask;
    default:
        return MaskChar::Literal;
    }
}

QChar literalChar(QChar c)
{
    if (c == u':')
        return formatSettings().timeSeparator;
    if (c == u'/')
        return formatSettings().dateSeparator;
    return c;
}

// Whether the text keeps the mask's literals: the field after the first of
// the last separators, unless it is "0".
bool maskSavesLiterals(QStringView mask)
{
    const qsizetype len = mask.size();
    if (len < 4)
        return true;
    qsizetype sep1 = -1, sep2 = -1;
    for (qsizetype i = len - 1; i >= 0 && i >= len - 5 && sep2 < 0; --i) {
        if (maskCharType(mask, i) == MaskChar::FieldSeparator) {
            if (sep1 < 0)
                sep1 = i;
            else
                sep2 = i;
        }
    }
    if (sep2 < 0)
        sep2 = sep1;
    if (sep2 >= 0 && sep2 != len - 1)
        return mask[sep2 + 1] != u'0';
    return true;
}

bool isPlace(MaskChar t) { return t == MaskChar::Mask || t == MaskChar::MaskOpt; }
bool isLiteral(MaskChar t) { return t == MaskChar::Literal || t == MaskChar::IntlLiteral; }

} // namespace

QString formatMaskText(QStringView editMask, QStringView value)
{
    const QChar blank = u' ';
    const qsizetype len = editMask.size();
    if (maskSavesLiterals(editMask)) {
        // The text holds the literals: it fills the mask as far as it goes.
        if (value.isEmpty())
            return {};
        qsizetype size = 0;
        for (qsizetype m = 0; m < len; ++m)
            if (isPlace(maskCharType(editMask, m)) || isLiteral(maskCharType(editMask, m)))
                ++size;
        if (value.size() >= size)
            return value.left(size).toString();
        QString out;
        qsizetype j = 0;
        for (qsizetype m = 0; m < len; ++m) {
            const MaskChar t = maskCharType(editMask, m);
            if (isLiteral(t)) {
                const QChar lit = literalChar(editMask[m]);
                out += lit;
                if (j < value.size() && value[j] == lit)
                    ++j;
            } else if (isPlace(t)) {
                out += j < value.size() ? value[j++] : blank;
            }
        }
        return out;
    }

    QString out = value.toString();
    if (!editMask.contains(u'!')) {
        // From the left: literals go in among the characters, blanks at the end.
        qsizetype offset = 0;
        for (qsizetype m = 0; m < len; ++m) {
            const MaskChar t = maskCharType(editMask, m);
            if (isLiteral(t)) {
                out.insert(std::min(offset, out.size()), literalChar(editMask[m]));
                ++offset;
            } else if (isPlace(t)) {
                if (offset >= out.size())
                    out += blank;
                ++offset;
            }
        }
    } else {
        // From the right: literals go in from the end, blanks at the start.
        qsizetype offset = out.size();
        for (qsizetype m = len - 1; m >= 0; --m) {
            const MaskChar t = maskCharType(editMask, m);
            if (isLiteral(t)) {
                out.insert(std::max<qsizetype>(offset, 0), literalChar(editMask[m]));
            } else if (isPlace(t)) {
                if (offset < 1)
                    out.prepend(blank);
                else
                    --offset;
            }
        }
    }
    return out;
}

} // namespace platform
