// The picture, line and subreport objects.

#include "reports/model/ReportViews.h"

#include "platform/Paths.h"

#include "platform/Rounding.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/SystemColors.h"
#include "platform/db/DataSet.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportLibrary.h"
#include "reports/language/ResourceTexts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace reports {

using platform::roundToInt;

namespace {

// The picture an empty picture object shows in the designer: a small framed
// landscape.
QImage emptyPictureBitmap()
{
    QImage image = GetLocale().LoadBitmap(QStringLiteral("FR_EMPTY"));
    if (!image.isNull())
        return image;
    image = QImage(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 255));
    for (int i = 0; i < 16; ++i) {
        image.setPixel(i, 0, 0xFF808080);
        image.setPixel(i, 15, 0xFF808080);
        image.setPixel(0, i, 0xFF808080);
        image.setPixel(15, i, 0xFF808080);
    }
    for (int x = 2; x < 14; ++x)
        for (int y = 13 - std::min(x - 2, 13 - x); y < 14; ++y)
            image.setPixel(x, y, 0xFF008000);
    return image;
}

} // namespace

gdi::LogFont SmallFont()
{
    ReportFont f;
    f.Size = 8;
    f.Charset = library().Charset;
    return f.logFont(-roundToInt(8 * 96.0 / 72.0));
}

void BeginCaption(gdi::Canvas &canvas, const gdi::Rect &clip)
{
    canvas.saveDC();
    canvas.intersectClipRect(clip);
    canvas.setFont(SmallFont());
    canvas.setTextColor(0);
    canvas.setBkMode(gdi::TRANSPARENT);
    canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
}

// ---------------------------------------------------------------------------
// Pictures

int ReportPicture::width() const
{
    if (kind == Metafile)
        return metafile ? metafile->width() : 0;
    return image.width();
}

int ReportPicture::height() const
{
    if (kind == Metafile)
        return metafile ? metafile->height() : 0;
    return image.height();
}

void ReportPicture::clear()
{
    kind = None;
    image = QImage();
    metafile.reset();
    data.clear();
}

bool ReportPicture::loadFromBytes(const QByteArray &bytes)
{
    clear();
    if (bytes.isEmpty())
        return false;
    if (auto meta = gdi::Metafile::fromBytes(bytes)) {
        metafile = std::move(*meta);
        kind = Metafile;
        data = bytes;
        return true;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    const QImage read = reader.read();
    if (read.isNull())
        return false;
    if (format == "bmp")
        kind = Bitmap;
    else if (format == "jpeg" || format == "jpg")
        kind = Jpeg;
    else if (format == "ico" || format == "cur")
        kind = Icon;
    else
        return false;
    image = read;
    data = bytes;
    return true;
}

bool ReportPicture::loadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        return false;
    }
    return loadFromBytes(file.readAll());
}

gdi::Rect PictureTarget(const gdi::Rect &dr, int width, int height, int pw, int ph, quint16 flags, double scaleX,
                        double scaleY)
{
    const bool stretched = flags & 1, center = flags & 2, keepAspect = flags & 4;
    gdi::Rect r = dr;
    if (stretched) {
        if (keepAspect && pw > 0 && ph > 0) {
            const double kx = static_cast<double>(width) / pw;
            const double ky = static_cast<double>(height) / ph;
            if (kx >= ky)
                r.right = r.left + roundToInt(pw * ky);
            else
                r.bottom = r.top + roundToInt(ph * kx);
            if (center) {
                const int dx = (dr.width() - r.width()) / 2;
                const int dy = (dr.height() - r.height()) / 2;
                r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
            }
        }
        return r;
    }
    const int w = roundToInt(pw * scaleX), h = roundToInt(ph * scaleY);
    int x = dr.left, y = dr.top;
    if (center) {
        x += (dr.width() - w) / 2;
        y += (dr.height() - h) / 2;
    }
    return gdi::Rect{x, y, x + w, y + h};
}

PictureView::PictureView()
{
    ObjectType = 1;
    BaseName = QStringLiteral("Picture");
    Flags = 5;
    // The blob kinds, for scripts and expressions.
    Variables &constants = library().ScriptConstants;
    const char *names[] = {"btBMP", "btJPG", "btICO", "btWMF"};
    for (int i = 0; i < 4; ++i)
        constants.SetVariable(QString::fromLatin1(names[i]), Variant(i));
}

void PictureView::BuildPropertyList()
{
    View::BuildPropertyList();
    const EditorHooks &hooks = editorHooks();
    AddProperty(QStringLiteral("Picture"), pkEditor, hooks.Picture);
    AddProperty(QStringLiteral("Stretched"), pkBoolean);
    AddProperty(QStringLiteral("Center"), pkBoolean);
    AddProperty(QStringLiteral("KeepAspect"), pkBoolean);
    AddProperty(QStringLiteral("DataField"), pkString | pkEditor | pkSingleOnly, hooks.DataField);
    AddEnumProperty(QStringLiteral("BlobType"), QStringLiteral("btBMP;btJPG;btICO;btWMF"),
                    {Variant(0), Variant(1), Variant(2), Variant(3)});
}

void PictureView::SetProperty(const QString &name, const Variant &value)
{
    View::SetProperty(name, value);
    const QString n = name.toUpper();
    if (n == u"CENTER")
        Flags = static_cast<quint16>(value.toBool() ? (Flags | 2) : (Flags & ~2));
    else if (n == u"KEEPASPECT")
        Flags = static_cast<quint16>(value.toBool() ? (Flags | 4) : (Flags & ~4));
    else if (n == u"BLOBTYPE")
        BlobType = static_cast<quint8>(value.toInt());
}

