// The routines over windows: the control under a point through nested
// containers, enabling groups of controls, the hidden dialog window.

#include "reports/ui/ReportControls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

using namespace reports;

TEST(ReportControls, FindControlAtSearchesInsideAndFallsBackToTheNextChild)
{
    QWidget window;
    window.resize(300, 300);
    auto *a = new QWidget(&window); // a container below the others
    a->setObjectName(QStringLiteral("A"));
    a->setGeometry(0, 0, 100, 100);
    auto *a1 = new QLabel(a);
    a1->setObjectName(QStringLiteral("A1"));
    a1->setGeometry(10, 10, 20, 20);
    auto *c = new QLineEdit(&window); // a plain control
    c->setObjectName(QStringLiteral("C"));
    c->setGeometry(120, 120, 50, 50);
    auto *b = new QWidget(&window); // a container on top of A and C
    b->setObjectName(QStringLiteral("B"));
    b->setGeometry(50, 50, 100, 100);
    auto *b1 = new QLabel(b);
    b1->setObjectName(QStringLiteral("B1"));
    b1->setGeometry(10, 10, 20, 20);
    auto *empty = new QWidget(&window); // a container without children counts as a control
    empty->setObjectName(QStringLiteral("E"));
    empty->setGeometry(200, 0, 50, 50);

    auto nameAt = [&](int x, int y) {
        QWidget *w = FindControlAt(&window, QPoint(x, y));
        return w ? w->objectName() : QStringLiteral("-");
    };
    EXPECT_EQ(nameAt(15, 15), QStringLiteral("A1"));
    EXPECT_EQ(nameAt(65, 65), QStringLiteral("B1"));    // inside B, made relative
    EXPECT_EQ(nameAt(130, 130), QStringLiteral("C"));   // B misses inside: the next child below
    EXPECT_EQ(nameAt(90, 90), QStringLiteral("-"));     // B and A both miss inside
    EXPECT_EQ(nameAt(210, 10), QStringLiteral("E"));
    EXPECT_EQ(nameAt(250, 10), QStringLiteral("-"));    // the right edge is outside
    EXPECT_EQ(nameAt(299, 299), QStringLiteral("-"));
    c->hide();
    EXPECT_EQ(nameAt(130, 130), QStringLiteral("-"));
    b->hide();
    EXPECT_EQ(nameAt(15, 15), QStringLiteral("A1"));
    EXPECT_EQ(FindControlAt(nullptr, QPoint()), nullptr);
}

TEST(ReportControls, EnableControlsSetsStateAndColours)
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("Поле"), &window);
    auto *edit = new QLineEdit(&window);
    const QPalette system = QApplication::palette();
    EnableControls({label, edit, nullptr}, false);
    EXPECT_FALSE(label->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), system.color(QPalette::Disabled, QPalette::WindowText));
    EXPECT_EQ(edit->palette().color(QPalette::Base), system.color(QPalette::Active, QPalette::Button));
    EnableControls({label, edit}, true);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), system.color(QPalette::Active, QPalette::WindowText));
    EXPECT_EQ(edit->palette().color(QPalette::Base), system.color(QPalette::Active, QPalette::Base));
}

TEST(ReportControls, TheHiddenDialogWindow)
{
    QWidget *form = reportDialogForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form, reportDialogForm());
    EXPECT_EQ(form->objectName(), QStringLiteral("DialogForm"));
    EXPECT_EQ(form->geometry(), QRect(-100, -100, 10, 10));
    EXPECT_FALSE(form->isVisible());
}
