#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::bytes;
using testsupport::TempFolder;

TEST(TextCodec, DecodesAndEncodesTheCodePage)
{
    // "Шевченка" in Windows-1251, then Ё, ё, і, ґ, №, the euro and the unassigned 0x98.
    const QByteArray raw = bytes({0xD8, 0xE5, 0xE2, 0xF7, 0xE5, 0xED, 0xEA, 0xE0, 0xA8, 0xB8, 0xB3, 0xB4, 0xB9, 0x88, 0x98});
    const QString text = fromCp1251(raw);
    EXPECT_EQ(text, QString::fromUtf8("Шевченка") + QString::fromUtf8("Ёёіґ№€") + QChar(0x98));
    EXPECT_EQ(toCp1251(text), raw);
    // Every byte survives a round trip.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(toCp1251(fromCp1251(all)), all);
    EXPECT_EQ(toCp1251(QString::fromUtf8("a中b")), QByteArray("a?b"));
}

TEST(TextCodec, CaseFoldsCyrillicLikeWindows)
{
    EXPECT_EQ(ansiUpperCase(QString::fromUtf8("шевченка ёїєґі abc")), QString::fromUtf8("ШЕВЧЕНКА ЁЇЄҐІ ABC"));
    EXPECT_EQ(ansiLowerCase(QString::fromUtf8("ШЕВЧЕНКА Ў")), QString::fromUtf8("шевченка ў"));
    // µ has no capital in the code page: it stays.
    EXPECT_EQ(ansiUpperCase(QString::fromUtf8("µ")), QString::fromUtf8("µ"));
    EXPECT_TRUE(ansiSameText(QString::fromUtf8("Шевченка"), QString::fromUtf8("ШЕВЧЕНКА")));
    EXPECT_LT(ansiCompareText(u"abc", u"ABD"), 0);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    const struct { double in; std::int64_t out; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {1e30, INT64_MAX}, {-1e30, INT64_MIN},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
    EXPECT_EQ(truncToInt(-2.7), -2);
    EXPECT_EQ(truncToInt(2.7), 2);
}

TEST(Paths, SplitsNamesWithEitherSeparator)
{
    EXPECT_EQ(extractFileName(u"C:\\Data\\map.tvp"), u"map.tvp");
    EXPECT_EQ(extractFilePath(u"C:\\Data/map.tvp"), u"C:\\Data/");
    EXPECT_EQ(extractFileExt(u"/home/u/.local/layer"), u"");
    EXPECT_EQ(extractFileExt(u"/home/u/.local/layer.Shp"), u".Shp");
    EXPECT_EQ(changeFileExt(u"/home/u/.local/layer.Shp", u".Dbf"), u"/home/u/.local/layer.Dbf");
    EXPECT_EQ(changeFileExt(u"/a.b/layer", u".shx"), u"/a.b/layer.shx");
    EXPECT_EQ(joinPath(u"/a/", u"b"), u"/a/b");
    EXPECT_EQ(joinPath(u"/a", u"b"), u"/a/b");
}

TEST(Paths, FindsFilesWhateverTheCaseOfTheirNames)
{
    TempFolder dir;
    QDir(dir.path()).mkdir(QStringLiteral("Default"));
    dir.write(QStringLiteral("Default/point.shp"), "x");
    const QString wanted = dir.path() + QStringLiteral("\\DEFAULT\\Point.Shp");
    EXPECT_EQ(findExistingPath(wanted), dir.file(QStringLiteral("Default/point.shp")));
    EXPECT_TRUE(fileExists(wanted));
    EXPECT_FALSE(directoryExists(wanted));
    EXPECT_TRUE(directoryExists(dir.path() + QStringLiteral("/default")));
    EXPECT_FALSE(fileExists(dir.path() + QStringLiteral("/Default/line.shp")));
    // A file about to be made keeps the folder's spelling on disk.
    EXPECT_EQ(resolvePath(dir.path() + QStringLiteral("/DEFAULT/new.shp")), dir.file(QStringLiteral("Default/new.shp")));
}

TEST(IniFile, ReadsWindows1251WithDottedAndIndexedKeys)
{
    TempFolder dir;
    QByteArray text = "; comment\r\n[Tolvane]\r\nCaption=";
    text += toCp1251(QString::fromUtf8("Карта"));
    text += "\r\nnFileOpen.Caption = ";
    text += toCp1251(QString::fromUtf8("Відкрити..."));
    text += "\r\nTabControl1.Tabs[2]=\"  Third \"\r\nStatusBar1.Panels[0].Text=x=y\r\n[other]\r\nCount=$1F\r\nBad=12a\r\n";
    const QString path = dir.write(QStringLiteral("test.lng"), text);
    IniFile ini(path);
    EXPECT_EQ(ini.readString(u"TOLVANE", u"caption", {}), QString::fromUtf8("Карта"));
    EXPECT_EQ(ini.readString(u"Tolvane", u"nFileOpen.Caption", {}), QString::fromUtf8("Відкрити..."));
    EXPECT_EQ(ini.readString(u"Tolvane", u"TabControl1.Tabs[2]", {}), QStringLiteral("  Third "));
    EXPECT_EQ(ini.readString(u"Tolvane", u"StatusBar1.Panels[0].Text", {}), QStringLiteral("x=y"));
    EXPECT_EQ(ini.readString(u"Tolvane", u"Missing", QStringLiteral("def")), QStringLiteral("def"));
    EXPECT_EQ(ini.readInteger(u"other", u"Count", 0), 31);
    EXPECT_EQ(ini.readInteger(u"other", u"Bad", 7), 7);
    EXPECT_EQ(ini.sectionKeys(u"other"), QStringList({QStringLiteral("Count"), QStringLiteral("Bad")}));
}

TEST(IniFile, WritesKeepTheRestOfTheFile)
{
    TempFolder dir;
    // A line whose "=" has only blanks before it is no key and stays as it is.
    const QString path =
        dir.write(QStringLiteral("VYK.INI"), "; keep me\r\n[A]\r\nx=1\r\n  =no key\r\n\r\n[B]\r\ny=2\r\n");
    {
        IniFile ini(path);
        EXPECT_EQ(ini.sectionKeys(u"A"), QStringList{QStringLiteral("x")});
        ASSERT_TRUE(ini.writeString(u"a", u"z", QString::fromUtf8("Шрифт")));
        ASSERT_TRUE(ini.writeString(u"B", u"Y", QStringLiteral("3")));
        ASSERT_TRUE(ini.writeString(u"C", u"w", QStringLiteral("4")));
    }
    QByteArray expected = "; keep me\r\n[A]\r\nx=1\r\n  =no key\r\nz=";
    expected += toCp1251(QString::fromUtf8("Шрифт"));
    expected += "\r\n\r\n[B]\r\ny=3\r\n[C]\r\nw=4\r\n";
    EXPECT_EQ(dir.read(QStringLiteral("VYK.INI")), expected);
}
