#include "reports/addins/ShapeView.h"

#include "platform/Rounding.h"
#include "platform/gdi/SystemColors.h"
#include "reports/model/ReportLibrary.h"

#include <QIODevice>

#include <cmath>
#include <stdexcept>

namespace reports {

namespace {

const char *const kKindNames[] = {"skRectangle", "skRoundRectangle", "skEllipse",
                                  "skTriangle",  "skDiagonal1",      "skDiagonal2"};

// A rectangle with rounded corners as a closed outline: the graphics layer
// draws polygons, and each corner is a quarter of an ellipse `cw` wide and
// `ch` high inside the box.
std::vector<QPoint> roundRectOutline(const gdi::Rect &box, int cw, int ch)
{
    const double rx = cw / 2.0, ry = ch / 2.0;
    const double l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    const struct {
        double cx, cy, from;
    } corners[] = {{r - rx, t + ry, -M_PI / 2}, {r - rx, b - ry, 0}, {l + rx, b - ry, M_PI / 2}, {l + rx, t + ry, M_PI}};
    constexpr int steps = 8;
    std::vector<QPoint> points;
    for (const auto &c : corners)
        for (int k = 0; k <= steps; ++k) {
            const double a = c.from + k * (M_PI / 2) / steps;
            points.emplace_back(platform::roundToInt(c.cx + rx * std::cos(a)),
                                platform::roundToInt(c.cy + ry * std::sin(a)));
        }
    return points;
}

} // namespace

ShapeView::ShapeView()
{
    ObjectType = 10;
    BaseName = QStringLiteral("Shape");
    Variables &constants = library().ScriptConstants;
    for (int i = 0; i < 6; ++i)
        constants.SetVariable(QString::fromLatin1(kKindNames[i]), Variant(i));
}

void ShapeView::BuildPropertyList()
{
    View::BuildPropertyList();
    AddEnumProperty(QStringLiteral("Shape"),
                    QStringLiteral("skRectangle;skRoundRectangle;skEllipse;skTriangle;skDiagonal1;skDiagonal2"),
                    {Variant(0), Variant(1), Variant(2), Variant(3), Variant(4), Variant(5)});
}

void ShapeView::SetProperty(const QString &name, const Variant &value)
{
    View::SetProperty(name, value);
    if (name.toUpper() == u"SHAPE")
        ShapeType = static_cast<quint8>(value.toInt());
}

Variant ShapeView::GetProperty(const QString &name)
{
    Variant v = View::GetProperty(name);
    if (v.isNull() && name.toUpper() == u"SHAPE")
        return Variant(int(ShapeType));
    return v;
}

void ShapeView::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    OutputMemo = Memo;
    SaveCoordinates();
    const std::uint32_t fill = FillColor;
    FillColor = clNone;
    ShowBackground();
    ShowFrame();
    FillColor = fill;

    canvas.setPen(gdi::Pen{gdi::PS_SOLID, platform::roundToInt(FrameWidth), gdi::resolveColor(FrameColor)});
    canvas.setBkMode(gdi::OPAQUE);
    canvas.setBrush(fill == clNone ? gdi::Brush{gdi::BS_NULL, gdi::rgb(255, 255, 255), gdi::HS_HORIZONTAL}
                                   : gdi::Brush{gdi::BS_SOLID, gdi::resolveColor(fill), gdi::HS_HORIZONTAL});
    const int left = Left, top = Top, right = ScaledRight(), bottom = ScaledBottom();
    const gdi::Rect box{left, top, right + 1, bottom + 1};
    switch (ShapeType) {
    case skRectangle:
        canvas.rectangle(box);
        break;
    case skRoundRectangle: {
        const int corner = std::min(Width, Height) / 4;
        canvas.polygon(roundRectOutline(box, corner, corner));
        break;
    }
    case skEllipse:
        canvas.ellipse(box);
        break;
    case skTriangle:
        canvas.polygon({QPoint(right, bottom), QPoint(left, bottom), QPoint(left + (right - left) / 2, top)});
        break;
    case skDiagonal1:
        canvas.moveTo(left, bottom);
        canvas.lineTo(right, top);
        break;
    case skDiagonal2:
        canvas.moveTo(left, top);
        canvas.lineTo(right, bottom);
        break;
    default:
        break;
    }
    RestoreCoordinates();
}

void ShapeView::LoadFromStream(QIODevice &stream)
{
    View::LoadFromStream(stream);
    char kind = 0;
    if (!stream.getChar(&kind))
        throw std::runtime_error("shape record cut short");
    ShapeType = static_cast<quint8>(kind);
}

void ShapeView::SaveToStream(QIODevice &stream)
{
    View::SaveToStream(stream);
    stream.putChar(static_cast<char>(ShapeType));
}

void RegisterShapeAddIn()
{
    RegisterAddIn(QStringLiteral("TfrShapeView"), [] { return std::make_unique<ShapeView>(); },
                  QStringLiteral("FR_SHAPE"), QStringLiteral("Вставить фигуру"));
}

} // namespace reports
