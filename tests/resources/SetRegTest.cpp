// tools/setreg, through which tools/run.sh names the demo project as the last
// project: it writes a string value of the settings store, and with
// --if-absent keeps a value that is there already.

#include "ResourceTestSupport.h"

#include "platform/Registry.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>

using namespace restest;
using platform::Registry;
using platform::RegRoot;
using testsupport::TempFolder;

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane 2");
const QString kName = QStringLiteral("LastOpenTvpFile");

// Reads the store file as the program does, then gives the test's own store back.
std::optional<QString> storedValue(const QString &store, RegRoot root, const QString &key, const QString &name)
{
    Registry &reg = Registry::instance();
    const QString previous = reg.storageFile();
    reg.setStorageFile(store);
    const auto value = reg.readString(root, key, name);
    reg.setStorageFile(previous);
    return value;
}

} // namespace

TEST(SetReg, NamesTheDemoProjectOnlyWhileNoProjectIsNamed)
{
    TempFolder dir;
    const QString store = dir.file(QStringLiteral("registry.reg"));
    // A store that holds other settings already, which must survive.
    dir.write(QStringLiteral("registry.reg"),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane 2]\n\"TempDir\"=\"/tmp/work\"\n");
    const QString demo = u8("/home/ютуб/tolvane/build/program/Demo/demo.tvp");

    ToolRun r = setreg({QStringLiteral("--if-absent"), QStringLiteral("--store"), store, kKey, kName, demo});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(storedValue(store, RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Tolvane 2"), kName), demo);
    EXPECT_EQ(storedValue(store, RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Tolvane 2"),
                          QStringLiteral("TempDir")),
              QStringLiteral("/tmp/work"));

    // The user opened another project since: it stays named.
    r = setreg({QStringLiteral("--if-absent"), QStringLiteral("--store"), store, kKey, kName, QStringLiteral("/other.tvp")});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(storedValue(store, RegRoot::LocalMachine, QStringLiteral("SOFTWARE\\Tolvane 2"), kName), demo);

    // Without the option the value is replaced.
    r = setreg({QStringLiteral("--store"), store, kKey, kName, QStringLiteral("/other.tvp")});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(storedValue(store, RegRoot::LocalMachine, QStringLiteral("SOFTWARE\\Tolvane 2"), kName),
              QStringLiteral("/other.tvp"));
}

TEST(SetReg, RefusesAKeyWithoutRootOrAMissingArgument)
{
    TempFolder dir;
    const QString store = dir.file(QStringLiteral("registry.reg"));
    const QStringList bad[] = {
        {QStringLiteral("--store"), store, QStringLiteral("SOFTWARE\\Tolvane 2"), kName, QStringLiteral("x")},
        {QStringLiteral("--store"), store, kKey, kName},
        {QStringLiteral("--sotre"), store, kKey, kName, QStringLiteral("x")},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun r = setreg(args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.errors.startsWith(QStringLiteral("setreg: "))) << r.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(store));
}
