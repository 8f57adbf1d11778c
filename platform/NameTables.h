#pragma once
// The names the class library gives to numbers: colours, character sets,
// cursors, modal results, shortcuts and virtual keys. Report scripts, the
// property editors and the files name values by them; each table is kept
// here once.

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace platform {

struct NamedValue {
    const char *name;
    int value;
};

// The value of a name of the table (letter case ignored), none when absent.
std::optional<int> valueOfName(std::span<const NamedValue> table, QStringView name);
// The first name of the value in the table, empty when absent.
QString nameOfValue(std::span<const NamedValue> table, int value);

// Colours: the sixteen basic colours, clTransparent (0x1FFFFFFF, no
// colour) and the 25 system colours (0xFF000000 plus the index, negative as
// a 32-bit number: clBtnFace is 0xFF00000F).
std::span<const NamedValue> colorNames();
// Character sets (ANSI_CHARSET 0, DEFAULT_CHARSET 1, ... RUSSIAN_CHARSET 204).
std::span<const NamedValue> charsetNames();
// The standard cursors (crDefault 0, crNone -1, crArrow -2 ... crSizeAll -22).
std::span<const NamedValue> cursorNames();
// Modal results 0 to 10, "mrNone" to "mrYesToAll" (platform::ModalResult).
std::span<const NamedValue> modalResultNames();
// Virtual-key codes by name (VK_BACK 8, VK_RETURN 13, VK_F1 112 ...).
std::span<const NamedValue> virtualKeyNames();

// Shortcuts: a virtual key in the low byte and the modifier bits.
constexpr int scShift = 0x2000;
constexpr int scCtrl = 0x4000;
constexpr int scAlt = 0x8000;
// The shortcut's text: the modifiers "Shift+", "Ctrl+", "Alt+" in that
// order, then the key ("A", "F1", "Ins", "BkSp" ...); empty for 0 and for a
// key without a name.
QString shortCutToText(int shortCut);
// The text back (letter case ignored); 0 when it names no shortcut.
int textToShortCut(QStringView text);
// The 108 shortcuts a shortcut property offers, in their order: Ctrl+A to
// Ctrl+Z, Ctrl+Alt+A to Ctrl+Alt+Z, F1 to F12 alone and with Ctrl, Shift and
// Ctrl+Shift, then Ins, Shift+Ins, Ctrl+Ins, Del, Shift+Del, Ctrl+Del,
// Alt+BkSp and Shift+Alt+BkSp.
std::span<const int> standardShortCuts();

} // namespace platform
