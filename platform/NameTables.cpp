#include "platform/NameTables.h"

#include <array>

namespace platform {

std::optional<int> valueOfName(std::span<const NamedValue> table, QStringView name)
{
    for (const NamedValue &n : table)
        if (name.compare(QLatin1StringView(n.name), Qt::CaseInsensitive) == 0)
            return n.value;
    return std::nullopt;
}

QString nameOfValue(std::span<const NamedValue> table, int value)
{
    for (const NamedValue &n : table)
        if (n.value == value)
            return QString::fromLatin1(n.name);
    return {};
}

namespace {

constexpr int systemColor(int index)
{
    return static_cast<int>(0xFF000000u + static_cast<unsigned>(index));
}

} // namespace

std::span<const NamedValue> colorNames()
{
    static constexpr NamedValue table[] = {
        {"clWhite", 0xFFFFFF},
        {"clBlack", 0},
        {"clMaroon", 0x80},
        {"clGreen", 0x8000},
        {"clOlive", 0x8080},
        {"clNavy", 0x800000},
        {"clPurple", 0x800080},
        {"clTeal", 0x808000},
        {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},
        {"clRed", 0xFF},
        {"clLime", 0xFF00},
        {"clYellow", 0xFFFF},
        {"clBlue", 0xFF0000},
        {"clFuchsia", 0xFF00FF},
        {"clAqua", 0xFFFF00},
        {"clTransparent", 0x1FFFFFFF},
        {"clScrollBar", systemColor(0)},
        {"clBackground", systemColor(1)},
        {"clActiveCaption", systemColor(2)},
        {"clInactiveCaption", systemColor(3)},
        {"clMenu", systemColor(4)},
        {"clWindow", systemColor(5)},
        {"clWindowFrame", systemColor(6)},
        {"clMenuText", systemColor(7)},
        {"clWindowText", systemColor(8)},
        {"clCaptionText", systemColor(9)},
        {"clActiveBorder", systemColor(10)},
        {"clInactiveBorder", systemColor(11)},
        {"clAppWorkSpace", systemColor(12)},
        {"clHighlight", systemColor(13)},
        {"clHighlightText", systemColor(14)},
        {"clBtnFace", systemColor(15)},
        {"clBtnShadow", systemColor(16)},
        {"clGrayText", systemColor(17)},
        {"clBtnText", systemColor(18)},
        {"clInactiveCaptionText", systemColor(19)},
        {"clBtnHighlight", systemColor(20)},
        {"cl3DDkShadow", systemColor(21)},
        {"cl3DLight", systemColor(22)},
        {"clInfoText", systemColor(23)},
        {"clInfoBk", systemColor(24)},
    };
    return table;
}

std::span<const NamedValue> charsetNames()
{
    static constexpr NamedValue table[] = {
        {"ANSI_CHARSET", 0},        {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
        {"MAC_CHARSET", 77},        {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
        {"JOHAB_CHARSET", 130},     {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
        {"GREEK_CHARSET", 161},     {"TURKISH_CHARSET", 162},    {"VIETNAMESE_CHARSET", 163},
        {"HEBREW_CHARSET", 177},    {"ARABIC_CHARSET", 178},     {"BALTIC_CHARSET", 186},
        {"RUSSIAN_CHARSET", 204},   {"THAI_CHARSET", 222},       {"EASTEUROPE_CHARSET", 238},
        {"OEM_CHARSET", 255},
    };
    return table;
}

std::span<const NamedValue> cursorNames()
{
    static constexpr NamedValue table[] = {
        {"crDefault", 0},      {"crNone", -1},        {"crArrow", -2},      {"crCross", -3},
        {"crIBeam", -4},       {"crSizeNESW", -6},    {"crSizeNS", -7},     {"crSizeNWSE", -8},
        {"crSizeWE", -9},      {"crUpArrow", -10},    {"crHourGlass", -11}, {"crDrag", -12},
        {"crNoDrop", -13},     {"crHSplit", -14},     {"crVSplit", -15},    {"crMultiDrag", -16},
        {"crSQLWait", -17},    {"crNo", -18},         {"crAppStart", -19},  {"crHelp", -20},
        {"crHandPoint", -21},  {"crSizeAll", -22},
    };
    return table;
}

std::span<const NamedValue> modalResultNames()
{
    static constexpr NamedValue table[] = {
        {"mrNone", 0},  {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3},    {"mrRetry", 4},     {"mrIgnore", 5},
        {"mrYes", 6},   {"mrNo", 7}, {"mrAll", 8},    {"mrNoToAll", 9},  {"mrYesToAll", 10},
    };
    return table;
}

std::span<const NamedValue> virtualKeyNames()
{
    static constexpr NamedValue table[] = {
        {"VK_LBUTTON", 0x01},  {"VK_RBUTTON", 0x02},  {"VK_CANCEL", 0x03},   {"VK_MBUTTON", 0x04},
        {"VK_BACK", 0x08},     {"VK_TAB", 0x09},      {"VK_CLEAR", 0x0C},    {"VK_RETURN", 0x0D},
        {"VK_SHIFT", 0x10},    {"VK_CONTROL", 0x11},  {"VK_MENU", 0x12},     {"VK_PAUSE", 0x13},
        {"VK_CAPITAL", 0x14},  {"VK_ESCAPE", 0x1B},   {"VK_SPACE", 0x20},    {"VK_PRIOR", 0x21},
        {"VK_NEXT", 0x22},     {"VK_END", 0x23},      {"VK_HOME", 0x24},     {"VK_LEFT", 0x25},
        {"VK_UP", 0x26},       {"VK_RIGHT", 0x27},    {"VK_DOWN", 0x28},     {"VK_SELECT", 0x29},
        {"VK_PRINT", 0x2A},    {"VK_EXECUTE", 0x2B},  {"VK_SNAPSHOT", 0x2C}, {"VK_INSERT", 0x2D},
        {"VK_DELETE", 0x2E},   {"VK_HELP", 0x2F},     {"VK_LWIN", 0x5B},     {"VK_RWIN", 0x5C},
        {"VK_APPS", 0x5D},     {"VK_NUMPAD0", 0x60},  {"VK_NUMPAD1", 0x61},  {"VK_NUMPAD2", 0x62},
        {"VK_NUMPAD3", 0x63},  {"VK_NUMPAD4", 0x64},  {"VK_NUMPAD5", 0x65},  {"VK_NUMPAD6", 0x66},
        {"VK_NUMPAD7", 0x67},  {"VK_NUMPAD8", 0x68},  {"VK_NUMPAD9", 0x69},  {"VK_MULTIPLY", 0x6A},
        {"VK_ADD", 0x6B},      {"VK_SEPARATOR", 0x6C}, {"VK_SUBTRACT", 0x6D}, {"VK_DECIMAL", 0x6E},
        {"VK_DIVIDE", 0x6F},   {"VK_F1", 0x70},       {"VK_F2", 0x71},       {"VK_F3", 0x72},
        {"VK_F4", 0x73},       {"VK_F5", 0x74},       {"VK_F6", 0x75},       {"VK_F7", 0x76},
        {"VK_F8", 0x77},       {"VK_F9", 0x78},       {"VK_F10", 0x79},      {"VK_F11", 0x7A},
        {"VK_F12", 0x7B},      {"VK_F13", 0x7C},      {"VK_F14", 0x7D},      {"VK_F15", 0x7E},
        {"VK_F16", 0x7F},      {"VK_F17", 0x80},      {"VK_F18", 0x81},      {"VK_F19", 0x82},
        {"VK_F20", 0x83},      {"VK_F21", 0x84},      {"VK_F22", 0x85},      {"VK_F23", 0x86},
        {"VK_F24", 0x87},      {"VK_NUMLOCK", 0x90},  {"VK_SCROLL", 0x91},   {"VK_LSHIFT", 0xA0},
        {"VK_RSHIFT", 0xA1},   {"VK_LCONTROL", 0xA2}, {"VK_RCONTROL", 0xA3}, {"VK_LMENU", 0xA4},
        {"VK_RMENU", 0xA5},
    };
    return table;
}

namespace {

// The names of the keys that are not letters, digits or function keys.
QString keyName(int key)
{
    static const char *const spaceToDown[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
    if (key == 0x08)
        return QStringLiteral("BkSp");
    if (key == 0x09)
        return QStringLiteral("Tab");
    if (key == 0x0D)
        return QStringLiteral("Enter");
    if (key == 0x1B)
        return QStringLiteral("Esc");
    if (key >= 0x20 && key <= 0x28)
        return QString::fromLatin1(spaceToDown[key - 0x20]);
    if (key == 0x2D)
        return QStringLiteral("Ins");
    if (key == 0x2E)
        return QStringLiteral("Del");
    if (key >= 0x30 && key <= 0x39)
        return QString(QChar(u'0' + (key - 0x30)));
    if (key >= 0x41 && key <= 0x5A)
        return QString(QChar(u'A' + (key - 0x41)));
    if (key >= 0x60 && key <= 0x69)
        return QString(QChar(u'0' + (key - 0x60)));
    if (key >= 0x70 && key <= 0x87)
        return u'F' + QString::number(key - 0x6F);
    return {};
}

} // namespace

QString shortCutToText(int shortCut)
{
    const QString name = keyName(shortCut & 0xFF);
    if (name.isEmpty())
        return {};
    QString text;
    if (shortCut & scShift)
        text += QStringLiteral("Shift+");
    if (shortCut & scCtrl)
        text += QStringLiteral("Ctrl+");
    if (shortCut & scAlt)
        text += QStringLiteral("Alt+");
    return text + name;
}

int textToShortCut(QStringView text)
{
    int modifiers = 0;
    for (;;) {
        if (text.startsWith(u"Shift+", Qt::CaseInsensitive)) {
            modifiers |= scShift;
            text = text.mid(6);
        } else if (text.startsWith(u"Ctrl+", Qt::CaseInsensitive)) {
            modifiers |= scCtrl;
            text = text.mid(5);
        } else if (text.startsWith(u"Alt+", Qt::CaseInsensitive)) {
            modifiers |= scAlt;
            text = text.mid(4);
        } else {
            break;
        }
    }
    if (text.isEmpty())
        return 0;
    for (int key = 0x08; key <= 0xFF; ++key)
        if (const QString name = keyName(key); !name.isEmpty() && text.compare(name, Qt::CaseInsensitive) == 0)
            return key | modifiers;
    return 0;
}

std::span<const int> standardShortCuts()
{
    static const std::array<int, 108> table = [] {
        std::array<int, 108> t{};
        size_t n = 0;
        for (int c = 'A'; c <= 'Z'; ++c)
            t[n++] = c | scCtrl;
        for (int c = 'A'; c <= 'Z'; ++c)
            t[n++] = c | scCtrl | scAlt;
        for (const int modifiers : {0, scCtrl, scShift, scShift | scCtrl})
            for (int f = 0x70; f <= 0x7B; ++f)
                t[n++] = f | modifiers;
        for (const int key : {0x2D, 0x2E})
            for (const int modifiers : {0, scShift, scCtrl})
                t[n++] = key | modifiers;
        t[n++] = 0x08 | scAlt;
        t[n++] = 0x08 | scShift | scAlt;
        return t;
    }();
    return table;
}

} // namespace platform
