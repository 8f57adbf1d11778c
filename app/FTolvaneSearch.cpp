// The search commands of the map window ("Найти...", "Продолжить поиск",
// "Быстрый поиск"), the closing of the attribute windows' queries, and what
// the search and attribute windows of the dialogs reach of this window.

#include "app/FTolvane.h"
#include "app/LayerListRows.h"
#include "dialogs/EdInfo.h"
#include "dialogs/FEditTable.h"
#include "dialogs/FFind.h"
#include "dialogs/MapWindowHost.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

class MapHost : public dialogs::MapWindowHost {
public:
    explicit MapHost(TTolvane &w) : w_(w) {}
    MapControlCore *mapControl() override { return w_.MapImage; }
    int activeLayer() const override { return w_.ShownLayerIndex(); }
    std::vector<int> layerListOrder() const override
    {
        std::vector<int> order;
        for (int row = 0; row < w_.ListLayers->topLevelItemCount(); ++row)
            order.push_back(w_.ListLayerIndex(row));
        return order;
    }
    TMapExtent LocateObject(int layer, int index, bool select) override
    {
        return w_.LocateObject(layer, index, select);
    }
    void CentreAndRedraw(double x, double y) override { w_.CentreAndRedraw(x, y); }
    void ZoomToExtent(double x1, double y1, double x2, double y2) override { w_.ZoomToExtent(x1, y1, x2, y2); }
    void RedrawMap() override { w_.RedrawMap(); }
    void setSearchStatus(const QString &text) override
    {
        const QList<QLabel *> panels = platform::statusPanels(w_.MapStatusBar);
        if (panels.size() > 5)
            panels[5]->setText(text);
    }
    bool infoToolDown() const override { return w_.tbInfo->isChecked(); }
    void drawSelectionOverlay(int entry) override { w_.MapImage->DrawSelectionOverlay(entry); }
    void RefreshLayerRow(int layer) override { w_.RefreshLayerRow(layer); }
    QIcon bitmapIcon(int index) const override { return w_.BitmapList(index); }
    void popupStyleMenu(StylePopup popup, const QString &target, const QWidget *under) override
    {
        QMenu *menus[] = {w_.PMenuSize, w_.PMenuZoom, w_.PMenuWidth, w_.pMenuPenMode, w_.PMenuStylePlan};
        QMenu *menu = menus[static_cast<int>(popup)];
        w_.FStyleTarget = target;
        if (menu && under)
            menu->popup(under->mapToGlobal(QPoint(0, under->height())));
    }
    void stepTextRotation(const QString &target, int step, double value) override
    {
        w_.FStyleTarget = target;
        w_.SetTextRotation(step, value);
    }

private:
    TTolvane &w_;
};

} // namespace

void TTolvane::InstallMapHost()
{
    FMapHost = std::make_unique<MapHost>(*this);
    FPreviousMapHost = platform::Service<dialogs::MapWindowHost>::install(FMapHost.get());
}

void TTolvane::RemoveMapHost()
{
    if (FMapHost && &dialogs::mapWindow() == FMapHost.get())
        platform::Service<dialogs::MapWindowHost>::install(FPreviousMapHost);
    FMapHost.reset();
}

void TTolvane::N35Click()
{
    // Only layers of points, lines and polygons and the exchange kind have
    // their tables searched.
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return;
    const int kind = MapImage->Project().Layers[static_cast<size_t>(layer)].MapType;
    if (kind == 0 || kind == 1 || kind == 8)
        platform::execModal(*FindTolvane());
}

void TTolvane::N57Click()
{
    FindTolvane()->BtnNext->click();
}

void TTolvane::N121Click()
{
    platform::execModal(*FirstFind());
}

void TTolvane::CloseAttributeQueries()
{
    CloseFindQueries();
    CloseEditInfoTables();
    CloseTableEditorQueries();
}
