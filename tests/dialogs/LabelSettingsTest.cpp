// The label dialogs' settings without windows: the defaults of "Добавить
// обозначения" in "VYK.INI" (Windows-1251, other keys kept), the button codes,
// a label entry through the controls and the field lists.

#include "dialogs/LabelSettings.h"

#include "db/DbTestSupport.h"
#include "mapengine/MapControlCore.h"
#include "platform/IniFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using dialogs::labels::LabelSettings;
using namespace dialogs::labels;

namespace {

// "VYK.INI" as another program left it: a section of its own, then the label
// section holding an alignment of 1, a position of 7 and a key nobody reads.
// "[Tolvane обозначения]", "Выравнивание=1", "Позиция текста=7" in Windows-1251.
QByteArray vykIni()
{
    return QByteArray("[Other]\r\nKey=value\r\n"
                      "[Tolvane \xEE\xE1\xEE\xE7\xED\xE0\xF7\xE5\xED\xE8\xFF]\r\n"
                      "\xC2\xFB\xF0\xE0\xE2\xED\xE8\xE2\xE0\xED\xE8\xE5=1\r\n"
                      "\xCF\xEE\xE7\xE8\xF6\xE8\xFF \xF2\xE5\xEA\xF1\xF2\xE0=7\r\n"
                      "Unrelated=x\r\n");
}

} // namespace

TEST(LabelSettings, FirstRunDefaults)
{
    testsupport::TempFolder dir;
    const platform::IniFile ini(iniFileName(dir.path()));
    const LabelSettings s = readNewLabelDefaults(ini);
    EXPECT_EQ(s.fontName, QStringLiteral("Arial Cyr"));
    EXPECT_EQ(s.fontSize, QStringLiteral("12"));
    EXPECT_EQ(s.fontColor, QStringLiteral("0"));
    EXPECT_EQ(s.fontScale, QStringLiteral("2000"));
    EXPECT_EQ(s.fontRotate, QStringLiteral("0"));
    EXPECT_EQ(s.brushColor, QStringLiteral("16777215"));
    EXPECT_EQ(s.brushStyle, 1);
    EXPECT_EQ(s.rounding, QStringLiteral("3"));
    EXPECT_EQ(s.format, QStringLiteral("000"));
    EXPECT_EQ(s.shiftX, QStringLiteral("0"));
    EXPECT_EQ(s.shiftY, QStringLiteral("0"));
    EXPECT_EQ(s.alignment, 0);
    EXPECT_EQ(s.position, 0);
    EXPECT_FALSE(s.bold || s.italic || s.underline);
    EXPECT_TRUE(s.fieldName.isEmpty());
    EXPECT_FALSE(QFile::exists(iniFileName(dir.path())));
}

TEST(LabelSettings, IniRoundTripKeepsOtherKeysAndWritesTheKeysByteExact)
{
    testsupport::TempFolder dir;
    const QString path = dir.write(QStringLiteral("VYK.INI"), vykIni());
    LabelSettings s;
    {
        const platform::IniFile ini(path);
        s = readNewLabelDefaults(ini);
    }
    EXPECT_EQ(s.alignment, 1);
    EXPECT_EQ(s.position, 7);
    EXPECT_EQ(s.fontName, QStringLiteral("Arial Cyr"));

    s.fontName = QStringLiteral("Times New Roman Cyr");
    s.bold = true;
    s.brushStyle = 6;
    s.shiftX = QStringLiteral("5");
    s.shiftY = QStringLiteral("-3");
    s.format = QStringLiteral("0.00");
    {
        platform::IniFile ini(path);
        ASSERT_TRUE(writeNewLabelDefaults(ini, s));
    }
    const QByteArray bytes = dir.read(QStringLiteral("VYK.INI"));
    // Unrelated section and key kept where they were.
    EXPECT_TRUE(bytes.startsWith("[Other]\r\nKey=value\r\n[Tolvane \xEE\xE1\xEE\xE7\xED\xE0\xF7\xE5\xED\xE8\xFF]\r\n"
                                 "\xC2\xFB\xF0\xE0\xE2\xED\xE8\xE2\xE0\xED\xE8\xE5=1\r\n"));
    EXPECT_TRUE(bytes.contains("Unrelated=x\r\n"));
    // "Смещение Х" with a Cyrillic Х (0xD5), "Смещение Y" with a Latin Y.
    EXPECT_TRUE(bytes.contains("\r\n\xD1\xEC\xE5\xF9\xE5\xED\xE8\xE5 \xD5=5\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n\xD1\xEC\xE5\xF9\xE5\xED\xE8\xE5 Y=-3\r\n"));
    // "Двойной текст=1", "Стиль фона=6".
    EXPECT_TRUE(bytes.contains("\r\n\xC4\xE2\xEE\xE9\xED\xEE\xE9 \xF2\xE5\xEA\xF1\xF2=1\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n\xD1\xF2\xE8\xEB\xFC \xF4\xEE\xED\xE0=6\r\n"));
    EXPECT_EQ(bytes.count("\xD1\xEC\xE5\xF9\xE5\xED\xE8\xE5"), 2);

    const platform::IniFile again(path);
    EXPECT_EQ(again.readString(u"Other", u"Key", QString()), QStringLiteral("value"));
    EXPECT_EQ(readNewLabelDefaults(again), s);
}

