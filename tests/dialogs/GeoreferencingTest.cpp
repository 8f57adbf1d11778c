// Placing pictures: the choice dialog, opening pictures and registration
// files as raster objects, the image registration window (points, residuals,
// markers, turning the picture) and the image list.

#include "EngineFixtures.h"

#include "dialogs/DialogSeams.h"
#include "dialogs/FFindPoint.h"
#include "dialogs/FListImages.h"
#include "dialogs/FNewForAll.h"
#include "dialogs/FRegForm.h"
#include "dialogs/FSelExport.h"
#include "dialogs/MapWindowHost.h"
#include "dialogs/OpenImage.h"
#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "raster/ImagingRoutines.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QListWidget>

#include <gtest/gtest.h>

#include <cmath>

using testsupport::ScriptedAnswers;

namespace {

[[gnu::noinline]] void dialog(ScriptedAnswers &answers, const ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}

// The choice dialog answers by pressing its button `number`.
ScriptedAnswers::DialogHandler press(int number)
{
    return [number](QDialog &d) {
        auto &choice = dynamic_cast<TSelExport &>(d);
        choice.Buttons[static_cast<size_t>(number - 1)]->click();
        return d.result();
    };
}

// The map window the dialogs see: the project's map control, its current
// layer, and what it was asked to show.
class Host : public dialogs::MapWindowHost {
public:
    explicit Host(MapControlCore &map) : map_(map), guard_(*this) {}
    MapControlCore *mapControl() override { return &map_; }
    int activeLayer() const override { return map_.Project().ActiveLayer; }
    void ZoomToExtent(double x1, double y1, double x2, double y2) override { zooms.push_back({x1, y1, x2, y2}); }
    void RedrawMap() override { ++redraws; }
    std::vector<TMapExtent> zooms;
    int redraws = 0;

private:
    MapControlCore &map_;
    platform::ScopedService<dialogs::MapWindowHost> guard_;
};

// Imaging routines that know every existing picture as 100 × 50, except
// those named "bad...".
class KnownSizes : public raster::ImagingRoutines {
public:
    bool GetImageFileInfo(QObject *, const QString &fileName, std::int32_t &width, std::int32_t &height,
                          std::int32_t &divisorX, std::int32_t &divisorY) override
    {
        if (!platform::fileExists(fileName) || platform::extractFileName(fileName).startsWith(u"bad"))
            return false;
        width = 100;
        height = 50;
        divisorX = divisorY = 1;
        return true;
    }

private:
    platform::ScopedService<raster::ImagingRoutines> installed_{*this};
};

struct ImageProject : maptest::EngineProject {
    platform::ScopedService<platform::Clock> clock{QDateTime(QDate(2026, 5, 17), QTime(10, 0))};
    Host host{map};

    ImageProject() { map.SetProgramDir(testsupport::programFolder()); }

    TRasterObject object(int layer, int index)
    {
        TRasterObject r;
        EXPECT_TRUE(map.ReadRasterObject(layer, index, r));
        return r;
    }
    // A picture of width × height, white with black squares of 5 pixels
    // centred on the marks.
    QString picture(const QString &name, int width, int height, const std::vector<QPoint> &marks = {})
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (const QPoint &m : marks)
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    image.setPixel(m.x() + dx, m.y() + dy, qRgb(0, 0, 0));
        const QString path = dir.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

bool sameBox(const TRasterObject &r, const TMapExtent &e)
{
    return r.XMin == e.X1 && r.YMin == e.Y1 && r.XMax == e.X2 && r.YMax == e.Y2;
}

} // namespace

TEST(ChoiceDialog, ModesOfferTheirButtonsAndAnswerTheirNumber)
{
    struct Case {
        const char *mode;
        int pressed;          // 0: Esc
        const char *answer;
        std::vector<bool> enabled;   // buttons 1..4
        int height;
    } cases[] = {
        {"XYorYX", 2, "2", {true, true, false, false}, 170},
        {"ImageRegBmp", 2, "2", {true, true, true, false}, 210},
        {"ImageRegistration", 3, "3", {true, false, true, false}, 210},
        {"ImageRegistration", 0, "Cancel", {true, false, true, false}, 210},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.answer);
        TSelExport box;
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &d) {
            for (size_t i = 0; i < c.enabled.size(); ++i)
                EXPECT_EQ(box.Buttons[i]->isEnabled(), c.enabled[i]) << i + 1;
            EXPECT_EQ(box.width(), 282);
            EXPECT_EQ(box.height(), c.height);
            EXPECT_TRUE(box.Hint.isEmpty());
            if (c.pressed)
                box.Buttons[static_cast<size_t>(c.pressed - 1)]->click();
            else
                QTest::keyClick(&box, Qt::Key_Escape);
            return d.result();
        });
        EXPECT_EQ(box.Ask(QString::fromLatin1(c.mode)), QString::fromLatin1(c.answer));
    }
    EXPECT_EQ(selExportMode(QStringLiteral("XYorYX")).buttons.value(1), QStringLiteral("(X, Y) = (Y, X)"));
}

