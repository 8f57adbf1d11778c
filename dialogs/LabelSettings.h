#pragma once
// What the two label dialogs hold without their windows: the values of their
// controls, the label defaults of "Добавить обозначения" kept in "VYK.INI",
// the alignment and position codes, the lists of fields and formats, and the
// label entry of a layer read into the controls and written back.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <array>

class MapControlCore;

namespace platform {
class IniFile;
}

namespace dialogs::labels {

// The values of the controls both label dialogs share, as texts where the
// controls are edits.
struct LabelSettings {
    bool visible = true;                        // cbVisible (label entries only)
    QString fieldName;                          // cbFieldName
    QString fontName = QStringLiteral("Arial Cyr");
    QString fontSize = QStringLiteral("12");
    QString fontColor = QStringLiteral("0");
    QString fontScale = QStringLiteral("2000");
    QString fontRotate = QStringLiteral("0");
    bool bold = false, italic = false, underline = false;
    QString brushColor = QStringLiteral("16777215");
    int brushStyle = 1;                         // the platform's brush style number
    int alignment = 0;                          // 0..8, the sb* buttons
    int position = 0;                           // 0..8, the rb* buttons
    QString shiftX = QStringLiteral("0"), shiftY = QStringLiteral("0");
    QString rounding = QStringLiteral("3");     // cbRound (new labels only)
    QString format = QStringLiteral("000");     // cbFormat
    bool operator==(const LabelSettings &) const = default;
};

// "VYK.INI" of the program folder and its section of the label defaults.
QString iniFileName(const QString &programDir);
QString iniSection();

// The defaults of "Добавить обозначения": every key of the section, a missing
// one (or file) giving the value of a default-made LabelSettings. The field
// name starts empty.
LabelSettings readNewLabelDefaults(const platform::IniFile &ini);
// Writes every key of the section, keeping the file's other sections and
// keys; false when the file could not be written.
bool writeNewLabelDefaults(platform::IniFile &ini, const LabelSettings &settings);

// The code of the button that is down among buttons 8, 7, ..., 0 (indexed by
// their codes), the highest first; `none` when no button is down.
int downCode(const std::array<bool, 9> &down, int none);

// The label entry's values as the label-entry dialog shows them: a code
// beyond 8 shows as 0.
LabelSettings settingsOfLabel(const TMapLabel &label);
// Writes the controls into the label entry: numbers read tolerantly (a text
// that is no number gives 0), the format cut to 255 characters, the codes as
// given.
void applySettings(const LabelSettings &settings, TMapLabel &label);

// The field list of the label-entry dialog for a layer and the fields of its
// table: the measures of polygon layers of kind 1 first, then the table's
// fields, "Имя файла" for image layers, and the measures of the cadastral
// kinds 2 to 7, 9 and 16 last.
QStringList labelEntryFields(const TMapLayer &layer, const QStringList &tableFields);
// The field list of "Добавить обозначения": the measures, then the table's
// fields.
QStringList newLabelFields(const QStringList &tableFields);
// The number formats of cbFormat and the decimals of cbRound.
QStringList formatItems();
QStringList roundingItems();

// The field names of a layer's attribute table (its file name without the
// extension + ".Dbf", as it stands or in the work folder); none when the
// layer is no layer of the map or its table cannot be read.
QStringList layerTableFields(MapControlCore &map, int layer);
// The layer whose fields "Добавить обозначения" offers: the layer of the first
// selection entry when it names a layer of the map, else the active one.
int newLabelFieldLayer(const MapControlCore &map, int activeLayer);

} // namespace dialogs::labels
