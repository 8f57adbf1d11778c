// Feeds arbitrary bytes, as the Windows-1251 lines of a report script, to the
// script compiler. Compiling never fails other than by its error line; the
// lines it makes jump only within the script, and the expression of every
// line evaluates or raises the parser's or the conversion error. The script
// itself is not run (a script may loop for ever by design).

#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "reports/language/FunctionSplitter.h"
#include "reports/language/ScriptInterpreter.h"

#include <cstddef>
#include <cstdint>

using namespace reports;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QString text = platform::fromCp1251(QByteArrayView(data, static_cast<qsizetype>(size)));
    Interpreter interpreter;
    QStringList lines, errors;
    interpreter.PrepareScript(text.split(u'\n'), lines, errors);
    if (errors.size() > 1 || (!errors.isEmpty() && !errors[0].startsWith(u"Line ")))
        __builtin_trap();
    if (errors.isEmpty()) {
        for (const QString &line : lines) {
            if (line.isEmpty() || (line[0].unicode() <= 2 && line.size() < 3))
                __builtin_trap();
            if (line[0].unicode() <= 2) {
                const int target = (line[1].unicode() & 0xFF) | ((line[2].unicode() & 0xFF) << 8);
                if (target > lines.size())
                    __builtin_trap();
            }
        }
    }
    for (const QString &line : lines) {
        try {
            interpreter.parser().CalcPostfix(compiledExpression(line));
        } catch (const ParserError &) {
        } catch (const platform::ConvertError &) {
        }
    }
    return 0;
}
