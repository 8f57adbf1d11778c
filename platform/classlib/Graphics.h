#pragma once
// The class library's graphic objects over platform/gdi: fonts, pens and
// brushes as published persistent objects, and pictures (bitmaps, JPEG
// images, icons, metafiles) that keep their file form and store themselves
// in the binary property stream as one defined property "Data".

#include "platform/classlib/Classes.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Metafile.h"

#include <QByteArray>
#include <QImage>

#include <memory>
#include <optional>

namespace platform::classlib {

inline constexpr int clBlack = 0;
inline constexpr int clWhite = 0xFFFFFF;
inline constexpr int clWindowText = static_cast<int>(0xFF000008u);

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

inline constexpr const char *kFontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
inline constexpr TypeInfo tiFontPitch{"TFontPitch", Kind::Enum, kFontPitchNames};
inline constexpr const char *kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
inline constexpr TypeInfo tiFontStyle{"TFontStyle", Kind::Enum, kFontStyleNames};
inline constexpr TypeInfo tiFontStyles{"TFontStyles", Kind::Set, {}, &tiFontStyle};
inline constexpr const char *kPenStyleNames[] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                                 "psDashDotDot", "psClear", "psInsideFrame"};
inline constexpr TypeInfo tiPenStyle{"TPenStyle", Kind::Enum, kPenStyleNames};
inline constexpr const char *kPenModeNames[] = {
    "pmBlack",       "pmWhite",      "pmNop",   "pmNot",      "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
    "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",         "pmNotXor"};
inline constexpr TypeInfo tiPenMode{"TPenMode", Kind::Enum, kPenModeNames};
inline constexpr const char *kBrushStyleNames[] = {"bsSolid",     "bsClear",     "bsHorizontal", "bsVertical",
                                                   "bsFDiagonal", "bsBDiagonal", "bsCross",      "bsDiagCross"};
inline constexpr TypeInfo tiBrushStyle{"TBrushStyle", Kind::Enum, kBrushStyleNames};

// A base of the graphic objects: an OnChange event told after every change.
class TGraphicsObject : public TPersistent {
    TOLVANE_CLASSINFO
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

// A font: published Charset, Color, Height, Name, Pitch (default
// fpDefault), Size (not stored: it follows Height) and Style.
class TFont : public TGraphicsObject {
    TOLVANE_CLASSINFO
public:
    int Charset() const { return charset_; }
    void SetCharset(int value);
    int Color() const { return color_; }
    void SetColor(int value);
    // Negative: the character height in pixels of 96 per inch.
    int Height() const { return height_; }
    void SetHeight(int value);
    const QString &Name() const { return name_; }
    void SetName(const QString &value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    // Points: -Height * 72 / 96, rounded.
    int Size() const;
    void SetSize(int value);
    // Bits of TFontStyle.
    int Style() const { return style_; }
    void SetStyle(int value);

    void Assign(const TPersistent *source) override;
    // The logical font of the graphics layer at the device's pixels per inch.
    gdi::LogFont toLogFont(int pixelsPerInch = 96) const;

private:
    int charset_ = gdi::DEFAULT_CHARSET;
    int color_ = clWindowText;
    int height_ = -11;
    QString name_ = QStringLiteral("MS Sans Serif");
    TFontPitch pitch_ = fpDefault;
    int style_ = 0;
};

// A pen: published Color (clBlack), Mode (pmCopy), Style (psSolid), Width (1).
class TPen : public TGraphicsObject {
    TOLVANE_CLASSINFO
public:
    int Color = clBlack;
    TPenMode Mode = pmCopy;
    TPenStyle Style = psSolid;
    int Width = 1;

    void Assign(const TPersistent *source) override;
    gdi::Pen toGdiPen() const;
};

// A brush: published Color (clWhite) and Style (bsSolid).
class TBrush : public TGraphicsObject {
    TOLVANE_CLASSINFO
public:
    int Color = clWhite;
    TBrushStyle Style = bsSolid;

