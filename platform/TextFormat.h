#pragma once
// Text built by a format with arguments, and text laid into an edit mask, as
// the platform's routines of those names build them.

#include <QChar>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <span>

namespace platform {

// One argument of format(), with the kind it was given as.
class FormatArg {
public:
    enum class Kind { Integer, Int64, Float, Currency, String, Char, Boolean, Pointer };

    FormatArg(int value) : kind_(Kind::Integer), int_(value) {}
    FormatArg(qint64 value) : kind_(Kind::Int64), int_(value) {}
    FormatArg(double value) : kind_(Kind::Float), float_(value) {}
    FormatArg(const QString &value) : kind_(Kind::String), text_(value) {}
    FormatArg(const char16_t *value) : kind_(Kind::String), text_(QString::fromUtf16(value)) {}
    FormatArg(QChar value) : kind_(Kind::Char), text_(value) {}
    FormatArg(const char *) = delete; // would pass as a Boolean
    FormatArg(bool value) : kind_(Kind::Boolean), int_(value) {}
    // An amount in units of 1/10000.
    static FormatArg currency(qint64 scaled)
    {
        FormatArg a(scaled);
        a.kind_ = Kind::Currency;
        return a;
    }
    static FormatArg pointer(quintptr address)
    {
        FormatArg a(static_cast<qint64>(address));
        a.kind_ = Kind::Pointer;
        return a;
    }

    Kind kind() const { return kind_; }
    qint64 integer() const { return int_; }
    double real() const { return kind_ == Kind::Currency ? static_cast<double>(int_) / 10000.0 : float_; }
    const QString &text() const { return text_; }

private:
    Kind kind_;
    qint64 int_ = 0;
    double float_ = 0;
    QString text_;
};

// "%[index:][-][width][.precision]kind" for each argument, "%%" for "%":
// d decimal (precision: at least that many digits), u unsigned, x hexadecimal
// (upper case), e exponent form (precision: significant digits, 15 by
// default; the exponent signed and three digits long), f fixed (precision:
// decimals, 2 by default), g general (15 significant digits by default), n as
// f with the thousands separator, m money in the currency form of the format
// settings (their decimals by default), s text (precision: at most that many
// characters), p a pointer (8 hexadecimal digits). "*" takes a width or
// precision from an Integer argument; "index:" chooses the argument, and the
// next ones follow it. Integers go with d, u, x; floats and currency with e,
// f, g, n, m; text and characters with s. Another pairing raises ConvertError
// "Format '<format>' invalid or incompatible with argument", a missing
// argument "No argument for format '<format>'".
QString format(QStringView pattern, std::span<const FormatArg> args);
inline QString format(QStringView pattern, std::initializer_list<FormatArg> args)
{
    return format(pattern, std::span<const FormatArg>(args.begin(), args.size()));
}

// A text laid into an edit mask: "mask[;save literals[;blank]]" with the
// mask characters L l A a C c 0 9 # (a place for a character each), "\"
// before a literal, ":" and "/" the time and date separators, the
// directives "!" (fill from the right), ">" and "<". When the mask keeps its
// literals ("1", the default) the text is taken to hold them already;
// otherwise ("0") the literals are inserted among the text's characters.
// Places the text does not fill get a blank.
QString formatMaskText(QStringView editMask, QStringView value);

} // namespace platform
