#include "platform/ui/RichEditControl.h"

#include "platform/gdi/PainterCanvas.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace platform::ui {

namespace {

// A page lower than any text is long: the control lays out all of it.
constexpr int kEndlessTwips = 1 << 30;
constexpr size_t kUndoLevels = 100;

// The canvas the control measures with (the screen's).
gdi::Canvas &measuringCanvas()
{
    static QImage image(8, 8, QImage::Format_RGB32);
    static gdi::PainterCanvas canvas(image);
    return canvas;
}

} // namespace

RichEditControl::RichEditControl(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCursor(Qt::IBeamCursor);
    setMinimumSize(60, 40);
}

void RichEditControl::setDocument(const richtext::RichDocument &doc)
{
    doc_ = doc;
    typing_ = doc_.charFormat(0);
    anchor_ = caret_ = 0;
    scroll_ = 0;
    undo_.clear();
    layoutValid_ = false;
    update();
    emit textChanged();
    emit selectionChanged();
}

void RichEditControl::setInset(int inset)
{
    inset_ = std::max(0, inset);
    layoutValid_ = false;
    update();
}

int RichEditControl::textWidth() const
{
    return std::max(1, width() - 2 * inset_);
}

const richtext::RangeLayout &RichEditControl::layout() const
{
    if (!layoutValid_ || layoutWidth_ != textWidth()) {
        gdi::Canvas &canvas = measuringCanvas();
        const int twips = textWidth() * 1440 / std::max(1, canvas.deviceMetrics().logPixelsX);
        layout_ = richtext::layoutRange(doc_, canvas,
                                        richtext::FormatRange{0, gdi::Rect{0, 0, twips, kEndlessTwips}, false});
        layoutWidth_ = textWidth();
        layoutValid_ = true;
    }
    return layout_;
}

int RichEditControl::lineOf(int pos) const
{
    const auto &lines = layout().lines;
    for (size_t i = 0; i < lines.size(); ++i)
        if (pos < lines[i].next || i + 1 == lines.size())
            return pos >= lines[i].start ? static_cast<int>(i) : std::max(0, static_cast<int>(i) - 1);
    return 0;
}

QPointF RichEditControl::caretPoint(int pos) const
{
    const auto &lines = layout().lines;
    if (lines.empty())
        return QPointF(inset_, inset_ - scroll_);
    const richtext::LineBox &line = lines[static_cast<size_t>(lineOf(pos))];
    const int k = std::clamp(pos - line.start, 0, static_cast<int>(line.x.size()) - 1);
    return QPointF(inset_ + line.x[static_cast<size_t>(k)], inset_ + line.top - scroll_);
}

int RichEditControl::positionAt(const QPoint &point) const
{
    const auto &lines = layout().lines;
    if (lines.empty())
        return 0;
    const double y = point.y() - inset_ + scroll_;
    const double x = point.x() - inset_;
    size_t i = 0;
    while (i + 1 < lines.size() && y >= lines[i].top + lines[i].height)
        ++i;
    const richtext::LineBox &line = lines[i];
    int best = line.start;
    for (size_t k = 0; k < line.x.size(); ++k) {
        // The nearer edge of the character under the point.
        if (k + 1 < line.x.size() && x > (line.x[k] + line.x[k + 1]) / 2)
            best = line.start + static_cast<int>(k) + 1;
    }
    return std::min(best, line.end);
}

void RichEditControl::select(int anchor, int caret)
{
    anchor_ = std::clamp(anchor, 0, doc_.length());
    caret_ = std::clamp(caret, 0, doc_.length());
    typing_ = doc_.charFormat(selStart() < selEnd() ? selStart() : std::max(0, caret_ - 1));
    scrollToCaret();
    update();
    emit selectionChanged();
}

void RichEditControl::moveCaret(int pos, bool extend)
{
    select(extend ? anchor_ : pos, pos);
}

void RichEditControl::remember()
{
    undo_.push_back(doc_);
    if (undo_.size() > kUndoLevels)
        undo_.erase(undo_.begin());
}

void RichEditControl::edited()
{
    layoutValid_ = false;
    scrollToCaret();
    update();
    emit textChanged();
    emit selectionChanged();
}

void RichEditControl::undo()
{
    if (undo_.empty())
        return;
    doc_ = undo_.back();
    undo_.pop_back();
    anchor_ = caret_ = std::min(caret_, doc_.length());
    edited();
}

void RichEditControl::insertText(const QString &text)
{
    remember();
    const int start = selStart();
    const int before = doc_.length();
    doc_.replace(start, selEnd(), text, typing_);
    const int inserted = doc_.length() - (before - (selEnd() - start));
    anchor_ = caret_ = start + inserted;
    edited();
}

richtext::CharFormat RichEditControl::selectionFormat() const
{
    return selStart() < selEnd() ? doc_.charFormat(selStart()) : typing_;
}

void RichEditControl::changeCharFormat(const std::function<void(richtext::CharFormat &)> &change)
{
    if (selStart() == selEnd()) {
        change(typing_);
        if (doc_.isEmpty())
            doc_.setCharFormat(0, 0, typing_);
        emit selectionChanged();
        return;
    }
    remember();
    for (const richtext::Run &r : doc_.runs(selStart(), selEnd())) {
        richtext::CharFormat f = r.format;
        change(f);
        doc_.setCharFormat(r.start, r.start + r.length, f);
    }
    typing_ = doc_.charFormat(selStart());
    edited();
}