TEST(ChoiceDialog, GoingToAPointAnswersOkOnlyForYes)
{
    TFindPoint box;
    {
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_EQ(box.edX->text(), QStringLiteral("1,5"));
            box.edY->setText(QStringLiteral("7"));
            box.btnYes->click();
            return box.result();
        });
        QString x = QStringLiteral("1,5"), y = QStringLiteral("2");
        EXPECT_TRUE(box.Ask(x, y));
        EXPECT_EQ(y, QStringLiteral("7"));
    }
    ScriptedAnswers answers;
    dialog(answers, [&](QDialog &) {
        box.edY->setText(QStringLiteral("9"));
        box.reject(); // the close box
        return box.result();
    });
    QString x = QStringLiteral("1"), y = QStringLiteral("2");
    EXPECT_FALSE(box.Ask(x, y));
    EXPECT_EQ(y, QStringLiteral("2"));
}

TEST(OpenImage, WorldFilesPlaceTheirPicturesWhateverTheCaseOfTheName)
{
    // x.tfw names x.TIF, which lies on the disk as x.tif; y.tfw finds y.TIF
    // as it is; the extent is the world file's fit, its corner half a pixel
    // from the middle of the pixel the file names; the view zooms to the
    // last picture.
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    p.dir.write(QStringLiteral("x.tif"), "I");
    p.dir.write(QStringLiteral("y.TIF"), "I");
    const QString x = p.dir.write(QStringLiteral("x.tfw"), "0.5\r\n0\r\n0\r\n-0.5\r\n6500000.75\r\n5399999.75\r\n");
    const QString y = p.dir.write(QStringLiteral("y.tfw"), "2\n0\n0\n-2\n1001\n1999\n");
    dialogs::OpenImageFiles(p.map, {x, y});

    ASSERT_EQ(p.layer(layer).Objects.size(), 2u);
    const TRasterObject first = p.object(layer, 0), second = p.object(layer, 1);
    EXPECT_EQ(first.ImageName, QStringLiteral("x.tif"));
    EXPECT_EQ(first.XMin, 6500000.5);
    EXPECT_EQ(first.XMax, 6500050.5);
    EXPECT_EQ(first.YMin, 5399975);
    EXPECT_EQ(first.YMax, 5400000);
    EXPECT_EQ(second.ImageName, QStringLiteral("y.TIF"));
    EXPECT_EQ(second.XMax, 1200);
    EXPECT_EQ(second.YMin, 1900);
    ASSERT_EQ(p.host.zooms.size(), 1u);
    EXPECT_TRUE(sameBox(second, p.host.zooms[0]));
}

TEST(OpenImage, APictureWithAWorldFileBesideItIsPlacedByIt)
{
    // s.tif with s.tfw (any case) beside it: no placing choice, the corner
    // half a pixel from the middle the file names; chosen together with its
    // world file, placed once.
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    const QString tif = p.dir.write(QStringLiteral("s.tif"), "I");
    const QString world = p.dir.write(QStringLiteral("S.TFW"), "0.25\n0\n0\n-0.25\n5400140.125\n1299979.875\n");
    {
        ScriptedAnswers answers;
        dialogs::OpenImageFiles(p.map, {tif});
        dialogs::OpenImageFiles(p.map, {world, tif});
        EXPECT_TRUE(answers.messages().empty());
    }
    ASSERT_EQ(p.layer(layer).Objects.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        const TRasterObject placed = p.object(layer, k);
        EXPECT_EQ(placed.ImageName, QStringLiteral("s.tif"));
        EXPECT_EQ(placed.XMin, 5400140);
        EXPECT_EQ(placed.YMax, 1299980);
        EXPECT_EQ(placed.XMax, 5400165);   // 100 × 50 pixels of 0.25 m
        EXPECT_EQ(placed.YMin, 1299967.5);
    }

    // A world file beside it that is no world file: named, then the choices.
    p.dir.write(QStringLiteral("S.TFW"), "0.25\n0\n0\n-0.25\nNaN\n1299979.875\n");
    ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    dialog(answers, [](QDialog &d) {
        d.reject();
        return d.result();
    });
    dialogs::OpenImageFiles(p.map, {tif});
    EXPECT_TRUE(answers.exhausted());
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный формат файла ") + world);
    EXPECT_EQ(p.layer(layer).Objects.size(), 2u);
}

