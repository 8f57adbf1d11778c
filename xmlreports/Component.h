#pragma once
// The base of every object of an XML report: a class-library component that
// also forms a tree of its own (parent and ordered children), with bounds in
// floating-point report units, a font that may follow the parent's, and the
// XML form through the serializer. The class-library owner of an object
// made under a parent is the parent's report, so names are unique per
// report; the tree frees the children.

#include "platform/classlib/Classes.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/WideStrings.h"

#include <QString>

#include <vector>

namespace xmlreports {

using platform::classlib::TComponent;
using platform::classlib::TFont;
using platform::classlib::TPersistent;
using platform::classlib::TStream;
using platform::classlib::TWideStrings;

class TfrxXMLSerializer;

enum TfrxRestriction { rfDontModify = 1, rfDontSize = 2, rfDontMove = 4, rfDontDelete = 8 };
enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };

class TfrxComponent : public TComponent {
    TOLVANE_CLASSINFO
public:
    // A TfrxComponent argument is the parent (the owner is then its report);
    // any other is the class-library owner and there is no parent.
    explicit TfrxComponent(TComponent *owner = nullptr);
    ~TfrxComponent() override;
    // Made by the designer: bounds restrictions apply.
    template <class T>
    static T *CreateForDesigner(TComponent *owner)
    {
        auto *object = new T(owner);
        object->designing_ = true;
        return object;
    }

    TfrxComponent *Parent() const { return parent_; }
    virtual void SetParent(TfrxComponent *parent);
    const std::vector<TfrxComponent *> &Objects() const { return objects_; }

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    virtual void SetLeft(double value);
    virtual void SetTop(double value);
    virtual void SetWidth(double value);
    virtual void SetHeight(double value);
    void SetBounds(double left, double top, double width, double height);
    double AbsLeft() const;
    double AbsTop() const;

    TFont *Font() const { return font_; }
    virtual void SetFont(TFont *font);
    bool ParentFont() const { return parentFont_; }
    virtual void SetParentFont(bool on);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool on) { visible_ = on; }
    int Restrictions() const { return restrictions_; }
    void SetRestrictions(int value) { restrictions_ = value; }
    const QString &Description() const { return description_; }
    void SetDescription(const QString &value) { description_ = value; }

    // The class name without "Tfrx" and "View": new objects' names.
    virtual QString BaseName() const;
    // The nearest page or report up the parents, itself included.
    TfrxComponent *Page() const;
    TfrxComponent *Report() const;
    // What later kinds are: a report (the root of names), a page, a band,
    // a dialog page (where absolute positions stop).
    virtual bool IsReport() const { return false; }
    virtual bool IsPage() const { return false; }
    virtual bool IsBand() const { return false; }
    virtual bool IsDialogPage() const { return false; }
    // Views' alignment inside their parent; baNone for other objects.
    virtual int AlignValue() const { return baNone; }
    // A text object's lines (its Text attribute), null for other objects.
    virtual TWideStrings *TextLines() const { return nullptr; }
    virtual bool AutoWidthOn() const { return false; }

    bool IsDesigning() const { return designing_; }
    void SetDesigningMark(bool on) { designing_ = on; }
    bool IsLoading() const;
    bool SerializerLoading() const { return loading_; }
    void SetSerializerLoading(bool on) { loading_ = on; }
    bool SerializerWriting() const { return writing_; }
    void SetSerializerWriting(bool on) { writing_ = on; }

    // Every descendant, pre-order, made anew at each call.
    std::vector<TfrxComponent *> AllObjects() const;
    // The first descendant of that name, ASCII letter case ignored.
    TfrxComponent *FindObject(const QString &name) const;
    // Base name + the smallest free number within the report (or parent).
    void MakeUniqueName();
    // A name another object of the report carries: the text of "prDupl".
    void SetName(const QString &name) override;

    // Frees the children.
    virtual void Clear();
    // Copies through the XML form: without children, with defaults.
    void Assign(const TPersistent *source) override;
    void AssignWithChildren(const TfrxComponent *source);
    // The object (its name left out) as an auto-indented document.
    virtual void SaveToStream(TStream &stream, bool saveChildren = true, bool saveDefaults = false);
    // Clears, reads the document into this object and keeps the name;
    // error lines go to the report's error list (Errors()).
    virtual void LoadFromStream(TStream &stream);
    // The error lines of the last load into this object's report.
    QStringList &Errors() { return errors_; }
    // The serializer reading the report now, for its collections.
    TfrxXMLSerializer *CurrentSerializer() const { return serializer_; }
    void SetCurrentSerializer(TfrxXMLSerializer *s) { serializer_ = s; }

    virtual void ArrangeAlignedChildren();
    virtual void BeforeRun() {}
    virtual void FontChangeNotify();
    virtual QString DifferenceText(const TfrxComponent *reference) const;
    QString AttributesWithDifference(const TfrxComponent *reference) const;

private:
    void fontChanged();

    TFont *font_;
    std::vector<TfrxComponent *> objects_;
    TfrxComponent *parent_ = nullptr;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool parentFont_ = false;
    bool designing_ = false;
    bool loading_ = false;
    bool writing_ = false;
    bool visible_ = true;
    int restrictions_ = 0;
    QString description_;
    QStringList errors_;
    TfrxXMLSerializer *serializer_ = nullptr;
};

// Printable and dialog objects: a description and the bounds kept over a
// print.
class TfrxReportComponent : public TfrxComponent {
    TOLVANE_CLASSINFO
public:
    using TfrxComponent::TfrxComponent;
    virtual void PrePrint();
    virtual void PostPrint();
    virtual void FetchData() {}
    virtual QString ComponentText() const { return {}; }

private:
    double saved_[4] = {};
};

// A non-visual dialog object; it starts off the page.
class TfrxDialogComponent : public TfrxReportComponent {
    TOLVANE_CLASSINFO
public:
    explicit TfrxDialogComponent(TComponent *owner = nullptr);
    // Reads "pLeft" and "pTop" of older files; never writes them.
    void DefineProperties(platform::classlib::TFiler &filer) override;
};

enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum TfrxFrameType { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };

// The border of a view.
class TfrxFrame : public TPersistent {
    TOLVANE_CLASSINFO
public:
    int Color = 0;
    bool DropShadow = false;
    int ShadowColor = 0;
    double ShadowWidth = 4;
    TfrxFrameStyle Style = fsSolid;
    int Typ = 0;
    double Width = 1;

    void Assign(const TPersistent *source) override;
    // " Frame.Color=..." pairs of what differs from the reference.
    QString FrameDifferenceText(const TfrxFrame &reference) const;
};

// " Font.Name=..." pairs of what differs from the reference font.
QString FontDifferenceText(const TFont &font, const TFont &reference, const QString &prefix);

// Registers the classes of this library's base with the class registry.
void RegisterComponentClasses();

} // namespace xmlreports
