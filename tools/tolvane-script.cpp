// The script engine from the command line: compiles a script file in one of
// the registered languages and runs it, or prints its intermediate program;
// a compile error is printed as "line:col: message" (preceded by the unit's
// name when the error lies in an included unit).
//
// What a script can call here: Print(Value), which writes the value's text
// and a line feed; RaiseException(Text); and the class library's base
// classes (TObject, TPersistent, TComponent, TStrings, TStringList) with
// their published properties, Create and Free.

#include "platform/TextCodec.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Graphics.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/Script.h"
#include "script/ScriptError.h"
#include "tools/ToolUsage.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char *const kUsage =
    "usage: tolvane-script [--language NAME] [--il] SCRIPT\n"
    "  Compiles the script file (Windows-1251 text) and runs it. A compile\n"
    "  error is reported as \"line:col: message\" with exit status 1, an\n"
    "  error while running as its message with exit status 2.\n"
    "  The script may call Print(Value) (the value's text and a line feed\n"
    "  on standard output), RaiseException(Text), and create and free the\n"
    "  class library's TObject, TPersistent, TComponent, TStrings and\n"
    "  TStringList, whose published properties it may read and write.\n"
    "    --language NAME  the language: PascalScript (the default),\n"
    "                     D++Eviviz, ZoridEdodud or JScript; a first line\n"
    "                     \"#language NAME\" of the script overrides it\n"
    "    --il             prints the intermediate program, one tag a line,\n"
    "                     instead of running the script\n"
    "  Units named in a uses clause are read relative to the current folder.\n";

void print(FILE *to, const QByteArray &cp1251)
{
    const QByteArray utf8 = platform::fromCp1251(cp1251).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), to);
}

void printText(FILE *to, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), to);
}

using platform::Variant;
using platform::classlib::ClassInfo;
using platform::classlib::TComponent;
using platform::classlib::TObject;

void bind(script::TfsScript &s)
{
    script::AddCoreItems(s);
    s.AddMethod("procedure Print(Value: Variant)",
                [](TObject *, const ClassInfo *, const QByteArray &, script::TfsMethodHelper &m) {
                    printText(stdout, m.GetParam(0).toString() + u'\n');
                    std::fflush(stdout);
                    return Variant();
                });
    s.AddMethod("procedure RaiseException(Param: String)",
                [](TObject *, const ClassInfo *, const QByteArray &, script::TfsMethodHelper &m) -> Variant {
                    throw script::ScriptError(m.GetParam(0).toString());
                });
    using namespace platform::classlib;
    script::TfsClassVariable *object = s.AddClass(TObject::staticClassInfo(), QByteArray());
    // Create on a class name makes an object of that class.
    const auto create = [](TObject *, const ClassInfo *classRef, const QByteArray &, script::TfsMethodHelper &m) {
        TComponent *owner = nullptr;
        if (m.ParamCount() > 0)
            owner = objectOf<TComponent>(m.GetParam(0).toInt());
        if (!classRef || !classRef->create())
            throw script::ScriptError(QStringLiteral("Невозможно создать объект"));
        return Variant(classRef->create()(owner)->handle());
    };
    object->AddConstructor("constructor Create", create);
    object->AddMethod("procedure Free", [](TObject *instance, const ClassInfo *, const QByteArray &,
                                           script::TfsMethodHelper &) {
        delete instance;
        return Variant();
    });
    s.AddClass(TPersistent::staticClassInfo(), "TObject");
    s.AddClass(TComponent::staticClassInfo(), "TPersistent")
        ->AddConstructor("constructor Create(AOwner: TComponent)", create);
    s.AddClass(TStrings::staticClassInfo(), "TPersistent");
    s.AddClass(TStringList::staticClassInfo(), "TStrings");
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
    platform::classlib::registerClassLibrary();
    if (il) {
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
            print(stdout, parser.ILDocument().TagLines());
        } catch (const std::exception &e) {
            std::fprintf(stderr, "tolvane-script: %s\n", e.what());
            return 1;
        }
        return 0;
    }

    script::TfsScript program;
    bind(program);
    program.SyntaxType = language;
    program.Lines.SetText(platform::fromCp1251(text));
    try {
        if (!program.Compile()) {
            if (!program.ErrorUnit.isEmpty())
                print(stderr, program.ErrorUnit + ':');
            print(stderr, program.ErrorPosition + ": " + program.ErrorMessage + '\n');
            return 1;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tolvane-script: %s\n", e.what());
        return 1;
    }
    try {
        program.Execute();
    } catch (const std::exception &e) {
        std::fflush(stdout);
        printText(stderr, QString::fromUtf8(e.what()) + u'\n');
        return 2;
    }
    return 0;
}
