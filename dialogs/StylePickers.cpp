#include "dialogs/StylePickers.h"

#include "mapdata/ui/FormTranslation.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Service.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Fonts.h"
#include "platform/ui/FormClass.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace dialogs::pickers {

int gridRows(int count)
{
    return count <= 0 ? 0 : (count + kGridColumns - 1) / kGridColumns;
}

int cellPattern(int column, int row, int count)
{
    if (column < 0 || column >= kGridColumns || row < 0)
        return -1;
    const int n = row * kGridColumns + column;
    return n < count ? n : -1;
}

QStringList patternStatus(const TVykSymbol &pattern)
{
    static const QString kinds[] = {QStringLiteral("фон"), QStringLiteral("символ"), QStringLiteral("линия")};
    return {QStringLiteral("%1x%2").arg(pattern.Width).arg(pattern.Height),
            pattern.Kind <= 2 ? kinds[pattern.Kind] : QString(), pattern.Name};
}

int fontRow(const QStringList &fonts, const QString &name)
{
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < fonts.size(); ++i)
        if (platform::ansiSameText(fonts[i], wanted))
            return static_cast<int>(i);
    return -1;
}

QStringList pickerFonts()
{
    QStringList fonts = QFontDatabase::families();
    const QString symbolFont = QStringLiteral("Wingdings");
    if (fontRow(fonts, symbolFont) < 0)
        fonts << symbolFont;
    std::sort(fonts.begin(), fonts.end(),
              [](const QString &a, const QString &b) { return platform::ansiCompareText(a, b) < 0; });
    return fonts;
}

} // namespace dialogs::pickers

using namespace dialogs::pickers;

namespace {

using platform::named;

TSelectLines *SelectLinesInstance = nullptr;
TSelectSymbols *SelectSymbolsInstance = nullptr;
TSelectPoints *SelectPointsInstance = nullptr;
TSelectStyles *SelectStylesInstance = nullptr;

constexpr int CellRole = Qt::UserRole + 1;
constexpr int CodeRole = Qt::UserRole + 2;

const mapengine::StyleServices &styles()
{
    return platform::Service<mapengine::StyleServices>::get();
}

// Paints a cell's picture over its whole rectangle.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->fillRect(option.rect, Qt::white);
        const QImage cell = index.data(CellRole).value<QImage>();
        if (!cell.isNull())
            painter->drawImage(option.rect.topLeft(), cell);
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QPen(option.palette.highlight().color(), 2));
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        }
    }
};

// A pattern's cell: white, the pattern's picture stretched into it.
QImage cellImage(const TVykSymbol &pattern)
{
    platform::gdi::Bitmap bitmap(kCellSize, kCellSize);
    mapengine::DrawPatternCell(bitmap.canvas(), pattern, platform::gdi::Rect{0, 0, kCellSize, kCellSize});
    return bitmap.image();
}

} // namespace

// ---------------------------------------------------------------------------
// The library pickers

TSelectPattern::TSelectPattern(const char *name, const char *formClass, const QString &caption, bool answersOk)
    : QDialog(nullptr), answersOk_(answersOk)
{
    setObjectName(QString::fromLatin1(name));
    platform::tagForm(this, formClass, "TForm");
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    DrawGrid1 = named(new QTableWidget(0, kGridColumns, this), "DrawGrid1", "TDrawGrid");
    DrawGrid1->horizontalHeader()->hide();
    DrawGrid1->verticalHeader()->hide();
    DrawGrid1->horizontalHeader()->setDefaultSectionSize(kCellSize);
    DrawGrid1->verticalHeader()->setDefaultSectionSize(kCellSize);
    DrawGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DrawGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DrawGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DrawGrid1->setItemDelegate(new CellDelegate(DrawGrid1));
    DrawGrid1->setShowGrid(true);
    layout->addWidget(DrawGrid1);
    auto *bar = named(new QStatusBar(this), "StatusBar1", "TStatusBar");
    bar->setSizeGripEnabled(false);
    platform::addStatusPanel(bar, QString());
    platform::addStatusPanel(bar, QString());
    platform::addStatusPanel(bar, QString(), 1);
    StatusBar1 = bar;
    layout->addWidget(bar);
    resize(kGridColumns * kCellSize + DrawGrid1->verticalScrollBar()->sizeHint().width() + 2 * DrawGrid1->frameWidth() + 1,
           4 * kCellSize + 40);
    connect(DrawGrid1, &QTableWidget::cellClicked, this, [this](int row, int column) { DrawGrid1Click(column, row); });
    connect(DrawGrid1, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { DrawGrid1DblClick(column, row); });
}

