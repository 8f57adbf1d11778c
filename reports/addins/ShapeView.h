#pragma once
// The shape object (TfrShapeView): one of six simple figures drawn in the
// object's rectangle in its frame's colour and width, filled with its fill.

#include "reports/model/ReportObjects.h"

namespace reports {

enum ShapeKind : quint8 {
    skRectangle = 0,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiagonal1,
    skDiagonal2,
};

class ShapeView : public View {
public:
    // Also gives expressions and scripts the names of the kinds.
    ShapeView();
    QString ClassName() const override { return QStringLiteral("TfrShapeView"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<ShapeView>(); }

    quint8 ShapeType = skRectangle;

    void BuildPropertyList() override;
    void SetProperty(const QString &name, const Variant &value) override;
    Variant GetProperty(const QString &name) override;
    void Draw(gdi::Canvas &canvas) override;
    void AddPopupItems(PopupItems &) override {}
    // The view's record, then the kind as one byte.
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    // The XML template form: the kind as "Shape".
    std::vector<std::pair<QString, QString>> FR3Attributes(const FR3FieldResolver &) const override
    {
        return {{QStringLiteral("Shape"), QString::number(ShapeType)}};
    }
};

// Offers the shape object in the designer ("Вставить фигуру").
void RegisterShapeAddIn();

} // namespace reports
