#pragma once
// The kinds of report objects: the text object (TfrMemoView), the band
// object (TfrBandView), the picture (TfrPictureView), the line
// (TfrLineView) and the link to a subreport page (TfrSubReportView).

#include "platform/gdi/Metafile.h"
#include "reports/model/ReportObjects.h"
#include "reports/model/TextLayout.h"

#include <QImage>

#include <memory>
#include <optional>

namespace reports {

// How the text object measures text while it wraps: by default with the
// canvas of the library's measuring bitmap; tests install a fixed-width one.
class TextMeasuring {
public:
    virtual ~TextMeasuring() = default;
    virtual std::unique_ptr<TextMeasurer> measurer(const gdi::LogFont &font, int charSpacing);
};

// Text object flag bits.
enum MemoFlag : quint16 {
    flStretched = 1,
    flWordWrap = 2,
    flWordBreak = 4,
    flAutoWidth = 8,
    flTextOnly = 16,
    flSuppress = 32,
    flHideZeros = 64,
    flUnderlines = 128,
    flRTLReading = 256,
};

// Alignment bits.
enum TextAlignment : int {
    frtaLeft = 0,
    frtaRight = 1,
    frtaCenter = 2,
    frtaJustify = 3,
    frtaVertical = 4,
    frtaMiddle = 8,
    frtaDown = 16,
};

struct HighlightAttr {
    int FontStyle = 2;
    gdi::Color FontColor = 0;
    std::uint32_t FillColor = 0xFFFFFF;
};

class MemoView : public Stretcheable {
public:
    MemoView();
    QString ClassName() const override { return QStringLiteral("TfrMemoView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<MemoView>(); }

    ReportFont Font;
    QString LastText;
    bool PreWrapped = false;
    int TextHeight = 0;
    bool ClipToBottom = false;
    int LineStep = 0;
    int LinesShown = 0;
    bool Exporting = false;
    int Alignment = 0;
    HighlightAttr Highlight;
    QString HighlightCondition;
    int LineSpacing = 2;
    int CharSpacing = 0;
    // The wrapped lines of the last WrapMemo.
    QStringList WrappedLines;

    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                       const Variant &par3) override;
    void Draw(gdi::Canvas &canvas) override;
    void PrintToStream(QIODevice &stream) override;
    void ExportData() override;
    void AddPopupItems(PopupItems &items) override;
    // The designer's memo editor, when it installed one.
    void ShowEditor() override;
    // The field's text as the lines to print.
    void LoadBlob(const platform::db::Field &field) override;
    int CalcHeight() override;
    int MinHeight() override;
    int RemainHeight() override;

    void ExpandMemo();
    void WrapMemo();
    void ShowMemo();
    int CalcWidth(const QStringList &lines);
    // The logical font height at a scale (negative: the character height).
    int FontHeight(double scale = 1.0) const;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;

private:
    bool flag(quint16 bit) const { return (Flags & bit) != 0; }
    void setFlag(quint16 bit, bool on) { Flags = static_cast<quint16>(on ? (Flags | bit) : (Flags & ~bit)); }
    void applyHighlight();
    void drawUnderlines();
    // Draws the lines of OutputMemo on the canvas of the last BeginDraw;
    // only counts them while measureOnly_ is on.
    void showLines();
    bool measureOnly_ = false;
};

// Band types.
enum BandType : int {
    btReportTitle = 0, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData, btMasterFooter,
    btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData, btSubDetailFooter,
    btOverlay, btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter, btCrossHeader, btCrossData,
    btCrossFooter, btChild, btNone
};

// Band flag bits.
enum BandFlag : quint16 {
    flBandStretched = 1,
    flBandNewPageAfter = 2,
    flBandPrintIfSubsetEmpty = 4,
    flBandBreaked = 8,
    flBandOnFirstPage = 16,
    flBandOnLastPage = 32,
    flBandRepeatHeader = 64,
    flBandPrintChildIfInvisible = 128,
};

class BandView : public View {
public:
    BandView();
    QString ClassName() const override { return QStringLiteral("TfrBandView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<BandView>(); }

    QString ChildBand;
    QString Master;
    int Columns = 1;
    int ColumnWidth = 200;
    int ColumnGap = 20;
    int NewColumnAfter = 1;
    // The runtime band made from this object while a report is built.
    Band *Runtime = nullptr;

    int GetBandType() const { return FrameTyp & 0xFF; }
    void SetBandType(int type) { FrameTyp = static_cast<quint16>(type & 0x7F); }
    bool IsCross() const;
    // The title tab's width: the type's name + 8, at least 100.
    int TitleWidth();

    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                       const Variant &par3) override;
    void Draw(gdi::Canvas &canvas) override;
    QRegion GetClipRgn(bool extended) override;
    void AddPopupItems(PopupItems &items) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;

private:
    gdi::Rect titleRect() const;
};

// A picture held by a picture object: a bitmap, JPEG or icon as pixels, or
// a metafile.
struct ReportPicture {
    enum Kind { None = -1, Bitmap = 0, Jpeg = 1, Icon = 2, Metafile = 3 };
    Kind kind = None;
    QImage image;
    std::optional<gdi::Metafile> metafile;
    // The file bytes the picture was loaded from, written back unchanged so
    // that a saved template keeps its pictures byte for byte; empty for a
    // picture made in memory (it is encoded when saved).
    QByteArray data;
    // The picture in its format's own file form.
    QByteArray fileBytes() const;
    bool isEmpty() const { return kind == None; }
    // Pixels (a metafile: pixels of its reference device).
    int width() const;
    int height() const;
    void clear();
    // By content: a metafile (".wmf", ".emf") through the metafile codec,
    // BMP, JPEG and ICO through Qt's image readers; false and empty for
    // anything else.
    bool loadFromBytes(const QByteArray &bytes);
    bool loadFromFile(const QString &fileName);
};

// Where a picture goes in the object (Stretched, Center, KeepAspect).
gdi::Rect PictureTarget(const gdi::Rect &drawRect, int width, int height, int pictureWidth, int pictureHeight,
                        quint16 flags, double scaleX, double scaleY);

class PictureView : public View {
public:
    PictureView();
    QString ClassName() const override { return QStringLiteral("TfrPictureView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<PictureView>(); }

    ReportPicture Picture;
    quint8 BlobType = 0; // 0 btBMP, 1 btJPG, 2 btICO, 3 btWMF

    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    Variant CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                       const Variant &par3) override;
    void Draw(gdi::Canvas &canvas) override;
    void AddPopupItems(PopupItems &items) override;
    // The designer's picture editor, when it installed one.
    void ShowEditor() override;
    // A null field clears the picture; a bitmap is taken from the field as
    // a picture, the other kinds from its bytes.
    void LoadBlob(const platform::db::Field &field) override;
    // A blob field's content: null clears the picture; otherwise the bytes
    // are read as the kind BlobType names.
    void LoadBlobBytes(const QByteArray &bytes, bool isNull);
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
};

class LineView : public Stretcheable {
public:
    LineView();
    QString ClassName() const override { return QStringLiteral("TfrLineView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<LineView>(); }
    void BuildPropertyList() override;
    void Draw(gdi::Canvas &canvas) override;
    QRegion GetClipRgn(bool extended) override;
    int CalcHeight() override { return Height; }
    int MinHeight() override { return 1; }
    int RemainHeight() override { return 0; }
};

class SubReportView : public View {
public:
    SubReportView();
    QString ClassName() const override { return QStringLiteral("TfrSubReportView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<SubReportView>(); }
    int PageIndex = 0;
    void Draw(gdi::Canvas &canvas) override;
    void AddPopupItems(PopupItems &) override {}
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
};

// "Arial" 8 in the library's character set: the designer's captions.
gdi::LogFont SmallFont();
// Saves the canvas state and clips to the rectangle for a black caption in
// that font (the caller restores the state).
void BeginCaption(gdi::Canvas &canvas, const gdi::Rect &clip);

// Draws a text at (x, y) on a canvas with extra character spacing, and
// stretched over `justifyWidth` by widening its blanks when that is above
// 0; `upward` for text turned by 90 degrees.
void DrawTextLine(gdi::Canvas &canvas, int x, int y, const QString &text, int spacing, int justifyWidth,
                  bool upward);

} // namespace reports