TEST(LabelSettings, IniThatCannotBeWrittenIsReported)
{
    testsupport::TempFolder dir;
    // The ini's name is a folder: nothing can replace it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("VYK.INI")));
    platform::IniFile ini(iniFileName(dir.path()));
    EXPECT_FALSE(writeNewLabelDefaults(ini, LabelSettings()));
}

TEST(LabelSettings, DownCodeTakesTheHighestButtonDown)
{
    struct Case {
        std::vector<int> down;
        int none;
        int code;
    };
    const Case cases[] = {
        {{}, 0, 0}, {{}, 6, 6}, {{1}, 0, 1}, {{0}, 5, 0}, {{1, 5}, 0, 5}, {{0, 3}, 0, 3}, {{2, 8, 4}, 0, 8},
    };
    for (const Case &c : cases) {
        std::array<bool, 9> down{};
        for (int i : c.down)
            down[static_cast<size_t>(i)] = true;
        EXPECT_EQ(downCode(down, c.none), c.code) << c.down.size() << " down, none " << c.none;
    }
}

TEST(LabelSettings, LabelEntryThroughTheControls)
{
    TMapLabel label;
    label.Visible = true;
    label.FieldName = QStringLiteral("NAME");
    label.FormatShow = QStringLiteral("0.00");
    label.Font.FontName = QStringLiteral("Arial");
    label.Font.Size = 14;
    label.Font.Scale = 500;
    label.Font.Color = 255;
    label.Font.Rotate = 22.5;
    label.Font.Center = 6;
    label.Font.Position = 3;
    label.Font.TextStyle = 8 | 2;
    label.Font.BrushColor = 65280;
    label.Font.BrushStyle = 4;
    label.Font.ShiftX = -7;
    label.Font.ShiftY = 9;

    LabelSettings s = settingsOfLabel(label);
    EXPECT_EQ(s.alignment, 6);
    EXPECT_EQ(s.fontRotate, QStringLiteral("22.5"));
    EXPECT_TRUE(s.italic);
    EXPECT_FALSE(s.bold);
    // Written back unchanged, the entry stays as it was (Center 6 kept, the
    // strike-out bit too).
    TMapLabel back = label;
    applySettings(s, back);
    EXPECT_EQ(back.Font.Center, 6);
    EXPECT_EQ(back.Font.TextStyle, 10);
    EXPECT_EQ(back.Font.Rotate, 22.5);
    EXPECT_EQ(back.Font.ShiftX, -7);
    EXPECT_EQ(back.FormatShow, QStringLiteral("0.00"));

    // Texts that are no numbers are 0; the format is cut to 255 characters.
    s.fontSize = QStringLiteral("-,");
    s.fontRotate = QStringLiteral(".");
    s.shiftY = QString();
    s.fontScale = QStringLiteral("1:2 000");
    s.format = QString(300, u'0');
    s.bold = true;
    s.italic = false;
    applySettings(s, back);
    EXPECT_EQ(back.Font.Size, 0);
    EXPECT_EQ(back.Font.Rotate, 0);
    EXPECT_EQ(back.Font.ShiftY, 0);
    EXPECT_EQ(back.Font.Scale, 12000);
    EXPECT_EQ(back.FormatShow.size(), 255);
    EXPECT_EQ(back.Font.TextStyle, 9);

    // A stored code beyond the buttons shows the centre buttons.
    label.Font.Center = 12;
    label.Font.Position = 200;
    EXPECT_EQ(settingsOfLabel(label).alignment, 0);
    EXPECT_EQ(settingsOfLabel(label).position, 0);
}

