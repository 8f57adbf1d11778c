#include "reports/ui/PrintForm.h"

#include "platform/UserAnswers.h"
#include "reports/model/ReportPrinter.h"
#include "reports/ui/FormHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace reports {

namespace {

QPixmap printerPicture()
{
    QPixmap pm(18, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 9, 6);  // the sheet
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 6, 15, 6); // the body
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(3, 12, 11, 2);
    p.fillRect(12, 8, 2, 1, Qt::green);
    return pm;
}

// The printer list's items: the printer picture 2 pixels in from the left,
// the name 24 pixels in and 1 pixel down.
class PrinterItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        plain.icon = QIcon();
        const QStyle *style = plain.widget ? plain.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        const QRect r = option.rect;
        static const QPixmap picture = printerPicture();
        painter->drawPixmap(r.left() + 2, r.top() + (r.height() - picture.height()) / 2, picture);
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
        painter->drawText(r.adjusted(24, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
    }
};

// A sheet with its page number, as the collation pictures stack them.
void drawSheet(QPainter &p, int x, int y, int number)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(x, y, 16, 21);
    p.drawText(QRect(x, y + 6, 16, 14), Qt::AlignCenter, QString::number(number));
}

// Two copies of three pages: in sets (collated), or each page twice.
QPixmap collatePicture(bool collate)
{
    QPixmap pm = collate ? QPixmap(74, 53) : QPixmap(92, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(9);
    p.setFont(f);
    if (collate) {
        for (int copy = 0; copy < 2; ++copy)
            for (int page = 3; page >= 1; --page)
                drawSheet(p, copy * 38 + (page - 1) * 6, (page - 1) * 12 + 2, page);
    } else {
        for (int page = 3; page >= 1; --page)
            for (int copy = 1; copy >= 0; --copy)
                drawSheet(p, (page - 1) * 30 + copy * 6, copy * 12 + 2, page);
    }
    return pm;
}

} // namespace

PrintForm::PrintForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPrintForm"));
    setWindowTitle(QStringLiteral("Печать"));
    setFixedSize(485, 225);

    auto *printerGroup = new QGroupBox(QStringLiteral("Принтер"), this);
    printerGroup->setObjectName(QStringLiteral("GroupBox1"));
    printerGroup->setGeometry(8, 4, 469, 56);
    QLabel *nameLabel = placedLabel(QStringLiteral("&Имя:"), printerGroup, {12, 24, 40, 16});
    CB1 = new QComboBox(printerGroup);
    CB1->setObjectName(QStringLiteral("CB1"));
    CB1->setGeometry(56, 20, 300, 24);
    CB1->setIconSize(QSize(18, 16));
    CB1->setItemDelegate(new PrinterItemDelegate(CB1));
    nameLabel->setBuddy(CB1);
    PropButton = new QPushButton(QStringLiteral("Свойства..."), printerGroup);
    PropButton->setObjectName(QStringLiteral("PropButton"));
    PropButton->setGeometry(364, 20, 95, 25);

    auto *pagesGroup = new QGroupBox(QStringLiteral("Страницы"), this);
    pagesGroup->setObjectName(QStringLiteral("GroupBox2"));
    pagesGroup->setGeometry(8, 64, 250, 120);
    RB1 = new QRadioButton(QStringLiteral("&Все"), pagesGroup);
    RB1->setObjectName(QStringLiteral("RB1"));
    RB1->setGeometry(12, 20, 100, 18);
    RB1->setChecked(true);
    RB2 = new QRadioButton(QStringLiteral("&Текущая"), pagesGroup);
    RB2->setObjectName(QStringLiteral("RB2"));
    RB2->setGeometry(12, 40, 100, 18);
    RB3 = new QRadioButton(QStringLiteral("&Номера:"), pagesGroup);
    RB3->setObjectName(QStringLiteral("RB3"));
    RB3->setGeometry(12, 60, 80, 18);
    E2 = new QLineEdit(pagesGroup);
    E2->setObjectName(QStringLiteral("E2"));
    E2->setGeometry(94, 58, 146, 21);
    QLabel *note = placedLabel(QStringLiteral("Введите номера и/или диапазоны страниц, разделенные запятыми. Например, 1,3,5-12"),
                         pagesGroup, {12, 82, 230, 32});
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    note->setFont(small);

    auto *copiesGroup = new QGroupBox(QStringLiteral("Копии"), this);
    copiesGroup->setObjectName(QStringLiteral("GroupBox3"));
    copiesGroup->setGeometry(266, 64, 211, 120);
    QLabel *copiesLabel = placedLabel(QStringLiteral("Число &копий:"), copiesGroup, {12, 24, 90, 16});
    E1 = new QLineEdit(QStringLiteral("1"), copiesGroup);
    E1->setObjectName(QStringLiteral("E1"));
    E1->setGeometry(110, 21, 44, 21);
    copiesLabel->setBuddy(E1);
    UpB = new QToolButton(copiesGroup);
    UpB->setObjectName(QStringLiteral("UpB"));
    UpB->setArrowType(Qt::UpArrow);
    UpB->setGeometry(154, 21, 15, 11);
    DownB = new QToolButton(copiesGroup);
    DownB->setObjectName(QStringLiteral("DownB"));
    DownB->setArrowType(Qt::DownArrow);
    DownB->setGeometry(154, 32, 15, 10);
    collatePicture_ = new QLabel(copiesGroup);
    collatePicture_->setObjectName(QStringLiteral("Image1"));
    collatePicture_->setGeometry(8, 50, 100, 60);
    collatePicture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CollateCB = new QCheckBox(copiesGroup);
    CollateCB->setObjectName(QStringLiteral("CollateCB"));
    CollateCB->setGeometry(112, 66, 16, 16);
    CollateCB->setChecked(true);
    collateLabel_ = placedLabel(QStringLiteral("&Разобрать по копиям"), copiesGroup, {130, 58, 76, 32});
    collateLabel_->setObjectName(QStringLiteral("CollateL"));
    collateLabel_->setWordWrap(true);
    collateLabel_->setBuddy(CollateCB);
    collateLabel_->installEventFilter(this);

    QLabel *whatLabel = placedLabel(QStringLiteral("Вывести на &печать:"), this, {8, 196, 120, 16});
    whatLabel->adjustSize();
    CB2 = new QComboBox(this);
    CB2->setObjectName(QStringLiteral("CB2"));
    CB2->addItems({QStringLiteral("Все страницы диапазона"), QStringLiteral("Нечетные страницы"),
                   QStringLiteral("Четные страницы")});
    CB2->setGeometry(whatLabel->x() + whatLabel->width() + 11, 192, 160, 24);
    whatLabel->setBuddy(CB2);

    auto *ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setDefault(true);
    ok->setGeometry(318, 192, 75, 25);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setGeometry(402, 192, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The printers without the virtual one, the selected printer chosen.
    Printer &printer = ReportPrinter();
    SavedPrinterIndex = printer.PrinterIndex();
    const QPixmap picture = printerPicture();
    for (int i = 0; i < printer.VirtualPrinterIndex; ++i)
        CB1->addItem(QIcon(picture), printer.Printers.value(i));
    if (SavedPrinterIndex < CB1->count())
        CB1->setCurrentIndex(SavedPrinterIndex);
    connect(CB1, &QComboBox::activated, this, [](int index) { ReportPrinter().SetPrinterIndex(index); });
    connect(PropButton, &QPushButton::clicked, this, [] { ReportPrinter().ShowPrinterProperties(); });

    // The copies take digits only; Backspace is dropped as well.
    E1->installEventFilter(this);
    connect(UpB, &QToolButton::clicked, this, [this] { E1->setText(QString::number(E1->text().toInt() + 1)); });
    connect(DownB, &QToolButton::clicked, this, [this] {
        const int copies = E1->text().toInt();
        E1->setText(QString::number(std::max(1, copies - 1)));
    });
    E2->installEventFilter(this);
    connect(RB3, &QRadioButton::clicked, this, [this] { E2->setFocus(); });
    connect(CollateCB, &QCheckBox::toggled, this, [this] { drawCollatePicture(); });
    drawCollatePicture();

    centreOnScreen(*this);
}

