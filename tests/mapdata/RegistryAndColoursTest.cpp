// Registry string values, file sizes, hexadecimal text and the colour palettes
// of the helper units.

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

using platform::RegRoot;
using platform::Registry;

namespace {

const QString Key = QStringLiteral("\\SOFTWARE\\Tolvane 2");

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Registry::instance().storageFile();
        Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
    }
    void TearDown() override { Registry::instance().setStorageFile(previous_); }
    testsupport::TempFolder dir_;
    QString previous_;
};

} // namespace

TEST_F(RegistrySettingsTest, BlankAndMissingValues)
{
    struct Case {
        const char *what;
        std::optional<QString> stored; // nullopt: the value is not there
        QString readReg, readMachine;  // with the default "def"
    };
    const QString def = QStringLiteral("def");
    const Case cases[] = {
        {"spaces only", QStringLiteral("   "), QStringLiteral("   "), def},
        {"empty", QString(), QString(), def},
        {"control characters only", QStringLiteral("\t \t"), QStringLiteral("\t \t"), def},
        {"text with blanks around", QStringLiteral(" C:\\Temp "), QStringLiteral(" C:\\Temp "), QStringLiteral(" C:\\Temp ")},
        {"missing", std::nullopt, def, def},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Registry::instance().deleteValue(RegRoot::LocalMachine, Key, u"TempDir");
        if (c.stored) {
            ASSERT_TRUE(MapFunctions::WriteMachineRegString(Key, QStringLiteral("TempDir"), *c.stored));
        }
        EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::LocalMachine, Key, QStringLiteral("TempDir"), def), c.readReg);
        EXPECT_EQ(MapFunctions::ReadMachineRegString(Key, QStringLiteral("TempDir"), def), c.readMachine);
    }
    // A key that does not exist at all.
    EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::LocalMachine, QStringLiteral("SOFTWARE\\None"),
                                          QStringLiteral("X"), def),
              def);
    EXPECT_EQ(MapFunctions::ReadMachineRegString(QStringLiteral("SOFTWARE\\None"), QStringLiteral("X"), def), def);
    EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::LocalMachine, QStringLiteral("SOFTWARE\\None"), QStringLiteral("X")),
              QString());
}

TEST_F(RegistrySettingsTest, WritesCreateTheKeyUnderTheirRoot)
{
    ASSERT_TRUE(VykFunctions::WriteRegString(RegRoot::CurrentUser, QStringLiteral("Software\\Test\\Deep"),
                                             QStringLiteral("Name"), QString::fromUtf8("Значення")));
    EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::CurrentUser, QStringLiteral("software\\test\\deep"),
                                          QStringLiteral("NAME"), QString()),
              QString::fromUtf8("Значення"));
    // Another root is another tree.
    EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::LocalMachine, QStringLiteral("Software\\Test\\Deep"),
                                          QStringLiteral("Name"), QStringLiteral("none")),
              QStringLiteral("none"));

    ASSERT_TRUE(MapFunctions::WriteMachineRegString(Key, QStringLiteral("LastOpenTvpFile"), QStringLiteral("a.tvp")));
    EXPECT_EQ(VykFunctions::ReadRegString(RegRoot::LocalMachine, Key, QStringLiteral("LastOpenTvpFile"), QString()),
              QStringLiteral("a.tvp"));
}

TEST_F(RegistrySettingsTest, WritesThatCannotBeStoredReturnFalse)
{
    dir_.write(QStringLiteral("blocker"), "file, not a folder");
    Registry::instance().setStorageFile(dir_.file(QStringLiteral("blocker/registry.reg")));
    EXPECT_FALSE(VykFunctions::WriteRegString(RegRoot::LocalMachine, Key, QStringLiteral("TempDir"), QStringLiteral("x")));
    EXPECT_FALSE(MapFunctions::WriteMachineRegString(Key, QStringLiteral("TempDir"), QStringLiteral("x")));
    EXPECT_EQ(MapFunctions::ReadMachineRegString(Key, QStringLiteral("TempDir"), QStringLiteral("def")),
              QStringLiteral("def"));
}

TEST_F(RegistrySettingsTest, ValuesOfAnotherTypeRaise)
{
    Registry &reg = Registry::instance();
    ASSERT_TRUE(reg.writeValue(RegRoot::LocalMachine, Key, u"TypeWheel", Registry::Value(quint32(1))));
    ASSERT_TRUE(reg.writeValue(RegRoot::LocalMachine, Key, u"Blob", Registry::Value(QByteArray("\x01", 1))));
    for (const char *name : {"TypeWheel", "Blob"}) {
        SCOPED_TRACE(name);
        const QString n = QString::fromLatin1(name);
        try {
            (void)MapFunctions::ReadMachineRegString(Key, n, QString());
            ADD_FAILURE() << "no error raised";
        } catch (const platform::RegistryError &e) {
            EXPECT_EQ(std::string(e.what()), "Invalid data type for '" + std::string(name) + "'");
        }
        EXPECT_THROW((void)VykFunctions::ReadRegString(RegRoot::LocalMachine, Key, n, QString()),
                     platform::RegistryError);
    }
}

