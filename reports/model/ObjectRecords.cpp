// The stream record of every object kind: the common part and each kind's
// extension, as a template record or (PreparedMode) as a prepared-page
// record, in the form of the library's StreamVersion. The writer always
// writes the current version.

#include "platform/Rounding.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"

#include <QBuffer>
#include <QImageWriter>

#include <cmath>

namespace reports {

namespace {

int version()
{
    return library().StreamVersion;
}

// A whole width up to 10 is stored as the number, any other as thousandths;
// the reader takes a stored value up to 10 as a whole width. A whole width
// above 10 stored as the number would read back a thousand times thinner,
// so only widths the reader recognises are stored plainly.
qint32 storedFrameWidth(float width)
{
    const double w = width;
    if (w == std::floor(w) && w <= 10)
        return static_cast<qint32>(w);
    return platform::roundToInt(w * 1000);
}

qint32 readUnits(QIODevice &stream, qint32 limit = kMaxReportUnits)
{
    return ReadReportUnits(stream, limit);
}

float readFrameWidth(qint32 stored)
{
    const double value = stored <= 10 ? stored * 1000.0 : stored;
    return static_cast<float>(value / 1000.0);
}

} // namespace

void View::LoadFromStream(QIODevice &stream)
{
    const int v = version();
    if (v > 23 || (v == 23 && !PreparedMode)) {
        Name = ReadStreamString(stream);
    } else {
        CreateUniqueName();
    }
    if (v > 23) {
        RecordVersion[0] = ReadStreamByte(stream);
        RecordVersion[1] = ReadStreamByte(stream);
    } else {
        RecordVersion[0] = RecordVersion[1] = 0;
    }
    Left = readUnits(stream);
    Top = readUnits(stream);
    Width = readUnits(stream);
    Height = readUnits(stream);
    Flags = ReadStreamWord(stream);
    FrameTyp = ReadStreamWord(stream);
    // A frame is drawn as width-many lines: a width read beyond the widest
    // sensible frame is taken at it.
    FrameWidth = readFrameWidth(readUnits(stream, kMaxFrameWidth * 1000));
    FrameColor = static_cast<std::uint32_t>(ReadStreamInteger(stream));
    FrameStyle = ReadStreamWord(stream);
    FillColor = static_cast<std::uint32_t>(ReadStreamInteger(stream));
    if (!PreparedMode) {
        DisplayFormatCode = ReadStreamInteger(stream);
        DisplayFormatText = ReadStringOfVersion(stream);
    }
    Memo = ReadMemoOfVersion(stream);
    if (v > 22 && !PreparedMode) {
        Script = ReadMemoOfVersion(stream);
        Visible = ReadStreamWord(stream) != 0;
    }
    if (v > 23) {
        Restrictions = ReadStreamWord(stream);
        Tag = ReadStreamString(stream);
        GapX = readUnits(stream);
        GapY = readUnits(stream);
    }
    if (RecordVersion[0] > 1)
        BandAlign = ReadStreamByte(stream);
}

void View::SaveToStream(QIODevice &stream)
{
    RecordVersion[0] = 2;
    WriteStreamString(stream, Name);
    WriteStreamByte(stream, RecordVersion[0]);
    WriteStreamByte(stream, RecordVersion[1]);
    WriteStreamInteger(stream, Left);
    WriteStreamInteger(stream, Top);
    WriteStreamInteger(stream, Width);
    WriteStreamInteger(stream, Height);
    WriteStreamWord(stream, Flags);
    WriteStreamWord(stream, FrameTyp);
    WriteStreamInteger(stream, storedFrameWidth(FrameWidth));
    WriteStreamInteger(stream, static_cast<qint32>(FrameColor));
    WriteStreamWord(stream, FrameStyle);
    WriteStreamInteger(stream, static_cast<qint32>(FillColor));
    if (!PreparedMode) {
        WriteStreamInteger(stream, DisplayFormatCode);
        WriteStreamString(stream, DisplayFormatText);
        WriteMemo(stream, Memo);
        WriteMemo(stream, Script);
        WriteStreamWord(stream, Visible ? 1 : 0);
    } else {
        WriteMemo(stream, OutputMemo);
    }
    WriteStreamWord(stream, Restrictions);
    WriteStreamString(stream, Tag);
    WriteStreamInteger(stream, GapX);
    WriteStreamInteger(stream, GapY);
    WriteStreamByte(stream, BandAlign);
}

void MemoView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    const int v = version();
    Font.Name = ReadStringOfVersion(stream);
    Font.Size = readUnits(stream, kMaxReportSpacing);
    Font.Style = ReadStreamWord(stream);
    Font.Color = static_cast<gdi::Color>(ReadStreamInteger(stream));
    Alignment = ReadStreamInteger(stream);
    const quint16 charset = ReadStreamWord(stream);
    Font.Charset = v < 23 ? 204 : charset;
    if (!PreparedMode) {
        Highlight.FontStyle = ReadStreamWord(stream);
        Highlight.FontColor = static_cast<gdi::Color>(ReadStreamInteger(stream));
        Highlight.FillColor = static_cast<std::uint32_t>(ReadStreamInteger(stream));
        HighlightCondition = ReadStringOfVersion(stream);
    }
    if (v >= 24) {
        LineSpacing = readUnits(stream);
        CharSpacing = readUnits(stream, kMaxReportSpacing);
    }
    if (v == 21)
        Flags |= flWordWrap;
}

