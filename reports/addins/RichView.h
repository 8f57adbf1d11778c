#pragma once
// The rich-text object (TfrRichView): formatted text whose bracketed
// expressions take their values while a report is built, in the formatting
// of the expression, grown with its text and split over pages.
//
// The rich-edit controls are documents of platform/richtext: each object
// holds its own, and one work document shared by every object is where
// texts are expanded, measured and cut while a page is built.

#include "platform/richtext/RichDocument.h"
#include "reports/model/ReportViews.h"

#include <functional>

namespace reports {

namespace richtext = platform::richtext;

// The shared work document.
richtext::RichDocument &richWorkDocument();

// The editor window of the objects (reports/ui installs it): shows the text
// for editing and answers whether it was accepted (the text then holds the
// edited one).
using RichEditorWindow = std::function<bool(richtext::RichDocument &text)>;
RichEditorWindow &richEditorWindow();

class RichView : public Stretcheable {
public:
    RichView();
    QString ClassName() const override { return QStringLiteral("TfrRichView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<RichView>(); }

    // The object's own text.
    richtext::RichDocument RichEdit;
    // While a report is built: where the current measurement starts, the end
    // of the part printed last (the first character that did not fit) and
    // the start of the part still to be printed.
    int CurrentStart = 0;
    int LastEnd = 0;
    int NextStart = 0;

    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    // The field's content read as RTF into the own text.
    void LoadBlob(const platform::db::Field &field) override;
    void Draw(gdi::Canvas &canvas) override;
    void PrintToStream(QIODevice &stream) override;
    // The view's part, then: a byte 1 when there is text, the stream
    // position after the block (int32), and the text as RTF.
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void ShowEditor() override;
    void AddPopupItems(PopupItems &items) override;
    int CalcHeight() override;
    int MinHeight() override { return 8; }
    int RemainHeight() override;

    // Replaces each bracketed expression of a text by its value, which takes
    // the expression's first character's format and the library's character
    // set; nothing with "TextOnly" set.
    void ExpandText(richtext::RichDocument &text);

    // The XML template form's attributes: the RTF as the binary property
    // "RichEdit" in Propdata, StretchMode, AllowExpressions, and the data
    // field as the barcode names it.
    std::vector<std::pair<QString, QString>> FR3Attributes(const FR3FieldResolver &resolve) const override;

private:
    // The first character of `text` from `start` that does not fit in a
    // page of the object's width and `height` (report units, gaps inside),
    // measured on the screen.
    int measure(const richtext::RichDocument &text, int start, int height);
    // The least height in which `text` from CurrentStart fits whole, as the
    // full-height operation reports it.
    int searchHeight(const richtext::RichDocument &text);
    // The own text (or the work document) copied to the work document and
    // expanded.
    void prepareWork();
    // The twips of a length in report units less twice a gap.
    static int twips(int length, int gap, int pixelsPerInch);

    bool saveWork_ = false;
    // The height the part printed last was given.
    int partHeight_ = 0;
};

// Registers the object with the designer ("Вставить RichText объект").
void RegisterRichAddIn();

} // namespace reports