Variant PictureView::GetProperty(const QString &name)
{
    Variant v = View::GetProperty(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    if (n == u"CENTER")
        return Variant((Flags & 2) != 0);
    if (n == u"KEEPASPECT")
        return Variant((Flags & 4) != 0);
    if (n == u"BLOBTYPE")
        return Variant(static_cast<int>(BlobType));
    return Variant::null();
}

Variant PictureView::CallMethod(const QString &method, const Variant &par1, const Variant &par2, const Variant &par3)
{
    Variant result = View::CallMethod(method, par1, par2, par3);
    if (method == u"LOADFROMFILE") {
        // A name stored with "\\" resolves as every other stored name does.
        const QString fileName = platform::resolvePath(library().ReportParser.Calc(par1.toString()).toString());
        if (!fileName.isEmpty() && QFileInfo(fileName).isFile())
            Picture.loadFromFile(fileName);
        else
            Picture.clear();
    }
    return result;
}

void PictureView::LoadBlobBytes(const QByteArray &bytes, bool isNull)
{
    Picture.clear();
    if (isNull)
        return;
    Picture.loadFromBytes(bytes);
}

void PictureView::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    SaveCoordinates();
    ShowBackground();
    const bool design = library().State.DocumentMode == 0;
    if (!Picture.isEmpty()) {
        const gdi::Rect t = PictureTarget(DrawRect, Width, Height, Picture.width(), Picture.height(), Flags, ScaleX,
                                          ScaleY);
        if (Picture.kind == ReportPicture::Metafile) {
            canvas.drawMetafile(*Picture.metafile, t);
        } else if (!(ToPrinter && Picture.kind == ReportPicture::Icon)) {
            QImage source = Picture.image;
            if (ToPrinter) {
                // The printer takes a 24-bit picture, stretched colour on
                // colour unless it is black and white.
                source = source.convertToFormat(QImage::Format_RGB888);
                canvas.setStretchBltMode(Picture.image.depth() == 1 ? gdi::BLACKONWHITE : gdi::COLORONCOLOR);
            }
            canvas.stretchDIBits(t.left, t.top, t.width(), t.height(), source, source.rect());
        }
    } else if (design) {
        BeginCaption(canvas, DrawRect);
        canvas.textOut(Left + 20, Top + 3, QStringLiteral("[Рисунок]"));
        const QImage empty = emptyPictureBitmap();
        canvas.bitBlt(Left + 1, Top + 2, empty.width(), empty.height(), empty, 0, 0);
        canvas.restoreDC(-1);
    }
    ShowFrame();
    RestoreCoordinates();
}

void PictureView::LoadBlob(const platform::db::Field &field)
{
    if (field.isNull() || BlobType != ReportPicture::Bitmap) {
        LoadBlobBytes(field.isNull() ? QByteArray() : field.asBytes(), field.isNull());
        return;
    }
    Picture.clear();
    AssignBlobField(field, Picture.image);
    if (!Picture.image.isNull())
        Picture.kind = ReportPicture::Bitmap;
}

void PictureView::ShowEditor()
{
    if (editorHooks().Picture)
        editorHooks().Picture(this);
}

void PictureView::AddPopupItems(PopupItems &items)
{
    View::AddPopupItems(items);
    addFlagItem(items, QStringLiteral("Центрировать"), 2);
    const bool stretched = Flags & 1;
    addFlagItem(items, QStringLiteral("Сохранять пропорции"), 4, stretched);
    if (!stretched)
        items.back().Checked = false;
}

// ---------------------------------------------------------------------------
// Lines

LineView::LineView()
{
    ObjectType = 4;
    BaseName = QStringLiteral("Line");
    FrameTyp = frftLeft;
    FillColor = 0xFFFFFF;
}

void LineView::BuildPropertyList()
{
    View::BuildPropertyList();
    AddProperty(QStringLiteral("Stretched"), pkBoolean);
}

void LineView::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    if (Width > Height) {
        Height = 0;
        FrameTyp = frftTop;
    } else {
        Width = 0;
        FrameTyp = frftLeft;
    }
    SaveCoordinates();
    ShowFrame();
    RestoreCoordinates();
}

QRegion LineView::GetClipRgn(bool extended)
{
    const bool dbl = FrameStyle == 5;
    const int b = static_cast<int>(std::trunc(FrameWidth * (dbl ? 1.5 : 0.5)));
    const int c = dbl ? static_cast<int>(std::trunc(std::trunc((FrameWidth - 1) / 2) + FrameWidth))
                      : static_cast<int>(std::trunc((FrameWidth - 1) / 2));
    if (Width == 0)
        return ClipRegion(Left - b, Top, Left + Width + 1 + c, Top + Height + 1, extended);
    return ClipRegion(Left, Top - b, Left + Width + 1, Top + Height + 1 + c, extended);
}

// ---------------------------------------------------------------------------
// Subreports

SubReportView::SubReportView()
{
    ObjectType = 3;
    BaseName = QStringLiteral("SubReport");
}

void SubReportView::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    FrameWidth = 1;
    SaveCoordinates();
    canvas.setPen(gdi::Pen{gdi::PS_SOLID, 1, 0});
    canvas.setBrush(gdi::Brush{gdi::BS_SOLID, gdi::rgb(255, 255, 255), 0});
    canvas.rectangle(gdi::Rect{Left, Top, ScaledRight() + 1, ScaledBottom() + 1});
    BeginCaption(canvas, DrawRect);
    canvas.textOut(Left + 2, Top + 2, Name);
    canvas.restoreDC(-1);
    RestoreCoordinates();
}

} // namespace reports
