// The tool button: glyph counts, groups, the greyed look of a flat button
// while the mouse is away, the shared glyph lists; the edit with a button.

#include "reports/ui/SpeedButton.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace reports;

TEST(SpeedButton, GlyphCountFollowsTheBitmapAndIsCapped)
{
    struct Case {
        QSize size;
        int expected; // 2 is the value set before: unchanged
    } cases[] = {{{64, 16}, 4}, {{48, 16}, 3}, {{16, 16}, 1}, {{96, 16}, 1}, {{100, 16}, 2}, {{0, 0}, 2}};
    for (const Case &c : cases) {
        TfrSpeedButton b;
        b.SetNumGlyphs(2);
        QPixmap glyph(c.size);
        glyph.fill(Qt::red);
        b.SetGlyph(glyph);
        EXPECT_EQ(b.NumGlyphs(), c.expected) << c.size.width();
    }
    TfrSpeedButton b;
    b.SetNumGlyphs(7);
    EXPECT_EQ(b.NumGlyphs(), 4);
    EXPECT_EQ(b.size(), QSize(22, 22));
    EXPECT_FALSE(b.Flat());
    EXPECT_TRUE(TfrTBButton().Flat());

    // Images by state, falling back to the first.
    EXPECT_EQ(glyphImageOfState(ButtonState::Disabled, 1), 0);
    EXPECT_EQ(glyphImageOfState(ButtonState::Pressed, 2), 0);
    EXPECT_EQ(glyphImageOfState(ButtonState::Pressed, 3), 2);
    EXPECT_EQ(glyphImageOfState(ButtonState::Exclusive, 3), 0);
    EXPECT_EQ(glyphImageOfState(ButtonState::Exclusive, 4), 3);
    EXPECT_EQ(inactiveGrey(qRgb(255, 0, 0)), qRgb(76, 76, 76));
    EXPECT_EQ(inactiveGrey(qRgb(255, 255, 255)), qRgb(255, 255, 255));
}

TEST(SpeedButton, GroupsKeepOneButtonDown)
{
    QWidget parent;
    auto *a = new TfrSpeedButton(&parent);
    auto *b = new TfrSpeedButton(&parent);
    auto *loose = new TfrSpeedButton(&parent);
    loose->SetDown(true); // no group: stays up
    EXPECT_FALSE(loose->Down());

    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    // Clicking the down button of a group without AllowAllUp leaves it down.
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a->Down());
    // Pressing the other raises the first.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    // With AllowAllUp (passed on to the group) a click raises it.
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
}

TEST(SpeedButton, AFlatButtonIsGreyUntilTheMouseEnters)
{
    QWidget parent;
    parent.resize(40, 40);
    auto *b = new TfrSpeedButton(&parent);
    b->SetFlat(true);
    QPixmap glyph(16, 16);
    glyph.fill(Qt::white); // the bottom-left pixel: transparent
    {
        QPainter p(&glyph);
        p.fillRect(2, 2, 12, 12, QColor(255, 0, 0));
    }
    b->SetGlyph(glyph);
    int clicks = 0;
    b->OnClick = [&] { ++clicks; };
    parent.show();
    const QPoint centre(11, 11);
    const QColor before = b->grab().toImage().pixelColor(centre);
    EXPECT_EQ(b->PaintState(), ButtonState::Inactive);
    EXPECT_EQ(before, QColor(76, 76, 76));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(b, &enter);
    const QImage hot = b->grab().toImage();
    EXPECT_EQ(hot.pixelColor(centre), QColor(255, 0, 0));
    EXPECT_EQ(hot.pixelColor(0, 0), b->palette().color(QPalette::Light)); // the raised frame
    b->SetGrayedInactive(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->grab().toImage().pixelColor(centre), QColor(255, 0, 0));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 2);
    b->setEnabled(false);
    EXPECT_EQ(b->PaintState(), ButtonState::Disabled);
}

TEST(SpeedButton, ButtonsOfOneGlyphSizeShareAListFreedWithTheLast)
{
    const QSize size(16, 16);
    ASSERT_FALSE(GlyphCache::instance().hasList(size));
    QPixmap glyph(16, 16);
    glyph.fill(Qt::blue);
    {
        QWidget parent;
        auto *a = new TfrSpeedButton(&parent);
        auto *b = new TfrSpeedButton(&parent);
        a->SetGlyph(glyph);
        b->SetGlyph(glyph);
        const int lists = GlyphCache::instance().listCount();
        a->grab();
        b->grab();
        EXPECT_TRUE(GlyphCache::instance().hasList(size));
        EXPECT_EQ(GlyphCache::instance().listCount(), lists + 1);
        delete a;
        EXPECT_TRUE(GlyphCache::instance().hasList(size));
    }
    EXPECT_FALSE(GlyphCache::instance().hasList(size));
}

TEST(SpeedButton, GlyphAndCaptionLayout)
{
    const QRect client(0, 0, 100, 22);
    // Margin -1: the glyph, spacing and caption centred as a block.
    GlyphLayout l = layoutGlyphAndCaption(client, QSize(16, 16), QSize(40, 14), ButtonLayout::GlyphLeft, -1, 4);
    EXPECT_EQ(l.glyph, QPoint(20, 3));
    EXPECT_EQ(l.caption.topLeft(), QPoint(40, 4));
    // Both -1: three equal parts of the free space.
    l = layoutGlyphAndCaption(client, QSize(16, 16), QSize(40, 14), ButtonLayout::GlyphLeft, -1, -1);
    EXPECT_EQ(l.glyph.x(), 14);
    EXPECT_EQ(l.caption.left(), 14 + 16 + 14);
    // A glyph without caption: no spacing, centred.
    l = layoutGlyphAndCaption(QRect(0, 0, 22, 22), QSize(16, 16), QSize(), ButtonLayout::GlyphLeft, -1, 4);
    EXPECT_EQ(l.glyph, QPoint(3, 3));
    l = layoutGlyphAndCaption(client, QSize(16, 16), QSize(40, 14), ButtonLayout::GlyphRight, 2, 4);
    EXPECT_EQ(l.glyph.x(), 82);
    EXPECT_EQ(l.caption.left(), 38);
}

TEST(ComboEdit, ButtonPlaceStateAndDialogKeys)
{
    QDialog dialog;
    auto *ok = new QPushButton(QStringLiteral("ОК"), &dialog);
    ok->setDefault(true);
    int accepted = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++accepted; });
    auto *edit = new TfrComboEdit(&dialog);
    edit->resize(120, 21);
    int clicks = 0;
    edit->OnButtonClick = [&] { ++clicks; };
    dialog.show();
    EXPECT_EQ(edit->Button()->parentWidget()->geometry(), QRect(120 - 21 + 2, 2, 17, 17));
    QTest::mouseClick(edit->Button(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, 1);
    edit->setEnabled(false);
    EXPECT_FALSE(edit->Button()->isEnabled());
    edit->setEnabled(true);
    EXPECT_TRUE(edit->Button()->isEnabled());
    edit->SetButtonEnabled(false);
    EXPECT_FALSE(edit->Button()->isEnabled());
    QTest::keyClick(edit->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    QTest::keyClick(edit->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}
