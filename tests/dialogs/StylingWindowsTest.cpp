// The legend editor, the layer properties dialog and the object view as the
// map window's commands open them (the dialog seam), on layers in a
// temporary work folder: a purpose legend of parcels, a layer shown and saved
// untouched, and the sketch of a square parcel with its "map.wmf".

#include "dialogs/DialogSeams.h"
#include "dialogs/FMapView.h"
#include "dialogs/FProLayer.h"
#include "dialogs/FProLegend.h"
#include "dialogs/LabelDialogs.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/ProjectFile.h"
#include "platform/Environment.h"
#include "platform/TextCodec.h"
#include "mapengine/StyleRenderers.h"
#include "platform/gdi/Metafile.h"
#include "support/TestFiles.h"

#include "EngineFixtures.h"
#include "support/ScriptedAnswers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

using maptest::EngineProject;
using testsupport::ScriptedAnswers;

namespace {

QByteArray square(double x0, double y0, double side)
{
    return fixtures::polyContent(5, {x0, y0, x0 + side, y0 + side}, {0},
                                 {{x0, y0}, {x0, y0 + side}, {x0 + side, y0 + side}, {x0 + side, y0}, {x0, y0}});
}

const char *const Purposes[] = {"Сад", "Город", "Ліс", "Поле", "Луг", "Садиба", "Двір"};

// Seven parcels with seven purposes (and one repeated) in the work folder.
struct Parcels : EngineProject, dialogs::MapWindowHost {
    int layer;
    int redraws = 0;
    platform::ScopedService<dialogs::MapWindowHost> host{*this};
    platform::ScopedService<platform::DecimalSeparator> point{u'.'};

    Parcels()
    {
        map.SetProgramDir(dir.path());
        std::vector<QByteArray> shapes;
        for (int i = 0; i < 8; ++i)
            shapes.push_back(square(1000 + 20 * i, 1000, 10));
        layer = addLayer(QStringLiteral("parcels"), 5, shapes);
        std::vector<fixtures::DbfRow> rows;
        for (int i = 0; i < 8; ++i)
            rows.push_back({false, {QByteArray::number(i + 1), platform::toCp1251(QString::fromUtf8(Purposes[i % 7]))}});
        dir.write(QStringLiteral("parcels.dbf"), fixtures::dbf({{"ID", 'N', 10}, {"PURPOSE", 'C', 20}}, rows));
        TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
        L.ObjType = 3;
        L.Projection = QStringLiteral("stere");
        L.StrProject = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=4300000");
        L.Proj_K = 0;
    }
    MapControlCore *mapControl() override { return &map; }
    void RedrawMap() override { ++redraws; }
    TMapLayer &L() { return map.Project().Layers[static_cast<size_t>(layer)]; }
};

QStringList block(const TMapLayer &L)
{
    QStringList lines;
    projectfile::writeLayerBlock(lines, L, 1);
    return lines;
}

QString artefact(const QString &name)
{
    const QString folder = QDir::current().filePath(QStringLiteral("artefacts"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

} // namespace

TEST(StylingWindows, APurposeLegendInTheRedRampColoursTheParcels)
{
    Parcels p;
    TProLegend *d = ProLegend();
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &shown) {
        EXPECT_EQ(&shown, d);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Параметры отображения"));
        EXPECT_EQ(d->cbListLayers->currentText(), QStringLiteral("parcels"));
        EXPECT_EQ(p.L().BrushType, 1) << "a polygon layer gets a fill on showing";
        d->cbListTypes->setCurrentIndex(legend::Palette);
        d->cbListColor->setCurrentIndex(0);   // "красная"
        d->cbListFields->setCurrentIndex(d->cbListFields->findText(QStringLiteral("PURPOSE")));
        d->BuildLegendClasses(true);
        EXPECT_EQ(d->edLegendCount->text(), QStringLiteral("7"));
        EXPECT_EQ(d->StringGrid->rowCount(), 8);
        EXPECT_EQ(d->StringGrid->item(0, 1)->text(), QStringLiteral("Город")) << "grouped values ascend";
        EXPECT_EQ(d->StringGrid->item(6, 2)->text(), QString::number(200));
        d->resize(420, 300);
        d->StringGrid->grab().save(artefact(QStringLiteral("legend-grid.png")));
        d->bSave->click();
        return d->result();
    });
    EXPECT_TRUE(dialogs::dialogSeams().ShowLegendEditor(p.layer));
    const TMapLayer &L = p.L();
    ASSERT_EQ(L.Legend.size(), 7u);
    EXPECT_EQ(L.TypeLegend, legend::Palette);
    EXPECT_EQ(L.FieldNameLegend, QStringLiteral("PURPOSE"));
    EXPECT_EQ(L.Legend[0].ObjType, 2);
    EXPECT_EQ(L.Legend[6].Number, 200);
    EXPECT_GE(p.redraws, 1);
    // A symbol layer's samples are its character in the class's colour.
    p.L().ObjType = 5;
    p.L().Font.FontName = QStringLiteral("Arial");
    p.L().Font.Size = 14;
    p.L().Font.TextSymbol = u'Ж';
    d->setGridRows(legend::RowsOfEntries(L.Legend));
    const QImage grid = d->StringGrid->grab().toImage();
    grid.save(artefact(QStringLiteral("legend-symbols.png")));
    const QRect cell = d->StringGrid->visualRect(d->StringGrid->model()->index(3, 0));
    int reddish = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = grid.pixelColor(x + d->StringGrid->viewport()->x(), y + d->StringGrid->viewport()->y());
            reddish += c.red() > 150 && c.green() < 110;
        }
    EXPECT_EQ(grid.pixelColor(cell.topLeft() + QPoint(3, 3) + d->StringGrid->viewport()->pos()), QColor(Qt::white));
    EXPECT_GT(reddish, 5) << "a red character in row 4, on white";
    // The map finds each parcel's entry by its purpose.
    EXPECT_EQ(p.map.FindLegendEntry(p.layer, QStringLiteral("Ліс"), platform::db::FieldType::String),
              L.Legend[2].Number);
}

