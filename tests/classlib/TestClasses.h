#pragma once
// Test classes shaped like the report library's frame and view (their
// published tables as the report files need them), a report with the two
// collections of its binary data section, and a class of every kind.

#include "platform/classlib/Graphics.h"
#include "platform/classlib/Properties.h"

namespace testclasses {

using namespace platform::classlib;

enum FrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum FrameType { ftLeft, ftRight, ftTop, ftBottom };
enum Align { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum ShiftMode { smDontShift, smAlways, smWhenOverlapped };

// The border of a view: stored unless 4, unless empty, unless 1.
class TTestFrame : public TPersistent {
    TOLVANE_CLASSINFO
public:
    int Color = 0;
    bool DropShadow = false;
    int ShadowColor = 0;
    double ShadowWidth = 4;
    FrameStyle Style = fsSolid;
    int Typ = 0;
    double Width = 1;
};

// A component with a parent beside its owner.
class TTestComponent : public TComponent {
    TOLVANE_CLASSINFO
public:
    using TComponent::TComponent;
    TTestComponent *Parent = nullptr;
};

class TTestDataSet : public TTestComponent {
    TOLVANE_CLASSINFO
public:
    using TTestComponent::TTestComponent;
};

class TTestView : public TTestComponent {
    TOLVANE_CLASSINFO
public:
    explicit TTestView(TComponent *owner = nullptr);
    ~TTestView() override;
    Align Alignment = baNone;
    bool Printable = true;
    ShiftMode Shift = smAlways;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    int GroupIndex = 0;
    int Restrictions = 0;
    bool Visible = true;
    QString OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick;
    bool ParentFont = true;
    TTestDataSet *DataSet = nullptr;

    TFont *Font() const { return font_; }
    void SetFont(TFont *font) { font_->Assign(font); }
    TTestFrame *Frame() const { return frame_; }
    void SetFrame(TTestFrame *frame) { frame_->Assign(frame); }

private:
    TFont *font_;
    TTestFrame *frame_;
};

// Declares no constructor of its own: made by name, it is still a memo.
class TTestMemo : public TTestView {
    TOLVANE_CLASSINFO
public:
    using TTestView::TTestView;
};

// One property of every kind.
class TTestKinds : public TPersistent {
    TOLVANE_CLASSINFO
public:
    QChar Letter = u'a';
    QChar WideLetter = u'ы';
    QString Text;
    QString WideText;
    qint64 Big = 0;
    platform::Variant Value;
    TNotifyEvent OnClick;
};

class TTestDataSetItem : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    using TCollectionItem::TCollectionItem;
    TTestDataSet *DataSet = nullptr;
    QString DataSetName;
};

class TTestVariable : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    using TCollectionItem::TCollectionItem;
    QString Name;
    platform::Variant Value;
};

// Keeps its data sets and variables as the defined properties "Datasets"
// and "Variables".
class TTestReport : public TTestComponent {
    TOLVANE_CLASSINFO
public:
    using TTestComponent::TTestComponent;
    TCollection DataSets{TTestDataSetItem::staticClassInfo(), this};
    TCollection Variables{TTestVariable::staticClassInfo(), this};
    void DefineProperties(TFiler &filer) override;
};

void registerTestClasses();

} // namespace testclasses
