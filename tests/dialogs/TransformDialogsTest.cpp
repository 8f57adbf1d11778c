// The transformation dialogs driven as the map window opens them (the
// dialog seam, "shp"): the shift, the key dialog with its key file and the
// key computation over its work table, the projection-system dialog with its
// catalogue and editors, the one-projection dialog and the angle calculator.

#include "dialogs/DialogSeams.h"
#include "dialogs/FCalcProj.h"
#include "dialogs/FCalcProjection.h"
#include "dialogs/FCalcRotate.h"
#include "dialogs/FCalcShift.h"
#include "dialogs/FCalcTransform.h"
#include "dialogs/FNewGeo.h"
#include "dialogs/FTransformXY.h"

#include "EngineFixtures.h"

#include "geodesy/PlaneKeys.h"
#include "geodesy/ProjectCatalogue.h"
#include "platform/Environment.h"
#include "platform/db/DataSetModel.h"
#include "platform/db/Table.h"
#include "platform/gdi/Clipboard.h"
#include "support/ScriptedAnswers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using dialogs::LayerTransformation;
using maptest::EngineProject;
using testsupport::ScriptedAnswers;

namespace {

const QString zone6 = QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=33d00E +k=1 +x_0=6500000");

QByteArray line(double x0, double y0, double x1, double y1)
{
    return fixtures::polyContent(3, {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}, {0},
                                 {{x0, y0}, {x1, y1}});
}

// A project whose program folder is its work folder, with one line layer as
// the current layer.
struct DialogProject : EngineProject {
    int layer;
    platform::ScopedService<platform::DecimalSeparator> comma{u','};
    explicit DialogProject(std::vector<QByteArray> contents = {line(1000, 2000, 1010, 2010)})
    {
        map.SetProgramDir(dir.path());
        layer = addLayer(QStringLiteral("roads"), 3, contents);
        map.Project().ActiveLayer = layer;
    }
    std::pair<double, double> first(int index = 0)
    {
        TShpObject s;
        map.ReadObject(layer, index, s);
        return {s.Parts[0].Points[0].X, s.Parts[0].Points[0].Y};
    }
    bool show(LayerTransformation kind) { return dialogs::dialogSeams().ShowTransformation(kind, "shp", map); }
};

} // namespace

TEST(TransformDialogs, TheShiftDialogShiftsByItsTwoEdits)
{
    DialogProject p;
    TTransformXY *d = TransformXY();
    {
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &shown) {
            EXPECT_EQ(&shown, d);
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Перобразование координат"));
            EXPECT_EQ(d->edX->text(), QStringLiteral("1000000"));
            EXPECT_EQ(d->edY->text(), QStringLiteral("1000000"));
            EXPECT_FALSE(d->tbSwap->isEnabled());
            EXPECT_FALSE(d->nCalculations->menuAction()->isVisible());
            d->edX->setText(QStringLiteral("10,5"));
            // Left half typed: no number, so no shift (and no error).
            d->edY->setText(QStringLiteral("-,"));
            d->tbTransform->trigger();
            return d->result();
        });
        answers.reply(platform::mrOk);
        EXPECT_TRUE(p.show(LayerTransformation::Shift));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Вы уверены, что хотите преобразовать координаты X и, или Y по заданной величине ?"));
        EXPECT_EQ(d->Hint, QStringLiteral("Ok"));
    }
    // X (the northing, map y) by 10.5, Y (the easting) not at all.
    EXPECT_EQ(p.first(), std::make_pair(1000.0, 2010.5));
    {
        // Cancelling the question changes nothing.
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            d->tbTransform->trigger();
            d->bCancel->click();
            return d->result();
        });
        answers.reply(platform::mrCancel);
        EXPECT_FALSE(p.show(LayerTransformation::Shift));
    }
    EXPECT_EQ(p.first(), std::make_pair(1000.0, 2010.5));
}