void TSelectPattern::PrepareToShow()
{
    FChoice = -1;
    const TVykSymbols &lib = Library();
    const int count = lib.count();
    DrawGrid1->clearContents();
    DrawGrid1->setRowCount(gridRows(count));
    cells_.clear();
    for (int n = 0; n < count; ++n) {
        auto *item = new QTableWidgetItem;
        item->setData(CellRole, cellImage(lib.items()[static_cast<size_t>(n)]));
        DrawGrid1->setItem(n / kGridColumns, n % kGridColumns, item);
    }
    for (QLabel *panel : platform::statusPanels(StatusBar1))
        panel->clear();
}

int TSelectPattern::Execute(const QString &mode)
{
    Hint = mode;
    PrepareToShow();
    platform::execModal(*this);
    return FChoice;
}

void TSelectPattern::DrawGrid1Click(int column, int row)
{
    const TVykSymbols &lib = Library();
    const int n = cellPattern(column, row, lib.count());
    if (n < 0)
        return;
    const QStringList status = patternStatus(lib.items()[static_cast<size_t>(n)]);
    const QList<QLabel *> panels = platform::statusPanels(StatusBar1);
    for (int i = 0; i < 3 && i < panels.size(); ++i)
        panels[i]->setText(status[i]);
}

void TSelectPattern::DrawGrid1DblClick(int column, int row)
{
    const TVykSymbols &lib = Library();
    const int n = cellPattern(column, row, lib.count());
    if (n < 0)
        return;
    FChoice = n;
    if (answersOk_)
        Hint = QStringLiteral("Ok");
    Chosen(lib.items()[static_cast<size_t>(n)]);
    accept();
}

TSelectLines::TSelectLines() : TSelectPattern("SelectLines", "TSelectLines", QStringLiteral("Графические примитивы линий"), true) {}

const TVykSymbols &TSelectLines::Library() const
{
    return styles().FLineStyles;
}

TSelectSymbols::TSelectSymbols() : TSelectPattern("SelectSymbols", "TSelectSymbols", QStringLiteral("Графические примитивы"), true) {}

const TVykSymbols &TSelectSymbols::Library() const
{
    return styles().FFillStyles;
}

void TSelectSymbols::Chosen(const TVykSymbol &pattern)
{
    FChoiceName = pattern.Name.left(100);
}

TSelectPoints::TSelectPoints() : TSelectPattern("SelectPoints", "TSelectPoints", QStringLiteral("Графические примитивы точек"), false) {}

const TVykSymbols &TSelectPoints::Library() const
{
    return styles().FPointStyles;
}

// ---------------------------------------------------------------------------
// The symbol picker

TSelectStyles::TSelectStyles() : QDialog(nullptr, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("SelectStyles"));
    platform::tagForm(this, "TSelectStyles", "TForm");
    setWindowTitle(QString());
    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    MemoFont = named(new QPlainTextEdit(this), "MemoFont", "TMemo");
    MemoFont->setFixedHeight(MemoFont->fontMetrics().height() + 12);
    MemoFont->setLineWrapMode(QPlainTextEdit::NoWrap);
    ListVFonts = named(new QListWidget(this), "ListVFonts", "TListView");
    ListVFonts->setSelectionMode(QAbstractItemView::SingleSelection);
    ListVFonts->setMouseTracking(true);
    ListVFonts->setMinimumWidth(220);
    left->addWidget(MemoFont);
    left->addWidget(ListVFonts);
    layout->addLayout(left);
    ListVStyle = named(new QListWidget(this), "ListVStyle", "TListView");
    ListVStyle->setViewMode(QListView::IconMode);
    ListVStyle->setResizeMode(QListView::Adjust);
    ListVStyle->setMovement(QListView::Static);
    ListVStyle->setGridSize(QSize(28, 28));
    ListVStyle->setMouseTracking(true);
    ListVStyle->setMinimumWidth(16 * 28 + 24);
    auto *right = new QVBoxLayout;
    SpeedButton7 = named(new QToolButton(this), "SpeedButton7", "TSpeedButton");
    SpeedButton7->setText(QStringLiteral("✕"));
    SpeedButton7->setToolTip(QStringLiteral("Закрыть"));
    auto *top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(SpeedButton7);
    right->addLayout(top);
    right->addWidget(ListVStyle);
    layout->addLayout(right, 1);
    BigSymbol = new QLabel(ListVFonts->viewport());
    BigSymbol->setObjectName(QStringLiteral("BigSymbol"));
    BigSymbol->setAlignment(Qt::AlignCenter);
    BigSymbol->setAttribute(Qt::WA_TransparentForMouseEvents);
    BigSymbol->hide();
    ListVFonts->viewport()->installEventFilter(this);
    resize(720, 420);
    connect(ListVFonts, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { ListVFontsClick(item); });
    connect(ListVStyle, &QListWidget::itemEntered, this, [this](QListWidgetItem *item) { ListVStyleMouseMove(item); });
    connect(ListVStyle, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { ListVStyleClick(item); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { reject(); });
}