richtext::ParaFormat RichEditControl::paragraphFormat() const
{
    return doc_.paraFormat(doc_.paragraphAt(caret_));
}

void RichEditControl::changeParaFormat(const std::function<void(richtext::ParaFormat &)> &change)
{
    remember();
    for (int p = doc_.paragraphAt(selStart()); p <= doc_.paragraphAt(selEnd()); ++p) {
        richtext::ParaFormat f = doc_.paraFormat(p);
        change(f);
        doc_.setParaFormat(p, f);
    }
    edited();
}

void RichEditControl::scrollToCaret()
{
    const auto &lines = layout().lines;
    if (lines.empty()) {
        scroll_ = 0;
        return;
    }
    const richtext::LineBox &line = lines[static_cast<size_t>(lineOf(caret_))];
    const int visible = height() - 2 * inset_;
    if (line.top < scroll_)
        scroll_ = static_cast<int>(line.top);
    else if (line.top + line.height > scroll_ + visible)
        scroll_ = static_cast<int>(std::ceil(line.top + line.height - visible));
    scroll_ = std::max(0, scroll_);
}

void RichEditControl::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const auto &lines = layout().lines;
    auto vertical = [&](int step) {
        if (lines.empty())
            return;
        const int target = lineOf(caret_) + step;
        if (target < 0 || target >= static_cast<int>(lines.size()))
            return;
        const QPointF here = caretPoint(caret_);
        const richtext::LineBox &line = lines[static_cast<size_t>(target)];
        moveCaret(positionAt(QPoint(static_cast<int>(here.x()),
                                    static_cast<int>(inset_ + line.top - scroll_ + line.height / 2))),
                  shift);
    };
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::SelectAll)) {
        select(0, doc_.length());
    } else if (event->key() == Qt::Key_Left) {
        moveCaret(std::max(0, caret_ - 1), shift);
    } else if (event->key() == Qt::Key_Right) {
        moveCaret(std::min(doc_.length(), caret_ + 1), shift);
    } else if (event->key() == Qt::Key_Up) {
        vertical(-1);
    } else if (event->key() == Qt::Key_Down) {
        vertical(1);
    } else if (event->key() == Qt::Key_Home) {
        if (!lines.empty())
            moveCaret(lines[static_cast<size_t>(lineOf(caret_))].start, shift);
    } else if (event->key() == Qt::Key_End) {
        if (!lines.empty())
            moveCaret(lines[static_cast<size_t>(lineOf(caret_))].end, shift);
    } else if (event->key() == Qt::Key_Backspace) {
        if (selStart() == selEnd() && caret_ > 0)
            anchor_ = caret_ - 1;
        if (selStart() < selEnd())
            insertText(QString());
    } else if (event->key() == Qt::Key_Delete) {
        if (selStart() == selEnd() && caret_ < doc_.length())
            anchor_ = caret_ + 1;
        if (selStart() < selEnd())
            insertText(QString());
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        insertText(shift ? QStringLiteral("\v") : QStringLiteral("\r"));
    } else if (event->key() == Qt::Key_Tab) {
        insertText(QStringLiteral("\t"));
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        insertText(event->text());
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void RichEditControl::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        insertText(event->commitString());
    event->accept();
}

void RichEditControl::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        moveCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void RichEditControl::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        moveCaret(positionAt(event->position().toPoint()), true);
}

void RichEditControl::resizeEvent(QResizeEvent *event)
{
    layoutValid_ = false;
    QWidget::resizeEvent(event);
}

void RichEditControl::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    const auto &lines = layout().lines;
    {
        gdi::PainterCanvas canvas(image);
        const int ppiX = std::max(1, canvas.deviceMetrics().logPixelsX);
        const int ppiY = std::max(1, canvas.deviceMetrics().logPixelsY);
        // The page starts above the control's top by what is scrolled away.
        const gdi::Rect page{inset_ * 1440 / ppiX, (inset_ - scroll_) * 1440 / ppiY,
                             (inset_ + textWidth()) * 1440 / ppiX, kEndlessTwips};
        richtext::formatRange(doc_, canvas, richtext::FormatRange{0, page, true});
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    // The selection inverted, line by line.
    if (selStart() < selEnd()) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const richtext::LineBox &line : lines) {
            const int a = std::max(selStart(), line.start), b = std::min(selEnd(), line.end);
            if (a > b || (a == b && !(selStart() <= line.end && line.end < selEnd())))
                continue;
            const double x0 = line.x[static_cast<size_t>(a - line.start)];
            double x1 = line.x[static_cast<size_t>(b - line.start)];
            if (b == line.end && line.end < selEnd())
                x1 += 4; // the break is selected too
            painter.fillRect(QRectF(inset_ + x0, inset_ + line.top - scroll_, x1 - x0, line.height), Qt::white);
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (hasFocus() || selStart() == selEnd()) {
        const QPointF at = caretPoint(caret_);
        double h = 16;
        if (!lines.empty())
            h = lines[static_cast<size_t>(lineOf(caret_))].height;
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(at.x(), at.y()), QPointF(at.x(), at.y() + h));
    }
}

} // namespace platform::ui