TEST(TransformDialogs, TheKeyDialogUsesStoredOrTypedKeysAndKeepsThem)
{
    DialogProject p;
    p.dir.write(QStringLiteral("Systems.gtr"),
                geodesy::encodeKeys({{QStringLiteral("Местная"), 100, 200, 2, 1, 0}}));
    TCalcShift *d = CalcShift();
    struct Case {
        const char *name;
        int key;      // list position
        bool kTicked;
        std::pair<double, double> first; // (x, y) of (1000, 2000) afterwards
    };
    const Case cases[] = {
        // The stored key: a quarter turn with Cx 100 (northing), Cy 200
        // (easting); k 1 unless ticked. x' = x cos + y sin + Cy, y' = y cos - x sin + Cx.
        {"stored key, no k", 1, false, {2200, -900}},
        {"stored key with its k", 1, true, {4200, -1900}},
        // The typed key: edits Cx 1, Cy 2, k 3, sin 0, cos 1.
        {"typed key, no k", 0, false, {1002, 2001}},
        {"typed key with k", 0, true, {3002, 6001}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DialogProject fresh;
        fresh.dir.write(QStringLiteral("Systems.gtr"), p.dir.read(QStringLiteral("Systems.gtr")));
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            EXPECT_EQ(d->cbKeys->count(), 2);
            EXPECT_EQ(d->cbKeys->itemText(0), QStringLiteral("Призвольные параметры ..."));
            EXPECT_EQ(d->cbKeys->itemText(1), QStringLiteral("Местная"));
            EXPECT_EQ(d->cbKeys->currentIndex(), 0);
            EXPECT_EQ(d->edRound->text(), QStringLiteral("4"));
            EXPECT_FALSE(d->bCalc->isEnabled());
            d->cbKeys->setCurrentIndex(c.key);
            d->cbKof->setChecked(c.kTicked);
            d->edCx->setText(QStringLiteral("1"));
            d->edCy->setText(QStringLiteral("2"));
            d->edKof->setText(QStringLiteral("3"));
            d->edSinA->setText(QStringLiteral("0"));
            d->edCosA->setText(QStringLiteral("1"));
            d->bTransform->click();
            return d->result();
        });
        answers.reply(platform::mrOk);
        EXPECT_TRUE(fresh.show(LayerTransformation::Key));
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Вы уверены, что хотите преобразовать координаты ?"));
        EXPECT_EQ(fresh.first(), c.first);
    }

    // Saving over the free parameters appends a key, over a stored key
    // replaces it; deleting asks first.
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &) {
        d->edName->setText(QStringLiteral("Новая"));
        d->edCx->setText(QStringLiteral("5,5"));
        d->edKof->setText(QStringLiteral("k"));
        d->sbSave->click();
        EXPECT_EQ(d->cbKeys->count(), 3);
        EXPECT_EQ(d->cbKeys->currentIndex(), 2);
        d->cbKeys->setCurrentIndex(1);
        d->edName->setText(QStringLiteral("Местная 2"));
        d->sbSave->click();
        EXPECT_EQ(d->cbKeys->itemText(1), QStringLiteral("Местная 2"));
        d->cbKeys->setCurrentIndex(2);
        d->sbDelete->click(); // cancelled
        d->sbDelete->click(); // confirmed
        d->bCancel->click();
        return d->result();
    });
    answers.reply(platform::mrCancel).reply(platform::mrOk);
    EXPECT_FALSE(p.show(LayerTransformation::Key));
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Удалить параметры преобразования Новая ?"));
    const std::vector<geodesy::TGeoKeyRecord> kept = geodesy::LoadKeys(p.dir.file(QStringLiteral("Systems.gtr")));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Name, QStringLiteral("Местная 2"));
    EXPECT_EQ(kept[0].Cx, 5.5);
    EXPECT_EQ(kept[0].K, 0); // unreadable reads as 0 here
    EXPECT_EQ(p.first(), std::make_pair(1000.0, 2000.0));
}