void TSelectStyles::ShowCharacters(const QString &fontName)
{
    QFont font;
    font.setFamilies(platform::gdi::familiesForFace(fontName));
    font.setPointSize(11);
    ListVStyle->setFont(font);
    const bool symbols = platform::gdi::isSymbolFace(fontName);
    for (int i = 0; i < ListVStyle->count(); ++i) {
        QListWidgetItem *item = ListVStyle->item(i);
        const QString code(item->data(CodeRole).toChar());
        item->setText(symbols ? platform::gdi::symbolFontText(code) : code);
    }
}

void TSelectStyles::PrepareToShow()
{
    if (!filled_) {
        ListVFonts->addItems(pickerFonts());
        for (int code = 33; code <= 222; ++code) {
            // The character as the system's files hold it: its Windows-1251 code.
            const char byte = static_cast<char>(code);
            const QChar c = platform::fromCp1251(QByteArrayView(&byte, 1)).at(0);
            auto *item = new QListWidgetItem(ListVStyle);
            item->setData(CodeRole, c);
            item->setTextAlignment(Qt::AlignCenter);
        }
        filled_ = true;
    }
    if (MemoFont->toPlainText().trimmed().isEmpty())
        MemoFont->setPlainText(QStringLiteral("Wingdings"));
    ShowCharacters(MemoFont->toPlainText().trimmed());
    QStringList fonts;
    for (int i = 0; i < ListVFonts->count(); ++i)
        fonts << ListVFonts->item(i)->text();
    const int row = fontRow(fonts, MemoFont->toPlainText());
    if (row >= 0) {
        ListVFonts->setCurrentRow(row);
        ListVFonts->scrollToItem(ListVFonts->item(row));
    }
    ListVFonts->setFocus();
    BigSymbol->hide();
    bigShown_ = nullptr;
}

bool TSelectStyles::Execute(const QString &mode)
{
    Hint = mode;
    PrepareToShow();
    platform::execModal(*this);
    return Hint == u"Ok";
}

void TSelectStyles::ListVFontsClick(QListWidgetItem *item)
{
    if (!item)
        return;
    MemoFont->setPlainText(item->text());
    ShowCharacters(item->text());
    BigSymbol->hide();
    bigShown_ = nullptr;
}

void TSelectStyles::ListVStyleMouseMove(QListWidgetItem *item)
{
    if (QListWidgetItem *font = ListVFonts->currentItem(); font && font->isSelected()) {
        if (MemoFont->toPlainText() != font->text()) {
            MemoFont->setPlainText(font->text());
            ShowCharacters(font->text());
        }
    }
    if (!item || item == bigShown_)
        return;
    QFont big = ListVStyle->font();
    big.setPointSize(64);
    BigSymbol->setFont(big);
    BigSymbol->setStyleSheet(QStringLiteral("color: blue; background: transparent;"));
    BigSymbol->setText(item->text());
    BigSymbol->show();
    BigSymbol->raise();
    bigShown_ = item;
}

bool TSelectStyles::eventFilter(QObject *watched, QEvent *event)
{
    // The enlarged character covers the font list, centred in it.
    if (watched == ListVFonts->viewport() && event->type() == QEvent::Resize)
        BigSymbol->setGeometry(ListVFonts->viewport()->rect());
    return QDialog::eventFilter(watched, event);
}

void TSelectStyles::ListVStyleClick(QListWidgetItem *item)
{
    QListWidgetItem *font = ListVFonts->currentItem();
    if (font && font->isSelected() && item) {
        FFontName = font->text().left(255);
        FSymbol = item->data(CodeRole).toChar();
        Hint = QStringLiteral("Ok");
    }
    accept();
}

// ---------------------------------------------------------------------------

TSelectLines *SelectLines()
{
    if (!SelectLinesInstance)
        SelectLinesInstance = new TSelectLines;
    return SelectLinesInstance;
}

TSelectSymbols *SelectSymbols()
{
    if (!SelectSymbolsInstance)
        SelectSymbolsInstance = new TSelectSymbols;
    return SelectSymbolsInstance;
}

TSelectPoints *SelectPoints()
{
    if (!SelectPointsInstance) {
        SelectPointsInstance = new TSelectPoints;
        VykFunctions::TranslateForm(SelectPointsInstance->objectName());
    }
    return SelectPointsInstance;
}

TSelectStyles *SelectStyles()
{
    if (!SelectStylesInstance)
        SelectStylesInstance = new TSelectStyles;
    return SelectStylesInstance;
}
