// Feeds arbitrary bytes, as the Windows-1251 text of a report expression, to
// the expression parser: converted and evaluated, evaluated as a postfix
// string as it stands, and searched for aggregate calls (also through a
// variable that names itself). A malformed text may raise the parser's or
// the platform's conversion error; nothing else may escape, and nothing may
// be read outside the text or below the value stack.

#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "reports/language/ExpressionParser.h"
#include "reports/language/FunctionSplitter.h"

#include <cstddef>
#include <cstdint>

using namespace reports;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QString text = platform::fromCp1251(QByteArrayView(data, static_cast<qsizetype>(size)));
    Parser parser;
    parser.OnGetValue = [](const QString &name, Variant &value) { value = Variant(static_cast<int>(name.size())); };
    parser.OnFunction = [](const QString &, const QString &p1, const QString &, const QString &, Variant &value) {
        value = Variant(p1);
    };
    try {
        parser.Calc(text);
    } catch (const ParserError &) {
    } catch (const platform::ConvertError &) {
    }
    try {
        parser.CalcPostfix(text);
    } catch (const ParserError &) {
    } catch (const platform::ConvertError &) {
    }

    Variables variables;
    variables.SetVariable(QStringLiteral("V"), Variant(text));
    QStringList found;
    AggregateFunctionsSplitter splitter(variables, found);
    try {
        splitter.Split(text);
        splitter.Split(QStringLiteral("V + 1"));
        splitter.SplitMemo({text});
    } catch (const ParserError &) {
    }
    // What is found is a call text of the input.
    for (const QString &call : found)
        if (!call.endsWith(u')'))
            __builtin_trap();
    return 0;
}