    void Assign(const TPersistent *source) override;
    gdi::Brush toGdiBrush() const;
};

// A picture of some file format, kept in the bytes of that format.
class TGraphic : public TPersistent {
    TOLVANE_CLASSINFO
public:
    bool Empty() const { return bytes_.isEmpty(); }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The file form; ClassError "Недопустимый формат рисунка" when the
    // bytes are not of the class's format (the graphic is left as it was).
    void LoadFromBytes(const QByteArray &bytes);
    const QByteArray &Bytes() const { return bytes_; }
    void LoadFromStream(TStream &stream);
    void SaveToStream(TStream &stream) const;
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;
    // The form inside a picture's "Data" after the class name: the file
    // form, for bitmaps and JPEG images after its 32-bit length.
    virtual void ReadData(TStream &stream);
    virtual void WriteData(TStream &stream) const;
    void Assign(const TPersistent *source) override;

protected:
    // Takes the bytes when they are of the format.
    virtual bool decode(const QByteArray &bytes) = 0;
    void readSizedData(TStream &stream);
    void writeSizedData(TStream &stream) const;

private:
    QByteArray bytes_;
};

// A picture of pixels read by Qt's image readers (the base of the bitmap,
// the JPEG image and the icon).
class TRasterGraphic : public TGraphic {
    TOLVANE_CLASSINFO
public:
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    const QImage &Image() const { return image_; }

protected:
    bool decodeAs(const QByteArray &bytes, const char *format);

private:
    QImage image_;
};

class TBitmap : public TRasterGraphic {
    TOLVANE_CLASSINFO
public:
    // The pixels, as a BMP file.
    void SetImage(const QImage &image);
    void ReadData(TStream &stream) override { readSizedData(stream); }
    void WriteData(TStream &stream) const override { writeSizedData(stream); }

protected:
    bool decode(const QByteArray &bytes) override { return bytes.startsWith("BM") && decodeAs(bytes, "BMP"); }
};

class TJPEGImage : public TRasterGraphic {
    TOLVANE_CLASSINFO
public:
    void ReadData(TStream &stream) override { readSizedData(stream); }
    void WriteData(TStream &stream) const override { writeSizedData(stream); }

protected:
    bool decode(const QByteArray &bytes) override { return bytes.startsWith("\xFF\xD8") && decodeAs(bytes, "JPG"); }
};

class TIcon : public TRasterGraphic {
    TOLVANE_CLASSINFO
protected:
    bool decode(const QByteArray &bytes) override
    {
        return bytes.startsWith(QByteArray("\0\0\1\0", 4)) && decodeAs(bytes, "ICO");
    }
};

// An enhanced or placeable Windows metafile (through the graphics layer's
// metafile codec).
class TMetafile : public TGraphic {
    TOLVANE_CLASSINFO
public:
    int Width() const override;
    int Height() const override;
    const std::optional<gdi::Metafile> &Metafile() const { return metafile_; }

protected:
    bool decode(const QByteArray &bytes) override;

private:
    std::optional<gdi::Metafile> metafile_;
};

// A holder of one graphic of any of the classes above; stored as the defined
// property "Data": binary holding the graphic's class name (a length byte
// and the characters) and the graphic's data form.
class TPicture : public TPersistent {
    TOLVANE_CLASSINFO
public:
    TPicture();
    ~TPicture() override;

    TGraphic *Graphic() const { return graphic_.get(); }
    // A copy of the graphic (none clears the picture).
    void SetGraphic(const TGraphic *graphic);
    // The graphic class of a file by its first bytes; none when no class
    // knows them.
    static const ClassInfo *graphicClassOf(const QByteArray &bytes);
    // A graphic of the class its first bytes show; ClassError "Недопустимый
    // формат рисунка" for bytes of no known format (the picture unchanged).
    void LoadFromBytes(const QByteArray &bytes);
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    void Assign(const TPersistent *source) override;
    void DefineProperties(TFiler &filer) override;
    // The bytes of "Data" for a graphic: its class name, then its data form.
    static QByteArray pictureData(const TGraphic &graphic);

    TNotifyEvent OnChange;

private:
    void readData(TStream &stream);
    void changed();
    std::unique_ptr<TGraphic> graphic_;
};

// Registers the class library's own persistent classes by name (TFont,
// TPen, TBrush, TStringList, TPicture, the graphic classes, TMemoryStream,
// TComponent, TList); once is enough, again does no harm.
void registerClassLibrary();

} // namespace platform::classlib
