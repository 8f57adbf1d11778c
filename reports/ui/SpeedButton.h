#pragma once
// The report library's tool button (a glyph of up to four images, groups, a
// flat look greyed while the mouse is away) and the one-line edit with a small
// button at its right end. The glyph images of each state are kept in lists
// shared by every button of the same glyph size.

#include <QComboBox>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace reports {

// States of a button: up, disabled, pressed, down, inactive (greyed).
enum class ButtonState { Up = 0, Disabled = 1, Pressed = 2, Exclusive = 3, Inactive = 4 };
enum class ButtonLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

// The number of images a glyph bitmap holds: width / height when the width is
// a whole multiple of the height (1 from 5 up); nullopt otherwise.
std::optional<int> glyphCountFromSize(QSize size);
// The image (0-based) a state draws with a glyph of `count` images.
int glyphImageOfState(ButtonState state, int count);
// The inactive look of a colour: its grey (77 R + 150 G + 29 B) div 256.
QRgb inactiveGrey(QRgb colour);

// Where glyph and caption go in the client rectangle.
struct GlyphLayout {
    QPoint glyph;
    QRect caption;
};
GlyphLayout layoutGlyphAndCaption(const QRect &client, QSize glyph, QSize caption, ButtonLayout layout,
                                  int margin, int spacing);

// The shared glyph image lists, one per glyph size; a list goes when its last
// slot is given back.
class GlyphCache {
public:
    static GlyphCache &instance();
    int allocate(QSize size);
    void release(QSize size, int slot);
    QPixmap &image(QSize size, int slot);
    int listCount() const { return static_cast<int>(lists_.size()); }
    bool hasList(QSize size) const;

private:
    struct List {
        QSize size;
        std::vector<QPixmap> images;
        std::vector<bool> used;
    };
    std::vector<List> lists_;
};

class TfrSpeedButton : public QWidget {
public:
    explicit TfrSpeedButton(QWidget *parent = nullptr);
    ~TfrSpeedButton() override;

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool value);
    const QPixmap &Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    ButtonLayout Layout() const { return layout_; }
    void SetLayout(ButtonLayout value);
    int Margin() const { return margin_; }
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString &text);

    // The state the button is in, and the one the next paint uses.
    ButtonState State() const { return state_; }
    ButtonState PaintState() const;
    bool MouseInControl() const { return mouseIn_; }

    // Draws the glyph, in the enabled or disabled look, on another painter.
    void DrawGlyph(QPainter &painter, QPoint at, bool enabled);

    std::function<void()> OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void releaseImages();
    const QPixmap &stateImage(ButtonState state);
    void notifyGroup();
    void groupNotice(TfrSpeedButton *sender);
    QColor transparentColour() const;

    bool allowAllUp_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool flat_ = false;
    bool grayedInactive_ = true;
    QPixmap glyph_;
    int numGlyphs_ = 1;
    ButtonLayout layout_ = ButtonLayout::GlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    QString caption_;
    ButtonState state_ = ButtonState::Up;
    bool mouseIn_ = false;
    bool tracking_ = false;
    int slots_[5] = {-1, -1, -1, -1, -1};
};

// The toolbar's button: flat unless told otherwise.
class TfrTBButton : public TfrSpeedButton {
public:
    explicit TfrTBButton(QWidget *parent = nullptr) : TfrSpeedButton(parent) { SetFlat(true); }
};

// The toolbar's separator: 8 x 8, a shadow and a highlight line across.
class TfrTBSeparator : public QWidget {
public:
    explicit TfrTBSeparator(QWidget *parent = nullptr);
    bool DrawBevel = true;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A one-line edit with a small button at its right end.
class TfrComboEdit : public QComboBox {
public:
    explicit TfrComboEdit(QWidget *parent = nullptr);
    TfrSpeedButton *Button() const { return button_; }
    void SetButtonEnabled(bool enabled);
    bool ButtonEnabled() const { return buttonEnabled_; }
    std::function<void()> OnButtonClick;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeButton();
    QWidget *panel_;
    TfrSpeedButton *button_;
    bool buttonEnabled_ = true;
};

} // namespace reports