void MemoView::SaveToStream(QIODevice &stream)
{
    View::SaveToStream(stream);
    WriteStreamString(stream, Font.Name);
    WriteStreamInteger(stream, Font.Size);
    WriteStreamWord(stream, static_cast<quint16>(Font.Style));
    WriteStreamInteger(stream, static_cast<qint32>(Font.Color));
    WriteStreamInteger(stream, Alignment);
    WriteStreamWord(stream, static_cast<quint16>(Font.Charset));
    if (!PreparedMode) {
        WriteStreamWord(stream, static_cast<quint16>(Highlight.FontStyle));
        WriteStreamInteger(stream, static_cast<qint32>(Highlight.FontColor));
        WriteStreamInteger(stream, static_cast<qint32>(Highlight.FillColor));
        WriteStreamString(stream, HighlightCondition);
    }
    WriteStreamInteger(stream, LineSpacing);
    WriteStreamInteger(stream, CharSpacing);
}

void BandView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    if (version() >= 24) {
        ChildBand = ReadStreamString(stream);
        Columns = readUnits(stream);
        ColumnWidth = readUnits(stream);
        ColumnGap = readUnits(stream);
        NewColumnAfter = readUnits(stream);
        if (RecordVersion[0] * 10 + RecordVersion[1] > 20)
            Master = ReadStreamString(stream);
    }
}

void BandView::SaveToStream(QIODevice &stream)
{
    RecordVersion[1] = 1;
    View::SaveToStream(stream);
    WriteStreamString(stream, ChildBand);
    WriteStreamInteger(stream, Columns);
    WriteStreamInteger(stream, ColumnWidth);
    WriteStreamInteger(stream, ColumnGap);
    WriteStreamInteger(stream, NewColumnAfter);
    WriteStreamString(stream, Master);
}

namespace {

// The picture kind byte of the stream: 0 none, 1 bitmap, 2 metafile, 3 icon,
// 4 JPEG.
quint8 streamPictureKind(ReportPicture::Kind kind)
{
    switch (kind) {
    case ReportPicture::Bitmap:
        return 1;
    case ReportPicture::Metafile:
        return 2;
    case ReportPicture::Icon:
        return 3;
    case ReportPicture::Jpeg:
        return 4;
    case ReportPicture::None:
        break;
    }
    return 0;
}

} // namespace

QByteArray ReportPicture::fileBytes() const
{
    if (!data.isEmpty() || kind == None)
        return data;
    if (kind == Metafile)
        return metafile ? metafile->toEmf() : QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const char *format = kind == Jpeg ? "JPG" : kind == Icon ? "ICO" : "BMP";
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

void PictureView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    const quint8 kind = ReadStreamByte(stream);
    if (RecordVersion[0] * 10 + RecordVersion[1] > 10)
        BlobType = ReadStreamByte(stream);
    const qint64 end = ReadStreamInteger(stream);
    const qint64 here = stream.pos();
    if (end < here || (!stream.isSequential() && end > stream.size()))
        throw StreamReadError();
    const QByteArray bytes = ReadStreamBytes(stream, end - here);
    Picture.clear();
    // A picture that cannot be read leaves the object empty; the rest of
    // the template still loads.
    if (kind != 0)
        Picture.loadFromBytes(bytes);
}

void PictureView::SaveToStream(QIODevice &stream)
{
    View::SaveToStream(stream);
    const QByteArray bytes = Picture.fileBytes();
    WriteStreamByte(stream, bytes.isEmpty() ? 0 : streamPictureKind(Picture.kind));
    WriteStreamByte(stream, BlobType);
    const qint64 at = WriteEndPlaceholder(stream);
    stream.write(bytes);
    PatchEndPosition(stream, at);
}

void SubReportView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    PageIndex = ReadStreamInteger(stream);
}

void SubReportView::SaveToStream(QIODevice &stream)
{
    View::SaveToStream(stream);
    WriteStreamInteger(stream, PageIndex);
}

} // namespace reports
