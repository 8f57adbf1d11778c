#include "app/FAbout.h"

#include "app/FStart.h"
#include "app/FormControls.h"
#include "platform/ui/FormClass.h"
#include "platform/UserAnswers.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace app {

QString aboutMailText(const QString &address, const QString &version, const QString &name)
{
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=Re: Tolvane ") + version +
           QStringLiteral("&body=   Добрый день, ") + name + QStringLiteral(" !%0d");
}

} // namespace app

namespace {

QLabel *linkLabel(QWidget *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(l, "TLabel");
    app::setHint(l, hint);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

QPixmap aboutPicture()
{
    QPixmap pm(531, 295);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 295);
    g.setColorAt(0, QColor(40, 90, 60));
    g.setColorAt(1, QColor(170, 200, 150));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 255, 255, 70));
    for (int x = 0; x < 531; x += 24)
        p.drawLine(x, 0, x + 120, 295);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(54);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 70, 531, 80), Qt::AlignCenter, QStringLiteral("Tolvane"));
    f.setPixelSize(16);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 150, 531, 30), Qt::AlignCenter,
               QStringLiteral("Земельный кадастр и топографическая съёмка"));
    p.drawText(QRect(0, 250, 531, 30), Qt::AlignCenter,
               QStringLiteral("версия ") + (Start ? Start->FVersion : QStringLiteral("2.2.0.2")));
    p.end();
    return pm;
}

} // namespace

TAbout::TAbout(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("About"));
    platform::tagForm(this, "TAbout", "TForm");
    setFixedSize(531, 327);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    platform::setFormClass(Image1, "TImage");
    Image1->setGeometry(0, 0, 531, 295);
    Image1->setPixmap(aboutPicture());
    Image1->installEventFilter(this);

    // Transparent areas over the picture.
    Label3 = linkLabel(this, "Label3", QString(), QStringLiteral("https://tolvane.example/"));
    Label3->setGeometry(150, 70, 231, 80);
    Label1 = linkLabel(this, "Label1", QString(), QString());
    Label1->setGeometry(150, 150, 231, 30);
    Label2 = linkLabel(this, "Label2", QString(), QStringLiteral("admin@tolvane.example"));
    Label2->setGeometry(150, 250, 231, 30);

    SpeedButton7 = new QToolButton(this);
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    platform::setFormClass(SpeedButton7, "TSpeedButton");
    app::setHint(SpeedButton7, QStringLiteral("Закрыть"));
    SpeedButton7->setText(QStringLiteral("×"));
    SpeedButton7->setAutoRaise(true);
    SpeedButton7->setGeometry(531 - 24, 2, 22, 22);
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setGeometry(0, 295, 531, 32);
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Qt::white);
    strip->setPalette(pal);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 4, 8, 4);
    auto dash = [strip, row](const char *name) {
        auto *l = new QLabel(QStringLiteral("-"), strip);
        l->setObjectName(QString::fromLatin1(name));
        platform::setFormClass(l, "TLabel");
        row->addWidget(l);
    };
    Label4 = linkLabel(strip, "Label4", QStringLiteral("Новости"), QStringLiteral("https://tolvane.example/news"));
    Label5 = linkLabel(strip, "Label5", QStringLiteral("Изменения"),
                       QStringLiteral("https://tolvane.example/changes"));
    Label6 = linkLabel(strip, "Label6", QStringLiteral("Обновления"),
                       QStringLiteral("https://tolvane.example/updates"));
    Label7 = linkLabel(strip, "Label7", QStringLiteral("Менеджер"), QStringLiteral("manager@tolvane.example"));
    Label8 = linkLabel(strip, "Label8", QStringLiteral("Администратор"), QStringLiteral("admin@tolvane.example"));
    Label14 = linkLabel(strip, "Label14", QStringLiteral("Заказать"), QStringLiteral("https://tolvane.example/order"));
    row->addStretch();
    row->addWidget(Label4);
    dash("Label9");
    row->addWidget(Label5);
    dash("Label10");
    row->addWidget(Label6);
    dash("Label11");
    row->addWidget(Label7);
    dash("Label12");
    row->addWidget(Label8);
    dash("Label13");
    row->addWidget(Label14);
    row->addStretch();
    for (QLabel *l : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label14})
        l->installEventFilter(this);

    KeyPressESC = app::listAction(this, "KeyPressESC", QStringLiteral("KeyPressESC"), QString(),
                                  QKeySequence(Qt::Key_Escape));
    addAction(KeyPressESC);
    connect(KeyPressESC, &QAction::triggered, this, [this] { KeyPressESCExecute(); });

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

bool TAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Image1)
            Image1Click();
        else if (watched == Label3 || watched == Label1)
            Label3Click();
        else if (watched == Label4)
            Label4Click();
        else if (watched == Label5)
            Label5Click();
        else if (watched == Label6)
            Label6Click();
        else if (watched == Label14)
            Label14Click();
        else if (watched == Label2)
            Label2Click();
        else if (watched == Label7)
            Label7Click();
        else if (watched == Label8)
            Label8Click();
        else
            return QDialog::eventFilter(watched, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAbout::Image1Click()
{
    close();
}

void TAbout::SpeedButton7Click()
{
    close();
}

void TAbout::KeyPressESCExecute()
{
    close();
}

void TAbout::openPage(const QLabel *label)
{
    const QString address = app::hintOf(label);
    if (!app::openUrl(QUrl(address)))
        platform::showMessage(QStringLiteral("Невозможно открыть страницу ") + address);
}

void TAbout::startMail(const QLabel *label, const QString &name)
{
    const QString text = app::aboutMailText(app::hintOf(label), Start ? Start->FVersion : QString(), name);
    if (!app::openUrl(QUrl(text, QUrl::TolerantMode)))
        platform::showMessage(QStringLiteral("Auto method failed."));
}

// Label1 lies over the picture beside Label3 and opens Label3's page.
void TAbout::Label3Click()
{
    openPage(Label3);
}

void TAbout::Label4Click()
{
    openPage(Label4);
}

void TAbout::Label5Click()
{
    openPage(Label5);
}

void TAbout::Label6Click()
{
    openPage(Label6);
}

void TAbout::Label14Click()
{
    openPage(Label14);
}

void TAbout::Label2Click()
{
    startMail(Label2, QStringLiteral("Admin"));
}

void TAbout::Label7Click()
{
    startMail(Label7, QStringLiteral("Manager"));
}

void TAbout::Label8Click()
{
    startMail(Label8, QStringLiteral("Admin"));
}