TEST(OpenImage, RegistrationFilesOfValuesThatAreNoNumbersPlaceNothing)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    p.dir.write(QStringLiteral("s.tif"), "I");
    const QString files[] = {
        p.dir.write(QStringLiteral("a.tfw"), "abc\n1e999\nNaN\n-inf\n0\n0\n"),
        p.dir.write(QStringLiteral("b.tfw"), "0\n0\n0\n0\n1000\n2000\n"),
        p.dir.write(QStringLiteral("c.tab"), "  File \"s.tif\"\n  (1000,2000) (0,0) Label \"1\",\n  (x,y) (100,50) Label \"2\"\n"),
        p.dir.write(QStringLiteral("d.rtr"), "[Source Image]\nWidth=100\nHeight=50\nFile Name=s.tif\n[Tics]\nNumber=2\n"
                                             "Tic0Coord=0 50 1000 2000\nTic1Coord=100 0 garbage 1950\n"),
    };
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        ScriptedAnswers answers;
        if (file.endsWith(QLatin1String(".tab")))
            dialog(answers, press(1));
        reply(answers, platform::mrOk);
        dialogs::OpenImageFiles(p.map, {file});
        EXPECT_TRUE(answers.exhausted());
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный формат файла ") + file);
    }
    EXPECT_TRUE(p.layer(layer).Objects.empty());
}

TEST(OpenImage, TabFilesAskTheAxesOnceAndUnreadablePicturesAreSaid)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    p.dir.write(QStringLiteral("s.jpg"), "J");
    p.dir.write(QStringLiteral("bad.jpg"), "J");
    const std::vector<georef::RegPoint> points = {{QStringLiteral("A"), 1000, 2000, 0, 0},
                                                  {QStringLiteral("B"), 1100, 1950, 100, 50}};
    ASSERT_TRUE(georef::exportControlPoints(p.dir.file(QStringLiteral("a.tab")), QStringLiteral("s.jpg"), points, 100,
                                            50)
                    .isEmpty());
    ASSERT_TRUE(georef::exportControlPoints(p.dir.file(QStringLiteral("b.tab")), QStringLiteral("s.jpg"), points, 100,
                                            50)
                    .isEmpty());
    {
        ScriptedAnswers answers;
        dialog(answers, press(2)); // (X, Y) = (Y, X), asked once for both
        dialogs::OpenImageFiles(p.map, {p.dir.file(QStringLiteral("a.tab")), p.dir.file(QStringLiteral("b.tab"))});
        EXPECT_TRUE(answers.exhausted());
    }
    ASSERT_EQ(p.layer(layer).Objects.size(), 2u);
    const TRasterObject swapped = p.object(layer, 1);
    EXPECT_EQ(swapped.Points[0].X, 2000);
    EXPECT_EQ(swapped.Points[0].Y, 1000);

    ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    dialogs::OpenImageFiles(p.map, {p.dir.file(QStringLiteral("bad.jpg"))});
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Неверный формат файла bad.jpg"));
    EXPECT_EQ(p.layer(layer).Objects.size(), 2u);
}