// The key computation: its table in the program folder, pasted rows, marked
// rows left out, the key handed to the key dialog; the next showing offers
// to empty the table.
TEST(TransformDialogs, TheKeyComputationFillsTheKeyDialog)
{
    DialogProject p;
    platform::MemoryClipboard clipboard;
    platform::ScopedService<platform::TextClipboard> clip(clipboard);
    // Three pairs of a quarter turn and a far one that is marked out.
    clipboard.setText(QStringLiteral("A 0 0 0 100 200 0\r\nB\t10\t0\t0\t100\t210\t0\r\nC 0 10 0 90 200 0\r\n"
                                     "D 0 0 0 5000 5000 0\r\n"));
    TCalcShift *shift = CalcShift();
    TCalcTransform *calc = CalcTransform();
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &) {
        shift->sbCalcKey->click();
        return shift->result();
    });
    answers.dialog([&](QDialog &shown) {
        EXPECT_EQ(&shown, calc);
        EXPECT_TRUE(QFileInfo::exists(p.dir.file(QStringLiteral("Transform.Db"))));
        EXPECT_FALSE(calc->bReport->isEnabled());
        QTest::keyClick(calc->DBGrid1, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(calc->Table.recordCount(), 4);
        // The mark column first, showing the check mark of active rows.
        const int okColumn = calc->Table.fieldByName(u"Ok").index();
        EXPECT_EQ(calc->DBGrid1->horizontalHeader()->visualIndex(okColumn), 0);
        EXPECT_TRUE(calc->DBGrid1->isColumnHidden(calc->Table.fieldByName(u"Active").index()));
        EXPECT_EQ(calc->Model->data(calc->Model->index(3, okColumn)).toString(), QStringLiteral("✓"));
        calc->Table.last();
        calc->nMarkClick();
        EXPECT_TRUE(calc->Table.fieldByName(u"Active").isNull());
        EXPECT_EQ(calc->Model->data(calc->Model->index(3, okColumn)).toString(), QString());
        calc->bYes->click();
        return calc->result();
    });
    EXPECT_FALSE(p.show(LayerTransformation::Key)); // closed without transforming
    EXPECT_EQ(shift->edCx->text(), QStringLiteral("100"));
    EXPECT_EQ(shift->edCy->text(), QStringLiteral("200"));
    EXPECT_EQ(shift->edKof->text(), QStringLiteral("1"));
    EXPECT_EQ(shift->edSinA->text(), QStringLiteral("1"));
    EXPECT_EQ(shift->edCosA->text(), QStringLiteral("0"));

    // The rows stay for the next time unless the user empties them.
    ScriptedAnswers again;
    again.dialog([&](QDialog &) {
        shift->sbCalcKey->click();
        return shift->result();
    });
    again.reply(platform::mrNo);
    again.dialog([&](QDialog &) {
        EXPECT_EQ(calc->Table.recordCount(), 4);
        calc->bSwapClick();
        calc->Table.first();
        EXPECT_EQ(calc->Table.fieldByName(u"X1").asFloat(), 100);
        EXPECT_EQ(calc->Table.fieldByName(u"Y2").asFloat(), 0);
        calc->bClearClick();
        EXPECT_EQ(calc->Table.recordCount(), 0);
        // No rows: no key, and the key dialog keeps its edits.
        calc->bYes->click();
        calc->bNo->click();
        return calc->result();
    });
    again.reply(platform::mrOk);
    EXPECT_FALSE(p.show(LayerTransformation::Key));
    ASSERT_EQ(again.messages().size(), 2u);
    EXPECT_EQ(again.messages()[0].text, QStringLiteral("Очистить базу данных вычисления ключа перевода ?"));
    EXPECT_EQ(again.messages()[1].text, QStringLiteral("Недостаточно параметров для расчёта !"));
    EXPECT_EQ(shift->edCx->text(), QStringLiteral("100"));
    EXPECT_TRUE(TCalcTransform::isPasteKey(0x041C, Qt::ControlModifier));
    EXPECT_FALSE(TCalcTransform::isPasteKey(Qt::Key_V, Qt::NoModifier));
}

