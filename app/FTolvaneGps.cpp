// GPS tracking by SMS: tbTrimTrac sends the position request to every tracker
// of the navigation layers and switches the timer; each tick of TimerIncome
// takes in the modem's messages and extends the tracks with the positions
// the trackers report.
//
// A navigation layer holds one track per tracker; row n of its table (from
// 1) belongs to object n - 1 and gives the tracker's "PHONE", the "REQUEST"
// text that asks it for its position and its unit number "NUM".

#include "app/FTolvane.h"
#include "app/SmsControls.h"
#include "app/TrackerMessage.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/Table.h"

#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <vector>

namespace {

// A navigation layer whose modem is named and that is shown at the current
// scale (a view scale of 0 counts as 1:1).
bool takesPart(const TMapVyk &map, const TMapLayer &L)
{
    if (L.MapType != mtShapeLayer || L.ObjType != otNavigation)
        return false;
    if (L.Device.trimmed().isEmpty() || L.PIN.trimmed().isEmpty() || !L.Visible)
        return false;
    if (L.ScaleView) {
        const double n = map.View().Scale == 0 ? 1 : TMapVyk::ScaleToDenominator(map.View().Scale);
        if (n < L.ScaleMin || n > L.ScaleMax)
            return false;
    }
    return true;
}

// The layers that take part, in the order of the layer list from its last
// row to its first.
std::vector<int> trackingLayers(const TTolvane &w)
{
    std::vector<int> layers;
    for (int row = w.ListLayers->topLevelItemCount() - 1; row >= 0; --row) {
        const int n = w.ListLayerIndex(row);
        if (w.ValidLayer(n) && takesPart(*w.MapImage, w.MapImage->Project().Layers[static_cast<size_t>(n)]))
            layers.push_back(n);
    }
    return layers;
}

// The layer's table, open for reading; false when the layer has none.
bool openLayerTable(TMapVyk &map, int layer, platform::db::Table &table)
{
    const QString path = platform::findExistingPath(map.LayerTableName(layer));
    if (path.isEmpty())
        return false;
    // Opened by its own path: a layer outside the work folder reads its own
    // table, not one of the same name in the work folder.
    table.setTableName(path);
    table.setTableType(platform::db::TableType::DBase);
    table.setReadOnly(true);
    table.open();
    return true;
}

// Makes a component with the layer's modem settings; it is kept only once
// connected, so that a failed attempt is made afresh the next time.
template <typename Component>
std::unique_ptr<Component> connectedComponent(std::unique_ptr<Component> c, const TMapLayer &L)
{
    c->Device = L.Device.trimmed();
    c->SetTrace(0);
    c->SetPin(L.PIN.trimmed());
    c->Connect();
    return c;
}

QString fieldText(platform::db::Field *field)
{
    return field ? field->asString().trimmed() : QString();
}

} // namespace

void TTolvane::tbTrimTracClick()
{
    if (!tbTrimTrac->isChecked()) {
        TimerIncome->stop();
        return;
    }
    TimerIncome->start();
    TMapVyk &map = *MapImage;
    for (const int n : trackingLayers(*this)) {
        const TMapLayer &L = map.Project().Layers[static_cast<size_t>(n)];
        // One sending component for the run, with the first layer's modem.
        if (!app::GsmOut)
            app::GsmOut = connectedComponent(platform::createGsmOut(), L);
        platform::db::Table table;
        if (!openLayerTable(map, n, table))
            continue;
        platform::db::Field *phone = table.findField(u"PHONE");
        platform::db::Field *request = table.findField(u"REQUEST");
        if (!phone || !request)
            continue;
        for (table.first(); !table.eof(); table.next()) {
            if (table.isDeletedRecord())
                continue;
            const QString number = fieldText(phone);
            const QString text = fieldText(request);
            if (number.isEmpty() || text.isEmpty())
                continue;
            app::GsmOut->MessageData = text;
            app::GsmOut->MessageRecipient = number;
            app::GsmOut->Send();
        }
    }
}

void TTolvane::TimerIncomeTimer()
{
    try {
        TMapVyk &map = *MapImage;
        // The modem is read once a tick and its messages offered to every
        // layer: a message taken in is gone from the modem, so a second read
        // for the next layer would find nothing.
        bool taken = false;
        std::vector<QString> texts;
        for (const int n : trackingLayers(*this)) {
            // One receiving component for the run, with the first layer's modem.
            if (!app::GsmIn)
                app::GsmIn = connectedComponent(platform::createGsmIn(), map.Project().Layers[static_cast<size_t>(n)]);
            platform::db::Table table;
            if (!openLayerTable(map, n, table))
                continue;
            if (!taken) {
                platform::IGsmIn &in = *app::GsmIn;
                in.SetDeleteAfterReceive(1);
                in.SetReceiveRead(1);
                in.Receive();
                if (!in.Eof()) {
                    in.First();
                    while (!in.Eof()) {
                        texts.push_back(in.MessageText());
                        in.Next();
                    }
                }
                taken = true;
            }
            platform::db::Field *num = table.findField(u"NUM");
            if (!num)
                continue;
            for (const QString &text : texts) {
                TTrackerMessage status, position;
                ParseTrackerMessage(text, status, position);
                if (position.Kind != u"P" || !position.Placeable)
                    continue;
                const QString unit = position.Unit.trimmed();
                for (table.first(); !table.eof(); table.next()) {
                    if (table.isDeletedRecord() || !platform::ansiSameText(fieldText(num), unit))
                        continue;
                    map.AppendTrackPoint(n, table.recNo() - 1, position.Unit, position.Longitude, position.Latitude,
                                         position.Value58);
                    break;
                }
            }
        }
        // The map is not redrawn here: the points show at the next redraw.
    } catch (...) {
        // Tracking stops, so that a modem that fails is reported once and
        // not again every ten seconds.
        TimerIncome->stop();
        tbTrimTrac->setChecked(false);
        throw;
    }
}
