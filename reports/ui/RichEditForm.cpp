#include "reports/ui/RichEditForm.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"
#include "reports/model/ReportLibrary.h"
#include "reports/addins/RichView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <cmath>

namespace reports {

using platform::named;
namespace rt = platform::richtext;

namespace {

constexpr int kOffset = 6;
constexpr double kPixelsPerPoint = 4.0 / 3.0;

int twipsToRuler(int twips)
{
    return static_cast<int>(std::lround(twips / 20.0 * kPixelsPerPoint));
}

int rulerToTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels / kPixelsPerPoint * 20.0));
}

} // namespace

// ---------------------------------------------------------------------------
// Ruler

RichRuler::RichRuler(platform::ui::RichEditControl &edit, QWidget *parent) : QWidget(parent), edit_(edit)
{
    setFixedHeight(22);
    connect(&edit, &platform::ui::RichEditControl::selectionChanged, this, qOverload<>(&QWidget::update));
}

int RichRuler::firstX() const
{
    const rt::ParaFormat f = edit_.paragraphFormat();
    return kOffset + twipsToRuler(f.leftIndent + f.firstIndent);
}

int RichRuler::leftX() const
{
    const rt::ParaFormat f = edit_.paragraphFormat();
    return kOffset + twipsToRuler(f.leftIndent);
}

int RichRuler::rightX() const
{
    return width() - 12 - twipsToRuler(edit_.paragraphFormat().rightIndent);
}

void RichRuler::dropMarker(int marker, int x)
{
    edit_.changeParaFormat([&](rt::ParaFormat &f) {
        switch (marker) {
        case 0: // the first line: the left indent stays where it is
            f.firstIndent = rulerToTwips(x - kOffset) - f.leftIndent;
            break;
        case 1: { // the left indent, the first line moving with it
            const int first = f.leftIndent + f.firstIndent;
            f.leftIndent = std::max(0, rulerToTwips(x - kOffset));
            f.firstIndent = first - f.leftIndent;
            break;
        }
        default:
            f.rightIndent = std::max(0, rulerToTwips(width() - 12 - x));
            break;
        }
    });
    update();
}

void RichRuler::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.fillRect(QRect(kOffset, 2, width() - 12 - kOffset, 10), Qt::white);
    p.setPen(Qt::gray);
    // A tick every centimetre (567 twips), a short one every half.
    for (int t = 0;; t += 567 / 2) {
        const int x = kOffset + twipsToRuler(t);
        if (x > width() - 12)
            break;
        p.drawLine(x, (t / (567 / 2)) % 2 ? 8 : 4, x, 11);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::lightGray);
    const int xs[3] = {dragging_ == 0 ? dragX_ : firstX(), dragging_ == 1 ? dragX_ : leftX(),
                       dragging_ == 2 ? dragX_ : rightX()};
    p.drawPolygon(QPolygon({QPoint(xs[0] - 4, 12), QPoint(xs[0] + 4, 12), QPoint(xs[0], 17)}));
    for (int i : {1, 2})
        p.drawPolygon(QPolygon({QPoint(xs[i] - 4, 21), QPoint(xs[i] + 4, 21), QPoint(xs[i], 15)}));
}

void RichRuler::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const int xs[3] = {firstX(), leftX(), rightX()};
    dragging_ = -1;
    for (int i = 0; i < 3; ++i)
        if (std::abs(at.x() - xs[i]) <= 4 && (i == 0 ? at.y() < 16 : at.y() >= 14))
            dragging_ = i;
    dragX_ = at.x();
}

void RichRuler::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_ >= 0) {
        dragX_ = event->position().toPoint().x();
        update();
    }
}

void RichRuler::mouseReleaseEvent(QMouseEvent *event)
{
    if (dragging_ >= 0)
        dropMarker(dragging_, event->position().toPoint().x());
    dragging_ = -1;
}

// ---------------------------------------------------------------------------
// The form

