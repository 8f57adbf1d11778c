#pragma once
// The legend editor TProLegend ("Параметры отображения"): classifies the
// values of one attribute field of the layer into classes, gives each a
// colour of a ramp, a symbol size or a bitmap number, shows each class's
// sample and saves the classes as the layer's legend.

#include "dialogs/LegendClasses.h"
#include "platform/db/Query.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;
class MapControlCore;

class TProLegend : public QDialog {
public:
    TProLegend();

    // The map whose layer is edited; the map window's when not set.
    MapControlCore *Map = nullptr;
    int LegendLayerIndex = -1;

    QComboBox *cbListLayers = nullptr;
    QComboBox *cbListTypes = nullptr;
    QComboBox *cbListFields = nullptr;
    QComboBox *cbListColor = nullptr;
    QLineEdit *edLegendCount = nullptr;
    QToolButton *sbSortDown = nullptr, *sbSortUp = nullptr;
    QTableWidget *StringGrid = nullptr;
    QPushButton *bSave = nullptr, *bCancel = nullptr, *bRefresh = nullptr;
    platform::db::Query fDBF;

    // Shows the editor for a layer of the map, modally.
    bool Execute(int layer);
    // Fills the controls from the layer (what showing does).
    void FormShow();
    void BuildLegendClasses(bool countFromData);
    void UpdateLegendControls();
    // The grid's class rows (rows 1 ..).
    std::vector<legend::Row> gridRows() const;
    void setGridRows(const std::vector<legend::Row> &rows);
    void Save();
    const TMapLayer *layer() const;
    MapControlCore *mapControl() const;

private:
    TMapLayer *layerRecord();
    MapControlCore *map() const;
    void fieldChosen();
    void countEntered();
    void cellDoubleClicked(int row, int column);
    int count() const;
    bool filling_ = false;
};

TProLegend *ProLegend();
