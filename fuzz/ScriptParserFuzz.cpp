// Feeds arbitrary script texts to the parser over each of the four built-in
// grammars. Byte 2 chooses the language (and, with bit 2, characters 128 to
// 255 in identifiers); the rest is two files (FuzzSupport.h): the text every
// unit of a uses clause gets, and the script. A script that compiles is
// written out as its intermediate program, then built into runtime objects
// and run for at most 2,000 statements.

#include "FuzzSupport.h"
#include "platform/TextCodec.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/Script.h"
#include "script/ScriptError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool registered = (script::RegisterBuiltInLanguages(), true);
    (void)registered;
    if (size < 3)
        return 0;
    static const QString languages[] = {QStringLiteral("PascalScript"), QStringLiteral("D++Eviviz"),
                                        QStringLiteral("ZoridEdodud"), QStringLiteral("JScript")};
    const auto files = fuzzsupport::splitTwo(data, size, 3);
    script::CompileTarget target;
    target.ExtendedChars = (data[2] & 4) != 0;
    target.OnGetUnit = [&](const QByteArray &, QByteArray &text) { text = files.first; };
    script::TfsILParser parser(target);
    parser.SelectLanguage(languages[data[2] & 3]);
    try {
        if (parser.SourceToIL(script::JoinScriptLines(script::SplitScriptLines(files.second)))) {
            if (!target.ErrorMessage.isEmpty())
                __builtin_trap(); // success with an error
            if (parser.ILDocument().TagLines().isEmpty())
                return 0;
            script::TfsScript program;
            script::AddCoreItems(program);
            program.SyntaxType = languages[data[2] & 3];
            program.ExtendedChars = target.ExtendedChars;
            program.OnGetUnit = target.OnGetUnit;
            program.Lines.SetText(platform::fromCp1251(files.second));
            int steps = 0;
            program.OnRunLine = [&](script::TfsScript *, const QByteArray &, const QByteArray &) {
                if (++steps > 2000)
                    program.Terminate();
            };
            if (program.Compile()) {
                try {
                    program.Execute();
                } catch (const std::exception &) {
                    // run-time errors are the script's
                }
            } else if (program.ErrorMessage.isEmpty()) {
                __builtin_trap();
            }
            return 0;
        }
        if (target.ErrorMessage.isEmpty() || target.ErrorPosition.isEmpty())
            __builtin_trap(); // a failure must say what and where
    } catch (const script::ScriptError &) {
        // a language line naming no language
    }
    return 0;
}
