#pragma once
// The barcode object of report templates (TfrBarCodeView): shows a barcode
// of its text, or of an expression's value while a report is built, with an
// optional human-readable line, at 0, 90, 180 or 270 degrees and a zoom.

#include "reports/addins/Barcode.h"
#include "reports/model/ReportObjects.h"

#include <functional>
#include <utility>
#include <vector>

namespace reports {

// The object's own part of its record, after the view's part.
struct BarCodeParams {
    bool CheckSum = true;
    bool ShowText = true;
    quint8 Reserved = 0;
    quint8 Type = bcCode39;
    // 1 marks an older record whose zoom is stored doubled.
    quint8 Version = 2;
    double Zoom = 1.0;
    double Angle = 0;
    static constexpr int kSize = 24;
};

class BarCodeView : public View {
public:
    BarCodeView();
    QString ClassName() const override { return QStringLiteral("TfrBarCodeView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<BarCodeView>(); }

    BarCodeParams Param;
    Barcode BarC;

    void BuildPropertyList() override;
    void Draw(gdi::Canvas &canvas) override;
    void PrintToStream(QIODevice &stream) override;
    // The view's part, then the 24-byte block; an older record's doubled
    // zoom is halved on loading.
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void ShowEditor() override;
    void AddPopupItems(PopupItems &) override {}

    // The text the object draws: the memo's first line, or "12345678" where
    // that cannot be drawn (an expression in the designer, no text, or no
    // number for a digits-only symbology).
    QString DrawnText() const;

    // The object's own attributes of the XML template form, in order, as
    // texts for the writer to escape: Text (the memo's first line), BarType,
    // CalcCheckSum, Rotation, ShowText and Zoom, then DataSet ("owner.name")
    // and DataField when the resolver finds a data field named by the first
    // line (it answers false when the text names none).
    using FieldResolver = FR3FieldResolver;
    std::vector<std::pair<QString, QString>> FR3Attributes(const FieldResolver &resolve) const override;

    // The editor window; the library with windows installs it.
    static std::function<void(BarCodeView &)> &Editor();

private:
    // While printed: a first line "[...]" becomes the text of its value.
    void takeExpressionValue();
    bool printing_ = false;
};

// Registers the object with the designer ("Вставить штрихкод").
void RegisterBarCodeAddIn();

} // namespace reports
