#include "dialogs/FNewMapPoint.h"

#include "dialogs/MapWindowHost.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/EditSupport.h"
#include "mapengine/MapControlCore.h"
#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TNewMapPoint *Instance = nullptr;

// Vertex rows the grid starts with (its header is the thousandth row).
constexpr int kInitialRows = 999;

QString cell(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TNewMapPoint *NewMapPoint()
{
    if (!Instance)
        Instance = new TNewMapPoint(nullptr);
    return Instance;
}

TNewMapPoint::TNewMapPoint(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NewMapPoint"));
    platform::tagForm(this, "TNewMapPoint", "TForm");
    setWindowTitle(QStringLiteral("Список координат"));
    resize(360, 480);
    auto *body = new QVBoxLayout(this);
    body->setContentsMargins(0, 0, 0, 0);
    StringGrid = platform::named(new QTableWidget(kInitialRows, 3, this), "StringGrid", "TStringGrid");
    StringGrid->setHorizontalHeaderLabels(
        {QStringLiteral("№"), QStringLiteral("           X"), QStringLiteral("           Y")});
    StringGrid->verticalHeader()->hide();
    StringGrid->verticalHeader()->setDefaultSectionSize(22);
    StringGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    StringGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    StringGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    body->addWidget(StringGrid);

    auto action = [&](QAction *&a, const char *name, const QString &text) {
        a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        StringGrid->addAction(a);
    };
    action(nClear, "nClear", QStringLiteral("Очистить"));
    action(nCopy, "nCopy", QStringLiteral("Копировать"));
    action(nCut, "nCut", QStringLiteral("Вырезать"));
    action(nPaste, "nPaste", QStringLiteral("Вставить"));
    StringGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(nClear, &QAction::triggered, this, [this] { Clear(); });
    connect(nCopy, &QAction::triggered, this, [this] { Copy(); });
    connect(nPaste, &QAction::triggered, this, [this] { Paste(); });
    connect(StringGrid, &QTableWidget::cellClicked, this, [this](int row, int) { MarkRow(row); });
    Renumber();
    VykFunctions::TranslateForm(objectName());
}

int TNewMapPoint::VertexRows() const
{
    return StringGrid->rowCount();
}

void TNewMapPoint::Renumber()
{
    for (int r = 0; r < StringGrid->rowCount(); ++r) {
        auto *n = new QTableWidgetItem(QString::number(r + 1));
        n->setFlags(n->flags() & ~Qt::ItemIsEditable);
        StringGrid->setItem(r, 0, n);
    }
}

void TNewMapPoint::Clear()
{
    for (int r = 0; r < StringGrid->rowCount(); ++r) {
        StringGrid->setItem(r, 1, new QTableWidgetItem);
        StringGrid->setItem(r, 2, new QTableWidgetItem);
    }
    Renumber();
}

void TNewMapPoint::EnsureRows(int vertexRows)
{
    if (vertexRows <= StringGrid->rowCount())
        return;
    const int old = StringGrid->rowCount();
    StringGrid->setRowCount(vertexRows);
    for (int r = old; r < vertexRows; ++r) {
        auto *n = new QTableWidgetItem(QString::number(r + 1));
        n->setFlags(n->flags() & ~Qt::ItemIsEditable);
        StringGrid->setItem(r, 0, n);
    }
}

void TNewMapPoint::SetVertex(int row, const QString &x, const QString &y)
{
    EnsureRows(row + 1);
    StringGrid->setItem(row, 1, new QTableWidgetItem(x));
    StringGrid->setItem(row, 2, new QTableWidgetItem(y));
}

std::vector<georef::ListVertex> TNewMapPoint::Vertices() const
{
    std::vector<georef::VertexRow> rows;
    rows.reserve(static_cast<size_t>(StringGrid->rowCount()));
    for (int r = 0; r < StringGrid->rowCount(); ++r)
        rows.push_back({cell(StringGrid, r, 1), cell(StringGrid, r, 2)});
    return georef::vertexList(rows);
}

void TNewMapPoint::FormShow()
{
    StringGrid->setRowCount(kInitialRows);
    Clear();
    if (Hint != QLatin1String("Edit"))
        return;
    MapControlCore *map = dialogs::mapWindow().mapControl();
    if (!map || map->Selection().Entries.size() != 1)
        return;
    const TSelObject &e = map->Selection().Entries.front();
    if (!mapengine::edit::objectAt(*map, e.Layer, e.Index))
        return;
    TShpObject shape;
    map->ReadObject(e.Layer, e.Index, shape);
    int row = 0;
    for (const TShpParts &part : shape.Parts)
        for (const TShpPoint &p : part.Points)
            SetVertex(row++, platform::floatToStr(p.Y), platform::floatToStr(p.X));
}

QString TNewMapPoint::CopyText() const
{
    QStringList lines;
    const std::vector<georef::ListVertex> list = Vertices();
    for (size_t i = 0; i < list.size(); ++i)
        lines << georef::formatPointValue(QString::number(i + 1), QString(), list[i].X, list[i].Y, 0);
    return lines.join(QStringLiteral("\r\n"));
}

void TNewMapPoint::Copy()
{
    QApplication::clipboard()->setText(CopyText());
}

void TNewMapPoint::PasteText(const QString &text)
{
    int row = static_cast<int>(Vertices().size());
    for (const QString &line : georef::clipboardLines(text)) {
        const georef::ParsedPointLine p = georef::parsePointLine(line);
        SetVertex(row++, platform::floatToStr(p.X), platform::floatToStr(p.Y));
    }
}

void TNewMapPoint::Paste()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        PasteText(text);
}

