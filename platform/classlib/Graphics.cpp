#include "platform/classlib/Graphics.h"

#include "platform/SafeFile.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Properties.h"
#include "platform/gdi/SystemColors.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <cmath>

namespace platform::classlib {

namespace {

[[noreturn]] void invalidGraphic()
{
    throw ClassError(QStringLiteral("Недопустимый формат рисунка"));
}

// a * b / c rounded half away from zero, as the platform's MulDiv.
int mulDiv(int a, int b, int c)
{
    const double r = static_cast<double>(a) * b / c;
    return static_cast<int>(r < 0 ? std::ceil(r - 0.5) : std::floor(r + 0.5));
}

} // namespace

// ---------------------------------------------------------------------------

const ClassInfo &TGraphicsObject::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TGraphicsObject, TPersistent>("TGraphicsObject", {});
    return info;
}

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

const ClassInfo &TFont::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TFont::Charset, &TFont::SetCharset>("Charset", tiInteger),
        property<&TFont::Color, &TFont::SetColor>("Color", tiColor),
        property<&TFont::Height, &TFont::SetHeight>("Height", tiInteger),
        property<&TFont::Name, &TFont::SetName>("Name", tiFontName),
        property<&TFont::Pitch, &TFont::SetPitch>("Pitch", tiFontPitch).defaultsTo(fpDefault),
        property<&TFont::Size, &TFont::SetSize>("Size", tiInteger).storedIf(never),
        property<&TFont::Style, &TFont::SetStyle>("Style", tiFontStyles),
    };
    static const ClassInfo info = makeClassInfo<TFont, TGraphicsObject>("TFont", props);
    return info;
}

void TFont::SetCharset(int value)
{
    if (value != charset_) {
        charset_ = value & 0xFF;
        Changed();
    }
}

void TFont::SetColor(int value)
{
    if (value != color_) {
        color_ = value;
        Changed();
    }
}

void TFont::SetHeight(int value)
{
    if (value != height_) {
        height_ = value;
        Changed();
    }
}