RichEditForm::RichEditForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrRichForm"));
    platform::setFormClass(this, "TfrRichForm");
    platform::setFormParentClass(this, "TForm");
    setWindowTitle(QStringLiteral("Редактор Rich Edit"));
    resize(560, 400);

    auto button = [this](const char *name, const QString &hint, const QString &text, bool checkable = false) {
        auto *b = named(new QToolButton(this), name, "TSpeedButton");
        b->setToolTip(hint);
        b->setText(text);
        b->setCheckable(checkable);
        b->setAutoRaise(true);
        return b;
    };
    OpenButton = button("OpenButton", QStringLiteral("Открыть файл"), QStringLiteral("Откр."));
    SaveButton = button("SaveButton", QStringLiteral("Сохранить в файле"), QStringLiteral("Сохр."));
    UndoButton = button("UndoButton", QStringLiteral("Отменить"), QStringLiteral("↶"));
    BoldButton = button("BoldButton", QStringLiteral("Утолщение"), QStringLiteral("Ж"), true);
    ItalicButton = button("ItalicButton", QStringLiteral("Наклон"), QStringLiteral("К"), true);
    UnderlineButton = button("UnderlineButton", QStringLiteral("Подчеркивание"), QStringLiteral("Ч"), true);
    LeftAlign = button("LeftAlign", QStringLiteral("Выравнивание влево"), QStringLiteral("⇤"), true);
    CenterAlign = button("CenterAlign", QStringLiteral("Выравнивание по центру"), QStringLiteral("↔"), true);
    RightAlign = button("RightAlign", QStringLiteral("Выравнивание вправо"), QStringLiteral("⇥"), true);
    BulletsButton = button("BulletsButton", QStringLiteral("Список"), QStringLiteral("•"), true);
    SpeedButton1 = button("SpeedButton1", QStringLiteral("Шрифт"), QStringLiteral("Шрифт"));
    SpeedButton2 = button("SpeedButton2", QStringLiteral("Вставить выражение"), QStringLiteral("[ ]"));
    HelpBtn = button("HelpBtn", QStringLiteral("Показать справку"), QStringLiteral("?"));
    QFont face = BoldButton->font();
    face.setBold(true);
    BoldButton->setFont(face);
    face.setBold(false);
    face.setItalic(true);
    ItalicButton->setFont(face);
    face.setItalic(false);
    face.setUnderline(true);
    UnderlineButton->setFont(face);

    FontName = named(new QComboBox(this), "FontName", "TfrFontComboBox");
    FontName->setToolTip(QStringLiteral("Выбор шрифта"));
    FontName->addItems(QFontDatabase::families());
    FontName->setEditable(true);
    FontName->setMinimumWidth(160);
    FontSize = named(new QComboBox(this), "FontSize", "TfrComboBox");
    FontSize->setToolTip(QStringLiteral("Размер шрифта"));
    FontSize->setEditable(true);
    for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        FontSize->addItem(QString::number(s));

    OkBtn = named(new QPushButton(QStringLiteral("OK"), this), "OkBtn", "TButton");
    OkBtn->setToolTip(QStringLiteral("Запомнить"));
    CancBtn = named(new QPushButton(QStringLiteral("Отмена"), this), "CancBtn", "TButton");
    CancBtn->setToolTip(QStringLiteral("Отменить"));

    RichEdit1 = named(new platform::ui::RichEditControl(this), "RichEdit1", "TRichEdit");
    RichEdit1->setInset(6);
    Ruler = named(new RichRuler(*RichEdit1, this), "Ruler", "TPanel");

    auto *bar = new QHBoxLayout;
    bar->setSpacing(1);
    for (QWidget *w : std::initializer_list<QWidget *>{OpenButton, SaveButton, UndoButton, BoldButton, ItalicButton,
                                                       UnderlineButton, LeftAlign, CenterAlign, RightAlign, BulletsButton,
                                                       SpeedButton1, SpeedButton2, FontName, FontSize, HelpBtn})
        bar->addWidget(w);
    bar->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancBtn);
    auto *column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(Ruler);
    column->addWidget(RichEdit1, 1);
    column->addLayout(buttons);

    connect(OkBtn, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
    connect(CancBtn, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
    connect(UndoButton, &QToolButton::clicked, RichEdit1, &platform::ui::RichEditControl::undo);
    for (QToolButton *b : {BoldButton, ItalicButton, UnderlineButton})
        connect(b, &QToolButton::clicked, this, &RichEditForm::applyStyle);
    connect(LeftAlign, &QToolButton::clicked, this, [this] { applyAlignment(rt::Align::Left); });
    connect(CenterAlign, &QToolButton::clicked, this, [this] { applyAlignment(rt::Align::Center); });
    connect(RightAlign, &QToolButton::clicked, this, [this] { applyAlignment(rt::Align::Right); });
    connect(BulletsButton, &QToolButton::clicked, this, [this] {
        if (filling_)
            return;
        const bool on = BulletsButton->isChecked();
        RichEdit1->changeParaFormat([on](rt::ParaFormat &f) {
            f.bullet = on;
            // A bulleted paragraph hangs its first line out of a left indent.
            if (on && f.leftIndent == 0 && f.firstIndent == 0) {
                f.leftIndent = 360;
                f.firstIndent = -360;
            }
        });
    });
    connect(FontName, &QComboBox::textActivated, this, [this](const QString &name) {
        if (!filling_ && !name.isEmpty())
            RichEdit1->changeCharFormat([&name](rt::CharFormat &f) { f.font = name; });
    });
    connect(FontSize, &QComboBox::textActivated, this, [this](const QString &text) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!filling_ && ok && size > 0 && size <= 1638)
            RichEdit1->changeCharFormat([size](rt::CharFormat &f) { f.halfPoints = size * 2; });
    });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        const rt::CharFormat f = RichEdit1->selectionFormat();
        platform::FontChoice choice;
        choice.name = f.font;
        choice.size = f.halfPoints / 2;
        choice.style = (f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) | (f.strikeOut ? 8 : 0);
        choice.color = static_cast<int>(f.color);
        choice.charset = f.charset;
        if (!platform::answers().chooseFont(choice))
            return;
        RichEdit1->changeCharFormat([&choice](rt::CharFormat &g) {
            g.font = choice.name;
            g.halfPoints = std::clamp(choice.size * 2, 2, 3276);
            g.bold = choice.style & 1;
            g.italic = choice.style & 2;
            g.underline = choice.style & 4;
            g.strikeOut = choice.style & 8;
            g.color = static_cast<platform::gdi::Color>(choice.color);
            g.charset = choice.charset;
        });
    });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] {
        ReportDesigner *designer = library().State.CurrentDesigner;
        if (!designer)
            return;
        const QString expression = designer->InsertExpression();
        if (!expression.isEmpty())
            RichEdit1->insertText(expression);
    });
    connect(OpenButton, &QToolButton::clicked, this, [this] {
        platform::FileDialogRequest request;
        request.kind = platform::FileDialogRequest::Open;
        request.filter = QStringLiteral("Файл Rich Text (*.rtf)|*.rtf");
        request.initialDir = QCoreApplication::applicationDirPath();
        const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
        if (answer.accepted && !answer.files.isEmpty())
            openFile(answer.files.first());
    });
    connect(SaveButton, &QToolButton::clicked, this, [this] {
        platform::FileDialogRequest request;
        request.kind = platform::FileDialogRequest::Save;
        request.filter = QStringLiteral("Файл Rich Text (*.rtf)|*.rtf|Текстовый файл (*.txt)|*.txt");
        request.initialDir = QCoreApplication::applicationDirPath();
        const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
        if (answer.accepted && !answer.files.isEmpty()) {
            QString name = answer.files.first();
            if (QFileInfo(name).suffix().isEmpty())
                name += answer.filterIndex == 2 ? QStringLiteral(".txt") : QStringLiteral(".rtf");
            saveFile(name);
        }
    });
    connect(HelpBtn, &QToolButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(RichEdit1, &platform::ui::RichEditControl::selectionChanged, this, &RichEditForm::showSelection);
    showSelection();
}