void PrintForm::drawCollatePicture()
{
    const bool collate = CollateCB->isChecked();
    collatePicture_->setPixmap(collatePicture(collate));
    // The collated picture stands 8 pixels in from the left, the other 8 down.
    collatePicture_->setContentsMargins(collate ? 8 : 0, collate ? 0 : 8, 0, 0);
}

bool PrintForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == E1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Backspace)
            return true;
        if (!text.isEmpty() && text.front().isPrint() && !(text.front() >= u'0' && text.front() <= u'9'))
            return true;
    } else if (watched == E2 && event->type() == QEvent::FocusIn) {
        RB3->setChecked(true);
    } else if (watched == collateLabel_ && event->type() == QEvent::MouseButtonRelease) {
        CollateCB->toggle();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString PrintForm::PageText() const
{
    if (RB2->isChecked())
        return QString::number(CurrentPage);
    if (RB3->isChecked())
        return E2->text();
    return {};
}

int PrintForm::PageChoice() const
{
    return std::max(0, CB2->currentIndex());
}

void PrintForm::done(int result)
{
    if (result != QDialog::Accepted)
        ReportPrinter().SetPrinterIndex(SavedPrinterIndex);
    QDialog::done(result);
}

void PrintFromPreview(PrintTarget &target)
{
    Printer &printer = ReportPrinter();
    if (!target.HasPreparedPages() || printer.VirtualPrinterIndex == 0)
        return;
    PrintForm form;
    form.E1->setText(QString::number(target.DefaultCopies()));
    form.CollateCB->setChecked(target.DefaultCollate());
    form.CurrentPage = target.CurrentPage();
    const int before = printer.PrinterIndex();
    if (target.ShowPrintDialog() && platform::answers().runModal(form) != platform::mrOk)
        return;
    bool ok = false;
    const int copies = form.E1->text().toInt(&ok);
    if (!ok) {
        platform::answers().messageDlg(QStringLiteral("'%1' не верный формат значения целого числа").arg(form.E1->text()),
                                       platform::MsgType::Error, platform::mbOK);
        return;
    }
    if (target.RebuildsForPrinter() && printer.PrinterIndex() != before) {
        if (!target.ChangePrinter(before, printer.PrinterIndex()))
            return;
        target.Rebuild();
    }
    target.PrintPreparedReport(form.PageText(), copies, form.CollateCB->isChecked(), form.PageChoice());
}

} // namespace reports