// The projection-system dialog: a transformation made in its editor (with a
// projection made in the projection editor), saved, and run; a
// transformation whose projection was deleted is refused.
TEST(TransformDialogs, TheSystemDialogKeepsItsCatalogueAndTransforms)
{
    DialogProject p({line(6400000, 5600000, 6400100, 5600050)});
    geodesy::TProjectCatalogue catalogue;
    catalogue.Projects = {{1, QStringLiteral("Зона 6"), "tmerc", "krass", "33d00E", "", 1, 6500000, 0, true}};
    p.dir.write(QStringLiteral("Projects.gtp"), geodesy::encodeCatalogue(catalogue));
    TCalcProj *d = CalcProj();
    TNewGeoSystem *system = NewGeoSystem();
    TNewGeoProject *projection = NewGeoProject();

    {
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            EXPECT_EQ(d->cbSystems->count(), 0);
            d->bTransform->click(); // no transformation: nothing is asked
            d->sbNew->click();
            EXPECT_EQ(d->cbSystems->currentText(), QStringLiteral("6 -> 5"));
            d->sbSave->click();
            d->bTransform->click();
            return d->result();
        });
        answers.dialog([&](QDialog &shown) {
            EXPECT_EQ(&shown, system);
            system->edName->setText(QStringLiteral("6 -> 5"));
            system->cbSource->setCurrentIndex(0);
            system->bSave->click(); // refused: no destination
            EXPECT_EQ(system->Hint, QStringLiteral("New"));
            system->sbNewDestination->click();
            EXPECT_EQ(system->cbDestination->count(), 2);
            EXPECT_EQ(system->cbSource->currentIndex(), 0);
            system->cbDestination->setCurrentIndex(1);
            system->bSave->click();
            return system->result();
        });
        answers.reply(platform::mrOk);
        answers.dialog([&](QDialog &shown) {
            EXPECT_EQ(&shown, projection);
            EXPECT_EQ(projection->cbLongitude->currentText(), QStringLiteral("0d0E"));
            EXPECT_EQ(projection->cbEllipsoid->count(), 42);
            projection->edName->setText(QStringLiteral("Зона 5"));
            projection->cbProjection->setCurrentIndex(6);
            projection->bSave->click(); // refused: no ellipsoid
            projection->cbEllipsoid->setCurrentIndex(29);
            projection->cbLongitude->setCurrentText(QStringLiteral("27d00E"));
            projection->edK->setText(QStringLiteral("?"));
            projection->edX->setText(QStringLiteral("5500000"));
            projection->bSave->click();
            return projection->result();
        });
        answers.reply(platform::mrOk);
        answers.reply(platform::mrOk);
        EXPECT_TRUE(p.show(LayerTransformation::System));
        ASSERT_EQ(answers.messages().size(), 3u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Не заполнено поле \"Преобразовать в проекцию\""));
        EXPECT_EQ(answers.messages()[1].text, QStringLiteral("Не выбрана эллипсоид"));
        EXPECT_EQ(answers.messages()[2].text, QStringLiteral("Вы уверены, что хотите преобразовать координаты ?"));
    }
    const geodesy::TProjectCatalogue saved = geodesy::LoadProjects(p.dir.file(QStringLiteral("Projects.gtp")));
    ASSERT_EQ(saved.Systems.size(), 1u);
    ASSERT_EQ(saved.Projects.size(), 2u);
    EXPECT_EQ(saved.Current, 0);
    EXPECT_EQ(saved.Projects[1].Id, 2);
    EXPECT_EQ(saved.Systems[0].Source, 1);
    EXPECT_EQ(saved.Systems[0].Destination, 2);
    EXPECT_EQ(geodesy::BuildProjString(saved.Projects[1]), " +proj=tmerc +ellps=krass +lon_0=27d00E +lat_0=0d0N +k=1 +x_0=5500000");
    // Rounded to the default 4 decimals.
    EXPECT_EQ(p.first(), std::make_pair(5825434.0953, 5609121.2236));

    // Deleted and shown again without saving, it comes back; with its
    // projection gone, the run is refused with the library's message.
    geodesy::TProjectCatalogue broken = saved;
    broken.Projects.pop_back();
    p.dir.write(QStringLiteral("Projects.gtp"), geodesy::encodeCatalogue(broken));
    {
        ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            d->sbDelete->click();
            EXPECT_EQ(d->cbSystems->count(), 0);
            d->bCancel->click();
            return d->result();
        });
        answers.dialog([&](QDialog &) {
            EXPECT_EQ(d->cbSystems->currentText(), QStringLiteral("6 -> 5"));
            d->bTransform->click();
            return d->result();
        });
        answers.reply(platform::mrOk).reply(platform::mrOk);
        EXPECT_FALSE(p.show(LayerTransformation::System));
        EXPECT_TRUE(p.show(LayerTransformation::System));
        ASSERT_EQ(answers.messages().size(), 2u);
        EXPECT_TRUE(answers.messages()[1].text.startsWith(QStringLiteral("Ошибка при формировании проекции ")));
    }
    EXPECT_EQ(p.first(), std::make_pair(5825434.0953, 5609121.2236));

    // A catalogue that cannot be written keeps what the editors made.
    ASSERT_TRUE(QFile::remove(p.dir.file(QStringLiteral("Projects.gtp"))));
    ASSERT_TRUE(QDir(p.dir.path()).mkdir(QStringLiteral("Projects.gtp")));
    d->Catalogue = saved;
    d->RefillList(0);
    {
        ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        EXPECT_FALSE(d->SaveProjects());
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Невозможно записать файл ")));
    }
    EXPECT_EQ(d->Catalogue, saved);
    EXPECT_EQ(d->cbSystems->currentText(), QStringLiteral("6 -> 5"));
}