TEST(StylingWindows, TheLayerDialogShownAndSavedUntouchedKeepsTheRecord)
{
    Parcels p;
    TMapLayer &L = p.L();
    L.Font.Rotate = 0.1 + 0.2;
    L.PenWidth = 1.0 / 3;
    L.Longitude = QStringLiteral("33d30E");
    L.GPS.clear();
    TMapLabel label;
    label.FieldName = QStringLiteral("PURPOSE");
    label.Visible = true;
    L.Labels.push_back(label);
    const QStringList before = block(L);
    const TMapLayer copy = L;
    TProLayer *d = ProLayer();
    {
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &shown) {
            EXPECT_EQ(&shown, d);
            EXPECT_EQ(d->cbProject->currentIndex(), -1);
            EXPECT_EQ(d->edK->text(), QStringLiteral("1"));
            EXPECT_EQ(d->cbGPS->currentText(), QString()) << "the layer's empty receiver replaces the form's";
            EXPECT_EQ(d->cbFieldNameObject->count(), 2) << "the table's fields";
            d->bSave->click();
            return d->result();
        });
        EXPECT_TRUE(dialogs::dialogSeams().ShowLayerProperties(p.layer));
    }
    EXPECT_EQ(block(L), before);
    EXPECT_EQ(L.Font.Rotate, copy.Font.Rotate);
    EXPECT_EQ(L.PenWidth, copy.PenWidth);
    EXPECT_EQ(L.Proj_K, 0);

    // Choosing a projection writes its id; "Проекция" unticks the other switch.
    {
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            d->cbTransform->click();
            d->cbProject->setCurrentIndex(6);
            d->cbGISProject->click();
            EXPECT_FALSE(d->cbTransform->isChecked());
            d->cbTransform->click();
            EXPECT_FALSE(d->cbGISProject->isChecked());
            d->bSave->click();
            return d->result();
        });
        EXPECT_TRUE(dialogs::dialogSeams().ShowLayerProperties(p.layer));
    }
    EXPECT_EQ(L.Projection, QStringLiteral("tmerc"));
    EXPECT_TRUE(L.Transform);
    EXPECT_EQ(L.StrProject, copy.StrProject);
}

