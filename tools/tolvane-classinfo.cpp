// tolvane-classinfo: prints the published table of a class of the class
// library (name, kind, type, declared default, stored test), in declaration
// order with the ancestors' properties first, and alphabetically.
//
//   tolvane-classinfo [--declared | --alphabetical] [CLASS...]
//
// Without a class it lists the registered classes.

#include "platform/classlib/ClassTable.h"
#include "platform/classlib/Graphics.h"
#include "tools/ToolUsage.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: tolvane-classinfo [--declared | --alphabetical] [CLASS...]\n"
    "Prints the published properties of registered classes of the class library: name, kind, type,\n"
    "declared default (\"-\": none) and stored test (yes, no, when), in declaration order with the\n"
    "ancestors' first, then alphabetically. Without a class, lists the registered classes.\n"
    "  --declared      the declaration order only\n"
    "  --alphabetical  the alphabetical order only\n";

void print(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(kUsage);
    QCoreApplication app(argc, argv);
    bool declared = true, alphabetical = true;
    QStringList classes;
    for (const QString &arg : app.arguments().mid(1)) {
        if (arg == QLatin1String("--declared"))
            alphabetical = false;
        else if (arg == QLatin1String("--alphabetical"))
            declared = false;
        else if (arg.startsWith(u'-'))
            return tools::wrongArguments("tolvane-classinfo", qPrintable(QStringLiteral("unknown option ") + arg),
                                         kUsage);
        else
            classes << arg;
    }
    if (!declared && !alphabetical)
        return tools::wrongArguments("tolvane-classinfo", "--declared and --alphabetical together", kUsage);

    platform::classlib::registerClassLibrary();
    if (classes.isEmpty()) {
        for (const platform::classlib::ClassInfo *info : platform::classlib::registeredClasses())
            print(info->className() + u'\n');
        return 0;
    }
    int status = 0;
    for (const QString &name : classes) {
        const platform::classlib::ClassInfo *info = platform::classlib::findClass(name);
        if (!info) {
            std::fprintf(stderr, "tolvane-classinfo: no registered class \"%s\"\n", qPrintable(name));
            status = 1;
            continue;
        }
        if (declared)
            print(QStringLiteral("In declaration order:\n") + platform::classlib::describeClass(*info, false));
        if (alphabetical)
            print(QStringLiteral("Alphabetically:\n") + platform::classlib::describeClass(*info, true));
    }
    return status;
}
