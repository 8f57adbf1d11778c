// The label dialogs driven through the dialog seams: "Добавить обозначения"
// with its defaults in "VYK.INI" and its answer, the label-entry dialog on a
// layer's entry, and both as receivers of the map window's style popups.

#include "dialogs/DialogSeams.h"
#include "dialogs/LabelDialogs.h"

#include "DialogsTestSupport.h"
#include "platform/IniFile.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

using testsupport::ScriptedAnswers;

namespace {

// The map window with a polygon layer of kind 1 whose table has ID and
// PURPOSE, and an image layer without a table; the program folder and the
// work folder are one temporary folder.
struct LabelProject {
    testsupport::TempFolder dir;
    dialogtest::FakeMapWindow window;
    LabelProject()
    {
        window.core.SetProgramDir(dir.path());
        window.core.SetWorkDir(dir.path());
        dir.write(QStringLiteral("parcels.dbf"),
                  dbtest::dbfFile({{"ID", 'N', 9, 0}, {"PURPOSE", 'C', 20, 0}},
                                  {dbtest::record({dbtest::right("1", 9), dbtest::left(dbtest::u8("сад"), 20)})}));
        const int parcels = window.addLayer(QStringLiteral("parcels.shp"), QStringLiteral("Участки"), {}, {}, {}, 1);
        layer(parcels).ObjType = otPolygons;
        const int images = window.addLayer(QStringLiteral("images.shp"), QStringLiteral("Снимки"), {}, {}, {}, 1);
        layer(images).ObjType = otImages;
        window.active = parcels;
    }
    TMapLayer &layer(int i) { return window.core.Project().Layers[static_cast<size_t>(i)]; }
    QStringList items(const QComboBox *box) const
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
};

// A label entry of the field PURPOSE: "0.0", Arial 10 at 1:1000, red, on white.
TMapLabel purposeLabel(bool visible, Byte center, Byte brushStyle)
{
    TMapLabel entry;
    entry.Visible = visible;
    entry.FieldName = QStringLiteral("PURPOSE");
    entry.FormatShow = QStringLiteral("0.0");
    entry.Font.FontName = QStringLiteral("Arial");
    entry.Font.Size = 10;
    entry.Font.Scale = 1000;
    entry.Font.Color = 255;
    entry.Font.Center = center;
    entry.Font.BrushStyle = brushStyle;
    entry.Font.BrushColor = 16777215;
    return entry;
}

void dialog(ScriptedAnswers &answers, const ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}

} // namespace

TEST(LabelDialogs, NewLabelDefaultsAnswerAndTheNextShowing)
{
    LabelProject p;
    TNewLabel *d = NewLabel();
    dialogs::NewLabelAnswer answer;
    {
        // First showing on a new installation; cancelled: nothing written.
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &shown) {
            EXPECT_EQ(&shown, d);
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Добавить обозначения"));
            EXPECT_EQ(d->EditFontName->text(), QStringLiteral("Arial Cyr"));
            EXPECT_EQ(d->EditFontSize->text(), QStringLiteral("12"));
            EXPECT_EQ(d->EditFontScale->text(), QStringLiteral("2000"));
            EXPECT_EQ(d->EditBrushColor->text(), QStringLiteral("16777215"));
            EXPECT_EQ(d->FBrushStyle, 1);
            EXPECT_EQ(d->cbRound->currentText(), QStringLiteral("3"));
            EXPECT_EQ(d->cbFormat->currentText(), QStringLiteral("000"));
            EXPECT_TRUE(d->Alignment[0]->isChecked());
            EXPECT_TRUE(d->Position[0]->isChecked());
            EXPECT_TRUE(d->cbFieldName->currentText().isEmpty());
            EXPECT_EQ(p.items(d->cbFieldName),
                      (QStringList{QStringLiteral("Номер участка"), QStringLiteral("Линия"),
                                   QStringLiteral("Площадь, га"), QStringLiteral("Площадь, кв.м"),
                                   QStringLiteral("Периметр"), QStringLiteral("Расстояния"),
                                   QStringLiteral("Номера точек"), QStringLiteral("ID"), QStringLiteral("PURPOSE")}));
            EXPECT_EQ(d->Hint, QStringLiteral("Cancel"));
            // The corner buttons cannot be pressed by the user.
            EXPECT_FALSE(d->Alignment[5]->isEnabled());
            EXPECT_TRUE(d->Alignment[1]->isEnabled());
            d->BitBtn2->click();
            return d->result();
        });
        EXPECT_FALSE(dialogs::dialogSeams().AskNewLabel(answer));
        EXPECT_EQ(d->NewLabelLayerIndex, 0);
    }
    EXPECT_FALSE(QFile::exists(p.dir.file(QStringLiteral("VYK.INI"))));
    {
        // "Сверху по центру", the text above the point, another font: created.
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            d->Alignment[1]->click();
            d->Position[1]->click();
            d->cbFieldName->setCurrentText(QStringLiteral("Периметр"));
            d->EditFontName->setText(QStringLiteral("Times New Roman Cyr"));
            d->cBoxFontItalic->setChecked(true);
            d->cbRound->setCurrentText(QStringLiteral("2"));
            d->BitBtn1->click();
            return d->result();
        });
        ASSERT_TRUE(dialogs::dialogSeams().AskNewLabel(answer));
    }
    EXPECT_TRUE(answer.sbTop);
    EXPECT_FALSE(answer.sbBottom || answer.sbTopLeft);
    EXPECT_TRUE(answer.rbTopS);
    EXPECT_FALSE(answer.rbCenterS);
    EXPECT_EQ(answer.cbFieldName, QStringLiteral("Периметр"));
    EXPECT_EQ(answer.EditFontName, QStringLiteral("Times New Roman Cyr"));
    EXPECT_TRUE(answer.cBoxFontItalic);
    EXPECT_EQ(answer.BackgroundStyle, 1);
    EXPECT_EQ(answer.cbRound, QStringLiteral("2"));
    const platform::IniFile ini(p.dir.file(QStringLiteral("VYK.INI")));
    EXPECT_EQ(ini.readInteger(u"Tolvane обозначения", u"Выравнивание", -1), 1);
    EXPECT_EQ(ini.readInteger(u"Tolvane обозначения", u"Позиция текста", -1), 1);
    EXPECT_EQ(ini.readString(u"Tolvane обозначения", u"Округление", QString()), QStringLiteral("2"));
    {
        // The next showing starts from them; the field list from the layer
        // of the first selected object (the image layer: no table).
        p.window.core.AppendSelectionEntry(1, 0, TMapExtent{});
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_TRUE(d->Alignment[1]->isChecked());
            EXPECT_TRUE(d->Position[1]->isChecked());
            EXPECT_TRUE(d->cBoxFontItalic->isChecked());
            EXPECT_EQ(d->EditFontName->text(), QStringLiteral("Times New Roman Cyr"));
            EXPECT_EQ(d->cbFieldName->count(), 7);
            d->reject();
            return d->result();
        });
        EXPECT_FALSE(dialogs::dialogSeams().AskNewLabel(answer));
    }
}