TEST(OpenImage, PlainPicturesFittedPlacedAtAScaleOrCancelled)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    const QString bmp = p.dir.write(QStringLiteral("plan.bmp"), "B");
    {
        ScriptedAnswers answers;
        dialog(answers, press(2));
        dialog(answers, [](QDialog &d) {
            auto &box = dynamic_cast<TNewForAll &>(d);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Масштаб, 1:"));
            box.Edit->setText(QStringLiteral("500"));
            QTest::keyClick(box.Edit, Qt::Key_Return);
            return d.result();
        });
        dialogs::OpenImageFiles(p.map, {bmp});
    }
    ASSERT_EQ(p.layer(layer).Objects.size(), 1u);
    // 100 pixels at 1:500 with a divisor of 1: 50000 map units.
    const TRasterObject scaled = p.object(layer, 0);
    EXPECT_DOUBLE_EQ(scaled.XMax - scaled.XMin, 50000);
    {
        ScriptedAnswers answers;
        dialog(answers, [](QDialog &d) {
            d.reject();
            return d.result();
        });
        dialogs::OpenImageFiles(p.map, {bmp});
    }
    EXPECT_EQ(p.layer(layer).Objects.size(), 1u);
    EXPECT_EQ(p.host.redraws, 1);

    // By hand: the registration window's points place the picture.
    const QString jpg = p.dir.write(QStringLiteral("scan.jpg"), "J");
    const QString world = p.dir.write(QStringLiteral("points.jpgw"), "2\n0\n0\n-2\n1001\n1999\n");
    {
        ScriptedAnswers answers;
        dialog(answers, [](QDialog &d) {
            auto &choice = dynamic_cast<TSelExport &>(d);
            // Not a bitmap: no placing at a scale.
            EXPECT_FALSE(choice.Buttons[1]->isEnabled());
            choice.Buttons[2]->click();
            return d.result();
        });
        dialog(answers, [&](QDialog &d) {
            auto &form = dynamic_cast<TRegForm &>(d);
            EXPECT_EQ(form.Count(), 2); // the window fit
            form.ImportFile(world);
            form.aApply->trigger();
            return d.result();
        });
        dialogs::OpenImageFiles(p.map, {jpg});
    }
    ASSERT_EQ(p.layer(layer).Objects.size(), 2u);
    const TRasterObject byHand = p.object(layer, 1);
    EXPECT_EQ(byHand.XMin, 1000);
    EXPECT_EQ(byHand.XMax, 1200);
    EXPECT_EQ(byHand.YMin, 1900);
}

TEST(RegForm, ThreePointsRegisteredWriteAFileThatReopensToTheSamePlace)
{
    ImageProject p;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    p.picture(QStringLiteral("scan.png"), 100, 100);
    TRasterObject record;
    record.ImageName = QStringLiteral("scan.png");
    p.map.LoadRasterSize(record);
    ASSERT_EQ(record.ImageWidth, 100);

    TRegForm form(nullptr, p.dir.path());
    form.resize(760, 520);
    ScriptedAnswers answers;
    // Points added by clicks, typed in the editor; the third is suggested
    // from the first two.
    const struct {
        QPoint pixel;
        const char *x, *y;   // as typed: northing, easting
    } typed[] = {{{0, 0}, "2000", "1000"}, {{100, 0}, "2000", "1100"}, {{100, 100}, nullptr, nullptr}};
    dialog(answers, [&](QDialog &) {
        for (const auto &t : typed)
            EXPECT_TRUE(form.AddPointAt(t.pixel.x(), t.pixel.y()));
        form.aApply->trigger();
        return form.result();
    });
    for (const auto &t : typed)
        dialog(answers, [&](QDialog &d) {
            auto &editor = dynamic_cast<TVykPointEditForm &>(d);
            EXPECT_EQ(editor.windowTitle(), QStringLiteral("Создание контрольной точки"));
            EXPECT_EQ(editor.edPicX->text(), QString::number(t.pixel.x()));
            if (t.x) {
                editor.edMapX->setText(QString::fromLatin1(t.x));
                editor.edMapY->setText(QString::fromLatin1(t.y));
            }
            editor.btnOk->click();
            return d.result();
        });
    // The third point, suggested by extending the first two along the row,
    // cannot be: they share a row, so it keeps 0 and is typed here.
    EXPECT_EQ(form.Execute(record), 1);
    ASSERT_EQ(record.Points.size(), 3u);
    EXPECT_EQ(record.Points[1], (TControlPoint{1100, 2000, 100, 0}));

    // Exported as a ".tab" and opened: the same placement.
    record.Points[2] = TControlPoint{1100, 1900, 100, 100};
    form.SetImage(record);
    EXPECT_EQ(form.ResidualX(2), platform::formatNumber(QStringLiteral("0.00"), 0));
    ASSERT_TRUE(form.ExportFile(p.dir.file(QStringLiteral("scan.tab"))));
    TRasterObject fitted = record;
    ASSERT_TRUE(raster::fitRasterToControlPoints(fitted));
    ScriptedAnswers again;
    dialog(again, press(1));
    dialogs::OpenImageFiles(p.map, {p.dir.file(QStringLiteral("scan.tab"))});
    const TRasterObject reopened = p.object(layer, 0);
    EXPECT_EQ(reopened.Points, record.Points);
    EXPECT_EQ(reopened.XMin, fitted.XMin);
    EXPECT_EQ(reopened.YMin, fitted.YMin);
    EXPECT_EQ(reopened.XMax, fitted.XMax);
    EXPECT_EQ(reopened.YMax, fitted.YMax);
}

