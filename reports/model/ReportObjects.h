#pragma once
// The report object model (TfrObject, TfrView and its kinds): objects with a
// list of named, typed properties that the designer's inspector shows and
// that scripts read, write and call by name; the common fields of every
// object placed on a template page, drawing at a scale with frame and
// background, alignment to the print area and to neighbours, printing into
// a prepared page; the factory of the stream kinds and the library's class
// registries.
//
// Coordinates are whole report units (the library's screen pixels, 91.63 per
// inch). Objects draw on any canvas of the graphics layer: the screen, a
// bitmap, a metafile or a printer.

#include "platform/Variant.h"
#include "platform/gdi/Canvas.h"

#include <QRegion>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

class QIODevice;

namespace platform::db {
class DataSet;
class Field;
} // namespace platform::db

namespace reports {

using platform::Variant;
namespace gdi = platform::gdi;

class View;
class Band;
class BandView;
class Dataset;
class ReportObject;

// An editor the inspector opens for a property: a routine of the designer
// with its object; empty means none.
using PropertyEditor = std::function<void(ReportObject *)>;

// The editors the designer may fill (none here); property lists name them.
struct EditorHooks {
    PropertyEditor Memo, Tag, Restrictions, Highlight, DataField, DataSource, CrossDataSource, Picture, Font;
};
EditorHooks &editorHooks();

// PropType bits.
enum PropKind : quint16 {
    pkString = 1,
    pkInteger = 2,
    pkReal = 4,
    pkBoolean = 8,
    pkColor = 16,
    pkEnum = 32,
    pkEditor = 64,
    pkLength = 128,
    pkSingleOnly = 256,
};

struct PropRec {
    QString Name; // at most 32 characters
    quint16 PropType = 0;
    QStringList Enum;
    // The values of the Enum names; none (Null) when the first value given was Null.
    std::optional<std::vector<Variant>> EnumValues;
    PropertyEditor Editor;
};

// A report font: face, size in points, the library's style bits (1 italic,
// 2 bold, 4 underline, 8 strike-out), colour and character set.
struct ReportFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    int Style = 0;
    gdi::Color Color = 0;
    int Charset = 204;
    bool operator==(const ReportFont &) const = default;
    // The logical font of a height (negative: the character height).
    gdi::LogFont logFont(int height) const;
};

class ReportObject {
public:
    virtual ~ReportObject() = default;

    std::vector<PropRec> Props;

    // Names are matched in upper case; unknown names read Null and are
    // ignored on writing.
    virtual void SetProperty(const QString &name, const Variant &value);
    virtual Variant GetProperty(const QString &name);
    // Null unless the class knows the method (compared exactly, upper case).
    virtual Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                               const Variant &par3);
    virtual void BuildPropertyList() { ClearPropertyList(); }
    // The class name of the system's design ("TfrMemoView" ...).
    virtual QString ClassName() const = 0;

    void AddProperty(const QString &name, quint16 kind, const PropertyEditor &editor = {});
    // Names ";"-separated; values in order, or Null first for none.
    void AddEnumProperty(const QString &name, const QString &names, const std::vector<Variant> &values);
    void ClearPropertyList() { Props.clear(); }
    PropRec *FindProperty(const QString &name);

    // "FONT.NAME", "FONT.SIZE", "FONT.STYLE", "FONT.COLOR" (upper case).
    static void SetFontProperty(ReportFont &font, const QString &name, const Variant &value);
    static Variant GetFontProperty(const ReportFont &font, const QString &name);
    // The string-list methods under a prefix; false when the method is not one.
    static bool CallStringsMethod(QStringList &list, const QString &method, Variant &result, const Variant &par1,
                                  const Variant &par2, const Variant &par3, const QString &prefix);
};

// Restrictions bits.
enum Restriction : quint16 {
    frrfDontEditMemo = 1,
    frrfDontEditScript = 2,
    frrfDontEditContents = 4,
    frrfDontModify = 8,
    frrfDontSize = 16,
    frrfDontMove = 32,
    frrfDontDelete = 64,
};

// FrameTyp bits.
enum FrameLine : quint16 { frftRight = 1, frftBottom = 2, frftLeft = 4, frftTop = 8 };

enum BandAlignment : quint8 { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baTop, baRest };

inline constexpr std::uint32_t clNone = 0x1FFFFFFF;
inline constexpr std::uint32_t clBtnFace = 0xFF00000F;

// One item of the designer's pop-up menu for the selected objects: a
// separator, or a caption that may be checked and enabled; the designer
// turns them into its menu.
struct PopupItem {
    QString Caption; // empty: a separator
    bool Checkable = false;
    bool Checked = false;
    bool Enabled = true;
    std::function<void()> OnClick;
};
using PopupItems = std::vector<PopupItem>;

