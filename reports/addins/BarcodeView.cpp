#include "reports/addins/BarcodeView.h"

#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/SystemColors.h"
#include "reports/model/ReportLibrary.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace reports {

using platform::roundToInt;

namespace {

const QString kPlaceholder = QStringLiteral("12345678");
// The human-readable line: its font height and the room it takes.
constexpr int kTextHeight = 12;
constexpr int kTextRoom = 14;
constexpr double kMaxSide = 1e6;

bool isVertical(double angle)
{
    return angle == 90 || angle == 270;
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

BarCodeView::BarCodeView()
{
    BaseName = QStringLiteral("Bar");
    Memo = QStringList{kPlaceholder};
}

std::function<void(BarCodeView &)> &BarCodeView::Editor()
{
    static std::function<void(BarCodeView &)> editor;
    return editor;
}

void BarCodeView::ShowEditor()
{
    if (Editor())
        Editor()(*this);
}

void BarCodeView::BuildPropertyList()
{
    View::BuildPropertyList();
    AddProperty(QStringLiteral("Barcode"), pkEditor, [](ReportObject *object) {
        if (auto *view = dynamic_cast<BarCodeView *>(object))
            view->ShowEditor();
    });
    AddProperty(QStringLiteral("DataField"), pkString | pkEditor | pkSingleOnly, editorHooks().DataField);
}

QString BarCodeView::DrawnText() const
{
    QString text = Memo.isEmpty() ? QString() : Memo.first();
    if (text.isEmpty() || text.startsWith(u'['))
        return kPlaceholder;
    if (BarcodeTypeNumeric(Param.Type) && !allDigits(text.trimmed()))
        return kPlaceholder;
    return text;
}

void BarCodeView::Draw(gdi::Canvas &canvas)
{
    if (Width < 0 || Height < 0 || (Memo.size() == 1 && Memo.first().isEmpty()))
        return;
    BeginDraw(canvas);
    const bool vertical = isVertical(Param.Angle);
    BarC.SetAngle(Param.Angle);
    BarC.SetRatio(2);
    BarC.SetModul(1);
    BarC.SetChecksum(Param.CheckSum);
    BarC.SetColor(FillColor == clNone ? gdi::rgb(255, 255, 255) : gdi::resolveColor(FillColor));
    BarC.SetTyp(Param.Type);
    BarC.SetText(DrawnText());

    int symbolWidth = 0;
    try {
        symbolWidth = BarC.Width();
    } catch (const BarcodeError &) {
        // A text the symbology cannot carry (a character outside its set)
        // draws no symbol rather than ending the preview.
        return;
    }
    // A zoom read from a damaged record is held to sizes a page can have.
    const double zoomed = symbolWidth * Param.Zoom;
    const int side = std::isfinite(zoomed) ? roundToInt(std::clamp(zoomed, -kMaxSide, kMaxSide)) : 0;
    if (vertical)
        Height = side;
    else
        Width = side;
    const int pictureWidth = vertical ? Width : symbolWidth;
    const int pictureHeight = vertical ? symbolWidth : Height;
    const int barHeight = (vertical ? pictureWidth : pictureHeight) - (Param.ShowText ? kTextRoom : 0);

    if (BarC.Text().trimmed() == u"0")
        return;

    gdi::Metafile picture(gdi::screenMetrics());
    picture.setSizeInPixels(pictureWidth, pictureHeight);
    {
        gdi::MetafileCanvas c(picture);
        BarC.SetLeft(0);
        BarC.SetTop(0);
        BarC.SetHeight(barHeight);
        if (Param.Type == bcCodePostNet && Param.Angle == 0) {
            // Upside down, so that the short bars stand on the base line.
            BarC.SetTop(barHeight);
            BarC.SetHeight(-barHeight);
        } else if (Param.Angle == 180) {
            BarC.SetTop(pictureHeight - barHeight);
        } else if (Param.Angle == 270) {
            BarC.SetLeft(pictureWidth - barHeight);
        }
        BarC.DrawBarcode(c);

        if (Param.ShowText) {
            const QString text = BarC.Text();
            gdi::LogFont font;
            font.faceName = QStringLiteral("Courier New");
            font.height = kTextHeight;
            // The picture is stretched along the symbol only, and a font's
            // height follows the vertical stretch: a turned line keeps its
            // 12 units across when its font is made smaller by the zoom.
            if (vertical && Param.Zoom > 0)
                font.height = std::max(1, roundToInt(kTextHeight / Param.Zoom));
            font.charSet = gdi::RUSSIAN_CHARSET;
            font.escapement = font.orientation = roundToInt(Param.Angle * 10);
            c.setFont(font);
            c.setTextColor(0);
            c.setBkMode(gdi::TRANSPARENT);
            c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
            const int tw = c.textExtent(text).cx;
            if (Param.Angle == 90)
                c.textOut(pictureWidth - kTextHeight, (pictureHeight + tw) / 2, text);
            else if (Param.Angle == 270)
                c.textOut(kTextHeight, (pictureHeight - tw) / 2, text);
            else if (Param.Angle == 180)
                c.textOut((pictureWidth + tw) / 2, kTextHeight, text);
            else
                c.textOut((pictureWidth - tw) / 2, pictureHeight - kTextHeight, text);
        }
        c.finish();
    }

    SaveCoordinates();
    ShowBackground();
    canvas.drawMetafile(picture, gdi::Rect{Left, Top, Left + Width, Top + Height});
    ShowFrame();
    RestoreCoordinates();
}

void BarCodeView::PrintToStream(QIODevice &stream)
{
    // The view prints the object; its record takes the expression's value
    // (SaveToStream) once the script has run and the tag is expanded.
    printing_ = true;
    View::PrintToStream(stream);
    printing_ = false;
}

void BarCodeView::takeExpressionValue()
{
    if (OutputMemo.isEmpty() || !OutputMemo.first().startsWith(u'['))
        return;
    try {
        OutputMemo[0] = library().ReportParser.Calc(OutputMemo.first()).toString();
    } catch (const std::exception &) {
        // No value, no symbol: a single empty line draws nothing, where a
        // stand-in value would print a readable barcode of wrong data.
        OutputMemo = QStringList{QString()};
    }
}

void BarCodeView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    const QByteArray b = stream.read(BarCodeParams::kSize);
    if (b.size() != BarCodeParams::kSize)
        throw std::runtime_error("barcode record cut short");
    const char *p = b.constData();
    BarCodeParams param;
    param.CheckSum = p[0] != 0;
    param.ShowText = p[1] != 0;
    param.Reserved = static_cast<quint8>(p[2]);
    param.Type = static_cast<quint8>(p[3]);
    param.Version = static_cast<quint8>(p[4]);
    param.Zoom = qFromLittleEndian<double>(p + 8);
    param.Angle = qFromLittleEndian<double>(p + 16);
    if (param.Version == 1) {
        param.Zoom /= 2;
        param.Version = 2;
    }
    Param = param;
}

void BarCodeView::SaveToStream(QIODevice &stream)
{
    if (std::exchange(printing_, false))
        takeExpressionValue();
    View::SaveToStream(stream);
    char b[BarCodeParams::kSize] = {};
    b[0] = Param.CheckSum ? 1 : 0;
    b[1] = Param.ShowText ? 1 : 0;
    b[2] = static_cast<char>(Param.Reserved);
    b[3] = static_cast<char>(Param.Type);
    b[4] = static_cast<char>(Param.Version);
    qToLittleEndian<double>(Param.Zoom, b + 8);
    qToLittleEndian<double>(Param.Angle, b + 16);
    stream.write(b, sizeof b);
}

std::vector<std::pair<QString, QString>> BarCodeView::FR3Attributes(const FieldResolver &resolve) const
{
    const QString first = Memo.isEmpty() ? QString() : Memo.first();
    std::vector<std::pair<QString, QString>> out = {
        {QStringLiteral("Text"), first},
        {QStringLiteral("BarType"), QString::number(Param.Type)},
        {QStringLiteral("CalcCheckSum"), Param.CheckSum ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("Rotation"), platform::floatToStr(Param.Angle)},
        {QStringLiteral("ShowText"), Param.ShowText ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("Zoom"), platform::floatToStr(Param.Zoom)},
    };
    QString dataSet, field;
    if (resolve && resolve(first, dataSet, field)) {
        out.emplace_back(QStringLiteral("DataSet"), dataSet);
        out.emplace_back(QStringLiteral("DataField"), field);
    }
    return out;
}

void RegisterBarCodeAddIn()
{
    RegisterAddIn(
        QStringLiteral("TfrBarCodeView"), [] { return std::make_unique<BarCodeView>(); },
        QStringLiteral("FR_BARCODEVIEW"), QStringLiteral("Вставить штрихкод"));
}

} // namespace reports