void RichEditForm::showSelection()
{
    filling_ = true;
    const rt::CharFormat f = RichEdit1->selectionFormat();
    const rt::ParaFormat p = RichEdit1->paragraphFormat();
    BoldButton->setChecked(f.bold);
    ItalicButton->setChecked(f.italic);
    UnderlineButton->setChecked(f.underline);
    LeftAlign->setChecked(p.align == rt::Align::Left || p.align == rt::Align::Justify);
    CenterAlign->setChecked(p.align == rt::Align::Center);
    RightAlign->setChecked(p.align == rt::Align::Right);
    BulletsButton->setChecked(p.bullet);
    FontName->setCurrentText(f.font);
    FontSize->setCurrentText(QString::number(f.halfPoints / 2));
    UndoButton->setEnabled(RichEdit1->canUndo());
    filling_ = false;
}

void RichEditForm::applyStyle()
{
    if (filling_)
        return;
    const bool bold = BoldButton->isChecked(), italic = ItalicButton->isChecked(),
               underline = UnderlineButton->isChecked();
    RichEdit1->changeCharFormat([=](rt::CharFormat &f) {
        f.bold = bold;
        f.italic = italic;
        f.underline = underline;
    });
}

void RichEditForm::applyAlignment(rt::Align align)
{
    if (filling_)
        return;
    RichEdit1->changeParaFormat([align](rt::ParaFormat &f) { f.align = align; });
    showSelection();
}

bool RichEditForm::openFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        platform::answers().messageDlg(QStringLiteral("Не удается открыть файл %1").arg(fileName),
                                       platform::MsgType::Error, platform::mbOK, QString());
        return false;
    }
    RichEdit1->setDocument(rt::RichDocument::fromRtf(file.readAll()));
    return true;
}

bool RichEditForm::saveFile(const QString &fileName)
{
    const rt::RichDocument &doc = RichEdit1->document();
    const QByteArray bytes = QFileInfo(fileName).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0
                                 ? platform::toCp1251(doc.plainText())
                                 : doc.toRtf();
    if (!platform::writeFileAtomically(fileName, bytes)) {
        platform::answers().messageDlg(QStringLiteral("Не удается сохранить файл %1").arg(fileName),
                                       platform::MsgType::Error, platform::mbOK, QString());
        return false;
    }
    return true;
}

void InstallRichEditForm()
{
    richEditorWindow() = [](rt::RichDocument &text) {
        RichEditForm form;
        form.RichEdit1->setDocument(text);
        if (platform::answers().runModal(form) != platform::mrOk)
            return false;
        text = form.RichEdit1->document();
        return true;
    };
}

} // namespace reports