class View : public ReportObject {
public:
    View();
    ~View() override;

    bool ExpandPending = false;
    QString BaseName = QStringLiteral("View");
    gdi::Canvas *Canvas = nullptr;
    gdi::Rect DrawRect;
    QStringList OutputMemo;
    // A blob field the engine binds; the object takes its content from it
    // before it is printed.
    platform::db::DataSet *BlobDataSet = nullptr;
    QString BlobField;
    bool PreparedMode = false;
    QString Name;
    quint8 ObjectType = 10;
    quint8 RecordVersion[2] = {0, 0};
    int ID = 0;
    bool Selected = false;
    int UnsplitTop = 0, UnsplitHeight = 0;
    double ScaleX = 1.0, ScaleY = 1.0;
    int OffsetX = 0, OffsetY = 0;
    bool ToPrinter = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    quint16 Flags = 1;
    quint16 FrameTyp = 0;
    float FrameWidth = 1.0f;
    std::uint32_t FrameColor = 0;
    quint16 FrameStyle = 0; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 double
    std::uint32_t FillColor = clNone;
    int DisplayFormatCode;
    QString DisplayFormatText;
    bool Visible = true;
    int GapX = 2, GapY = 1;
    quint16 Restrictions = 0;
    QString Tag;
    QStringList Memo;
    QStringList Script;
    quint8 BandAlign = baNone;
    Band *ParentBand = nullptr;

    QString ClassName() const override { return QStringLiteral("TfrView"); }
    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                       const Variant &par3) override;

    virtual void ShowBackground();
    virtual void ShowFrame();
    virtual void LoadBlob(const platform::db::Field & /*field*/) {}
    virtual void AfterLoad() {}
    // A new object of the same class (the virtual constructor).
    virtual std::unique_ptr<View> CreateNew() const = 0;
    virtual void SaveCoordinates();
    virtual void RestoreCoordinates();
    virtual void Draw(gdi::Canvas &canvas) = 0;
    virtual void PrintToStream(QIODevice &stream);
    virtual void ExportData();
    // The object's record in the form of the library's StreamVersion, as a
    // template record or, with PreparedMode, as a prepared-page record.
    virtual void LoadFromStream(QIODevice &stream);
    virtual void SaveToStream(QIODevice &stream);
    virtual void AddPopupItems(PopupItems &items);
    virtual QRegion GetClipRgn(bool extended);
    virtual void ShowEditor() {}
    // An add-in's own attributes of the XML template form, in order, as
    // texts for the writer to escape; the resolver gives the data set
    // ("owner.name") and field a data-field reference names (false: none).
    using FR3FieldResolver = std::function<bool(const QString &text, QString &dataSet, QString &field)>;
    virtual std::vector<std::pair<QString, QString>> FR3Attributes(const FR3FieldResolver &) const { return {}; }

    void SetBounds(int left, int top, int width, int height);
    void CreateUniqueName();
    // Name, kind and selection, then the rest through the object's record.
    void Assign(const View &source);
    void BeginDraw(gdi::Canvas &canvas);
    // Bracketed expressions replaced by the report's value texts.
    QString ExpandVariables(const QString &text);

    // The right and bottom edges at the current scale (Left and Top scaled).
    int ScaledRight() const { return right_; }
    int ScaledBottom() const { return bottom_; }

protected:
    // The objects a designer's pop-up choice applies to: the selected objects
    // of the designer's page, or this one when none is selected.
    std::vector<View *> SelectedViews();
    // A region from (l, t) to (r, b), 10 units larger on every side when
    // extended.
    static QRegion ClipRegion(int l, int t, int r, int b, bool extended);
    // Adds a checked pop-up item that toggles a bit of Flags on every
    // selected object without restriction 8.
    void addFlagItem(PopupItems &items, const QString &caption, quint16 bit, bool enabled = true);
    // Draws one frame line from (x1, y1) to (x2, y2) in the frame's pen and
    // style; `vertical` tells along which axis a wide dashed line is laid.
    void frameLine(int x1, int y1, int x2, int y2, bool vertical);

    struct Saved {
        int Left = 0, Top = 0, Width = 0, Height = 0, GapX = 0, GapY = 0;
        float FrameWidth = 0;
        double ScaleX = 1, ScaleY = 1;
        int OffsetX = 0, OffsetY = 0;
    } saved_;
    int right_ = 0, bottom_ = 0;
};