TEST(RegForm, ResidualsSuggestionsCancelAndMarkers)
{
    ImageProject p;
    p.picture(QStringLiteral("scan.bmp"), 100, 100);
    TRasterObject record;
    record.ImageName = QStringLiteral("scan.bmp");
    record.ImageWidth = record.ImageHeight = 100;
    record.Points = {{1000, 2000, 0, 0}, {1100, 1900, 100, 100}};
    const TRasterObject before = record;

    TRegForm form(nullptr, p.dir.path());
    form.resize(760, 520);
    form.SetImage(record);
    EXPECT_FALSE(form.WorkingCopy()); // a bitmap is drawn as it is
    EXPECT_EQ(form.ResidualX(0), QStringLiteral("?"));
    EXPECT_EQ(form.ListView->topLevelItem(1)->text(6), QStringLiteral("?"));

    ScriptedAnswers answers;
    dialog(answers, [&](QDialog &d) {
        auto &editor = dynamic_cast<TVykPointEditForm &>(d);
        // (1050, 1950) suggested for (50, 50): under "Карта Х" the northing.
        EXPECT_EQ(editor.edMapX->text(), QStringLiteral("1950"));
        EXPECT_EQ(editor.edMapY->text(), QStringLiteral("1050"));
        EXPECT_EQ(editor.edName->text(), QStringLiteral("Pt 3"));
        editor.btnCancel->click();
        return d.result();
    });
    EXPECT_FALSE(form.AddPointAt(50, 50));
    EXPECT_EQ(form.Count(), 2);

    // A marker dragged by the mouse takes its point along.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.SetZoom(2);
    EXPECT_EQ(form.cbZoom->currentText(), QStringLiteral("200 %"));
    QWidget *marker = nullptr;
    for (QObject *o : form.Image->children())
        if (auto *w = qobject_cast<QWidget *>(o); w && w->objectName() == u"Reper" && w->isVisible() &&
                                                   form.PanelToPicture(w->pos() + QPoint(8, w->height() / 2)) == QPoint(100, 100))
            marker = w;
    ASSERT_NE(marker, nullptr);
    const QPoint grip(8, marker->height() / 2);
    QTest::mousePress(marker, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(-20, -40)), marker->mapToGlobal(QPointF(grip + QPoint(-20, -40))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(marker, &move);
    QTest::mouseRelease(marker, Qt::LeftButton, {}, grip + QPoint(-20, -40));
    EXPECT_EQ(form.Selected(), 1);
    EXPECT_EQ(form.Points()[1].Column, 90);
    EXPECT_EQ(form.Points()[1].Row, 80);
    form.hide();

    // "Отменить" leaves the record as it was.
    dialog(answers, [&](QDialog &) {
        form.SwapXY();
        form.DeleteSelected();
        form.aCancel->trigger();
        return form.result();
    });
    EXPECT_EQ(form.Execute(record), 2);
    EXPECT_EQ(record, before);
}

TEST(RegForm, ATurnedSheetIsRegisteredBack)
{
    // The control points say the picture must turn 30 degrees
    // counter-clockwise to lie on the map. "Повернуть" turns the file; the
    // points then lie on the same marks of the turned picture, and the turn
    // they show is gone.
    ImageProject p;
    const std::vector<QPoint> marks = {{60, 40}, {340, 60}, {200, 160}};
    const QString file = p.picture(QStringLiteral("turned.bmp"), 400, 200, marks);
    const double a = 30 * M_PI / 180;
    TRasterObject record;
    record.ImageName = QStringLiteral("turned.bmp");
    record.ImageWidth = 400;
    record.ImageHeight = 200;
    for (const QPoint &m : marks) {
        // Map = the picture's (column, -row) turned by 30 degrees.
        const double c = m.x(), r = -m.y();
        record.Points.push_back({5000 + c * std::cos(a) - r * std::sin(a), 7000 + c * std::sin(a) + r * std::cos(a),
                                 m.x(), m.y()});
    }
    TRegForm form(nullptr, p.dir.path());
    form.SetImage(record);
    EXPECT_NEAR(form.RotationAngle(), 30, 0.01);
    ASSERT_TRUE(form.RotatePicture());

    const QImage turned(file);
    ASSERT_FALSE(turned.isNull());
    EXPECT_EQ(form.PictureSize(), turned.size());
    EXPECT_GT(turned.width(), 400);
    // The picture as it was is kept beside it.
    EXPECT_TRUE(QFile::exists(file + QStringLiteral(".001")) ||
                !QDir(p.dir.path()).entryList({QStringLiteral("turned.bmp.*")}).isEmpty());
    for (const georef::RegPoint &pt : form.Points()) {
        // The dark pixels around the point: the mark's centre.
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = pt.Row - 6; y <= pt.Row + 6; ++y)
            for (int x = pt.Column - 6; x <= pt.Column + 6; ++x)
                if (turned.valid(x, y) && qGray(turned.pixel(x, y)) < 96) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        ASSERT_GT(n, 5) << pt.Column << "," << pt.Row;
        EXPECT_NEAR(sx / n, pt.Column, 1.5);
        EXPECT_NEAR(sy / n, pt.Row, 1.5);
    }
    EXPECT_NEAR(form.RotationAngle(), 0, 0.5);
}

