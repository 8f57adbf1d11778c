#pragma once
// Small services of the script engine that the parser's second stage, the
// binding modules and the script component share: literal tokens to values,
// "line:col" texts to points, routine headings to declarations, and the
// values of a script's Format call to the platform's format arguments.

#include "platform/TextFormat.h"
#include "platform/Variant.h"

#include <QByteArray>
#include <QPoint>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace script {

// A literal token of the lexer as a value: '' text → a string (without its
// outer quotes, inner ones kept); an integer (decimal or "$" hex) → a 32-bit
// integer, or a 64-bit one beyond that range; anything else → a float, its
// "." read as the decimal point whatever the regional separator; the empty
// text → null. A text that is no number raises platform::ConvertError.
platform::Variant ParseLiteral(const QByteArray &text);

// "line:col" → (col, line); the empty text → (0, 0). A part that is no
// number raises platform::ConvertError.
QPoint ParsePositionText(const QByteArray &text);

// What a declaration asks of the script it is made for: the entry a name
// finds through the script chain, with its type code and value.
struct FoundName {
    int TypeCode = 0;
    platform::Variant Value;
};
using FindName = std::function<std::optional<FoundName>(const QByteArray &name)>;

// The type code of a type name: that of the entry the name finds, 5 (class)
// when it finds none.
int TypeCodeOfName(const QByteArray &typeName, const FindName &find);

struct ParamDeclaration {
    QByteArray Name;
    QByteArray TypeName;
    int TypeCode = 0;
    bool IsVarParam = false;
    bool IsOptional = false;
    platform::Variant DefValue = platform::Variant::null();
};

struct MethodDeclaration {
    QByteArray Name;
    // Empty for a procedure.
    QByteArray TypeName;
    int TypeCode = 0;
    bool IsMacro = false;
    std::vector<ParamDeclaration> Params;
};

// A routine's heading as a binding module writes it:
//   "function Format(Fmt: String; Args: array): String",
//   "procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)".
// "macro" may stand before the first word; "var" passes a group by
// reference, "const" is skipped; "= default" after a group's type (a
// literal, a negative number, or a name the script knows, such as True or
// nil) goes to the group's last name, which then is optional.
MethodDeclaration ParseMethodDeclaration(const QByteArray &text, const FindName &find);

// The values of a Format call as the platform's format arguments: integers
// and 64-bit integers as such, floats, currency and dates as floats,
// strings whole, Booleans as Booleans, anything else as the integer 0.
std::vector<platform::FormatArg> VariantArrayToArguments(std::span<const platform::Variant> values);

} // namespace script