TEST(LabelDialogs, NewLabelReportsAnIniItCannotWrite)
{
    LabelProject p;
    ASSERT_TRUE(QDir(p.dir.path()).mkdir(QStringLiteral("VYK.INI")));
    TNewLabel *d = NewLabel();
    dialogs::NewLabelAnswer answer;
    ScriptedAnswers answers;
    dialog(answers, [&](QDialog &) {
        d->BitBtn1->click();
        return d->result();
    });
    answers.reply(platform::mrOk);
    // The labels are still made; the user learns the settings were not kept.
    EXPECT_TRUE(dialogs::dialogSeams().AskNewLabel(answer));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Невозможно записать файл ")));
}

TEST(LabelDialogs, LabelEntryShowsAndSavesTheEntry)
{
    LabelProject p;
    TMapLabel entry = purposeLabel(false, 6, 1);
    entry.Font.Position = 2;
    p.layer(0).Labels = {entry, entry};
    TProLabel *d = ProLabel();
    {
        // Cancelled: the entry stays as it was.
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Параметры отображения обозначений"));
            EXPECT_EQ(d->Hint, QStringLiteral("Edit"));
            d->EditFontSize->setText(QStringLiteral("99"));
            d->BitBtn2->click();
            return d->result();
        });
        EXPECT_FALSE(dialogs::dialogSeams().ShowLabelEntry(0, 1, QStringLiteral("Edit")));
        EXPECT_EQ(p.layer(0).Labels[1].Font.Size, 10);
    }
    {
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            // Measures of a polygon layer before its table's fields.
            EXPECT_EQ(p.items(d->cbFieldName),
                      (QStringList{QStringLiteral("Площадь, га"), QStringLiteral("Площадь, кв.м"),
                                   QStringLiteral("Периметр"), QStringLiteral("ID"), QStringLiteral("PURPOSE")}));
            EXPECT_EQ(d->cbFieldName->currentText(), QStringLiteral("PURPOSE"));
            EXPECT_FALSE(d->cbVisible->isChecked());
            // Code 6 presses the disabled "Снизу по левому краю".
            EXPECT_TRUE(d->Alignment[6]->isChecked());
            EXPECT_FALSE(d->Alignment[6]->isEnabled());
            EXPECT_TRUE(d->Position[2]->isChecked());
            EXPECT_EQ(d->EditFontScale->text(), QStringLiteral("1000"));
            d->cbVisible->setChecked(true);
            d->cbFieldName->setCurrentText(QStringLiteral("Площадь, га"));
            d->EditFontSize->setText(QStringLiteral("14"));
            d->EditFontRotate->setText(QStringLiteral("x"));
            d->cBoxFontBold->setChecked(true);
            d->BitBtn1->click();
            return d->result();
        });
        EXPECT_TRUE(dialogs::dialogSeams().ShowLabelEntry(0, 1, QStringLiteral("Edit")));
    }
    const TMapLabel &saved = p.layer(0).Labels[1];
    EXPECT_TRUE(saved.Visible);
    EXPECT_EQ(saved.FieldName, QStringLiteral("Площадь, га"));
    EXPECT_EQ(saved.Font.Size, 14);
    EXPECT_EQ(saved.Font.Rotate, 0);
    EXPECT_EQ(saved.Font.Center, 6);
    EXPECT_EQ(saved.Font.Position, 2);
    EXPECT_EQ(saved.Font.TextStyle, 1);
    EXPECT_EQ(saved.FormatShow, QStringLiteral("0.0"));
    EXPECT_EQ(d->LabelLayerIndex, 0);
    EXPECT_EQ(d->LabelEntryIndex, 1);
    // The other entry is untouched; an entry that does not exist shows nothing.
    EXPECT_EQ(p.layer(0).Labels[0].Font.Size, 10);
    EXPECT_FALSE(dialogs::dialogSeams().ShowLabelEntry(0, 2, QStringLiteral("New")));
    EXPECT_FALSE(dialogs::dialogSeams().ShowLabelEntry(5, 0, QStringLiteral("New")));
    // An image layer offers "Имя файла" after its fields (it has none).
    p.layer(1).Labels = {entry};
    {
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_EQ(p.items(d->cbFieldName), QStringList{QStringLiteral("Имя файла")});
            d->reject();
            return d->result();
        });
        EXPECT_FALSE(dialogs::dialogSeams().ShowLabelEntry(1, 0, QStringLiteral("New")));
    }
}