TEST(RegForm, AnOutsideEditorIsWaitedForAndThePointsFollowTheNewSize)
{
    // The editor the settings name (here a script that puts a larger
    // picture in place) runs to its end; the points then move by half the
    // growth, after the question.
    ImageProject p;
    p.picture(QStringLiteral("scan.bmp"), 100, 50);
    const QString larger = p.picture(QStringLiteral("larger.bmp"), 120, 70);
    const QString editor = p.dir.write(QStringLiteral("editor.sh"),
                                       QStringLiteral("#!/bin/sh\ncp '%1' \"$1\"\n").arg(larger).toUtf8());
    QFile::setPermissions(editor, QFile::permissions(editor) | QFileDevice::ExeOwner);
    ASSERT_TRUE(VykFunctions::WriteRegString(platform::RegRoot::ClassesRoot,
                                             QStringLiteral("\\Applications\\photoshop.exe\\shell\\open\\command"),
                                             QString(), QStringLiteral("\"%1\" \"%2\"").arg(editor, QStringLiteral("%1"))));
    TRasterObject record;
    record.ImageName = QStringLiteral("scan.bmp");
    record.ImageWidth = 100;
    record.ImageHeight = 50;
    record.Points = {{1000, 2000, 0, 0}, {1100, 1950, 100, 50}};
    TRegForm form(nullptr, p.dir.path());
    form.SetImage(record);
    ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    form.aPhotoshop->trigger();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Будет осуществлено пересчёт расположения пунктов координирования"));
    EXPECT_EQ(form.PictureSize(), QSize(120, 70));
    EXPECT_EQ(form.Points()[0].Column, 10);
    EXPECT_EQ(form.Points()[0].Row, 10);
    EXPECT_EQ(form.Points()[1].Column, 110);
    EXPECT_EQ(form.Points()[1].Row, 60);
}

TEST(RegForm, PicturesOtherThanBitmapsAreShownThroughATemporaryCopy)
{
    ImageProject p;
    p.picture(QStringLiteral("scan.png"), 30, 20);
    TRasterObject record;
    record.ImageName = QStringLiteral("scan.png");
    QString copy;
    {
        TRegForm form(nullptr, p.dir.path());
        form.SetImage(record);
        EXPECT_TRUE(form.WorkingCopy());
        copy = form.WorkingImage();
        EXPECT_TRUE(copy.endsWith(QStringLiteral(".bmp")));
        EXPECT_TRUE(QFile::exists(copy));
        EXPECT_EQ(form.PictureSize(), QSize(30, 20));
        EXPECT_EQ(QImage(copy).depth(), 8);
        EXPECT_EQ(form.lbSize->text(), QStringLiteral("30 х 20"));
    }
    EXPECT_FALSE(QFile::exists(copy));
}

