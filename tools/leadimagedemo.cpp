// A small window that shows the imaging control: a picture in each of the
// five size modes with its scroll bars, a 100,000-pixel-wide synthetic strip
// whose horizontal bar needs a shift count, and the pan window.
//
//   leadimagedemo [--screenshot <file.png>] [--mode 0..4] [--wide] [--thumb N] [--pan]
//
// With --screenshot the window is laid out, grabbed into the file and closed.

#include "raster/ui/LeadImageWidget.h"
#include "raster/ui/PanWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A picture with a grid and captions, so that moves and zooms show.
QImage picture()
{
    QImage image(900, 600, QImage::Format_RGB32);
    QPainter p(&image);
    for (int y = 0; y < 600; ++y)
        p.fillRect(0, y, 900, 1, QColor::fromHsv((y * 300 / 600), 90, 235));
    p.setPen(QColor(40, 40, 40));
    for (int x = 0; x <= 900; x += 50)
        p.drawLine(x, 0, x, 600);
    for (int y = 0; y <= 600; y += 50)
        p.drawLine(0, y, 900, y);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    for (int y = 25; y < 600; y += 100)
        for (int x = 25; x < 900; x += 150)
            p.drawText(x, y + 6, QStringLiteral("%1,%2").arg(x).arg(y));
    return image;
}

// 100,000 pixels wide, a caption every 1,000 pixels.
QImage strip()
{
    QImage image(100000, 160, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(255 - i / 2, 230 - i / 3, 160 + i / 4);
    table[0] = qRgb(20, 20, 20);
    image.setColorTable(table);
    for (int y = 0; y < 160; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < 100000; ++x)
            row[x] = static_cast<uchar>(1 + (x / 1000) % 255);
    }
    QImage rgb = image.convertToFormat(QImage::Format_RGB32, Qt::AutoColor);
    QPainter p(&rgb);
    p.setPen(Qt::black);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    for (int x = 0; x < 100000; x += 1000) {
        p.drawLine(x, 0, x, 159);
        p.drawText(x + 6, 90, QString::number(x));
    }
    p.end();
    return rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto valueOf = [&](const QString &key) {
        const int i = args.indexOf(key);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    QTemporaryDir folder;
    const QString pictureFile = folder.filePath(QStringLiteral("picture.png"));
    const QString stripFile = folder.filePath(QStringLiteral("strip.png"));
    picture().save(pictureFile);

    QWidget window;
    window.setObjectName(QStringLiteral("LeadImageDemo"));
    window.setWindowTitle(QStringLiteral("Элемент изображения"));
    auto *layout = new QVBoxLayout(&window);
    auto *bar = new QHBoxLayout;
    auto *mode = new QComboBox;
    mode->setObjectName(QStringLiteral("PaintSizeMode"));
    mode->addItems({QStringLiteral("Обычный размер"), QStringLiteral("Растянуть"), QStringLiteral("По ширине"),
                    QStringLiteral("Вписать"), QStringLiteral("Масштаб 250 %")});
    auto *which = new QComboBox;
    which->setObjectName(QStringLiteral("Picture"));
    which->addItems({QStringLiteral("Снимок 900 × 600"), QStringLiteral("Полоса 100 000 × 160")});
    auto *pan = new QCheckBox(QStringLiteral("Окно обзора"));
    pan->setObjectName(QStringLiteral("PanWinVisible"));
    bar->addWidget(new QLabel(QStringLiteral("Режим:")));
    bar->addWidget(mode);
    bar->addWidget(new QLabel(QStringLiteral("Рисунок:")));
    bar->addWidget(which);
    bar->addWidget(pan);
    bar->addStretch();
    layout->addLayout(bar);
    auto *image = new raster::TLEADImageWidget;
    image->setObjectName(QStringLiteral("LEADImage"));
    image->setMinimumSize(480, 300);
    image->SetProperty(QStringLiteral("FrameOuterThickness"), 1);
    image->SetProperty(QStringLiteral("FrameInnerThickness"), 1);
    layout->addWidget(image, 1);
    auto *status = new QLabel;
    status->setObjectName(QStringLiteral("ScrollState"));
    layout->addWidget(status);

    auto showState = [=] {
        const raster::ScrollBarSetting h = image->HScrollBar(), v = image->VScrollBar();
        status->setText(QStringLiteral("По горизонтали: позиция %1 из %2, сдвиг %3, ползунок %4 из %5, страница %6;  "
                                       "по вертикали: позиция %7 из %8, сдвиг %9;  масштаб %10 %")
                            .arg(image->HScrollPos())
                            .arg(image->HScrollMax())
                            .arg(h.shift)
                            .arg(h.position)
                            .arg(h.maximum)
                            .arg(h.page)
                            .arg(image->VScrollPos())
                            .arg(image->VScrollMax())
                            .arg(v.shift)
                            .arg(image->PaintZoomFactor()));
    };
    image->OnScroll = [=](raster::TLEADImage &) { showState(); };
    auto applyMode = [=](int m) {
        if (m == raster::smZoom)
            image->SetPaintZoomFactor(250);
        else
            image->SetPaintSizeMode(static_cast<raster::TPaintSizeMode>(m));
        showState();
    };
    QObject::connect(mode, &QComboBox::currentIndexChanged, &window, applyMode);
    QObject::connect(which, &QComboBox::currentIndexChanged, &window, [=](int i) {
        if (i == 1 && !QFile::exists(stripFile))
            strip().save(stripFile);
        image->Load(i == 1 ? stripFile : pictureFile, 0, 0, 1);
        applyMode(mode->currentIndex());
    });
    QObject::connect(pan, &QCheckBox::toggled, &window, [=](bool on) { image->SetPanWinVisible(on); });

    image->Load(pictureFile, 0, 0, 1);
    window.resize(760, 520);
    if (const QString m = valueOf(QStringLiteral("--mode")); !m.isEmpty())
        mode->setCurrentIndex(m.toInt());
    if (args.contains(QStringLiteral("--wide")))
        which->setCurrentIndex(1);
    window.show();
    QApplication::processEvents();
    if (const QString t = valueOf(QStringLiteral("--thumb")); !t.isEmpty())
        image->ScrollMessage(Qt::Horizontal, raster::SB_THUMBTRACK, t.toInt());
    if (args.contains(QStringLiteral("--pan")))
        pan->setChecked(true);
    showState();

    const QString shot = valueOf(QStringLiteral("--screenshot"));
    if (!shot.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            QApplication::processEvents();
            QImage grabbed = window.grab().toImage();
            // The pan window is a window of its own: shown beside the demo.
            if (QWidget *panWindow = image->PanWindow(); panWindow && panWindow->isVisible()) {
                const QImage side = panWindow->grab().toImage();
                QImage both(grabbed.width() + side.width() + 12, std::max(grabbed.height(), side.height()),
                            QImage::Format_RGB32);
                both.fill(Qt::white);
                QPainter p(&both);
                p.drawImage(0, 0, grabbed);
                p.drawImage(grabbed.width() + 12, 0, side);
                p.end();
                grabbed = both;
            }
            grabbed.save(shot);
            app.quit();
        });
    }
    return app.exec();
}
