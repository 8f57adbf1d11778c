// Writes a string value into the program's settings store (in place of the
// registry), creating the key when missing:
//
//   setreg [--if-absent] [--store <file>] <key> <name> <text>
//
// The key starts with its root, as in "HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane 2".
// With --if-absent a value that exists already is kept (whatever its text).
// --store names the store file; by default it is the user's own.

#include "platform/Registry.h"
#include "tools/ToolUsage.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

constexpr char Usage[] = "usage: setreg [--if-absent] [--store <file>] <key> <name> <text>\n"
                         "  Writes a string value into the program's settings store (in place of the\n"
                         "  registry), as in: setreg 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane 2' TempDir /tmp\n"
                         "  --if-absent keeps a value that exists; --store names the store file\n"
                         "  (default: ~/.config/tolvane/registry.reg).\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "setreg: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    using platform::Registry;
    using platform::RegRoot;
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    bool ifAbsent = false;
    QString store;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString opt = args.takeFirst();
        if (opt == u"--if-absent") {
            ifAbsent = true;
        } else if (opt == u"--store" && !args.isEmpty()) {
            store = args.takeFirst();
        } else {
            return tools::wrongArguments("setreg", qPrintable(QStringLiteral("unknown option %1").arg(opt)), Usage);
        }
    }
    if (args.size() != 3)
        return tools::wrongArguments("setreg", "a key, a name and a text are needed", Usage);
    QString key = args[0];
    key.replace(u'/', u'\\');
    const qsizetype slash = key.indexOf(u'\\');
    const QString rootName = slash < 0 ? key : key.left(slash);
    const QString path = slash < 0 ? QString() : key.mid(slash + 1);
    RegRoot root;
    if (rootName.compare(Registry::rootName(RegRoot::LocalMachine), Qt::CaseInsensitive) == 0)
        root = RegRoot::LocalMachine;
    else if (rootName.compare(Registry::rootName(RegRoot::CurrentUser), Qt::CaseInsensitive) == 0)
        root = RegRoot::CurrentUser;
    else if (rootName.compare(Registry::rootName(RegRoot::ClassesRoot), Qt::CaseInsensitive) == 0)
        root = RegRoot::ClassesRoot;
    else
        return tools::wrongArguments(
            "setreg", qPrintable(QStringLiteral("the key \"%1\" starts with no root (HKEY_LOCAL_MACHINE ...)").arg(args[0])),
            Usage);

    Registry &reg = Registry::instance();
    if (!store.isEmpty())
        reg.setStorageFile(store);
    if (ifAbsent && reg.valueExists(root, path, args[1]))
        return 0;
    if (!reg.writeString(root, path, args[1], args[2]))
        return fail(QStringLiteral("cannot write the settings store %1").arg(reg.storageFile()));
    return 0;
}