TEST(RegForm, DoubleClickRegistrationStoresTheObject)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    p.picture(QStringLiteral("s.bmp"), 100, 50);
    TRasterObject r;
    r.ImageName = QStringLiteral("s.bmp");
    r.ImageWidth = 100;
    r.ImageHeight = 50;
    r.Points = {{0, 0, 0, 0}, {100, 50, 100, 50}};
    raster::fitRasterToControlPoints(r);
    ASSERT_TRUE(p.map.AppendRasterObject(r));
    ScriptedAnswers answers;
    dialog(answers, [](QDialog &d) {
        auto &form = dynamic_cast<TRegForm &>(d);
        form.ImportFile(QString()); // nothing: an unknown kind
        EXPECT_EQ(form.Count(), 0);
        return static_cast<int>(platform::mrOk);
    });
    reply(answers, platform::mrOk);
    dialog(answers, [&](QDialog &d) {
        auto &form = dynamic_cast<TRegForm &>(d);
        const QString world = p.dir.write(QStringLiteral("s.bmpw"), "2\n0\n0\n-2\n1001\n1999\n");
        form.ImportFile(world);
        return static_cast<int>(platform::mrOk);
    });
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // No points cannot place the picture: the user hears it, nothing is stored.
    EXPECT_FALSE(dialogs::dialogSeams().RegisterImage(layer, 0, x1, y1, x2, y2));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(p.object(layer, 0).XMax, 100);
    EXPECT_TRUE(dialogs::dialogSeams().RegisterImage(layer, 0, x1, y1, x2, y2));
    EXPECT_EQ(x1, 1000);
    EXPECT_EQ(x2, 1200);
    EXPECT_EQ(y1, 1900);
    EXPECT_EQ(p.object(layer, 0).XMax, 1200);
    EXPECT_TRUE(p.object(layer, 0).Points.size() == 2);
}