TEST(TransformDialogs, TheOneProjectionDialogRunsTheChosenProjection)
{
    DialogProject p({line(30.5, 50.4, 31, 51)});
    geodesy::TProjectCatalogue catalogue;
    catalogue.Projects = {{1, QStringLiteral("Зона 6"), "tmerc", "krass", "33d00E", "", 1, 6500000, 0, true},
                          {4, QStringLiteral("Без эллипсоида"), "tmerc", "", "33d00E", "", 1, 6500000, 0, true},
                          {5, QStringLiteral("Удалённая"), "merc", "WGS84", "", "", 1, 0, 0, false}};
    p.dir.write(QStringLiteral("Projects.gtp"), geodesy::encodeCatalogue(catalogue));
    TCalcProjection *d = CalcProjection();
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Преобразование по проекции"));
        EXPECT_EQ(d->cbProjections->count(), 2);
        // The rounding menu's first entry: no rounding.
        d->pmRound->actions()[0]->trigger();
        EXPECT_EQ(d->edRound->text(), QStringLiteral("0"));
        d->pmRound->actions()[3]->trigger();
        d->cbProjections->setCurrentIndex(-1);
        d->bTransform->click(); // nothing chosen: nothing asked
        d->cbProjections->setCurrentIndex(1);
        d->bTransform->click();
        return d->result();
    });
    answers.reply(platform::mrOk).reply(platform::mrOk);
    answers.dialog([&](QDialog &) {
        EXPECT_EQ(d->edRound->text(), QStringLiteral("4"));
        d->cbProjections->setCurrentIndex(0);
        d->bTransform->click();
        return d->result();
    });
    answers.reply(platform::mrOk);
    EXPECT_TRUE(p.show(LayerTransformation::Projection));
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_TRUE(answers.messages()[1].text.startsWith(QStringLiteral("Ошибка при формировании проекции ")));
    EXPECT_EQ(p.first(), std::make_pair(30.5, 50.4));
    EXPECT_TRUE(p.show(LayerTransformation::Projection));
    EXPECT_EQ(p.first(), std::make_pair(6322259.7078, 5588427.0682));
}

TEST(TransformDialogs, TheAngleCalculatorRecomputesOnEveryEdit)
{
    DialogProject p;
    TCalcRotate *d = CalcRotate();
    ScriptedAnswers answers;
    answers.dialog([&](QDialog &) {
        EXPECT_EQ(d->edRound->text(), QStringLiteral("3"));
        EXPECT_FALSE(d->bCalc->isVisible());
        EXPECT_EQ(d->Conditional.X2->text(), QStringLiteral("0"));
        d->Conditional.X2->setText(QStringLiteral("100"));
        d->Conditional.Y2->setText(QStringLiteral("-100"));
        EXPECT_EQ(d->Conditional.Angle.Edit->text(), QStringLiteral("315"));
        EXPECT_EQ(d->Conditional.Angle.Degrees->text(), QStringLiteral("315"));
        EXPECT_EQ(d->Conditional.Angle.Minutes->text(), QStringLiteral("0"));
        // A typed reduced angle gives the rotation.
        d->Reduced.Angle.Edit->setText(QStringLiteral("45,5"));
        EXPECT_EQ(d->Rotation.Edit->text(), QStringLiteral("-269,5"));
        EXPECT_EQ(d->Rotation.Degrees->text(), QStringLiteral("-269"));
        EXPECT_EQ(d->Rotation.Minutes->text(), QStringLiteral("30"));
        // Reduced points take over the typed angle.
        d->Reduced.X2->setText(QStringLiteral("-100"));
        d->Reduced.Y2->setText(QStringLiteral("100"));
        EXPECT_EQ(d->Reduced.Angle.Edit->text(), QStringLiteral("135"));
        EXPECT_EQ(d->Rotation.Edit->text(), QStringLiteral("-180"));
        // Heights take no part.
        d->Conditional.Z2->setText(QStringLiteral("77"));
        EXPECT_EQ(d->Rotation.Edit->text(), QStringLiteral("-180"));
        d->bCancel->click();
        return d->result();
    });
    EXPECT_FALSE(p.show(LayerTransformation::Rotate));
    EXPECT_EQ(d->Hint, QStringLiteral("Cancel"));
    EXPECT_EQ(p.first(), std::make_pair(1000.0, 2000.0));
}