void TFont::SetName(const QString &value)
{
    if (!value.isEmpty() && value != name_) {
        name_ = value;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch value)
{
    if (value != pitch_) {
        pitch_ = value;
        Changed();
    }
}

int TFont::Size() const
{
    return -mulDiv(height_, 72, 96);
}

void TFont::SetSize(int value)
{
    SetHeight(-mulDiv(value, 96, 72));
}

void TFont::SetStyle(int value)
{
    if (value != style_) {
        style_ = value & 0xF;
        Changed();
    }
}

void TFont::Assign(const TPersistent *source)
{
    if (const auto *f = dynamic_cast<const TFont *>(source)) {
        charset_ = f->charset_;
        color_ = f->color_;
        height_ = f->height_;
        name_ = f->name_;
        pitch_ = f->pitch_;
        style_ = f->style_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

gdi::LogFont TFont::toLogFont(int pixelsPerInch) const
{
    gdi::LogFont f;
    f.height = mulDiv(height_, pixelsPerInch, 96);
    f.weight = style_ & (1 << fsBold) ? gdi::FW_BOLD : gdi::FW_NORMAL;
    f.italic = style_ & (1 << fsItalic);
    f.underline = style_ & (1 << fsUnderline);
    f.strikeOut = style_ & (1 << fsStrikeOut);
    f.charSet = charset_;
    f.pitchAndFamily = pitch_;
    f.faceName = name_;
    return f;
}

const ClassInfo &TPen::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TPen::Color>("Color", tiColor).defaultsTo(clBlack),
        field<&TPen::Mode>("Mode", tiPenMode).defaultsTo(pmCopy),
        field<&TPen::Style>("Style", tiPenStyle).defaultsTo(psSolid),
        field<&TPen::Width>("Width", tiInteger).defaultsTo(1),
    };
    static const ClassInfo info = makeClassInfo<TPen, TGraphicsObject>("TPen", props);
    return info;
}

void TPen::Assign(const TPersistent *source)
{
    if (const auto *p = dynamic_cast<const TPen *>(source)) {
        Color = p->Color;
        Mode = p->Mode;
        Style = p->Style;
        Width = p->Width;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

gdi::Pen TPen::toGdiPen() const
{
    return gdi::Pen{static_cast<int>(Style), Width, gdi::resolveColor(static_cast<std::uint32_t>(Color))};
}

const ClassInfo &TBrush::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TBrush::Color>("Color", tiColor).defaultsTo(clWhite),
        field<&TBrush::Style>("Style", tiBrushStyle).defaultsTo(bsSolid),
    };
    static const ClassInfo info = makeClassInfo<TBrush, TGraphicsObject>("TBrush", props);
    return info;
}

void TBrush::Assign(const TPersistent *source)
{
    if (const auto *b = dynamic_cast<const TBrush *>(source)) {
        Color = b->Color;
        Style = b->Style;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

gdi::Brush TBrush::toGdiBrush() const
{
    return gdi::brushFromStyleNumber(Style, gdi::resolveColor(static_cast<std::uint32_t>(Color)));
}

// ---------------------------------------------------------------------------
// Graphics

const ClassInfo &TGraphic::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TGraphic, TPersistent>("TGraphic", {});
    return info;
}

void TGraphic::LoadFromBytes(const QByteArray &bytes)
{
    if (!decode(bytes))
        invalidGraphic();
    bytes_ = bytes;
}

void TGraphic::LoadFromStream(TStream &stream)
{
    LoadFromBytes(stream.ReadRest());
}

void TGraphic::SaveToStream(TStream &stream) const
{
    stream.WriteBytes(bytes_);
}

void TGraphic::LoadFromFile(const QString &fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TGraphic::SaveToFile(const QString &fileName) const
{
    if (!writeFileAtomically(fileName, bytes_))
        throw StreamError(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
}

void TGraphic::ReadData(TStream &stream)
{
    LoadFromStream(stream);
}

void TGraphic::WriteData(TStream &stream) const
{
    SaveToStream(stream);
}

void TGraphic::readSizedData(TStream &stream)
{
    unsigned char b[4];
    stream.ReadBuffer(b, 4);
    LoadFromBytes(stream.ReadBytes(qFromLittleEndian<qint32>(b)));
}

void TGraphic::writeSizedData(TStream &stream) const
{
    unsigned char b[4];
    qToLittleEndian<qint32>(static_cast<qint32>(bytes_.size()), b);
    stream.WriteBuffer(b, 4);
    stream.WriteBytes(bytes_);
}

void TGraphic::Assign(const TPersistent *source)
{
    const auto *g = dynamic_cast<const TGraphic *>(source);
    if (g && g->classInfo().inheritsFrom(classInfo())) {
        if (g->Empty())
            bytes_.clear();
        else
            LoadFromBytes(g->bytes_);
        return;
    }
    TPersistent::Assign(source);
}

const ClassInfo &TRasterGraphic::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TRasterGraphic, TGraphic>("TRasterGraphic", {});
    return info;
}

bool TRasterGraphic::decodeAs(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage image;
    if (!reader.read(&image))
        return false;
    image_ = image;
    return true;
}

const ClassInfo &TBitmap::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TBitmap, TRasterGraphic>("TBitmap", {});
    return info;
}

void TBitmap::SetImage(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    if (!writer.write(image))
        invalidGraphic();
    LoadFromBytes(bytes);
}

const ClassInfo &TJPEGImage::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TJPEGImage, TRasterGraphic>("TJPEGImage", {});
    return info;
}

const ClassInfo &TIcon::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TIcon, TRasterGraphic>("TIcon", {});
    return info;
}

const ClassInfo &TMetafile::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TMetafile, TGraphic>("TMetafile", {});
    return info;
}

int TMetafile::Width() const
{
    return metafile_ ? metafile_->bounds().width() : 0;
}

int TMetafile::Height() const
{
    return metafile_ ? metafile_->bounds().height() : 0;
}

bool TMetafile::decode(const QByteArray &bytes)
{
    std::optional<gdi::Metafile> m = gdi::Metafile::fromBytes(bytes);
    if (!m)
        return false;
    metafile_ = std::move(m);
    return true;
}

