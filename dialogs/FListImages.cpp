#include "dialogs/FListImages.h"

#include "dialogs/FRegForm.h"
#include "dialogs/MapWindowHost.h"
#include "dialogs/OpenImage.h"
#include "geodesy/RegistrationFiles.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/EditSupport.h"
#include "mapengine/MapControlCore.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"
#include "raster/RasterObject.h"

#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
TListImages *Instance = nullptr;
}

TListImages *ListImages()
{
    if (!Instance)
        Instance = new TListImages(nullptr);
    return Instance;
}

bool storeRegisteredImage(MapControlCore &map, int layer, int index, TRasterObject &record, double &xMin,
                          double &yMin, double &xMax, double &yMax)
{
    map.LoadRasterSize(record);
    if (!map.FitRasterToControlPoints(record)) {
        platform::messageDlg(georef::collinearPointsMessage(), platform::MsgType::Warning, platform::mbOK);
        return false;
    }
    if (TMapLayer *L = mapengine::edit::layerAt(map, layer))
        L->Edited = true;
    map.WriteRasterObject(layer, index, record);
    xMin = record.XMin;
    yMin = record.YMin;
    xMax = record.XMax;
    yMax = record.YMax;
    return true;
}

TListImages::TListImages(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ListImages"));
    platform::tagForm(this, "TListImages", "TForm");
    setWindowTitle(QStringLiteral("Инспектор изображений слоя"));
    resize(420, 320);
    auto *body = new QVBoxLayout(this);
    body->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    body->addWidget(bar);
    CheckListBox = platform::named(new QListWidget(this), "CheckListBox", "TCheckListBox");
    body->addWidget(CheckListBox, 1);

    auto action = [&](QAction *&a, const char *name, const QString &text, auto slot) {
        a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        bar->addAction(a);
    };
    action(aChange, "aChange", QStringLiteral("Изменить"), [this] { ChangePicture(currentRow()); });
    action(aDelete, "aDelete", QStringLiteral("Удалить"), [this] { DeleteObject(currentRow()); });
    action(aRegister, "aRegister", QStringLiteral("Координирование"), [this] { RegisterObject(currentRow()); });
    action(aSelect, "aSelect", QStringLiteral("Выбрать"), [this] { SelectObject(currentRow()); });
    CheckListBox->setContextMenuPolicy(Qt::ActionsContextMenu);
    CheckListBox->addActions({aChange, aDelete, aRegister, aSelect});
    connect(CheckListBox, &QListWidget::itemDoubleClicked, this, [this] { ChangePicture(currentRow()); });
    connect(CheckListBox, &QListWidget::itemActivated, this, [this] { SelectObject(currentRow()); });
    connect(CheckListBox, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!filling_)
            SetShown(CheckListBox->row(item), item->checkState() == Qt::Checked);
    });
    MapFunctions::TranslateForm(objectName());
}

MapControlCore *TListImages::map() const
{
    return dialogs::mapWindow().mapControl();
}

int TListImages::currentRow() const
{
    return CheckListBox->currentRow();
}

void TListImages::FormShow()
{
    filling_ = true;
    CheckListBox->clear();
    MapControlCore *m = map();
    layer_ = dialogs::mapWindow().activeLayer();
    TMapLayer *L = m ? mapengine::edit::layerAt(*m, layer_) : nullptr;
    wasEditable_ = L && L->Edited;
    if (L) {
        for (int i = 0; i < static_cast<int>(L->Objects.size()); ++i) {
            TRasterObject record;
            record.ShapeType = 0;
            m->ReadRasterObject(layer_, i, record);
            if (record.ShapeType != shp::stRaster && record.ShapeType != 15)
                continue;
            auto *item = new QListWidgetItem(record.ImageName.trimmed(), CheckListBox);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setCheckState(record.ImageFlag == 0 ? Qt::Checked : Qt::Unchecked);
            if (L->Objects[static_cast<size_t>(i)].Deleted)
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
    }
    filling_ = false;
}

void TListImages::Execute()
{
    FormShow();
    platform::execModal(*this);
}

void TListImages::done(int result)
{
    if (MapControlCore *m = map())
        if (TMapLayer *L = mapengine::edit::layerAt(*m, layer_))
            L->Edited = wasEditable_;
    QDialog::done(result);
}

bool TListImages::usable(int row) const
{
    MapControlCore *m = map();
    TMapObject *obj = m ? mapengine::edit::objectAt(*m, layer_, row) : nullptr;
    QListWidgetItem *item = CheckListBox->item(row);
    return obj && item && !obj->Deleted && (item->flags() & Qt::ItemIsEnabled);
}

void TListImages::store(int row, const TRasterObject &record)
{
    MapControlCore &m = *map();
    if (TMapLayer *L = mapengine::edit::layerAt(m, layer_))
        L->Edited = true;
    m.WriteRasterObject(layer_, row, record);
    dialogs::mapWindow().RedrawMap();
}

void TListImages::ChangePicture(int row)
{
    if (!usable(row))
        return;
    MapControlCore &m = *map();
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Открыть изображение");
    request.filter = dialogs::openImageFilter();
    request.initialDir = m.WorkDir();
    request.fileName = CheckListBox->item(row)->text();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!m.WorkDir().isEmpty())
        QDir::setCurrent(m.WorkDir());
    if (!answer.accepted || answer.files.isEmpty())
        return;
    TRasterObject record;
    if (!m.ReadRasterObject(layer_, row, record))
        return;
    // The record keeps 200 characters of the name.
    record.ImageName = MapFunctions::RelativeFileName(answer.files.front(), m.WorkDir()).left(200);
    m.FitRasterToControlPoints(record);
    store(row, record);
    CheckListBox->item(row)->setText(record.ImageName);
}

void TListImages::DeleteObject(int row)
{
    if (!usable(row))
        return;
    MapControlCore &m = *map();
    TMapLayer *L = mapengine::edit::layerAt(m, layer_);
    TMapObject *obj = mapengine::edit::objectAt(m, layer_, row);
    obj->Shape.clearParts();
    L->ObjectsDeleted = true;
    obj->Deleted = true;
    mapengine::edit::journal(m, layer_, row);
    CheckListBox->item(row)->setFlags(CheckListBox->item(row)->flags() & ~Qt::ItemIsEnabled);
    dialogs::mapWindow().RedrawMap();
}

void TListImages::RegisterObject(int row)
{
    if (!usable(row))
        return;
    MapControlCore &m = *map();
    TRasterObject record;
    if (!m.ReadRasterObject(layer_, row, record))
        return;
    TRegForm form(this, m.WorkDir());
    if (form.Execute(record) != 1)
        return;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (storeRegisteredImage(m, layer_, row, record, x1, y1, x2, y2))
        dialogs::mapWindow().RedrawMap();
}

void TListImages::SelectObject(int row)
{
    if (!usable(row))
        return;
    TRasterObject record;
    if (map()->ReadRasterObject(layer_, row, record))
        dialogs::mapWindow().ZoomToExtent(record.XMin, record.YMin, record.XMax, record.YMax);
}

void TListImages::SetShown(int row, bool shown)
{
    if (!usable(row))
        return;
    TRasterObject record;
    if (!map()->ReadRasterObject(layer_, row, record))
        return;
    record.ImageFlag = shown ? 0 : 1;
    store(row, record);
}