// An object that grows with its content.
class Stretcheable : public View {
public:
    quint8 StretchPhase = 0; // 0 normal, 1 measured, 2 printing the part that fits
    virtual int CalcHeight() = 0;
    virtual int MinHeight() = 0;
    virtual int RemainHeight() = 0;
    Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                       const Variant &par3) override;
};

// A control of a dialog page: draws what its window control paints. No kind
// of control is registered in this system.
class Control : public View {
public:
    Control();
    QString ClassName() const override { return QStringLiteral("TfrControl"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<Control>(); }
    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    void Draw(gdi::Canvas &canvas) override;
    void AddPopupItems(PopupItems &) override {}
    // Paints the control into a picture of the given size; the base paints
    // the button face only.
    virtual void PaintControl(QImage &picture);
    // Shows or hides the window control ("VISIBLE").
    std::function<void(bool)> OnVisibleChanged;
};

// "Class not found": a stream names an add-in class that is not registered.
class EClassNotFound : public std::runtime_error {
public:
    explicit EClassNotFound(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// A new object of a stream kind: 0 text, 1 picture, 2 band, 3 subreport,
// 4 line, 10 the registered add-in class of that exact name; none for other
// kinds. Raises EClassNotFound for an unknown add-in.
std::unique_ptr<View> CreateViewOfType(int kind, const QString &className = QString());

// The library's registries, 64 entries each; a registration into a full
// table is refused (false).
using ViewFactory = std::function<std::unique_ptr<View>()>;
struct AddInObjectInfo {
    QString ClassName;
    ViewFactory Create;
    QString ButtonBmp; // the button picture's name, kept for the designer
    QString ButtonHint;
    quint8 Flag = 0;
};
inline constexpr int kRegistrySize = 64;
bool RegisterAddIn(const QString &className, const ViewFactory &create, const QString &buttonBmp,
                   const QString &hint);
const std::vector<AddInObjectInfo> &AddIns();

class ExportFilter;
struct ExportFilterInfo {
    ExportFilter *Filter = nullptr;
    QString ClassName;
    QString FilterDesc;
    QString FilterExt;
};
bool RegisterExportFilter(ExportFilter *filter, const QString &className, const QString &description,
                          const QString &extension);
void UnregisterExportFilter(const QString &className);
const std::vector<ExportFilterInfo> &ExportFilters();

// A function library: the functions of report expressions that the parser
// does not compute itself. A library answers the names of FunctionNames (the
// position of a name is its function number; case is ignored).
class FunctionLibrary {
public:
    virtual ~FunctionLibrary() = default;
    // The class name the library is registered under.
    virtual QString ClassName() const = 0;
    // Computes the call when the name is one of the library's (p1..p3 are the
    // texts of the arguments, not their values); false, the result left
    // alone, otherwise.
    virtual bool OnFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                            Variant &result);
    virtual void DoFunction(int number, const QString &p1, const QString &p2, const QString &p3,
                            Variant &result) = 0;

    QStringList FunctionNames;

protected:
    // A catalogue entry for one of the library's functions.
    void AddFunctionDesc(const QString &name, const QString &category, const QString &description);
};

// One entry of the catalogue of installed functions the designer lists.
struct FunctionDesc {
    const FunctionLibrary *Library = nullptr; // none for entries of no library
    QString Name;
    QString Category;
    QString Description; // the signature, "/", the explanation
};

// Makes one instance of a library class.
using FunctionLibraryFactory = std::function<std::unique_ptr<FunctionLibrary>()>;
// Registers a library class once: a class name already in the table is
// ignored (true); otherwise one instance, whose ClassName() is that name, is
// made and appended. A full table refuses the class (false) and makes none.
bool RegisterFunctionLibrary(const QString &className, const FunctionLibraryFactory &create);
// Removes the library of that class name: its catalogue entries go, the
// instance is freed and later libraries move down a slot.
void UnregisterFunctionLibrary(const QString &className);
// The registered libraries in the order they are asked.
const std::vector<std::unique_ptr<FunctionLibrary>> &FunctionLibraries();
// Adds a catalogue entry unless the category is empty or an entry of exactly
// that name exists.
void AddFunctionDesc(const FunctionLibrary *library, const QString &name, const QString &category,
                     const QString &description);
const std::vector<FunctionDesc> &InstalledFunctions();

// Empties the add-in, export filter and function library tables and the
// catalogue (tests).
void resetRegistries();

// The object and property a script's name means; none when there is no
// current object.
struct PropertyTarget {
    ReportObject *Object = nullptr;
    QString Property;
};
PropertyTarget FindObjectForProperty(const QString &text);

// Composes the build error of an expression that failed and stops the build.
void ReportExpressionError(const QString &message);

} // namespace reports
