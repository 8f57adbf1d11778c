#pragma once
// The rich-edit control as a window: a formatted text (platform/richtext)
// laid out by the graphics layer and edited with the keyboard and the
// mouse: typing in the typing format, selection, deletion, line and
// paragraph breaks, undo; the formatting of the selection and of its
// paragraphs is changed through the control's calls.

#include "platform/richtext/RichDocument.h"
#include "platform/richtext/RichLayout.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace platform::ui {

class RichEditControl : public QWidget {
    Q_OBJECT
public:
    explicit RichEditControl(QWidget *parent = nullptr);

    const richtext::RichDocument &document() const { return doc_; }
    // A new text: the caret at its start, nothing to undo.
    void setDocument(const richtext::RichDocument &doc);
    void clear() { setDocument(richtext::RichDocument()); }

    // The selection from the anchor to the caret, as positions in order.
    int selStart() const { return std::min(anchor_, caret_); }
    int selEnd() const { return std::max(anchor_, caret_); }
    int caret() const { return caret_; }
    void select(int anchor, int caret);

    // Replaces the selection with a text in the typing format.
    void insertText(const QString &text);
    // The format of the selection's first character, or the typing format
    // when nothing is selected.
    richtext::CharFormat selectionFormat() const;
    // Changes the format of the selection, or the typing format.
    void changeCharFormat(const std::function<void(richtext::CharFormat &)> &change);
    // The format of the caret's paragraph; a change goes to every paragraph
    // the selection touches.
    richtext::ParaFormat paragraphFormat() const;
    void changeParaFormat(const std::function<void(richtext::ParaFormat &)> &change);

    bool canUndo() const { return !undo_.empty(); }
    void undo();

    // The margin between the control's edges and its text, in pixels.
    void setInset(int inset);
    int inset() const { return inset_; }
    // The text's width in pixels (the control's less the insets).
    int textWidth() const;

signals:
    // After every change of the text or of its formatting.
    void textChanged();
    // After the caret or the selection moved, or the typing format changed.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    const richtext::RangeLayout &layout() const;
    // The line holding a position (a position at a wrapped line's end
    // belongs to the next line).
    int lineOf(int pos) const;
    int positionAt(const QPoint &point) const;
    QPointF caretPoint(int pos) const;
    void remember();
    void edited();
    void moveCaret(int pos, bool extend);
    void scrollToCaret();

    richtext::RichDocument doc_;
    richtext::CharFormat typing_;
    int anchor_ = 0;
    int caret_ = 0;
    int inset_ = 6;
    int scroll_ = 0;
    std::vector<richtext::RichDocument> undo_;
    mutable richtext::RangeLayout layout_;
    mutable bool layoutValid_ = false;
    mutable int layoutWidth_ = -1;
};

} // namespace platform::ui
