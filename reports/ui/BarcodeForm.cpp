#include "reports/ui/BarcodeForm.h"

#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "platform/ui/FormClass.h"
#include "reports/addins/BarcodeView.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportLibrary.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace reports {

using platform::named;

namespace {

// The picture of the edit's button: three dots.
QIcon dotsIcon()
{
    QPixmap dots(16, 16);
    dots.fill(Qt::transparent);
    QPainter painter(&dots);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int x : {3, 7, 11})
        painter.drawRect(x, 11, 2, 2);
    return QIcon(dots);
}

} // namespace

TfrBarCodeForm::TfrBarCodeForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frBarCodeForm"));
    platform::tagForm(this, "TfrBarCodeForm", "TForm");
    setWindowTitle(QStringLiteral("Редактор штрих-кода"));

    auto *layout = new QVBoxLayout(this);
    auto *codeLabel = named(new QLabel(QStringLiteral("&Код"), this), "Label1", "TLabel");
    M1 = named(new QLineEdit(this), "M1", "TfrComboEdit");
    codeLabel->setBuddy(M1);
    // The edit's button: an expression built in the designer's dialog.
    QAction *insert = M1->addAction(dotsIcon(), QLineEdit::TrailingPosition);
    insert->setText(QStringLiteral("..."));
    insert->setToolTip(QStringLiteral("Вставить выражение"));
    connect(insert, &QAction::triggered, this, [this] {
        if (ReportDesigner *designer = library().State.CurrentDesigner) {
            const QString expression = designer->InsertExpression();
            if (!expression.isEmpty())
                M1->setText(expression);
        }
    });
    layout->addWidget(codeLabel);
    layout->addWidget(M1);

    auto *typeLabel = named(new QLabel(QStringLiteral("&Тип штрихкода"), this), "Label2", "TLabel");
    cbType = named(new QComboBox(this), "cbType", "TComboBox");
    for (int i = 0; i < kBarcodeTypeCount; ++i)
        cbType->addItem(BarcodeTypeName(i));
    typeLabel->setBuddy(cbType);
    layout->addWidget(typeLabel);
    layout->addWidget(cbType);

    auto *row = new QHBoxLayout;
    auto *options = named(new QGroupBox(QStringLiteral("Опции"), this), "GroupBox1", "TGroupBox");
    auto *optionsLayout = new QGridLayout(options);
    ckCheckSum = named(new QCheckBox(QStringLiteral("Контрольная &сумма"), options), "ckCheckSum", "TCheckBox");
    ckViewText = named(new QCheckBox(QStringLiteral("&Подпись"), options), "ckViewText", "TCheckBox");
    auto *zoomLabel = named(new QLabel(QStringLiteral("&Масштаб:"), options), "Label3", "TLabel");
    eZoom = named(new QLineEdit(options), "eZoom", "TEdit");
    zoomLabel->setBuddy(eZoom);
    bZoomUp = named(new QToolButton(options), "bZoomUp", "TfrSpeedButton");
    bZoomUp->setText(QStringLiteral("+"));
    bZoomDown = named(new QToolButton(options), "bZoomDown", "TfrSpeedButton");
    bZoomDown->setText(QStringLiteral("-"));
    connect(bZoomUp, &QToolButton::clicked, this, [this] { stepZoom(1); });
    connect(bZoomDown, &QToolButton::clicked, this, [this] { stepZoom(-1); });
    optionsLayout->addWidget(ckCheckSum, 0, 0, 1, 4);
    optionsLayout->addWidget(ckViewText, 1, 0, 1, 4);
    optionsLayout->addWidget(zoomLabel, 2, 0);
    optionsLayout->addWidget(eZoom, 2, 1);
    optionsLayout->addWidget(bZoomUp, 2, 2);
    optionsLayout->addWidget(bZoomDown, 2, 3);
    row->addWidget(options);

    auto *orientation = named(new QGroupBox(QStringLiteral("Ориентация"), this), "GroupBox2", "TGroupBox");
    auto *orientationLayout = new QVBoxLayout(orientation);
    RB1 = named(new QRadioButton(QStringLiteral("0°"), orientation), "RB1", "TRadioButton");
    RB2 = named(new QRadioButton(QStringLiteral("90°"), orientation), "RB2", "TRadioButton");
    RB3 = named(new QRadioButton(QStringLiteral("180°"), orientation), "RB3", "TRadioButton");
    RB4 = named(new QRadioButton(QStringLiteral("270°"), orientation), "RB4", "TRadioButton");
    for (QRadioButton *rb : {RB1, RB2, RB3, RB4})
        orientationLayout->addWidget(rb);
    row->addWidget(orientation);
    layout->addLayout(row);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    bOk = named(new QPushButton(QStringLiteral("ОК"), this), "bOk", "TButton");
    bOk->setDefault(true);
    bCancel = named(new QPushButton(QStringLiteral("Отмена"), this), "bCancel", "TButton");
    buttons->addWidget(bOk);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);
    connect(bOk, &QPushButton::clicked, this, [this] { bOkClick(); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrBarCodeForm::FormShow(const BarCodeView &view)
{
    view_ = const_cast<BarCodeView *>(&view);
    M1->setText(view.Memo.isEmpty() ? QString() : view.Memo.first());
    cbType->setCurrentIndex(view.Param.Type < kBarcodeTypeCount ? view.Param.Type : 0);
    ckCheckSum->setChecked(view.Param.CheckSum);
    ckViewText->setChecked(view.Param.ShowText);
    eZoom->setText(platform::floatToStr(view.Param.Zoom));
    const double a = view.Param.Angle;
    (a == 90 ? RB2 : a == 180 ? RB3 : a == 270 ? RB4 : RB1)->setChecked(true);
}

void TfrBarCodeForm::stepZoom(int delta)
{
    double zoom = 1;
    try {
        zoom = platform::strToFloat(eZoom->text()) + delta;
    } catch (const platform::ConvertError &) {
        zoom = 1;
    }
    if (zoom <= 0)
        zoom = 1;
    eZoom->setText(platform::floatToStr(zoom));
}

bool TfrBarCodeForm::Apply(BarCodeView &view)
{
    double zoom = 0;
    try {
        zoom = platform::strToFloat(eZoom->text());
    } catch (const platform::ConvertError &e) {
        platform::answers().messageDlg(e.message(), platform::MsgType::Error, platform::mbOK,
                                       QStringLiteral("Ошибка"));
        return false;
    }
    if (ReportDesigner *designer = library().State.CurrentDesigner)
        designer->BeforeChange();
    view.Memo = QStringList{M1->text()};
    view.Param.Zoom = zoom;
    view.Param.CheckSum = ckCheckSum->isChecked();
    view.Param.ShowText = ckViewText->isChecked();
    view.Param.Type = static_cast<quint8>(cbType->currentIndex());
    view.Param.Angle = RB2->isChecked() ? 90 : RB3->isChecked() ? 180 : RB4->isChecked() ? 270 : 0;
    return true;
}

void TfrBarCodeForm::bOkClick()
{
    const QString code = M1->text();
    if (!code.startsWith(u'[')) {
        // The code is tried on a small picture with a temporary engine.
        try {
            Barcode trial;
            trial.SetText(code);
            trial.SetChecksum(ckCheckSum->isChecked());
            trial.SetTyp(cbType->currentIndex());
            platform::gdi::Bitmap bitmap(16, 16);
            trial.DrawBarcode(bitmap.canvas());
        } catch (const std::exception &) {
            platform::answers().messageDlg(QStringLiteral("Ошибка в коде"), platform::MsgType::Error, platform::mbOK,
                                           QStringLiteral("Ошибка"));
            return;
        }
    }
    if (view_ && !Apply(*view_))
        return;
    accept();
}

bool ShowBarCodeEditor(BarCodeView &view)
{
    TfrBarCodeForm form;
    form.FormShow(view);
    return platform::execModal(form) == QDialog::Accepted;
}

void RegisterBarCodeObject()
{
    RegisterBarCodeAddIn();
    BarCodeView::Editor() = [](BarCodeView &view) { ShowBarCodeEditor(view); };
}

} // namespace reports