TEST(StylingWindows, TheObjectViewOfASquareParcelShowsItsAreaAndWritesItsPicture)
{
    Parcels p;
    p.map.ClearSelection();
    p.map.AppendSelectionEntry(p.layer, 0, TMapExtent{1000, 1000, 1010, 1010});
    TMapView *v = MapView();
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &shown) {
        EXPECT_EQ(&shown, v);
        EXPECT_EQ(v->windowTitle(), QStringLiteral("Просмотр объектов"));
        v->nPerimeter->setChecked(true);
        v->nGrid->setChecked(true);
        v->Image->grab().save(artefact(QStringLiteral("object-view.png")));
        return platform::mrCancel;
    });
    EXPECT_TRUE(dialogs::dialogSeams().ShowObjectView());
    ASSERT_EQ(v->Objects.Parts.size(), 1u);
    const sketch::Part &part = v->Objects.Parts[0];
    EXPECT_DOUBLE_EQ(part.Area, 100);
    EXPECT_DOUBLE_EQ(part.Perimeter, 40);
    EXPECT_EQ(sketch::AreaText(part.Area), QStringLiteral("0.0100"));
    const QString wmf = QDir(p.dir.path()).filePath(QStringLiteral("map.wmf"));
    ASSERT_TRUE(QFileInfo::exists(wmf));
    const auto back = platform::gdi::Metafile::loadFromFile(wmf);
    ASSERT_TRUE(back.has_value());
    EXPECT_FALSE(back->isEmpty());
    // Fitted: the 10 m square with a tenth to spare.
    EXPECT_NEAR(v->View.CenterX, 1005, 1e-9);
    const QList<QLabel *> panels = v->StatusBar->findChildren<QLabel *>();
    ASSERT_GE(panels.size(), 2);
    EXPECT_TRUE(panels[0]->text().startsWith(QStringLiteral("M 1:")));
    // Zooming in halves the denominator.
    const int before = sketch::Denominator(v->View.Scale);
    v->nZoomIn->trigger();
    EXPECT_NEAR(sketch::Denominator(v->View.Scale), before / 2.0, 1);
}