TEST(LabelSettings, FieldListsByLayerKind)
{
    const QStringList table{QStringLiteral("ID"), QStringLiteral("NAME")};
    const QString ha = QStringLiteral("Площадь, га"), m2 = QStringLiteral("Площадь, кв.м"),
                  p = QStringLiteral("Периметр"), file = QStringLiteral("Имя файла");
    struct Case {
        Byte mapType, objType;
        QStringList fields;
    };
    const Case cases[] = {
        {mtShapeLayer, otPolygons, {ha, m2, p, QStringLiteral("ID"), QStringLiteral("NAME")}},
        {mtShapeLayer, otPolylines, table},
        {mtShapeLayer, otImages, {QStringLiteral("ID"), QStringLiteral("NAME"), file}},
        {0, otPolygons, table},
        {2, otPolygons, {QStringLiteral("ID"), QStringLiteral("NAME"), ha, m2, p}},
        {16, 0, {QStringLiteral("ID"), QStringLiteral("NAME"), ha, m2, p}},
        {8, 0, table},
    };
    for (const Case &c : cases) {
        TMapLayer L;
        L.MapType = c.mapType;
        L.ObjType = c.objType;
        EXPECT_EQ(labelEntryFields(L, table), c.fields) << int(c.mapType) << "/" << int(c.objType);
    }
    EXPECT_EQ(newLabelFields(table),
              (QStringList{QStringLiteral("Номер участка"), QStringLiteral("Линия"), ha, m2, p,
                           QStringLiteral("Расстояния"), QStringLiteral("Номера точек"), QStringLiteral("ID"),
                           QStringLiteral("NAME")}));
    EXPECT_EQ(formatItems().size(), 9);
    EXPECT_EQ(formatItems().at(3), QStringLiteral("0000"));
    EXPECT_EQ(formatItems().last(), QStringLiteral("0.00000"));
}

TEST(LabelSettings, TableFieldsOfALayerAndTheLayerOffered)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("parcels.dbf"), dbtest::dbfFile({{"ID", 'N', 9, 0}, {"PURPOSE", 'C', 20, 0}},
                                                             {dbtest::record({dbtest::right("1", 9),
                                                                              dbtest::left(dbtest::u8("сад"), 20)})}));
    dir.write(QStringLiteral("broken.dbf"), QByteArray("\x03\x7A", 2));
    MapControlCore map;
    map.SetWorkDir(dir.path());
    for (const char *name : {"parcels.shp", "missing.shp", "broken.shp"}) {
        TMapLayer L;
        L.FileName = QString::fromLatin1(name);
        map.Project().Layers.push_back(L);
    }
    EXPECT_EQ(layerTableFields(map, 0), (QStringList{QStringLiteral("ID"), QStringLiteral("PURPOSE")}));
    EXPECT_TRUE(layerTableFields(map, 1).isEmpty());
    EXPECT_TRUE(layerTableFields(map, 2).isEmpty());
    EXPECT_TRUE(layerTableFields(map, 3).isEmpty());
    EXPECT_TRUE(layerTableFields(map, -1).isEmpty());

    // The first selection entry's layer, else the active one.
    EXPECT_EQ(newLabelFieldLayer(map, 1), 1);
    map.Selection().Entries.push_back(TSelObject{});
    map.Selection().Entries.back().Layer = 2;
    EXPECT_EQ(newLabelFieldLayer(map, 1), 2);
    map.Selection().Entries.front().Layer = 7;
    EXPECT_EQ(newLabelFieldLayer(map, 1), 1);
}
