#include "dialogs/LabelSettings.h"

#include "dialogs/SearchRequests.h"
#include "mapdata/MapFunctions.h"
#include "mapengine/MapControlCore.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/db/Table.h"

#include <exception>

namespace dialogs::labels {

namespace {

// The keys of the section (the shift keys hold a Cyrillic "Х" and a Latin "Y").
const QString kAlignment = QStringLiteral("Выравнивание");
const QString kPosition = QStringLiteral("Позиция текста");
const QString kFontName = QStringLiteral("Имя шрифта");
const QString kFontSize = QStringLiteral("Размер текста");
const QString kFontColor = QStringLiteral("Цвет текста");
const QString kFontScale = QStringLiteral("Масштаб");
const QString kFontRotate = QStringLiteral("Поворот");
const QString kBold = QStringLiteral("Двойной текст");
const QString kItalic = QStringLiteral("Наклонный текст");
const QString kUnderline = QStringLiteral("Подчёркивание текста");
const QString kBrushColor = QStringLiteral("Цвет фона");
const QString kBrushStyle = QStringLiteral("Стиль фона");
const QString kShiftX = QStringLiteral("Смещение Х");
const QString kShiftY = QStringLiteral("Смещение Y");
const QString kRounding = QStringLiteral("Округление");
const QString kFormat = QStringLiteral("Формат");

const QString kAreaHa = QStringLiteral("Площадь, га");
const QString kAreaM2 = QStringLiteral("Площадь, кв.м");
const QString kPerimeter = QStringLiteral("Периметр");

// A number typed into an edit; what is no number is 0.
std::int32_t intOf(const QString &text)
{
    try {
        return MapFunctions::TextToInt(text);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

double floatOf(const QString &text)
{
    try {
        return MapFunctions::TextToFloat(text, 0);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

int codeOf(Byte code)
{
    return code <= 8 ? code : 0;
}

} // namespace

QString iniFileName(const QString &programDir)
{
    return platform::joinPath(programDir, u"VYK.INI");
}

QString iniSection()
{
    return QStringLiteral("Tolvane обозначения");
}

LabelSettings readNewLabelDefaults(const platform::IniFile &ini)
{
    const QString s = iniSection();
    const LabelSettings d;
    LabelSettings r;
    r.alignment = ini.readInteger(s, kAlignment, d.alignment);
    r.position = ini.readInteger(s, kPosition, d.position);
    r.fontName = ini.readString(s, kFontName, d.fontName);
    r.fontSize = ini.readString(s, kFontSize, d.fontSize);
    r.fontColor = ini.readString(s, kFontColor, d.fontColor);
    r.fontScale = ini.readString(s, kFontScale, d.fontScale);
    r.fontRotate = ini.readString(s, kFontRotate, d.fontRotate);
    r.bold = ini.readBool(s, kBold, d.bold);
    r.italic = ini.readBool(s, kItalic, d.italic);
    r.underline = ini.readBool(s, kUnderline, d.underline);
    r.brushColor = ini.readString(s, kBrushColor, d.brushColor);
    r.brushStyle = ini.readInteger(s, kBrushStyle, d.brushStyle);
    r.shiftX = ini.readString(s, kShiftX, d.shiftX);
    r.shiftY = ini.readString(s, kShiftY, d.shiftY);
    r.rounding = ini.readString(s, kRounding, d.rounding);
    r.format = ini.readString(s, kFormat, d.format);
    return r;
}

bool writeNewLabelDefaults(platform::IniFile &ini, const LabelSettings &v)
{
    const QString s = iniSection();
    // Each write replaces the file whole; the first failure ends it.
    return ini.writeInteger(s, kAlignment, v.alignment) && ini.writeInteger(s, kPosition, v.position) &&
           ini.writeString(s, kFontName, v.fontName) && ini.writeString(s, kFontSize, v.fontSize) &&
           ini.writeString(s, kFontColor, v.fontColor) && ini.writeString(s, kFontScale, v.fontScale) &&
           ini.writeString(s, kFontRotate, v.fontRotate) && ini.writeBool(s, kBold, v.bold) &&
           ini.writeBool(s, kItalic, v.italic) && ini.writeBool(s, kUnderline, v.underline) &&
           ini.writeString(s, kBrushColor, v.brushColor) && ini.writeInteger(s, kBrushStyle, v.brushStyle) &&
           ini.writeString(s, kShiftX, v.shiftX) && ini.writeString(s, kShiftY, v.shiftY) &&
           ini.writeString(s, kRounding, v.rounding) && ini.writeString(s, kFormat, v.format);
}

int downCode(const std::array<bool, 9> &down, int none)
{
    for (int code = 8; code >= 0; --code)
        if (down[static_cast<size_t>(code)])
            return code;
    return none;
}

LabelSettings settingsOfLabel(const TMapLabel &label)
{
    const TMapFont &f = label.Font;
    LabelSettings s;
    s.visible = label.Visible;
    s.fieldName = label.FieldName;
    s.alignment = codeOf(f.Center);
    s.position = codeOf(f.Position);
    s.fontName = f.FontName;
    s.fontSize = QString::number(f.Size);
    s.fontColor = QString::number(f.Color);
    s.fontScale = QString::number(f.Scale);
    s.fontRotate = platform::floatToStr(f.Rotate);
    s.format = label.FormatShow;
    s.bold = (f.TextStyle & 1) != 0;
    s.italic = (f.TextStyle & 2) != 0;
    s.underline = (f.TextStyle & 4) != 0;
    s.brushColor = QString::number(f.BrushColor);
    s.brushStyle = f.BrushStyle;
    s.shiftX = QString::number(f.ShiftX);
    s.shiftY = QString::number(f.ShiftY);
    return s;
}

void applySettings(const LabelSettings &s, TMapLabel &label)
{
    TMapFont &f = label.Font;
    label.Visible = s.visible;
    label.FieldName = s.fieldName;
    f.Center = static_cast<Byte>(s.alignment);
    f.Position = static_cast<Byte>(s.position);
    f.FontName = s.fontName;
    f.Size = intOf(s.fontSize);
    f.Color = intOf(s.fontColor);
    f.Scale = intOf(s.fontScale);
    f.Rotate = floatOf(s.fontRotate);
    label.FormatShow = s.format.left(255);
    // Bits beyond the three boxes (strike-out) stay as they were.
    f.TextStyle = static_cast<Byte>((f.TextStyle & ~7) | (s.bold ? 1 : 0) | (s.italic ? 2 : 0) |
                                    (s.underline ? 4 : 0));
    f.BrushColor = intOf(s.brushColor);
    f.BrushStyle = static_cast<Byte>(s.brushStyle);
    f.ShiftX = intOf(s.shiftX);
    f.ShiftY = intOf(s.shiftY);
}

QStringList labelEntryFields(const TMapLayer &layer, const QStringList &tableFields)
{
    QStringList out;
    if (layer.MapType == mtShapeLayer && layer.ObjType == otPolygons)
        out << kAreaHa << kAreaM2 << kPerimeter;
    out << tableFields;
    if (layer.ObjType == otImages)
        out << QStringLiteral("Имя файла");
    const Byte k = layer.MapType;
    if ((k >= 2 && k <= 7) || k == 9 || k == 16)
        out << kAreaHa << kAreaM2 << kPerimeter;
    return out;
}

QStringList newLabelFields(const QStringList &tableFields)
{
    return QStringList{QStringLiteral("Номер участка"), QStringLiteral("Линия"), kAreaHa, kAreaM2, kPerimeter,
                       QStringLiteral("Расстояния"), QStringLiteral("Номера точек")} +
           tableFields;
}

QStringList formatItems()
{
    return {QStringLiteral("0"),    QStringLiteral("00"),    QStringLiteral("000"),     QStringLiteral("0000"),
            QStringLiteral("0.0"),  QStringLiteral("0.00"),  QStringLiteral("0.000"),   QStringLiteral("0.0000"),
            QStringLiteral("0.00000")};
}

QStringList roundingItems()
{
    return {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
            QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
}

QStringList layerTableFields(MapControlCore &map, int layer)
{
    if (layer < 0 || static_cast<size_t>(layer) >= map.Project().Layers.size())
        return {};
    const QString name = search::layerTableName(map.Project().Layers[static_cast<size_t>(layer)].FileName);
    if (!platform::fileExists(name) && !platform::fileExists(platform::joinPath(map.WorkDir(), name)))
        return {};
    try {
        platform::db::Table table;
        table.setDatabaseName(map.WorkDir());
        table.setTableName(name);
        table.open();
        QStringList fields = table.fieldNames();
        table.close();
        return fields;
    } catch (const std::exception &) {
        // A table that cannot be read leaves the fixed entries alone.
        return {};
    }
}

int newLabelFieldLayer(const MapControlCore &map, int activeLayer)
{
    const auto &entries = map.Selection().Entries;
    if (!entries.empty() && entries.front().Layer >= 0 &&
        static_cast<size_t>(entries.front().Layer) < map.Project().Layers.size())
        return entries.front().Layer;
    return activeLayer;
}

} // namespace dialogs::labels
