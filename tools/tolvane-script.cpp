// The script engine's front end from the command line: compiles a script
// file in one of the registered languages and prints its intermediate
// program, or the first error as "line:col: message" (preceded by the unit's
// name when the error lies in an included unit).

#include "platform/TextCodec.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/ScriptError.h"
#include "tools/ToolUsage.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char *const kUsage =
    "usage: tolvane-script [--language NAME] [--il] SCRIPT\n"
    "  Compiles the script file (Windows-1251 text) and reports the first\n"
    "  error as \"line:col: message\" with exit status 1.\n"
    "    --language NAME  the language: PascalScript (the default),\n"
    "                     D++Eviviz, ZoridEdodud or JScript; a first line\n"
    "                     \"#language NAME\" of the script overrides it\n"
    "    --il             prints the intermediate program, one tag a line\n"
    "  Units named in a uses clause are read relative to the current folder.\n";

void print(FILE *to, const QByteArray &cp1251)
{
    const QByteArray utf8 = platform::fromCp1251(cp1251).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), to);
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(kUsage);
    QString language = QStringLiteral("PascalScript");
    bool il = false;
    const char *file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--il") == 0) {
            il = true;
        } else if (std::strcmp(argv[i], "--language") == 0) {
            if (++i == argc)
                return tools::wrongArguments("tolvane-script", "--language needs a name", kUsage);
            language = QString::fromLocal8Bit(argv[i]);
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return tools::wrongArguments("tolvane-script", (std::string("unknown option ") + argv[i]).c_str(),
                                         kUsage);
        } else if (file) {
            return tools::wrongArguments("tolvane-script", "one script file only", kUsage);
        } else {
            file = argv[i];
        }
    }
    if (!file)
        return tools::wrongArguments("tolvane-script", "no script file", kUsage);

    QFile in(QString::fromLocal8Bit(file));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tolvane-script: cannot read %s\n", file);
        return 1;
    }
    const QByteArray text = script::JoinScriptLines(script::SplitScriptLines(in.readAll()));

    script::RegisterBuiltInLanguages();
    script::CompileTarget target;
    try {
        script::TfsILParser parser(target);
        parser.SelectLanguage(language);
        if (!parser.SourceToIL(text)) {
            if (!target.ErrorUnit.isEmpty())
                print(stderr, target.ErrorUnit + ':');
            print(stderr, target.ErrorPosition + ": " + target.ErrorMessage + '\n');
            return 1;
        }
        if (il)
            print(stdout, parser.ILDocument().TagLines());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tolvane-script: %s\n", e.what());
        return 1;
    }
    return 0;
}