TEST(FileSizeByNameTest, SizesOfFiles)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("data.bin"), QByteArray(5, 'x'));
    dir.write(QStringLiteral("empty.bin"), QByteArray());
    QDir(dir.path()).mkpath(QStringLiteral("folder"));
    EXPECT_EQ(MapFunctions::FileSizeByName(dir.file(QStringLiteral("data.bin"))), 5);
    // Names from files may differ in case and use backslashes.
    EXPECT_EQ(MapFunctions::FileSizeByName(dir.path() + QStringLiteral("\\DATA.BIN")), 5);
    EXPECT_EQ(MapFunctions::FileSizeByName(dir.file(QStringLiteral("empty.bin"))), 0);
    EXPECT_EQ(MapFunctions::FileSizeByName(dir.file(QStringLiteral("missing.bin"))), 0);
    EXPECT_EQ(MapFunctions::FileSizeByName(dir.file(QStringLiteral("folder"))), 0);
    EXPECT_EQ(MapFunctions::FileSizeByName(QString()), 0);
}

TEST(HexTest, HexToInt)
{
    const struct {
        const char *text;
        qint64 value;
    } cases[] = {
        {"1FH", 31},
        {"1fh", 31},
        {"1G", 0},
        {"FF", 255},
        {"00ff00", 0xFF00},
        {"H", 0},
        {"1HH", 0}, // only one trailing H goes
        {"-1", 0},
        {" 1", 0},
        {"7FFFFFFFFFFFFFFF", INT64_MAX},
        {"FFFFFFFFFFFFFFFF", -1},
        {"10000000000000001", 1}, // beyond 64 bits the high digits fall off
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapFunctions::HexToInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(HexTest, HexToColorPutsRedInTheLowByte)
{
    EXPECT_EQ(MapFunctions::HexToColor(QStringLiteral("EF0000")), 239);
    EXPECT_EQ(MapFunctions::HexToColor(QStringLiteral("0000FF")), 0xFF0000);
    EXPECT_EQ(MapFunctions::HexToColor(QStringLiteral("00FEED")), 0xEDFE00);
    EXPECT_EQ(MapFunctions::HexToColor(QStringLiteral("c06549")), 0x4965C0);
    // Each pair is read on its own: a bad pair is 0, the others stay.
    EXPECT_EQ(MapFunctions::HexToColor(QStringLiteral("ZZ8000")), 0x0080 << 8);
}

TEST(PaletteTest, FixedPalettes)
{
    const struct {
        int palette, colour, value;
    } cases[] = {
        {4, 16, 239},      // wraps to colour 1, EF0000
        {4, 1, 239},
        {4, 1000, 0xAFFEAF}, // colour 10
        {9, 20, 0xEDFE00},   // wraps to colour 1, 00FEED
        {9, 19, 0xE53A00},   // 003AE5
        {1, 1, 0x4965C0},    // C06549
        {1, 25, 0x4965C0},
        {1, 24, 0x258373},   // 738325
        {2, 22, 0xD2D2D2},   // the repeated colours
        {2, 24, 0xAAC7DF},   // DFC7AA
        {3, 24, 0xDC58D2},   // D258DC
        {5, 13, 0xB4FEE4},   // E4FEB4
        {5, 14, 0xFEC3F8},   // F8C3FE
        {6, 15, 0x14698B},   // 8B6914
        {7, 26, 0x28286F},   // 6F2828
        {8, 24, 0x60ECEE},   // EEEC60
        {3, 0, 0},
        {3, -1, 0},
        {10, 1, 0},
        {-1, 1, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapFunctions::PaletteColor(c.palette, c.colour), c.value) << c.palette << "," << c.colour;

    // Each palette wraps by its own size.
    const int sizes[] = {24, 24, 24, 15, 13, 15, 13, 24, 19};
    for (int p = 1; p <= 9; ++p) {
        const int size = sizes[p - 1];
        for (int n = 1; n <= size; ++n)
            EXPECT_EQ(MapFunctions::PaletteColor(p, n + size), MapFunctions::PaletteColor(p, n)) << p << "," << n;
        EXPECT_NE(MapFunctions::PaletteColor(p, size), MapFunctions::PaletteColor(p, size + 2)) << p;
    }
}

TEST(PaletteTest, PaletteZeroDrawsPaletteThenColour)
{
    struct Case {
        std::vector<int> draws;
        int value;
    };
    const Case cases[] = {
        {{4, 16}, 239},      // palette 4, colour 16 -> colour 1
        {{9, 24}, 0xFECF87}, // palette 9, colour 24 -> colour 5, 87CFFE
        {{0, 5}, 0},         // a drawn palette 0 is black
        {{3, 0}, 0},         // and so is a drawn colour 0
    };
    for (const Case &c : cases) {
        std::deque<int> draws(c.draws.begin(), c.draws.end());
        std::vector<int> ranges;
        platform::ScopedService<platform::RandomNumbers> random([&](int n) {
            ranges.push_back(n);
            const int v = draws.front();
            draws.pop_front();
            return v;
        });
        EXPECT_EQ(MapFunctions::PaletteColor(0, 7), c.value);
        EXPECT_EQ(ranges, (std::vector<int>{9, 25}));
    }
}