// ---------------------------------------------------------------------------
// TPicture

namespace {

// The graphic classes a picture knows, in the order their formats are tried.
const ClassInfo *const *graphicClasses()
{
    static const ClassInfo *const classes[] = {&TBitmap::staticClassInfo(), &TJPEGImage::staticClassInfo(),
                                               &TIcon::staticClassInfo(), &TMetafile::staticClassInfo(), nullptr};
    return classes;
}

std::unique_ptr<TGraphic> newGraphic(const ClassInfo &info)
{
    return std::unique_ptr<TGraphic>(static_cast<TGraphic *>(info.create()(nullptr)));
}

} // namespace

const ClassInfo &TPicture::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TPicture, TPersistent>("TPicture", {});
    return info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(const TGraphic *graphic)
{
    if (!graphic) {
        graphic_.reset();
    } else {
        std::unique_ptr<TGraphic> copy = newGraphic(graphic->classInfo());
        copy->Assign(graphic);
        graphic_ = std::move(copy);
    }
    changed();
}

const ClassInfo *TPicture::graphicClassOf(const QByteArray &bytes)
{
    for (const ClassInfo *const *c = graphicClasses(); *c; ++c) {
        std::unique_ptr<TGraphic> g = newGraphic(**c);
        try {
            g->LoadFromBytes(bytes);
            return *c;
        } catch (const ClassError &) {
        }
    }
    return nullptr;
}

void TPicture::LoadFromBytes(const QByteArray &bytes)
{
    const ClassInfo *info = graphicClassOf(bytes);
    if (!info)
        invalidGraphic();
    std::unique_ptr<TGraphic> g = newGraphic(*info);
    g->LoadFromBytes(bytes);
    graphic_ = std::move(g);
    changed();
}

void TPicture::LoadFromFile(const QString &fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromBytes(file.ReadRest());
}

void TPicture::SaveToFile(const QString &fileName) const
{
    if (graphic_)
        graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent *source)
{
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    if (const auto *p = dynamic_cast<const TPicture *>(source)) {
        SetGraphic(p->graphic_.get());
        return;
    }
    if (const auto *g = dynamic_cast<const TGraphic *>(source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

QByteArray TPicture::pictureData(const TGraphic &graphic)
{
    TMemoryStream data;
    const QByteArray name = graphic.className().toLatin1();
    const auto n = static_cast<std::uint8_t>(name.size());
    data.WriteBuffer(&n, 1);
    data.WriteBytes(name);
    graphic.WriteData(data);
    return data.Memory();
}

void TPicture::readData(TStream &stream)
{
    std::uint8_t n = 0;
    stream.ReadBuffer(&n, 1);
    const QString name = QString::fromLatin1(stream.ReadBytes(n));
    for (const ClassInfo *const *c = graphicClasses(); *c; ++c) {
        if (name.compare((*c)->className(), Qt::CaseInsensitive) != 0)
            continue;
        std::unique_ptr<TGraphic> g = newGraphic(**c);
        g->ReadData(stream);
        graphic_ = std::move(g);
        changed();
        return;
    }
    invalidGraphic();
}

void TPicture::DefineProperties(TFiler &filer)
{
    filer.DefineBinaryProperty(
        QStringLiteral("Data"), [this](TStream &s) { readData(s); },
        [this](TStream &s) { s.WriteBytes(pictureData(*graphic_)); }, graphic_ && !graphic_->Empty());
}

// ---------------------------------------------------------------------------

void registerClassLibrary()
{
    for (const ClassInfo *info :
         {&TComponent::staticClassInfo(), &TList::staticClassInfo(), &TStringList::staticClassInfo(),
          &TMemoryStream::staticClassInfo(), &TFont::staticClassInfo(), &TPen::staticClassInfo(),
          &TBrush::staticClassInfo(), &TPicture::staticClassInfo(), &TBitmap::staticClassInfo(),
          &TJPEGImage::staticClassInfo(), &TIcon::staticClassInfo(), &TMetafile::staticClassInfo()})
        registerClass(*info);
}

} // namespace platform::classlib
