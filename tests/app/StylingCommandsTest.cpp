// The styling windows through the map window's commands on a copy of the
// demo project: a purpose legend in the red ramp that the project keeps, the
// layer properties shown and saved untouched (the project file unchanged),
// and the object view of a selected parcel.

#include "MapWindowFixture.h"
#include "dialogs/FMapView.h"
#include "dialogs/FProLayer.h"
#include "dialogs/FProLegend.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

using namespace maptest;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString shot(const QString &name)
{
    return testsupport::artefactFolder(QStringLiteral("styling")) + u'/' + name;
}

} // namespace

class StylingCommandsTest : public MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        tvp = testsupport::copyDemoProject(folder(QStringLiteral("demo")));
        ASSERT_TRUE(w().ReadProject(tvp));
        parcels = w().ShownLayerIndex();
        ASSERT_EQ(layer(parcels).Name, QStringLiteral("Земельные участки"));
    }
    QString tvp;
    int parcels = -1;
};

TEST_F(StylingCommandsTest, APurposeLegendInTheRedRampIsKeptByTheProject)
{
    TProLegend *d = ProLegend();
    {
        testsupport::ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            d->cbListTypes->setCurrentIndex(legend::Palette);
            d->cbListColor->setCurrentIndex(0);
            d->edLegendCount->setText(QStringLiteral("7"));
            d->cbListFields->setCurrentIndex(d->cbListFields->findText(QStringLiteral("PURPOSE")));
            d->BuildLegendClasses(false);
            d->StringGrid->grab().save(shot(QStringLiteral("legend-demo.png")));
            d->grab().save(shot(QStringLiteral("ProLegend.png")));
            d->bSave->click();
            return d->result();
        });
        w().aProView->trigger();
    }
    const std::vector<TLegend> legend = layer(parcels).Legend;
    // The demo deals out five purposes: five classes of the seven-class ramp.
    ASSERT_EQ(legend.size(), 5u);
    EXPECT_EQ(legend[0].Number, 243 + 256 * 146 + 65536 * 146) << "the lightest red";
    EXPECT_EQ(layer(parcels).FieldNameLegend, QStringLiteral("PURPOSE"));

    w().WriteProject(tvp);
    ASSERT_TRUE(w().ReadProject(tvp));
    const TMapLayer &back = layer(w().ShownLayerIndex());
    ASSERT_EQ(back.Legend.size(), legend.size());
    for (size_t i = 0; i < legend.size(); ++i) {
        EXPECT_EQ(back.Legend[i].Values, legend[i].Values);
        EXPECT_EQ(back.Legend[i].Number, legend[i].Number);
    }
    EXPECT_EQ(back.TypeLegend, legend::Palette);
}

TEST_F(StylingCommandsTest, TheLayerPropertiesSavedUntouchedLeaveTheProjectFileAsItWas)
{
    w().WriteProject(tvp);
    const QByteArray before = readAll(tvp);
    // Each layer's dialog is opened on its row; the active layer is put back
    // so that only the dialogs could change the file.
    const int active = map().Project().ActiveLayer;
    for (int i = 0; i < static_cast<int>(map().Project().Layers.size()); ++i) {
        w().ShowActiveLayerRow(i);
        TProLayer *d = ProLayer();
        testsupport::ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            if (i == parcels) {
                d->grab().save(shot(QStringLiteral("ProLayer.png")));
                auto *tabs = d->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
                tabs->setCurrentIndex(1);
                d->grab().save(shot(QStringLiteral("ProLayer-style.png")));
                tabs->setCurrentIndex(0);
            }
            d->bSave->click();
            return d->result();
        });
        w().aProLayer->trigger();
    }
    w().ShowActiveLayerRow(active);
    w().WriteProject(tvp);
    EXPECT_EQ(readAll(tvp), before);
}

TEST_F(StylingCommandsTest, TheObjectViewSketchesTheSelectedParcel)
{
    map().ClearSelection();
    for (int i = 0; i < 3; ++i)
        map().AppendSelectionEntry(parcels, i, TMapExtent{});
    TMapView *v = MapView();
    testsupport::ScriptedAnswers answers;
    dialog(answers, [&](QDialog &) {
        v->nPerimeter->setChecked(true);
        v->grab().save(shot(QStringLiteral("MapView.png")));
        return platform::mrCancel;
    });
    w().aVykView->trigger();
    ASSERT_EQ(v->Objects.Parts.size(), 3u);
    EXPECT_GT(v->Objects.Parts[0].Area, 0);
    EXPECT_TRUE(QFile::exists(map().ProgramDir() + QStringLiteral("/map.wmf")));
}