TEST(LabelDialogs, StylePopupsReachTheDialogs)
{
    LabelProject p;
    auto &seams = dialogs::dialogSeams();
    TProLabel *entry = ProLabel();
    TNewLabel *add = NewLabel();
    // Only a shown dialog receives the popups' choices.
    entry->hide();
    add->hide();
    EXPECT_EQ(seams.styleDialog(dialogs::StyleDialogKind::Label), nullptr);
    EXPECT_EQ(seams.styleDialog(dialogs::StyleDialogKind::NewLabel), nullptr);
    entry->show();
    add->show();
    ASSERT_EQ(seams.styleDialog(dialogs::StyleDialogKind::Label), entry);
    ASSERT_EQ(seams.styleDialog(dialogs::StyleDialogKind::NewLabel), add);
    dialogs::StyleDialog *receiver = seams.styleDialog(dialogs::StyleDialogKind::NewLabel);
    receiver->SetFontSize(QStringLiteral("24"));
    receiver->SetFontScale(QString());
    receiver->SetFontRotate(QStringLiteral("315"));
    add->EditBrushColor->setText(QString::number(0x0000FF));
    receiver->SetBackgroundStyle(0);
    receiver->DrawBackgroundSample();
    EXPECT_EQ(add->EditFontSize->text(), QStringLiteral("24"));
    EXPECT_TRUE(add->EditFontScale->text().isEmpty());
    EXPECT_EQ(add->EditFontRotate->text(), QStringLiteral("315"));
    EXPECT_EQ(add->FBrushStyle, 0);
    // The sample is filled solid red; with no style, the panel's colour.
    const QImage solid = add->ImageBrush->pixmap().toImage();
    EXPECT_EQ(solid.pixel(solid.width() / 2, solid.height() / 2) & 0xFFFFFF, 0xFF0000u);
    receiver->SetBackgroundStyle(1);
    receiver->DrawBackgroundSample();
    const QImage clear = add->ImageBrush->pixmap().toImage();
    EXPECT_EQ(QColor(clear.pixel(clear.width() / 2, clear.height() / 2)), add->palette().color(QPalette::Window));
    // The background colour chosen (green, 0x00BBGGRR) repaints the sample.
    {
        ScriptedAnswers answers;
        answers.reply(0x00FF00);
        receiver->SetBackgroundStyle(0);
        add->SBBgTextColor->click();
    }
    EXPECT_EQ(add->EditBrushColor->text(), QString::number(0x00FF00));
    EXPECT_EQ(add->ImageBrush->pixmap().toImage().pixel(10, 10) & 0xFFFFFF, 0x00FF00u);
    entry->hide();
    add->hide();
}

TEST(LabelDialogs, Screenshots)
{
    LabelProject p;
    TMapLabel entry = purposeLabel(true, 1, 0);
    entry.Font.BrushColor = 0x80FFFF;
    p.layer(0).Labels = {entry};
    const QString folder = testsupport::artefactFolder(QStringLiteral("dialogs"));
    TProLabel *d = ProLabel();
    ASSERT_TRUE(d->PrepareToShow(0, 0));
    d->show();
    EXPECT_TRUE(d->grab().save(folder + QStringLiteral("/ProLabel.png")));
    d->hide();
    TNewLabel *n = NewLabel();
    n->PrepareToShow();
    n->show();
    EXPECT_TRUE(n->grab().save(folder + QStringLiteral("/NewLabel.png")));
    n->hide();
}
