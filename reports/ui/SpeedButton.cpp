#include "reports/ui/SpeedButton.h"

#include <QApplication>
#include <QBitmap>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace reports {

std::optional<int> glyphCountFromSize(QSize size)
{
    if (size.height() <= 0 || size.width() <= 0 || size.width() % size.height() != 0)
        return std::nullopt;
    const int n = size.width() / size.height();
    return n < 5 ? n : 1;
}

int glyphImageOfState(ButtonState state, int count)
{
    int image = 0;
    switch (state) {
    case ButtonState::Up:
    case ButtonState::Inactive: image = 0; break;
    case ButtonState::Disabled: image = 1; break;
    case ButtonState::Pressed: image = count < 3 ? 0 : 2; break;
    case ButtonState::Exclusive: image = 3; break;
    }
    return image < count ? image : 0;
}

QRgb inactiveGrey(QRgb c)
{
    const int g = (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) / 256;
    return qRgba(g, g, g, qAlpha(c));
}

GlyphLayout layoutGlyphAndCaption(const QRect &client, QSize glyph, QSize caption, ButtonLayout layout,
                                  int margin, int spacing)
{
    const bool across = layout == ButtonLayout::GlyphLeft || layout == ButtonLayout::GlyphRight;
    QPoint g, t;
    if (across) {
        g.setY((client.height() - glyph.height() + 1) / 2);
        t.setY((client.height() - caption.height() + 1) / 2);
    } else {
        g.setX((client.width() - glyph.width() + 1) / 2);
        t.setX((client.width() - caption.width() + 1) / 2);
    }
    if (caption.isEmpty() || glyph.isEmpty())
        spacing = 0;
    glyph = glyph.expandedTo(QSize(0, 0));
    caption = caption.expandedTo(QSize(0, 0));
    const int avail = across ? client.width() : client.height();
    const int gl = across ? glyph.width() : glyph.height();
    const int tl = across ? caption.width() : caption.height();
    if (margin == -1) {
        if (spacing == -1) {
            margin = (avail - (gl + tl)) / 3;
            spacing = margin;
        } else {
            margin = (avail - (gl + spacing + tl) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (avail - (margin + gl) - tl) / 2;
    }
    switch (layout) {
    case ButtonLayout::GlyphLeft:
        g.setX(margin);
        t.setX(g.x() + glyph.width() + spacing);
        break;
    case ButtonLayout::GlyphRight:
        g.setX(client.width() - margin - glyph.width());
        t.setX(g.x() - spacing - caption.width());
        break;
    case ButtonLayout::GlyphTop:
        g.setY(margin);
        t.setY(g.y() + glyph.height() + spacing);
        break;
    case ButtonLayout::GlyphBottom:
        g.setY(client.height() - margin - glyph.height());
        t.setY(g.y() - spacing - caption.height());
        break;
    }
    return {g + client.topLeft(), QRect(t + client.topLeft(), caption)};
}

GlyphCache &GlyphCache::instance()
{
    static GlyphCache cache;
    return cache;
}

bool GlyphCache::hasList(QSize size) const
{
    return std::any_of(lists_.begin(), lists_.end(), [&](const List &l) { return l.size == size; });
}

int GlyphCache::allocate(QSize size)
{
    auto it = std::find_if(lists_.begin(), lists_.end(), [&](const List &l) { return l.size == size; });
    if (it == lists_.end()) {
        lists_.push_back(List{size, {}, {}});
        it = lists_.end() - 1;
    }
    for (size_t i = 0; i < it->used.size(); ++i)
        if (!it->used[i]) {
            it->used[i] = true;
            return static_cast<int>(i);
        }
    it->used.push_back(true);
    it->images.emplace_back();
    return static_cast<int>(it->used.size() - 1);
}

void GlyphCache::release(QSize size, int slot)
{
    auto it = std::find_if(lists_.begin(), lists_.end(), [&](const List &l) { return l.size == size; });
    if (it == lists_.end() || slot < 0 || slot >= static_cast<int>(it->used.size()))
        return;
    it->used[static_cast<size_t>(slot)] = false;
    it->images[static_cast<size_t>(slot)] = QPixmap();
    if (std::none_of(it->used.begin(), it->used.end(), [](bool u) { return u; }))
        lists_.erase(it);
}

QPixmap &GlyphCache::image(QSize size, int slot)
{
    auto it = std::find_if(lists_.begin(), lists_.end(), [&](const List &l) { return l.size == size; });
    return it->images.at(static_cast<size_t>(slot));
}

TfrSpeedButton::TfrSpeedButton(QWidget *parent) : QWidget(parent)
{
    resize(22, 22);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

TfrSpeedButton::~TfrSpeedButton() { releaseImages(); }

void TfrSpeedButton::releaseImages()
{
    if (glyph_.isNull())
        return;
    const QSize size(glyph_.width() / std::max(1, numGlyphs_), glyph_.height());
    for (int &slot : slots_) {
        if (slot >= 0)
            GlyphCache::instance().release(size, slot);
        slot = -1;
    }
}

void TfrSpeedButton::SetAllowAllUp(bool value)
{
    if (allowAllUp_ == value)
        return;
    allowAllUp_ = value;
    notifyGroup();
}

void TfrSpeedButton::SetGroupIndex(int value)
{
    if (groupIndex_ == value)
        return;
    groupIndex_ = value;
    notifyGroup();
}

void TfrSpeedButton::SetDown(bool value)
{
    if (groupIndex_ == 0)
        value = false;
    if (value == down_ || (down_ && !allowAllUp_))
        return;
    down_ = value;
    state_ = value ? ButtonState::Exclusive : ButtonState::Up;
    update();
    if (value)
        notifyGroup();
}

void TfrSpeedButton::notifyGroup()
{
    if (groupIndex_ == 0 || !parentWidget())
        return;
    for (QObject *child : parentWidget()->children())
        if (auto *other = dynamic_cast<TfrSpeedButton *>(child); other && other != this)
            other->groupNotice(this);
}

void TfrSpeedButton::groupNotice(TfrSpeedButton *sender)
{
    if (sender->groupIndex_ != groupIndex_)
        return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = ButtonState::Up;
        update();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TfrSpeedButton::SetFlat(bool value)
{
    if (flat_ != value) {
        flat_ = value;
        update();
    }
}

void TfrSpeedButton::SetGrayedInactive(bool value)
{
    if (grayedInactive_ != value) {
        grayedInactive_ = value;
        update();
    }
}

void TfrSpeedButton::SetGlyph(const QPixmap &glyph)
{
    releaseImages();
    glyph_ = glyph;
    if (const auto n = glyphCountFromSize(glyph.size()))
        numGlyphs_ = *n;
    update();
}

void TfrSpeedButton::SetNumGlyphs(int value)
{
    value = std::clamp(value, 1, 4);
    if (value == numGlyphs_)
        return;
    releaseImages();
    numGlyphs_ = value;
    update();
}

void TfrSpeedButton::SetLayout(ButtonLayout value)
{
    if (layout_ != value) {
        layout_ = value;
        update();
    }
}

void TfrSpeedButton::SetMargin(int value)
{
    if (value >= -1 && value != margin_) {
        margin_ = value;
        update();
    }
}

void TfrSpeedButton::SetSpacing(int value)
{
    if (value != spacing_) {
        spacing_ = value;
        update();
    }
}

void TfrSpeedButton::SetCaption(const QString &text)
{
    caption_ = text;
    update();
}

ButtonState TfrSpeedButton::PaintState() const
{
    if (!isEnabled())
        return ButtonState::Disabled;
    if (flat_ && grayedInactive_ && !mouseIn_)
        return ButtonState::Inactive;
    return state_;
}

QColor TfrSpeedButton::transparentColour() const
{
    // The bottom-left pixel of the bitmap, as the class library took it.
    const QImage image = glyph_.toImage();
    return image.isNull() ? QColor() : image.pixelColor(0, image.height() - 1);
}

const QPixmap &TfrSpeedButton::stateImage(ButtonState state)
{
    static const QPixmap none;
    if (glyph_.isNull())
        return none;
    const int count = std::max(1, numGlyphs_);
    const QSize size(glyph_.width() / count, glyph_.height());
    int &slot = slots_[static_cast<int>(state)];
    if (slot >= 0)
        return GlyphCache::instance().image(size, slot);
    slot = GlyphCache::instance().allocate(size);
    QPixmap &target = GlyphCache::instance().image(size, slot);

    const int index = glyphImageOfState(state, count);
    QImage image = glyph_.toImage().copy(index * size.width(), 0, size.width(), size.height()).convertToFormat(
        QImage::Format_ARGB32);
    const QRgb clear = transparentColour().rgb();
    const QRgb face = palette().color(QPalette::Button).rgb();
    const QRgb shadow = palette().color(QPalette::Dark).rgb();
    const QRgb light = palette().color(QPalette::Light).rgb();
    QImage out(size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    if (state == ButtonState::Disabled && count == 1) {
        // Embossed: the shape in highlight one pixel down-right, then in shadow.
        for (int pass = 0; pass < 2; ++pass) {
            const int d = pass == 0 ? 1 : 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    if ((image.pixel(x, y) | 0xff000000) != (clear | 0xff000000) && x + d < size.width() &&
                        y + d < size.height())
                        out.setPixel(x + d, y + d, pass == 0 ? light : shadow);
        }
    } else {
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb p = image.pixel(x, y) | 0xff000000;
                if (p == (clear | 0xff000000))
                    continue;
                QRgb c = p;
                if (state == ButtonState::Disabled)
                    c = qGray(p) < 128 ? shadow : light;
                else if (state == ButtonState::Inactive && p != (face | 0xff000000))
                    c = inactiveGrey(p);
                out.setPixel(x, y, c);
            }
    }
    target = QPixmap::fromImage(out);
    return target;
}

void TfrSpeedButton::DrawGlyph(QPainter &painter, QPoint at, bool enabled)
{
    const QPixmap &p = stateImage(enabled ? ButtonState::Up : ButtonState::Disabled);
    if (!p.isNull())
        painter.drawPixmap(at, p);
}

void TfrSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const ButtonState paintState = PaintState();
    const QRect r = rect();
    const QColor face = palette().color(QPalette::Button);
    const bool pressedLook = state_ == ButtonState::Pressed || state_ == ButtonState::Exclusive;
    if (flat_) {
        painter.fillRect(r, face);
    } else {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = r;
        option.state |= pressedLook ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
    }
    const bool ditherDown = flat_ ? (isEnabled() && down_ && !mouseIn_) : state_ == ButtonState::Exclusive;
    if (ditherDown) {
        // The down look: white where row and column have the same parity.
        QImage dither(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                dither.setPixel(x, y, (x % 2) == (y % 2) ? qRgb(255, 255, 255) : face.rgb());
        painter.fillRect(r.adjusted(1, 1, -1, -1), QBrush(QPixmap::fromImage(dither)));
    }
    QRect client = r.adjusted(2, 2, -2, -2);
    if (pressedLook)
        client.translate(1, 1);
    const QPixmap &image = stateImage(paintState);
    const QSize captionSize = caption_.isEmpty() ? QSize() : painter.fontMetrics().size(Qt::TextSingleLine, caption_);
    const GlyphLayout at = layoutGlyphAndCaption(client, image.size(), captionSize, layout_, margin_, spacing_);
    if (!image.isNull())
        painter.drawPixmap(at.glyph, image);
    if (!caption_.isEmpty()) {
        if (paintState == ButtonState::Disabled) {
            painter.setPen(Qt::white);
            painter.drawText(at.caption.translated(1, 1), Qt::AlignCenter, caption_);
            painter.setPen(palette().color(QPalette::Dark));
        } else {
            painter.setPen(palette().color(QPalette::ButtonText));
        }
        painter.drawText(at.caption, Qt::AlignCenter, caption_);
    }
    if (flat_ && isEnabled() && (mouseIn_ || down_)) {
        const bool sunken = pressedLook;
        painter.setPen(palette().color(sunken ? QPalette::Dark : QPalette::Light));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(palette().color(sunken ? QPalette::Light : QPalette::Dark));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

void TfrSpeedButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!down_) {
        state_ = ButtonState::Pressed;
        update();
    }
    tracking_ = true;
}

void TfrSpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!tracking_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    const ButtonState s = down_ ? ButtonState::Exclusive : (inside ? ButtonState::Pressed : ButtonState::Up);
    if (s != state_) {
        state_ = s;
        update();
    }
}

void TfrSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!tracking_ || event->button() != Qt::LeftButton)
        return;
    tracking_ = false;
    const bool inside = rect().contains(event->position().toPoint());
    if (groupIndex_ == 0) {
        state_ = ButtonState::Up;
        mouseIn_ = false;
    } else if (inside) {
        SetDown(!down_);
        state_ = down_ ? ButtonState::Exclusive : ButtonState::Up;
    } else if (down_) {
        state_ = ButtonState::Exclusive;
    }
    if (flat_)
        mouseIn_ = inside;
    update();
    if (inside && OnClick)
        OnClick();
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (down_ && OnDblClick)
        OnDblClick();
    else
        mousePressEvent(event);
}

void TfrSpeedButton::enterEvent(QEnterEvent *)
{
    if (!flat_ || !isEnabled() || mouseIn_)
        return;
    mouseIn_ = true;
    update();
    if (OnMouseEnter)
        OnMouseEnter();
}

void TfrSpeedButton::leaveEvent(QEvent *)
{
    if (!flat_ || !isEnabled() || !mouseIn_)
        return;
    mouseIn_ = false;
    update();
    if (OnMouseLeave)
        OnMouseLeave();
}

void TfrSpeedButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            tracking_ = false;
            mouseIn_ = false;
        } else {
            state_ = down_ ? ButtonState::Exclusive : ButtonState::Up;
            mouseIn_ = underMouse();
        }
        update();
    }
    QWidget::changeEvent(event);
}