TEST(ImageList, HiddenUntickedDeletedDisabledAndTheEditSwitchComesBack)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    for (int k = 0; k < 3; ++k) {
        TRasterObject r;
        r.ImageName = QStringLiteral("s%1.bmp").arg(k);
        r.ImageWidth = 100;
        r.ImageHeight = 50;
        r.ImageFlag = k == 1 ? 1 : 0;
        r.Points = {{0, 0, 0, 0}, {100, 50, 100, 50}};
        raster::fitRasterToControlPoints(r);
        ASSERT_TRUE(p.map.AppendRasterObject(r));
    }
    TListImages list;
    list.FormShow();
    list.DeleteObject(2);
    p.layer(layer).Edited = false;
    list.FormShow();   // the layer is shown not editable
    ASSERT_EQ(list.CheckListBox->count(), 3);
    EXPECT_EQ(list.CheckListBox->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list.CheckListBox->item(1)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(list.CheckListBox->item(2)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(list.CheckListBox->item(0)->text(), QStringLiteral("s0.bmp"));

    // Ticking shows the hidden picture: the layer is made editable to store it.
    list.CheckListBox->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(p.object(layer, 1).ImageFlag, 0);
    EXPECT_TRUE(p.layer(layer).Edited);
    // Commands on the deleted object do nothing.
    list.SelectObject(2);
    EXPECT_TRUE(p.host.zooms.empty());
    list.SelectObject(0);
    ASSERT_EQ(p.host.zooms.size(), 1u);
    EXPECT_EQ(p.host.zooms[0].X2, 100);
    list.done(0);
    EXPECT_FALSE(p.layer(layer).Edited);
}

TEST(RegForm, ThePictureShowsTheWindowTheViewAsksFor)
{
    ImageProject p;
    QImage scan(640, 420, QImage::Format_RGB32);
    scan.fill(QColor(246, 240, 222));
    {
        QPainter g(&scan);
        g.setPen(QPen(QColor(60, 60, 60), 2));
        for (int x = 40; x < 640; x += 140)
            g.drawLine(x, 0, x, 420);
        for (int y = 30; y < 420; y += 130)
            g.drawLine(0, y, 640, y);
        g.setPen(QPen(QColor(150, 40, 40), 3));
        g.drawPolygon(QPolygon({QPoint(120, 90), QPoint(420, 70), QPoint(470, 300), QPoint(150, 330)}));
        g.drawText(QRect(200, 170, 200, 40), Qt::AlignCenter, QStringLiteral("уч. 17"));
    }
    scan.save(p.dir.file(QStringLiteral("plan.bmp")));
    TRasterObject record;
    record.ImageName = QStringLiteral("plan.bmp");
    record.ImageWidth = 640;
    record.ImageHeight = 420;
    record.Points = {{311040, 5400400, 40, 30}, {311460, 5400410, 460, 30}, {311462, 5400010, 460, 420}};
    TRegForm form(nullptr, p.dir.path());
    form.resize(960, 660);
    form.SetImage(record);
    form.setWindowTitle(QStringLiteral("Координирование изображения [plan.bmp]"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_NE(form.ResidualX(0), QStringLiteral("?"));
    const QImage shot = form.grab().toImage();
    EXPECT_TRUE(shot.save(QDir(testsupport::artefactFolder(QStringLiteral("dialogs"))).filePath(QStringLiteral("TRegForm.png"))));

    // The imaging control shows the window of the picture the scroll
    // position and the zoom ask for: panel pixel (x, y) is picture pixel
    // (x / zoom + scroll).
    const QImage saved(p.dir.file(QStringLiteral("plan.bmp")));
    // On the grid line x = 180 (2 pixels wide) and beside it.
    const struct {
        double zoom;
        QPoint scroll, panel;
        bool dark;
    } views[] = {{1, {0, 0}, {180, 100}, true},    {1, {0, 0}, {185, 100}, false},
                 {2, {100, 60}, {160, 100}, true}, {2, {100, 60}, {170, 100}, false}};
    for (const auto &v : views) {
        form.SetZoom(v.zoom);
        form.ScrollTo(v.scroll);
        const QImage view = form.Image->grab().toImage();
        const QPoint at = form.PanelToPicture(v.panel);
        EXPECT_EQ(qGray(saved.pixel(at)) < 128, v.dark);
        EXPECT_EQ(view.pixel(v.panel) | 0xFF000000, saved.pixel(at) | 0xFF000000)
            << v.zoom << " at " << v.panel.x() << "," << v.panel.y();
    }
}

TEST(GeoreferencingWindows, Screenshots)
{
    ImageProject p;
    KnownSizes sizes;
    const int layer = p.addImageLayer(QStringLiteral("sheets"));
    for (int k = 0; k < 3; ++k) {
        TRasterObject r;
        r.ImageName = QStringLiteral("Планшет %1.tif").arg(k + 1);
        r.ImageWidth = 100;
        r.ImageHeight = 50;
        r.ImageFlag = k == 1 ? 1 : 0;
        r.Points = {{0, 0, 0, 0}, {100, 50, 100, 50}};
        raster::fitRasterToControlPoints(r);
        ASSERT_TRUE(p.map.AppendRasterObject(r));
    }
    (void)layer;
    const QDir out(testsupport::artefactFolder(QStringLiteral("dialogs")));
    auto shoot = [&](QWidget &w, const char *name) {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        EXPECT_TRUE(w.grab().toImage().save(out.filePath(QString::fromLatin1(name))));
        w.hide();
    };
    TSelExport choice;
    choice.Hint = QStringLiteral("ImageRegBmp");
    choice.prepareToShow();
    shoot(choice, "TSelExport.png");
    TListImages list;
    list.FormShow();
    shoot(list, "TListImages.png");
    TFindPoint point;
    point.edX->setText(QStringLiteral("5400100"));
    point.edY->setText(QStringLiteral("311250,5"));
    shoot(point, "TFindPoint.png");
    TVykPointEditForm editor(nullptr);
    editor.setWindowTitle(QStringLiteral("Изменение контрольной точки"));
    editor.edName->setText(QStringLiteral("Pt 1"));
    editor.edMapX->setText(QStringLiteral("5400400"));
    editor.edMapY->setText(QStringLiteral("311040"));
    editor.edPicX->setText(QStringLiteral("40"));
    editor.edPicY->setText(QStringLiteral("30"));
    shoot(editor, "TVykPointEditForm.png");
}
