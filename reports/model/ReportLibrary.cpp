#include "reports/model/ReportLibrary.h"

#include "platform/NameTables.h"
#include "platform/gdi/Bitmap.h"
#include "reports/language/ResourceTexts.h"

namespace reports {

namespace {

QStringList texts(int first, int last)
{
    QStringList out;
    for (int id = first; id <= last; ++id)
        out << GetResourceText(id);
    return out;
}

void addConstants(Variables &c)
{
    // The colour names: the basic colours, clTransparent and the system
    // colours.
    for (const platform::NamedValue &colour : platform::colorNames())
        c.SetVariable(QString::fromLatin1(colour.name), Variant(colour.value));
    const struct {
        const char *name;
        int value;
    } small[] = {
        {"mrNone", 0},      {"mrOk", 1},          {"mrCancel", 2},          {"mrYes", 6},          {"mrNo", 7},
        {"fsBold", 2},      {"fsItalic", 1},      {"fsUnderline", 4},       {"fsStrikeOut", 8},    {"frftNone", 0},
        {"frftRight", 1},   {"frftBottom", 2},    {"frftLeft", 4},          {"frftTop", 8},        {"frtaLeft", 0},
        {"frtaRight", 1},   {"frtaCenter", 2},    {"frtaVertical", 4},      {"frtaMiddle", 8},     {"frtaDown", 16},
        {"baNone", 0},      {"baLeft", 1},        {"baRight", 2},           {"baCenter", 3},       {"baWidth", 4},
        {"baBottom", 5},    {"baTop", 6},         {"baRest", 7},            {"psSolid", 0},        {"psDash", 1},
        {"psDot", 2},       {"psDashDot", 3},     {"psDashDotDot", 4},      {"psDouble", 5},       {"mb_Ok", 0},
        {"mb_OkCancel", 1}, {"mb_YesNo", 4},      {"mb_YesNoCancel", 3},    {"mb_IconError", 16},  {"mb_IconQuestion", 32},
        {"mb_IconInformation", 64}, {"mb_IconWarning", 48},
    };
    for (const auto &s : small)
        c.SetVariable(QString::fromLatin1(s.name), Variant(s.value));
    c.SetVariable(QStringLiteral("CRLF"), Variant(QStringLiteral("\r\n")));
    c.SetVariable(QStringLiteral("Null"), Variant::null());
}

std::unique_ptr<ReportLibrary> &instance()
{
    static std::unique_ptr<ReportLibrary> library;
    return library;
}

} // namespace

ReportLibrary::ReportLibrary()
{
    bool ok = false;
    const int charset = GetResourceText(55337).toInt(&ok);
    if (ok)
        Charset = charset;
    BandNames = texts(55077, 55099);
    BooleanFormats = texts(55170, 55173);
    DateFormats = texts(55175, 55178);
    TimeFormats = texts(55179, 55182);

    Checkerboard = QImage(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            Checkerboard.setPixel(x, y, (x + y) % 2 == 0 ? 0xFFFFFFFFu : 0xFFC0C0C0u);
    MeasureBitmap = std::make_unique<platform::gdi::Bitmap>(8, 8);

    ReportVariables.SetSorted(true);
    ScriptConstants.SetSorted(true);
    addConstants(ScriptConstants);
}

ReportLibrary::~ReportLibrary() = default;

ReportLibrary &library()
{
    std::unique_ptr<ReportLibrary> &lib = instance();
    if (!lib)
        lib = std::make_unique<ReportLibrary>();
    return *lib;
}

void resetLibrary()
{
    instance().reset();
    instance() = std::make_unique<ReportLibrary>();
}

} // namespace reports
