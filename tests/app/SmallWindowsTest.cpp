// The welcome, about, cursor-coordinates and statistics windows.

#include "AppTestSupport.h"

#include "app/FAbout.h"
#include "app/FFirstOpen.h"
#include "app/FShowPoint.h"
#include "support/ScriptedAnswers.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

using apptest::setProductValue;

class WelcomeTest : public apptest::WindowTest {};

TEST_F(WelcomeTest, LastProjectButtonFollowsTheSetting)
{
    const QString existing = dir_.write(QStringLiteral("Город.tvp"), QByteArray("!Tolvane v.2.2.0.2\r\n"));
    struct Case {
        QString setting;   // empty: no value
        QString caption;
    };
    const Case cases[] = {{QString(), QString()},
                          {dir_.file(QStringLiteral("gone.tvp")), QString()},
                          {existing, existing}};
    TFirstOpen *welcome = FirstOpenWindow();
    for (const Case &c : cases) {
        if (!c.setting.isEmpty())
            setProductValue(QStringLiteral("LastOpenTvpFile"), c.setting);
        welcome->FormShow();
        EXPECT_EQ(welcome->SpeedButton2->text(), c.caption) << c.setting.toStdString();
        EXPECT_EQ(welcome->SpeedButton2->isEnabled(), !c.caption.isEmpty());
    }
    EXPECT_EQ(welcome->windowTitle(), QStringLiteral("Добро пожаловать в Tolvane"));
    EXPECT_TRUE(welcome->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WelcomeTest, AVanishedLastProjectChangesNothing)
{
    const QString project = dir_.write(QStringLiteral("city.tvp"), QByteArray("!Tolvane v.2.2.0.2\r\n"));
    setProductValue(QStringLiteral("LastOpenTvpFile"), project);
    TTolvane &w = mapWindow();
    const QString workDir = w.MapImage->WorkDir();
    TFirstOpen *welcome = FirstOpenWindow();
    welcome->show();
    ASSERT_TRUE(welcome->SpeedButton2->isEnabled());
    QFile::remove(project);
    welcome->SpeedButton2Click();
    EXPECT_EQ(Tolvane, &w);
    EXPECT_TRUE(w.MapImage->ProjectFile().isEmpty());
    EXPECT_EQ(w.MapImage->WorkDir(), workDir);
    EXPECT_TRUE(welcome->isVisible());
    welcome->hide();
}

TEST(AboutWindow, MailLinkTexts)
{
    EXPECT_EQ(app::aboutMailText(QStringLiteral("admin@tolvane.example"), QStringLiteral("2.2.0.2"),
                                 QStringLiteral("Admin")),
              QStringLiteral("mailto:admin@tolvane.example?subject=Re: Tolvane 2.2.0.2"
                             "&body=   Добрый день, Admin !%0d"));
    EXPECT_EQ(app::aboutMailText(QStringLiteral("manager@tolvane.example"), QStringLiteral("2.2.0.2"),
                                 QStringLiteral("Manager")),
              QStringLiteral("mailto:manager@tolvane.example?subject=Re: Tolvane 2.2.0.2"
                             "&body=   Добрый день, Manager !%0d"));
}

class AboutTest : public apptest::WindowTest {
protected:
    void TearDown() override
    {
        app::setUrlOpener({});
        apptest::WindowTest::TearDown();
    }
};

TEST_F(AboutTest, LinksOpenTheirTargetsAndAFailedMailIsReported)
{
    frame();
    std::vector<QUrl> opened;
    bool succeed = true;
    app::setUrlOpener([&](const QUrl &url) {
        opened.push_back(url);
        return succeed;
    });
    TAbout about;
    about.Label7Click();
    about.Label8Click();
    about.Label4Click();
    about.Label1->setToolTip(QStringLiteral("https://elsewhere.example/"));
    about.Label3Click();
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(opened[0].path(), QStringLiteral("manager@tolvane.example"));
    EXPECT_TRUE(opened[0].query(QUrl::FullyDecoded).contains(QStringLiteral("Добрый день, Manager !")));
    EXPECT_TRUE(opened[0].query(QUrl::FullyDecoded).contains(QStringLiteral("subject=Re: Tolvane 2.2.0.2")));
    EXPECT_EQ(opened[1].path(), QStringLiteral("admin@tolvane.example"));
    EXPECT_EQ(opened[2], QUrl(QStringLiteral("https://tolvane.example/news")));
    EXPECT_EQ(opened[3], QUrl(QStringLiteral("https://tolvane.example/")));

    succeed = false;
    testsupport::ScriptedAnswers answers;
    apptest::replyOk(answers);
    about.Label2Click();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Auto method failed."));
}

TEST_F(AboutTest, EscapeAndClicksOnThePictureClose)
{
    TAbout about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    about.activateWindow();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    about.show();
    QTest::mouseClick(about.Image1, Qt::LeftButton, {}, QPoint(20, 250));
    EXPECT_FALSE(about.isVisible());
    about.show();
    about.SpeedButton7->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(InformationWindows, EscapeCloses)
{
    TShowPoint *point = ShowPointWindow();
    TMapStat *stat = MapStatWindow();
    EXPECT_EQ(ShowPointWindow(), point);
    EXPECT_EQ(point->windowTitle(), QStringLiteral("Координаты курсора"));
    EXPECT_EQ(stat->windowTitle(), QStringLiteral("Статистика"));
    EXPECT_EQ(point->aExit->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(stat->aExit->shortcut(), QKeySequence(Qt::Key_Escape));
    for (QDialog *d : std::initializer_list<QDialog *>{point, stat}) {
        d->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
        d->activateWindow();
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible()) << d->objectName().toStdString();
    }
}
