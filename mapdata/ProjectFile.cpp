#include "mapdata/ProjectFile.h"

#include "mapdata/MapDataCore.h"
#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>

#include <unistd.h>

namespace projectfile {

// ---------------------------------------------------------------------------
// Value forms

QString boolText(bool value)
{
    return MapFunctions::BoolToText(value);
}

bool readBool(const QString &value)
{
    return value == u"True" || value == u"1";
}

QString realText(double value)
{
    return platform::floatToStr(value);
}

double readReal(const QString &value, double defaultValue)
{
    // A lone "," or "-." is no number: the converter raises, and the key
    // keeps its default instead of ending the reading.
    try {
        return MapFunctions::TextToFloat(value, defaultValue);
    } catch (const platform::ConvertError &) {
        return defaultValue;
    }
}

std::int32_t readInt(const QString &value)
{
    try {
        // The converter keeps the low 32 bits of what it rounds: a number
        // beyond them would come out as another number.
        const std::int64_t rounded = platform::roundHalfEven(MapFunctions::TextToFloat(value, 0));
        if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
            return 0;
        return MapFunctions::TextToInt(value);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

QString readShort(const QString &value)
{
    return value.left(255);
}

// ---------------------------------------------------------------------------
// The key tables

namespace {

using LayerWriter = QString (*)(const TMapLayer &);
using LayerReader = void (*)(TMapLayer &, const QString &);

struct LayerKey {
    const char *key;
    LayerWriter write;   // null: never written
    LayerReader read;    // null: read and ignored
};

Byte readByte(const QString &v)
{
    return static_cast<Byte>(readInt(v) & 0xFF);
}

QString intText(std::int64_t v)
{
    return QString::number(v);
}

// BrushStyle is BrushType with the values 0 and 1 exchanged.
std::int32_t swapBrush(std::int32_t v)
{
    return v == 0 ? 1 : v == 1 ? 0 : v;
}

void setBit(Byte &style, Byte bit, bool on)
{
    if (on)
        style = static_cast<Byte>(style | bit);
}

// The layer keys in writing order. Every entry reads what it writes, except
// "Number" (the block decides it) and "PtMinX" .. "PtMaxY" (written from the
// extent, read as rounded integers).
const LayerKey LayerKeys[] = {
    {"FileName", [](const TMapLayer &l) { return l.FileName; }, [](TMapLayer &l, const QString &v) { l.FileName = v; }},
    {"Number", [](const TMapLayer &l) { return intText(l.Number); }, nullptr},
    {"Name", [](const TMapLayer &l) { return l.Name; }, [](TMapLayer &l, const QString &v) { l.Name = v; }},
    {"MapType", [](const TMapLayer &l) { return intText(l.MapType); },
     [](TMapLayer &l, const QString &v) { l.MapType = readByte(v); }},
    {"ImgName", [](const TMapLayer &l) { return l.ImgName; },
     [](TMapLayer &l, const QString &v) { l.ImgName = readShort(v); }},
    {"ObjType", [](const TMapLayer &l) { return intText(l.ObjType); },
     [](TMapLayer &l, const QString &v) { l.ObjType = readByte(v); }},
    {"MtMinX", [](const TMapLayer &l) { return realText(l.MtMinX); },
     [](TMapLayer &l, const QString &v) { l.MtMinX = readReal(v); }},
    {"MtMinY", [](const TMapLayer &l) { return realText(l.MtMinY); },
     [](TMapLayer &l, const QString &v) { l.MtMinY = readReal(v); }},
    {"MtMaxX", [](const TMapLayer &l) { return realText(l.MtMaxX); },
     [](TMapLayer &l, const QString &v) { l.MtMaxX = readReal(v); }},
    {"MtMaxY", [](const TMapLayer &l) { return realText(l.MtMaxY); },
     [](TMapLayer &l, const QString &v) { l.MtMaxY = readReal(v); }},
    {"CenterX", [](const TMapLayer &l) { return realText(l.CenterX); },
     [](TMapLayer &l, const QString &v) { l.CenterX = readReal(v); }},
    {"CenterY", [](const TMapLayer &l) { return realText(l.CenterY); },
     [](TMapLayer &l, const QString &v) { l.CenterY = readReal(v); }},
    {"S", [](const TMapLayer &l) { return realText(l.S); }, [](TMapLayer &l, const QString &v) { l.S = readReal(v); }},
    {"P", [](const TMapLayer &l) { return realText(l.P); }, [](TMapLayer &l, const QString &v) { l.P = readReal(v); }},
    {"PenColor", [](const TMapLayer &l) { return intText(l.PenColor); },
     [](TMapLayer &l, const QString &v) { l.PenColor = readInt(v); }},
    {"PenStyle", [](const TMapLayer &l) { return intText(l.PenStyle); },
     [](TMapLayer &l, const QString &v) { l.PenStyle = readInt(v); }},
    {"PenWidth", [](const TMapLayer &l) { return realText(l.PenWidth); },
     [](TMapLayer &l, const QString &v) { l.PenWidth = readReal(v); }},
    {"PenMode", [](const TMapLayer &l) { return intText(l.PenMode); },
     [](TMapLayer &l, const QString &v) { l.PenMode = readByte(v); }},
    {"PointStyle", [](const TMapLayer &l) { return intText(l.PointStyle); },
     [](TMapLayer &l, const QString &v) { l.PointStyle = readInt(v); }},
    {"PntBitmap", [](const TMapLayer &l) { return intText(l.PntBitmap); },
     [](TMapLayer &l, const QString &v) { l.PntBitmap = readInt(v); }},
    {"BrushColor", [](const TMapLayer &l) { return intText(l.BrushColor); },
     [](TMapLayer &l, const QString &v) { l.BrushColor = readInt(v); }},
    {"BrushStyle", [](const TMapLayer &l) { return intText(swapBrush(l.BrushType)); },
     [](TMapLayer &l, const QString &v) { l.BrushType = swapBrush(readInt(v)); }},
    {"BrushType", [](const TMapLayer &l) { return intText(l.BrushType); },
     [](TMapLayer &l, const QString &v) { l.BrushType = readInt(v); }},
    {"FontName", [](const TMapLayer &l) { return l.Font.FontName; },
     [](TMapLayer &l, const QString &v) { l.Font.FontName = v; }},
    {"FontSize", [](const TMapLayer &l) { return intText(l.Font.Size); },
     [](TMapLayer &l, const QString &v) { l.Font.Size = readInt(v); }},
    {"TextRotate", [](const TMapLayer &l) { return realText(l.Font.Rotate); },
     [](TMapLayer &l, const QString &v) { l.Font.Rotate = readReal(v); }},
    {"TextScale", [](const TMapLayer &l) { return intText(l.Font.Scale); },
     [](TMapLayer &l, const QString &v) { l.Font.Scale = readInt(v); }},
    {"TextColor", [](const TMapLayer &l) { return intText(l.Font.Color); },
     [](TMapLayer &l, const QString &v) { l.Font.Color = readInt(v); }},
    {"TextStyleBold", [](const TMapLayer &l) { return boolText(l.Font.TextStyle & 1); },
     [](TMapLayer &l, const QString &v) { setBit(l.Font.TextStyle, 1, readBool(v)); }},
    {"TextStyleItalic", [](const TMapLayer &l) { return boolText(l.Font.TextStyle & 2); },
     [](TMapLayer &l, const QString &v) { setBit(l.Font.TextStyle, 2, readBool(v)); }},
    {"TextStyleUnderline", [](const TMapLayer &l) { return boolText(l.Font.TextStyle & 4); },
     [](TMapLayer &l, const QString &v) { setBit(l.Font.TextStyle, 4, readBool(v)); }},
    // A layer without a symbol writes the character of code 0, which the
    // reader's trimming drops: the symbol is then left as it is.
    {"TextSymbol", [](const TMapLayer &l) { return QString(l.Font.TextSymbol); },
     [](TMapLayer &l, const QString &v) {
         if (!v.isEmpty())
             l.Font.TextSymbol = v[0];
     }},
    {"ScaleMin", [](const TMapLayer &l) { return intText(l.ScaleMin); },
     [](TMapLayer &l, const QString &v) { l.ScaleMin = readInt(v); }},
    {"ScaleMax", [](const TMapLayer &l) { return intText(l.ScaleMax); },
     [](TMapLayer &l, const QString &v) { l.ScaleMax = readInt(v); }},
    {"ScaleView", [](const TMapLayer &l) { return boolText(l.ScaleView); },
     [](TMapLayer &l, const QString &v) { l.ScaleView = readBool(v); }},
    {"ViewPoints", [](const TMapLayer &l) { return boolText(l.ViewPoints); },
     [](TMapLayer &l, const QString &v) { l.ViewPoints = readBool(v); }},
    {"PtMinX", [](const TMapLayer &l) { return realText(l.MtMinX); },
     [](TMapLayer &l, const QString &v) { l.PtMinX = readInt(v); }},
    {"PtMinY", [](const TMapLayer &l) { return realText(l.MtMinY); },
     [](TMapLayer &l, const QString &v) { l.PtMinY = readInt(v); }},
    {"PtMaxX", [](const TMapLayer &l) { return realText(l.MtMaxX); },
     [](TMapLayer &l, const QString &v) { l.PtMaxX = readInt(v); }},
    {"PtMaxY", [](const TMapLayer &l) { return realText(l.MtMaxY); },
     [](TMapLayer &l, const QString &v) { l.PtMaxY = readInt(v); }},
    {"XError", [](const TMapLayer &l) { return realText(l.XError); },
     [](TMapLayer &l, const QString &v) { l.XError = readReal(v); }},
    {"YError", [](const TMapLayer &l) { return realText(l.YError); },
     [](TMapLayer &l, const QString &v) { l.YError = readReal(v); }},
    {"PsToPtX", [](const TMapLayer &l) { return realText(l.PsToPtX); },
     [](TMapLayer &l, const QString &v) { l.PsToPtX = readReal(v); }},
    {"PsToPtY", [](const TMapLayer &l) { return realText(l.PsToPtY); },
     [](TMapLayer &l, const QString &v) { l.PsToPtY = readReal(v); }},
    {"RCenterX", [](const TMapLayer &l) { return realText(l.RCenterX); },
     [](TMapLayer &l, const QString &v) { l.RCenterX = readReal(v); }},
    {"RCenterY", [](const TMapLayer &l) { return realText(l.RCenterY); },
     [](TMapLayer &l, const QString &v) { l.RCenterY = readReal(v); }},
    {"Visible", [](const TMapLayer &l) { return boolText(l.Visible); },
     [](TMapLayer &l, const QString &v) { l.Visible = readBool(v); }},
    {"Snap", [](const TMapLayer &l) { return boolText(l.Snap); },
     [](TMapLayer &l, const QString &v) { l.Snap = readBool(v); }},
    {"Edited", [](const TMapLayer &l) { return boolText(l.Edited); },
     [](TMapLayer &l, const QString &v) { l.Edited = readBool(v); }},
    {"ForAllObjects", [](const TMapLayer &l) { return boolText(l.ForAllObjects); },
     [](TMapLayer &l, const QString &v) { l.ForAllObjects = readBool(v); }},
    {"ViewInScale", [](const TMapLayer &l) { return boolText(l.ViewInScale); },
     [](TMapLayer &l, const QString &v) { l.ViewInScale = readBool(v); }},
    {"ViewShadow", [](const TMapLayer &l) { return boolText(l.ViewShadow); },
     [](TMapLayer &l, const QString &v) { l.ViewShadow = readBool(v); }},
    {"FieldNameObject", [](const TMapLayer &l) { return l.FieldNameObject; },
     [](TMapLayer &l, const QString &v) { l.FieldNameObject = readShort(v); }},
    {"FieldNameStreet", [](const TMapLayer &l) { return l.FieldNameStreet; },
     [](TMapLayer &l, const QString &v) { l.FieldNameStreet = readShort(v); }},
    {"FieldNameHouse", [](const TMapLayer &l) { return l.FieldNameHouse; },
     [](TMapLayer &l, const QString &v) { l.FieldNameHouse = readShort(v); }},
    {"Gamma", [](const TMapLayer &l) { return intText(l.Gamma); },
     [](TMapLayer &l, const QString &v) { l.Gamma = readInt(v); }},
    {"Contrast", [](const TMapLayer &l) { return intText(l.Contrast); },
     [](TMapLayer &l, const QString &v) { l.Contrast = readInt(v); }},
    {"Transform", [](const TMapLayer &l) { return boolText(l.Transform); },
     [](TMapLayer &l, const QString &v) { l.Transform = readBool(v); }},
    {"Projection", [](const TMapLayer &l) { return l.Projection; },
     [](TMapLayer &l, const QString &v) { l.Projection = readShort(v); }},
    {"Ellipsoid", [](const TMapLayer &l) { return l.Ellipsoid; },
     [](TMapLayer &l, const QString &v) { l.Ellipsoid = readShort(v); }},
    {"Longitude", [](const TMapLayer &l) { return l.Longitude; },
     [](TMapLayer &l, const QString &v) { l.Longitude = readShort(v); }},
    {"Latitude", [](const TMapLayer &l) { return l.Latitude; },
     [](TMapLayer &l, const QString &v) { l.Latitude = readShort(v); }},
    {"Proj_X", [](const TMapLayer &l) { return realText(l.Proj_X); },
     [](TMapLayer &l, const QString &v) { l.Proj_X = readReal(v); }},
    {"Proj_Y", [](const TMapLayer &l) { return realText(l.Proj_Y); },
     [](TMapLayer &l, const QString &v) { l.Proj_Y = readReal(v); }},
    {"Proj_K", [](const TMapLayer &l) { return realText(l.Proj_K); },
     [](TMapLayer &l, const QString &v) { l.Proj_K = readReal(v, 1); }},
    {"VykProject", [](const TMapLayer &l) { return boolText(l.VykProject); },
     [](TMapLayer &l, const QString &v) { l.VykProject = readBool(v); }},
    {"NumProject", [](const TMapLayer &l) { return intText(l.NumProject); },
     [](TMapLayer &l, const QString &v) { l.NumProject = readInt(v); }},
    {"StrProject", [](const TMapLayer &l) { return l.StrProject; },
     [](TMapLayer &l, const QString &v) { l.StrProject = v; }},
    {"GPS", [](const TMapLayer &l) { return l.GPS; }, [](TMapLayer &l, const QString &v) { l.GPS = readShort(v); }},
    {"Device", [](const TMapLayer &l) { return l.Device; },
     [](TMapLayer &l, const QString &v) { l.Device = readShort(v); }},
    {"PIN", [](const TMapLayer &l) { return l.PIN; }, [](TMapLayer &l, const QString &v) { l.PIN = readShort(v); }},
    {"TypeLegend", [](const TMapLayer &l) { return intText(l.TypeLegend); },
     [](TMapLayer &l, const QString &v) { l.TypeLegend = readInt(v); }},
    {"FieldNameLegend", [](const TMapLayer &l) { return l.FieldNameLegend; },
     [](TMapLayer &l, const QString &v) { l.FieldNameLegend = readShort(v); }},
    // Keys of older files, read only.
    {"ViewNameObj", nullptr,
     [](TMapLayer &l, const QString &v) {
         if (!readBool(v))
             return;
         if (l.Labels.empty())
             l.Labels.emplace_back();
         l.Labels.back().Visible = true;
     }},
    {"ViewFieldName", nullptr,
     [](TMapLayer &l, const QString &v) {
         if (l.Labels.empty())
             l.Labels.emplace_back();
         TMapLabel &label = l.Labels.back();
         label.FieldName = v;
         label.Font = l.Font;
         label.Font.BrushColor = 0xFFFFFF;
         label.Font.BrushStyle = 1;
     }},
};

const QString Indent = QStringLiteral("   ");
const QString Indent2 = QStringLiteral("      ");

QString pairLine(const QString &indent, const char *key, const QString &value)
{
    return indent + QLatin1String(key) + u'=' + value;
}

} // namespace

bool applyLayerKey(TMapLayer &layer, const QString &key, const QString &value)
{
    for (const LayerKey &k : LayerKeys)
        if (key == QLatin1String(k.key)) {
            if (k.read)
                k.read(layer, value);
            return true;
        }
    return false;
}

bool applyLegendKey(TLegend &legend, const QString &key, const QString &value)
{
    if (key == u"ObjType")
        legend.ObjType = readByte(value);
    else if (key == u"Values")
        legend.Values = value;
    else if (key == u"Number")
        legend.Number = readInt(value);
    else if (key == u"Code")
        legend.Code = readInt(value);
    else
        return false;
    return true;
}

bool applyLabelKey(TMapLabel &label, const QString &key, const QString &value)
{
    TMapFont &f = label.Font;
    if (key == u"Visible")
        label.Visible = readBool(value);
    else if (key == u"FieldName")
        label.FieldName = value;
    else if (key == u"FontName")
        f.FontName = value;
    else if (key == u"Size")
        f.Size = readInt(value);
    else if (key == u"Scale")
        f.Scale = readInt(value);
    else if (key == u"Rotate")
        f.Rotate = readReal(value);
    else if (key == u"Color")
        f.Color = readInt(value);
    else if (key == u"TextStyleBold")
        setBit(f.TextStyle, 1, readBool(value));
    else if (key == u"TextStyleItalic")
        setBit(f.TextStyle, 2, readBool(value));
    else if (key == u"TextStyleUnderline")
        setBit(f.TextStyle, 4, readBool(value));
    else if (key == u"BrushColor")
        f.BrushColor = readInt(value);
    else if (key == u"BrushStyle")
        f.BrushStyle = readByte(value);
    else if (key == u"Center")
        f.Center = readByte(value);
    else if (key == u"Position")
        f.Position = readByte(value);
    else if (key == u"ShiftX")
        f.ShiftX = readInt(value);
    else if (key == u"ShiftY")
        f.ShiftY = readInt(value);
    else if (key == u"FormatShow")
        label.FormatShow = readShort(value);
    else
        return false;
    return true;
}

void writeLayerBlock(QStringList &lines, const TMapLayer &layer, int number)
{
    lines << QString() << QStringLiteral("Layer=") + QString::number(number) << QStringLiteral("{");
    for (const LayerKey &k : LayerKeys)
        if (k.write)
            lines << pairLine(Indent, k.key, k.write(layer));

    if (!layer.Legend.empty()) {
        lines << QStringLiteral(" ");
        int i = 0;
        for (const TLegend &e : layer.Legend) {
            lines << pairLine(Indent, "Legend", QString::number(++i)) << Indent + u'{'
                  << pairLine(Indent2, "ObjType", intText(e.ObjType)) << pairLine(Indent2, "Values", e.Values)
                  << pairLine(Indent2, "Number", intText(e.Number)) << pairLine(Indent2, "Code", intText(e.Code))
                  << Indent + u'}' << QStringLiteral(" ");
        }
    }

    if (!layer.Labels.empty()) {
        lines << QStringLiteral(" ");
        int i = 0;
        for (const TMapLabel &l : layer.Labels) {
            if (l.Removed)
                continue;
            const TMapFont &f = l.Font;
            lines << pairLine(Indent, "Label", QString::number(++i)) << Indent + u'{'
                  << pairLine(Indent2, "Visible", boolText(l.Visible)) << pairLine(Indent2, "FieldName", l.FieldName)
                  << pairLine(Indent2, "FontName", f.FontName) << pairLine(Indent2, "Size", intText(f.Size))
                  << pairLine(Indent2, "Scale", intText(f.Scale)) << pairLine(Indent2, "Rotate", realText(f.Rotate))
                  << pairLine(Indent2, "Color", intText(f.Color))
                  << pairLine(Indent2, "TextStyleBold", boolText(f.TextStyle & 1))
                  << pairLine(Indent2, "TextStyleItalic", boolText(f.TextStyle & 2))
                  << pairLine(Indent2, "TextStyleUnderline", boolText(f.TextStyle & 4))
                  << pairLine(Indent2, "BrushColor", intText(f.BrushColor))
                  << pairLine(Indent2, "BrushStyle", intText(f.BrushStyle))
                  << pairLine(Indent2, "Center", intText(f.Center)) << pairLine(Indent2, "Position", intText(f.Position))
                  << pairLine(Indent2, "ShiftX", intText(f.ShiftX)) << pairLine(Indent2, "ShiftY", intText(f.ShiftY))
                  << pairLine(Indent2, "FormatShow", l.FormatShow) << Indent + u'}' << QStringLiteral(" ");
        }
    }
    lines << QStringLiteral("}");
}

namespace {

// The lines of a nested block up to the first that contains "}", each
// applied to its entry; the position after that line.
template <typename Apply>
qsizetype readNestedBlock(const QStringList &lines, qsizetype pos, Apply apply)
{
    while (pos < lines.size()) {
        const QString &line = lines[pos++];
        if (line.contains(u'}'))
            break;
        const TTxtValues pair = MapFunctions::SplitPair(line, QStringLiteral("="));
        apply(pair.Key, pair.Value);
    }
    return pos;
}

} // namespace

qsizetype readLayerBlock(const QStringList &lines, qsizetype pos, TMapLayer &layer, bool *closed)
{
    if (closed)
        *closed = false;
    while (pos < lines.size()) {
        const QString &line = lines[pos++];
        if (line.contains(u'}')) {
            if (closed)
                *closed = true;
            break;
        }
        const TTxtValues pair = MapFunctions::SplitPair(line, QStringLiteral("="));
        if (pair.Key == u"Legend") {
            TLegend &legend = layer.Legend.emplace_back();
            pos = readNestedBlock(lines, pos,
                                  [&](const QString &k, const QString &v) { applyLegendKey(legend, k, v); });
        } else if (pair.Key == u"Label" || pair.Key == u"Lable") {
            // Appending may move the labels: the entry is looked up anew.
            layer.Labels.emplace_back();
            const size_t index = layer.Labels.size() - 1;
            pos = readNestedBlock(lines, pos, [&](const QString &k, const QString &v) {
                applyLabelKey(layer.Labels[index], k, v);
            });
        } else {
            applyLayerKey(layer, pair.Key, pair.Value);
        }
    }
    return pos;
}

// ---------------------------------------------------------------------------
// Names

QString dataFolder(const QString &projectPath)
{
    const QString name = platform::extractFileName(projectPath);
    const qsizetype dot = name.indexOf(u'.');
    return platform::extractFilePath(projectPath) + (dot < 0 ? name : name.left(dot));
}

QString backupName(const QString &projectPath)
{
    // Only the file name's extension is replaced: a dot in a folder
    // ("/home/u/.maps/city.tvp") must not name a file outside the folder.
    return platform::changeFileExt(projectPath.trimmed(), u".bak");
}

QString tempName(const QString &projectPath)
{
    return projectPath + u'0';
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += platform::toCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList decodeLines(const QByteArray &bytes)
{
    QString text = platform::fromCp1251(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    // The line end of the last line makes no line of its own.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// ---------------------------------------------------------------------------
// The whole file

namespace {

const QLatin1StringView Header("!Tolvane v.");

// Deletes the file of that name as found on disk, when it is a file.
void deleteFound(const QString &name)
{
    const QString found = platform::findExistingPath(name);
    if (!found.isEmpty() && QFileInfo(found).isFile())
        QFile::remove(found);
}

QString switchLine(const char *key, const ProjectView &view)
{
    const auto it = view.Switches.find(QLatin1String(key));
    return QLatin1String(key) + u'=' + boolText(it != view.Switches.end() && it->second);
}

// Whether the first line of a file is the project header; blanks before it
// are passed over.
bool isHeader(const QString &firstLine)
{
    return platform::trimBlank(firstLine).startsWith(Header);
}

ProjectFileError notAProject(const QString &path)
{
    return ProjectFileError(QStringLiteral("Файл ") + path + QStringLiteral(" не является проектом Tolvane !"));
}

} // namespace

void writeProject(MapDataCore &core, const QString &path, ProjectHost &host)
{
    host.saveEditedLayers();

    const QString backup = platform::resolvePath(backupName(path));
    const QString temp = platform::resolvePath(tempName(path));
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ProjectFileError(QStringLiteral("Невозможно создать файл ") + temp);
    auto put = [&](const QStringList &lines) {
        const QByteArray bytes = encodeLines(lines);
        if (file.write(bytes) != bytes.size())
            throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);
    };

    const ProjectView view = host.projectView();
    QStringList head;
    head << Header + (core.Version().isEmpty() ? QString::fromUtf16(ProgramVersion) : core.Version()) << QString();
    for (const char *key : PanelSwitchKeys)
        head << switchLine(key, view);
    head << QStringLiteral("X=") + realText(view.CenterX.value_or(0))
         << QStringLiteral("Y=") + realText(view.CenterY.value_or(0))
         << QStringLiteral("Scale=") + realText(view.Scale.value_or(0));
    for (const char *key : MenuSwitchKeys)
        head << switchLine(key, view);
    const std::vector<int> rows = host.layerRows();
    if (const std::optional<int> active = host.activeRow())
        head << QStringLiteral("ActiveLayer=") + QString::number(*active);
    head << QStringLiteral("LayersCount=") + QString::number(rows.size());
    put(head);

    std::vector<TMapLayer> &layers = core.Project().Layers;
    for (size_t row = 0; row < rows.size(); ++row) {
        const int index = rows[row];
        if (index < 0 || static_cast<size_t>(index) >= layers.size())
            continue;
        QStringList block;
        writeLayerBlock(block, layers[static_cast<size_t>(index)], static_cast<int>(row) + 1);
        put(block);
        core.RenumberLayerRows(index);
        if (layers[static_cast<size_t>(index)].ObjectsDeleted)
            core.PackLayerTable(index);
    }

    // The new text is on the disk before the old file gives way.
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);

    // The old file becomes the backup, the new one takes its name. The
    // backup keeps its name and gets no hidden attribute (see the
    // architecture notes).
    const QString existing = platform::findExistingPath(path);
    const QString target = existing.isEmpty() ? platform::resolvePath(path) : existing;
    if (!existing.isEmpty()) {
        deleteFound(backup);
        if (!QFile::rename(existing, backup))
            throw ProjectFileError(QStringLiteral("Невозможно переименовать файл ") + existing);
    }
    if (!QFile::rename(temp, target)) {
        // The project must not stay missing: the old file comes back.
        if (!existing.isEmpty())
            QFile::rename(backup, existing);
        throw ProjectFileError(QStringLiteral("Невозможно переименовать файл ") + temp);
    }
}

bool readProject(MapDataCore &core, const QString &path, ProjectHost &host)
{
    // A missing project changes nothing, not even its data folder.
    const QString found = platform::findExistingPath(path.trimmed());
    if (found.isEmpty() || !QFileInfo(found).isFile())
        return false;
    const QString projectPath = QFileInfo(found).absoluteFilePath();

    QFile file(projectPath);
    if (!file.open(QIODevice::ReadOnly))
        throw ProjectFileError(QStringLiteral("Невозможно открыть файл ") + projectPath);
    const QByteArray bytes = file.readAll();
    file.close();
    const QStringList lines = decodeLines(bytes);
    // Any other file would open as an empty project and be written over by
    // the next save.
    if (lines.isEmpty() || !isHeader(lines.front()))
        throw notAProject(projectPath);

    QString folder = dataFolder(projectPath);
    if (const QString dir = platform::findExistingPath(folder); !dir.isEmpty() && QFileInfo(dir).isDir())
        folder = dir;
    else if (!QDir().mkdir(folder))
        throw ProjectFileError(QStringLiteral("Невозможно создать папку") + folder);

    std::vector<TMapLayer> &layers = core.Project().Layers;
    layers.clear();
    core.Project().ActiveLayer = 0;
    host.readingStarted();

    // The data folder is also the current folder: relative names of layer
    // files and of projection grids are taken from there.
    QDir::setCurrent(folder);
    core.SetWorkDir(folder);
    core.SetProjectFile(projectPath);

    try {
        const qsizetype blockLines = std::count_if(lines.begin(), lines.end(), [](const QString &l) {
            return MapFunctions::SplitPair(l, QStringLiteral("=")).Key == u"Layer";
        });
        const double total = std::max<qsizetype>(bytes.size(), 1);
        qsizetype consumed = lines[0].size() + 2;
        qsizetype pos = 1; // after the header
        while (pos < lines.size()) {
            const QString &line = lines[pos++];
            consumed += line.size() + 2;
            const TTxtValues pair = MapFunctions::SplitPair(line, QStringLiteral("="));
            if (pair.Key == u"Layer") {
                const int n = readInt(pair.Value);
                if (n >= 1 && static_cast<size_t>(n) <= layers.size()) {
                    const qsizetype start = pos;
                    TMapLayer &layer = layers[static_cast<size_t>(n - 1)];
                    bool closed = false;
                    pos = readLayerBlock(lines, pos, layer, &closed);
                    for (qsizetype k = start; k < pos; ++k)
                        consumed += lines[k].size() + 2;
                    layer.Number = n - 1;
                    if (!closed) {
                        // The file ends inside the block: what it holds is
                        // read, and a layer without its file name stays out.
                        const bool named = !layer.FileName.trimmed().isEmpty();
                        platform::showMessage(QStringLiteral("Файл проекта ") + projectPath +
                                              QStringLiteral(" повреждён: описание слоя ") + QString::number(n) +
                                              (named ? QStringLiteral(" обрывается, его настройки прочитаны не полностью !")
                                                     : QStringLiteral(" обрывается, слой не открыт !")));
                        if (!named) {
                            layer.Closed = true;
                            continue;
                        }
                    }
                    // A layer not found under its name is looked for by its
                    // bare name in the data folder.
                    const QString stored = layer.FileName;
                    const QString asStored = QDir::isAbsolutePath(platform::normalizePath(stored))
                                                 ? stored
                                                 : platform::joinPath(folder, stored);
                    if (!platform::fileExists(asStored)) {
                        const QString bare = platform::extractFileName(stored);
                        if (!bare.isEmpty() && platform::fileExists(platform::joinPath(folder, bare)))
                            layer.FileName = bare;
                    }
                    host.openLayer(layer.FileName, n - 1);
                    host.readingProgress(consumed / total);
                    continue;
                }
            }
            // At the top level a line holding "X=" or "Y=" anywhere sets the
            // view's centre; every other key is compared whole.
            ProjectView view;
            if (line.contains(QStringLiteral("X="))) {
                view.CenterX = readReal(pair.Value, 1);
            } else if (line.contains(QStringLiteral("Y="))) {
                view.CenterY = readReal(pair.Value, 1);
            } else if (pair.Key == u"Scale") {
                view.Scale = readReal(pair.Value, 1);
            } else if (pair.Key == u"ActiveLayer") {
                core.Project().ActiveLayer = readInt(pair.Value);
            } else if (pair.Key == u"LayersCount") {
                // A record no block can fill stays empty: the count is held
                // to the blocks the file has, whatever number it states.
                const qsizetype count = std::clamp<qsizetype>(readInt(pair.Value), 0, blockLines);
                layers.assign(static_cast<size_t>(count), TMapLayer{});
            } else {
                auto isSwitch = [&](const auto &keys) {
                    return std::any_of(std::begin(keys), std::end(keys),
                                       [&](const char *key) { return pair.Key == QLatin1String(key); });
                };
                if (isSwitch(PanelSwitchKeys) || isSwitch(MenuSwitchKeys))
                    view.Switches[pair.Key] = readBool(pair.Value);
            }
            if (view.CenterX || view.CenterY || view.Scale || !view.Switches.empty())
                host.applyProjectView(view);
            host.readingProgress(consumed / total);
        }
    } catch (...) {
        host.readingEnded();
        throw;
    }
    host.readingEnded();
    return true;
}

void checkProjectFile(const QString &path)
{
    const QString found = platform::findExistingPath(path.trimmed());
    if (found.isEmpty() || !QFileInfo(found).isFile())
        return;
    QFile file(found);
    if (!file.open(QIODevice::ReadOnly))
        throw ProjectFileError(QStringLiteral("Невозможно открыть файл ") + found);
    // The header line is short: a line of any length is not read whole.
    const QStringList first = decodeLines(file.read(256).split('\n').front());
    if (first.isEmpty() || !isHeader(first.front()))
        throw notAProject(QFileInfo(found).absoluteFilePath());
}

} // namespace projectfile