TEST(StylingWindows, TheObjectViewZoomsToAFramePansAndTakesEveryFourthWheelNotch)
{
    Parcels p;
    p.map.ClearSelection();
    p.map.AppendSelectionEntry(p.layer, 0, TMapExtent{1000, 1000, 1010, 1010});
    TMapView *v = MapView();
    v->Hint = QStringLiteral("Tolvane");
    v->FormActivate();
    const sketch::View fitted = v->View;
    ASSERT_GT(fitted.Scale, 0);

    // A frame drawn with the zoom tool fills the picture.
    v->tbZoom->click();
    QTest::mousePress(v->Image, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent drag(QEvent::MouseMove, QPointF(200, 180), v->Image->mapToGlobal(QPointF(200, 180)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(v->Image, &drag);
    EXPECT_TRUE(v->Image->frameShown);
    QTest::mouseRelease(v->Image, Qt::LeftButton, {}, QPoint(200, 180));
    EXPECT_FALSE(v->Image->frameShown);
    const double frameWidth = 100 * fitted.UnitsPerPixelX / fitted.Scale;
    const double frameHeight = 80 * fitted.UnitsPerPixelY / fitted.Scale;
    EXPECT_NEAR(v->View.Scale,
                std::min(fitted.Width / (1.1 * frameWidth), fitted.Height / (1.1 * frameHeight)), 1e-6);
    EXPECT_NEAR(v->View.CenterX, fitted.CenterX + (150 * fitted.UnitsPerPixelX - fitted.Width / 2) / fitted.Scale,
                1e-6);

    // The hand moves the centre against the drag.
    v->tbPan->click();
    const sketch::View before = v->View;
    QTest::mousePress(v->Image, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent pan(QEvent::MouseMove, QPointF(150, 100), v->Image->mapToGlobal(QPointF(150, 100)), Qt::NoButton,
                    Qt::LeftButton, {});
    QCoreApplication::sendEvent(v->Image, &pan);
    QTest::mouseRelease(v->Image, Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_NEAR(v->View.CenterX, before.CenterX - 50 * before.UnitsPerPixelX / before.Scale, 1e-9);
    EXPECT_EQ(v->View.Scale, before.Scale);

    // Four notches forward: one zoom out.
    for (int i = 0; i < 4; ++i) {
        QWheelEvent wheel(QPointF(50, 50), v->Image->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(v->Image, &wheel);
        EXPECT_EQ(v->View.Scale, i < 3 ? before.Scale : before.Scale / 2) << i;
    }
}

TEST(StylingWindows, TheLayerDialogsSamplesAreDrawnByTheStyleLibraries)
{
    Parcels p;
    mapengine::StyleServices styles;
    styles.LoadStyleLibraries(testsupport::programFolder());
    ASSERT_GT(styles.FLineStyles.count(), 6);
    platform::ScopedService<mapengine::StyleServices> frame(styles);
    TMapLayer &L = p.L();
    L.PenStyle = 6;
    L.PenWidth = 0.5;
    L.PenColor = 0xFF0000; // blue
    L.BrushType = 0;
    L.BrushColor = 0x00FF00; // green
    TProLayer *d = ProLayer();
    auto count = [](const QLabel *sample, auto test) {
        const QImage image = sample->pixmap().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += test(image.pixelColor(x, y));
        return n;
    };
    auto blue = [](const QColor &c) { return c.blue() > 150 && c.red() < 100; };
    auto green = [](const QColor &c) { return c.green() > 150 && c.red() < 100 && c.blue() < 100; };
    testsupport::ScriptedAnswers answers;
    answers.dialog([&](QDialog &) {
        EXPECT_GT(count(d->ImageLine, blue), 20) << "line pattern 6 in the pen colour";
        EXPECT_GT(count(d->ImageBrush, green), d->ImageBrush->width() * d->ImageBrush->height() / 2)
            << "no fill pattern: the fill colour as a solid area";
        d->bCancel->click();
        return d->result();
    });
    EXPECT_TRUE(dialogs::dialogSeams().ShowLayerProperties(p.layer));
}

// The label entries of the layer dialog open the label entry dialog through
// the dialog seam; a saved entry shows its tick and field in the list, a new
// entry cancelled there stays with its defaults and an unticked item.
TEST(StylingWindows, TheLayerDialogsLabelEntriesOpenTheLabelDialog)
{
    Parcels p;
    TProLayer *d = ProLayer();
    TProLabel *entry = ProLabel();
    ScriptedAnswers answers;
    const auto saveEntry = [&](bool visible, const QString &field) {
        answers.dialog([&, visible, field](QDialog &shown) {
            EXPECT_EQ(&shown, entry);
            entry->cbVisible->setChecked(visible);
            entry->cbFieldName->setCurrentText(field);
            entry->BitBtn1->click();
            return entry->result();
        });
    };
    answers.dialog([&](QDialog &) {
        saveEntry(true, QStringLiteral("PURPOSE"));
        d->NewLabel();
        answers.dialog([&](QDialog &) {
            EXPECT_EQ(entry->Hint, QStringLiteral("New"));
            entry->BitBtn2->click();
            return entry->result();
        });
        d->NewLabel();
        saveEntry(false, QStringLiteral("ID"));
        d->clbViewFieldName->setCurrentRow(0);
        d->EditLabel();
        EXPECT_EQ(entry->Hint, QStringLiteral("Edit"));
        EXPECT_EQ(entry->LabelEntryIndex, 0);
        EXPECT_EQ(d->clbViewFieldName->item(0)->text(), QStringLiteral("ID"));
        EXPECT_EQ(d->clbViewFieldName->item(0)->checkState(), Qt::Unchecked);
        EXPECT_TRUE(d->clbViewFieldName->item(1)->text().isEmpty());
        EXPECT_EQ(d->clbViewFieldName->item(1)->checkState(), Qt::Unchecked);
        EXPECT_TRUE(p.L().Labels[1].Visible) << "the cancelled new entry keeps its defaults";
        EXPECT_EQ(p.L().Labels[1].Font.BrushStyle, 1);
        d->bSave->click();
        return d->result();
    });
    EXPECT_TRUE(dialogs::dialogSeams().ShowLayerProperties(p.layer));
    const TMapLayer &L = p.L();
    ASSERT_EQ(L.Labels.size(), 2u);
    EXPECT_EQ(L.Labels[0].FieldName, QStringLiteral("ID"));
    EXPECT_FALSE(L.Labels[0].Visible);
    EXPECT_FALSE(L.Labels[1].Visible) << "the layer dialog's save writes its list's ticks";
}