TfrTBSeparator::TfrTBSeparator(QWidget *parent) : QWidget(parent) { resize(8, 8); }

void TfrTBSeparator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!DrawBevel)
        return;
    // Across the toolbar: a separator higher than wide stands in a horizontal one.
    if (height() >= width()) {
        const int m = width() / 2;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(m - 1, 2, m - 1, height() - 3);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(m, 2, m, height() - 3);
    } else {
        const int m = height() / 2;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(2, m - 1, width() - 3, m - 1);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(2, m, width() - 3, m);
    }
}

TfrComboEdit::TfrComboEdit(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setFixedHeight(21);
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Panel"));
    button_ = new TfrSpeedButton(panel_);
    button_->setObjectName(QStringLiteral("Button"));
    button_->OnClick = [this] {
        setFocus();
        if (OnButtonClick)
            OnButtonClick();
    };
    lineEdit()->installEventFilter(this);
    placeButton();
}

void TfrComboEdit::placeButton()
{
    const int h = height();
    panel_->setGeometry(width() - h + 2, 2, h - 4, h - 4);
    button_->setGeometry(0, 0, h - 4, h - 4);
    lineEdit()->setGeometry(lineEdit()->x(), lineEdit()->y(), std::max(0, width() - h - 4), lineEdit()->height());
    panel_->raise();
}

void TfrComboEdit::resizeEvent(QResizeEvent *event)
{
    QComboBox::resizeEvent(event);
    placeButton();
}

void TfrComboEdit::SetButtonEnabled(bool enabled)
{
    buttonEnabled_ = enabled;
    button_->setEnabled(enabled && isEnabled());
}

void TfrComboEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        button_->setEnabled(buttonEnabled_ && isEnabled());
    QComboBox::changeEvent(event);
}

bool TfrComboEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape) && window() != this) {
            // The form's default and cancel buttons react to them as well.
            QKeyEvent copy(QEvent::KeyPress, k, key->modifiers());
            QCoreApplication::sendEvent(window(), &copy);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace reports