void TNewMapPoint::MarkRow(int row)
{
    MapControlCore *map = dialogs::mapWindow().mapControl();
    if (!map || row < 0)
        return;
    const std::vector<georef::ListVertex> list = Vertices();
    if (row >= static_cast<int>(list.size()))
        return;
    map->DrawPointMark(list[static_cast<size_t>(row)].Y, list[static_cast<size_t>(row)].X);
}

bool TNewMapPoint::Execute(const QString &mode)
{
    Hint = mode;
    FormShow();
    platform::execModal(*this);
    return Hint == QLatin1String("Ok");
}

void TNewMapPoint::done(int result)
{
    WriteBack();
    QDialog::done(result);
}

void TNewMapPoint::WriteBack()
{
    MapControlCore *map = dialogs::mapWindow().mapControl();
    if (!map)
        return;
    const int active = dialogs::mapWindow().activeLayer();
    TMapLayer *current = mapengine::edit::layerAt(*map, active);
    const std::vector<georef::ListVertex> list = Vertices();
    // The current layer's edit switch is on, and there is a line at least.
    if (!current || !current->Edited || list.size() < 2)
        return;
    const std::vector<int> starts = georef::partStarts(list);
    const QString question = QStringLiteral("Сохранить координаты ?");
    if (Hint == QLatin1String("New")) {
        if (platform::messageDlg(question, platform::MsgType::Confirmation, platform::mbYesNo) == platform::mrYes) {
            TNewObject &figure = map->NewObject();
            figure.Points.clear();
            figure.Parts.clear();
            for (size_t i = 0; i < list.size(); ++i) {
                TNewPoint p;
                p.Number = static_cast<std::int32_t>(i + 1);
                p.Point.X = list[i].Y;
                p.Point.Y = list[i].X;
                figure.Points.push_back(p);
            }
            for (int s : starts)
                figure.Parts.push_back(s);
            if (list.size() > 2)
                map->CommitNewObject(active, true, true);
            figure.Points.clear();
            figure.Parts.clear();
            Hint = QStringLiteral("Ok");
        }
        return;
    }
    if (Hint != QLatin1String("Edit") || map->Selection().Entries.empty())
        return;
    const TSelObject e = map->Selection().Entries.front();
    TMapObject *obj = mapengine::edit::objectAt(*map, e.Layer, e.Index);
    if (!obj)
        return;
    const bool yes =
        platform::messageDlg(question, platform::MsgType::Confirmation, platform::mbYesNo) == platform::mrYes;
    if (yes && mapengine::edit::editableLayerAt(*map, e.Layer)) {
        TShpObject &shape = *obj->Shape;
        map->ReadObjectInLayerUnits(e.Layer, e.Index, shape);
        shape.Parts.clear();
        std::vector<georef::ListVertex> stored;
        for (size_t k = 0; k < starts.size(); ++k) {
            const size_t end = k + 1 < starts.size() ? static_cast<size_t>(starts[k + 1]) : list.size();
            TShpParts part;
            for (size_t i = static_cast<size_t>(starts[k]); i < end; ++i) {
                double x = list[i].Y, y = list[i].X;
                map->MapPointToLayer(e.Layer, x, y);
                TShpPoint p;
                p.X = x;
                p.Y = y;
                part.Points.push_back(p);
                stored.push_back({y, x});
            }
            shape.Parts.push_back(std::move(part));
        }
        const georef::VertexBox box = georef::vertexBox(stored);
        shape.XMin = box.XMin;
        shape.YMin = box.YMin;
        shape.XMax = box.XMax;
        shape.YMax = box.YMax;
        mapengine::edit::finishEdit(*map, e.Layer, e.Index);
    }
    Hint = QStringLiteral("Ok");
}
