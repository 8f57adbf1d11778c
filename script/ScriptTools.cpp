#include "script/ScriptTools.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "script/AnsiText.h"
#include "script/Lexer.h"

namespace script {

using platform::Variant;

Variant ParseLiteral(const QByteArray &text)
{
    if (text.isEmpty())
        return Variant::null();
    if (text.startsWith('\''))
        return Variant(platform::fromCp1251(text.mid(1, text.size() - 2)));
    qint64 value = 0;
    if (parseInteger(text, value)) {
        if (Variant::fitsInt32(value))
            return Variant(static_cast<int>(value));
        return Variant(value);
    }
    QString number = platform::fromCp1251(text);
    const QChar separator = platform::decimalSeparator();
    if (separator != u'.') {
        if (const qsizetype dot = number.indexOf(u'.'); dot >= 0)
            number[dot] = separator;
    }
    return Variant(platform::strToFloat(number));
}

namespace {

int toInteger(const QByteArray &text)
{
    qint64 value = 0;
    if (!parseInteger(text, value) || !Variant::fitsInt32(value))
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(platform::fromCp1251(text)));
    return static_cast<int>(value);
}

} // namespace

QPoint ParsePositionText(const QByteArray &text)
{
    if (text.isEmpty())
        return {0, 0};
    const qsizetype colon = text.indexOf(':');
    const QByteArray line = colon < 0 ? text : text.left(colon);
    const QByteArray column = colon < 0 ? QByteArray() : text.mid(colon + 1, 255);
    return {toInteger(column), toInteger(line)};
}

int TypeCodeOfName(const QByteArray &typeName, const FindName &find)
{
    if (find)
        if (const auto found = find(typeName))
            return found->TypeCode;
    return 5;
}

MethodDeclaration ParseMethodDeclaration(const QByteArray &text, const FindName &find)
{
    TfsParser lexer;
    lexer.LoadSource(text);
    MethodDeclaration m;
    QByteArray kind = lexer.ReadWord();
    if (ansiLowerCase(kind).startsWith("macro")) {
        m.IsMacro = true;
        kind.remove(0, 5);
    }
    m.Name = lexer.ReadWord();
    if (ansiSameText(kind, "function")) {
        TfsParser result;
        result.LoadSource(text);
        result.MoveTo(static_cast<int>(text.lastIndexOf(':')) + 2);
        m.TypeName = result.ReadWord();
    }
    m.TypeCode = TypeCodeOfName(m.TypeName, find);

    lexer.SkipBlanks();
    if (lexer.ReadPunctuation() != "(")
        return m;
    for (;;) {
        QByteArrayList names;
        bool byReference = false;
        QByteArray punctuation;
        // Names up to the ":" of their type.
        for (;;) {
            const QByteArray word = lexer.ReadWord();
            if (ansiSameText(word, "var")) {
                byReference = true;
                continue;
            }
            if (ansiSameText(word, "const"))
                continue;
            if (!word.isEmpty())
                names << word;
            lexer.SkipBlanks();
            punctuation = lexer.ReadPunctuation();
            if (punctuation != ",")
                break;
        }
        if (punctuation != ":") // ")" ends the list; a group without a type is dropped
            return m;
        const QByteArray typeName = lexer.ReadWord();
        Variant defaultValue = Variant::null();
        lexer.SkipBlanks();
        const int beforeDefault = lexer.Position();
        if (lexer.ReadPunctuation() == "=") {
            QByteArray literal = lexer.ReadNumberLiteral();
            if (literal.isEmpty())
                literal = lexer.ReadStringLiteral();
            if (literal.isEmpty()) {
                lexer.SkipBlanks();
                const int minus = lexer.Position();
                if (lexer.ReadPunctuation() == "-") {
                    literal = lexer.ReadNumberLiteral();
                    if (literal.isEmpty())
                        lexer.MoveTo(minus);
                    else
                        literal.prepend('-');
                } else {
                    lexer.MoveTo(minus);
                }
            }
            if (!literal.isEmpty()) {
                defaultValue = ParseLiteral(literal);
            } else if (const QByteArray word = lexer.ReadWord(); find && !word.isEmpty()) {
                if (const auto found = find(word))
                    defaultValue = found->Value;
            }
        } else {
            lexer.MoveTo(beforeDefault);
        }
        for (qsizetype i = 0; i < names.size(); ++i) {
            ParamDeclaration p;
            p.Name = names[i];
            p.TypeName = typeName;
            p.TypeCode = TypeCodeOfName(typeName, find);
            p.IsVarParam = byReference;
            if (i == names.size() - 1) {
                p.DefValue = defaultValue;
                p.IsOptional = !defaultValue.isNull();
            }
            m.Params.push_back(std::move(p));
        }
        lexer.SkipBlanks();
        if (lexer.ReadPunctuation() != ";")
            return m;
    }
}

std::vector<platform::FormatArg> VariantArrayToArguments(std::span<const Variant> values)
{
    using platform::VarType;
    std::vector<platform::FormatArg> args;
    args.reserve(values.size());
    for (const Variant &v : values) {
        switch (v.type()) {
        case VarType::Integer: args.emplace_back(static_cast<int>(v.rawInteger())); break;
        case VarType::Int64: args.emplace_back(static_cast<qint64>(v.rawInteger())); break;
        case VarType::Double:
        case VarType::Date: args.emplace_back(v.rawDouble()); break;
        case VarType::Currency: args.emplace_back(static_cast<double>(v.rawCurrency()) / 10000.0); break;
        // Whole: a text is not cut to a short string's 255 characters.
        case VarType::String: args.emplace_back(v.rawString()); break;
        case VarType::Boolean: args.emplace_back(v.rawInteger() != 0); break;
        default: args.emplace_back(0); break;
        }
    }
    return args;
}

} // namespace script
